// Child-window painting support and the built-in controls "Static" and
// "Button"; the "Edit" control lives in edit_control.cpp.
//
// A child window has a surface of its own; whenever it changes, the changed
// part is copied into its top-level window's surface at the child's place
// (with its frame: a sunken 3-D edge for WS_EX_CLIENTEDGE, a grey line for a
// border) and presented from there. Controls paint themselves with GDI
// whenever their state changes; there is no WM_PAINT cycle. Their colours
// are the system colours below; a control without WM_SETFONT uses the
// 16-pixel system font.
//
// Button: a raised 3-D face, a black frame around the default push button,
// a dotted focus rectangle while it has the focus, a sunken face while it is
// held down. A click (mouse released over it, Space, or BM_CLICK) sends
// WM_COMMAND (id, BN_CLICKED) to the parent. Static: shows its text
// word-wrapped.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "user/controls_internal.h"
#include "user/user_internal.h"
#include "window_surface.h"
#include "wingdi.h"
#include "windowsx.h"

namespace plat::user {
namespace {

uint32_t to_pixel(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);

std::mutex g_controls_mutex;
std::map<HWND, ControlState>& controls() {
    static auto* m = new std::map<HWND, ControlState>;
    return *m;
}

void paint_static(HWND h) {
    ControlState cs = get_state(h);
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    fill(dc.hdc, dc.rc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc.hdc, GetSysColor(COLOR_WINDOWTEXT));
    std::string t = text_of(h);
    RECT r = dc.rc;
    DrawTextA(dc.hdc, t.c_str(), int(t.size()), &r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
}

void paint_button(HWND h) {
    ControlState cs = get_state(h);
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    LONG style = LONG(GetWindowLongPtrA(h, GWL_STYLE));
    bool is_default = (style & 0xF) == BS_DEFPUSHBUTTON;
    bool focused = GetFocus() == h;
    RECT r = dc.rc;
    fill(dc.hdc, r, GetSysColor(COLOR_BTNFACE));
    if (is_default) {
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_3DDKSHADOW));
        FrameRect(dc.hdc, &r, frame);
        DeleteObject(frame);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    int shift = 0;
    if (cs.pressed) {
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
        FrameRect(dc.hdc, &r, frame);
        DeleteObject(frame);
        shift = 1;
    } else {
        draw_raised_edge(dc.hdc, r);
    }
    SetTextColor(dc.hdc, GetSysColor(COLOR_BTNTEXT));
    std::string t = text_of(h);
    RECT tr{dc.rc.left + shift, dc.rc.top + shift, dc.rc.right + shift, dc.rc.bottom + shift};
    DrawTextA(dc.hdc, t.c_str(), int(t.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (focused) draw_focus_rect(dc.hdc, RECT{dc.rc.left + 4, dc.rc.top + 4, dc.rc.right - 4, dc.rc.bottom - 4});
}

LRESULT CALLBACK StaticProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (control_common(h, m, wp, lp, &r)) return r;
    return DefWindowProcA(h, m, wp, lp);
}

void click(HWND h) {
    HWND parent = GetParent(h);
    if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
}

LRESULT CALLBACK ButtonProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (control_common(h, m, wp, lp, &r)) return r;
    switch (m) {
    case WM_LBUTTONDOWN: {
        SetFocus(h);
        SetCapture(h);
        ControlState cs = get_state(h);
        cs.pressed = true;
        put_state(h, cs);
        paint_control(h);
        return 0;
    }
    case WM_LBUTTONUP: {
        ControlState cs = get_state(h);
        bool was = cs.pressed;
        cs.pressed = false;
        put_state(h, cs);
        if (GetCapture() == h) ReleaseCapture();
        paint_control(h);
        RECT rc;
        GetClientRect(h, &rc);
        int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        if (was && x >= 0 && y >= 0 && x < rc.right && y < rc.bottom) click(h);
        return 0;
    }
    case WM_KEYUP:
        if (wp == VK_SPACE) click(h);
        return 0;
    case BM_CLICK:
        click(h);
        return 0;
    default:
        return DefWindowProcA(h, m, wp, lp);
    }
}

}  // namespace

ControlState get_state(HWND h) {
    std::lock_guard<std::mutex> lock(g_controls_mutex);
    return controls()[h];
}

void put_state(HWND h, const ControlState& cs) {
    std::lock_guard<std::mutex> lock(g_controls_mutex);
    controls()[h] = cs;
}

std::string text_of(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string s(size_t(n) + 1, '\0');
    GetWindowTextA(h, &s[0], n + 1);
    s.resize(size_t(n));
    return s;
}

Dc::Dc(HWND h, HFONT font) : hwnd(h), hdc(GetDC(h)) {
    GetClientRect(h, &rc);
    if (hdc && font) SelectObject(hdc, font);
    if (hdc) SetBkMode(hdc, TRANSPARENT);
}

Dc::~Dc() {
    if (hdc) ReleaseDC(hwnd, hdc);
}

void fill(HDC hdc, const RECT& rc, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(hdc, &rc, b);
    DeleteObject(b);
}

RECT draw_raised_edge(HDC hdc, RECT r) {
    const int colours[2][2] = {{COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW}, {COLOR_3DLIGHT, COLOR_BTNSHADOW}};
    for (auto& c : colours) {
        if (r.right - r.left < 2 || r.bottom - r.top < 2) break;
        COLORREF light = GetSysColor(c[0]), dark = GetSysColor(c[1]);
        fill(hdc, RECT{r.left, r.top, r.right - 1, r.top + 1}, light);
        fill(hdc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, light);
        fill(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, dark);
        fill(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, dark);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    return r;
}

void draw_focus_rect(HDC hdc, const RECT& r) {
    COLORREF c = GetSysColor(COLOR_WINDOWTEXT);
    // Every other pixel along the outline, starting with the corner.
    for (int x = r.left; x < r.right; x += 2) {
        SetPixelV(hdc, x, r.top, c);
        SetPixelV(hdc, x, r.bottom - 1, c);
    }
    for (int y = r.top; y < r.bottom; y += 2) {
        SetPixelV(hdc, r.left, y, c);
        SetPixelV(hdc, r.right - 1, y, c);
    }
}

void paint_control(HWND h) {
    State& st = state();
    std::string key;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, h);
        if (!w || !w->visible) return;
        key = w->class_key;
    }
    if (key == "static") paint_static(h);
    else if (key == "edit") paint_edit(h);
    else if (key == "button") paint_button(h);
}

bool control_common(HWND h, UINT m, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (m) {
    case WM_NCCREATE:
        put_state(h, ControlState{});
        return false;
    case WM_NCDESTROY: {
        std::lock_guard<std::mutex> lock(g_controls_mutex);
        controls().erase(h);
        return false;
    }
    case WM_SETFONT: {
        ControlState cs = get_state(h);
        cs.font = reinterpret_cast<HFONT>(wp);
        put_state(h, cs);
        // Repainted at once whatever lParam says: there is no later WM_PAINT
        // that would show the new font.
        paint_control(h);
        *result = 0;
        return true;
    }
    case WM_GETFONT:
        *result = reinterpret_cast<LRESULT>(get_state(h).font);
        return true;
    case WM_SETTEXT:
        *result = DefWindowProcA(h, m, wp, lp);
        paint_control(h);
        return true;
    case WM_SHOWWINDOW:
    case WM_ENABLE:
        if (wp) paint_control(h);
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        paint_control(h);
        *result = 0;
        return true;
    default:
        return false;
    }
}

WindowClass* builtin_class(State& st, const std::string& key) {
    WNDPROC proc = key == "static" ? StaticProc : key == "edit" ? EditProc : key == "button" ? ButtonProc : nullptr;
    if (!proc) return nullptr;
    WindowClass cls;
    cls.name = key == "static" ? "Static" : key == "edit" ? "Edit" : "Button";
    cls.atom = st.next_atom++;
    cls.wc.cbSize = sizeof(WNDCLASSEXA);
    cls.wc.lpfnWndProc = proc;
    cls.wc.style = key == "button" ? CS_DBLCLKS : 0;
    return &st.classes.emplace(key, std::move(cls)).first->second;
}

void paint_class_background(HWND hwnd) {
    HBRUSH brush;
    {
        State& st = state();
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, hwnd);
        if (!w) return;
        auto cit = st.classes.find(w->class_key);
        if (cit == st.classes.end()) return;
        brush = cit->second.wc.hbrBackground;
    }
    if (!brush) return;
    COLORREF color;
    uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= COLOR_INFOBK + 1) {
        color = GetSysColor(int(value - 1));
    } else {
        LOGBRUSH lb{};
        if (GetObjectA(brush, sizeof lb, &lb) != int(sizeof lb) || lb.lbStyle != BS_SOLID) return;
        color = lb.lbColor;
    }
    if (to_pixel(color) == 0) return;  // surfaces start black
    SurfaceView v;
    if (!lock_window_surface(hwnd, &v)) return;
    std::fill(v.pixels, v.pixels + size_t(v.width) * size_t(v.height), to_pixel(color));
    unlock_window_surface(hwnd);
    window_surface_changed(hwnd, RECT{0, 0, v.width, v.height});
}

void compose_child(HWND child, const RECT& dirty) {
    State& st = state();
    std::shared_ptr<Window> c, top;
    POINT off{0, 0};  // the child's client origin in the top-level client area
    RECT frame{};
    bool has_frame;
    int thickness = 0;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        c = find_window(st, child);
        if (!c || !c->parent) return;
        // Every window up the chain must be visible.
        for (auto w = c; w; w = find_window(st, w->parent)) {
            if (!w->visible) return;
            top = w;
        }
        POINT co = screen_client_origin(st, *c), to = screen_client_origin(st, *top);
        off = POINT{co.x - to.x, co.y - to.y};
        frame = RECT{off.x - c->insets.left, off.y - c->insets.top, off.x + c->client_w + c->insets.right,
                     off.y + c->client_h + c->insets.bottom};
        has_frame = c->insets.left > 0;
        thickness = c->insets.left;
    }
    // Two surfaces are locked lower handle first, the order GDI uses too.
    SurfaceView src, dst;
    HWND first = std::less<void*>()(child, top->hwnd) ? child : top->hwnd;
    HWND second = first == child ? top->hwnd : child;
    SurfaceView& first_view = first == child ? src : dst;
    SurfaceView& second_view = first == child ? dst : src;
    if (!lock_window_surface(first, &first_view)) return;
    if (!lock_window_surface(second, &second_view)) {
        unlock_window_surface(first);
        return;
    }
    auto put = [&](int x, int y, uint32_t px) {
        if (x >= 0 && y >= 0 && x < dst.width && y < dst.height) dst.pixels[size_t(y) * dst.width + x] = px;
    };
    RECT changed{off.x + dirty.left, off.y + dirty.top, off.x + dirty.right, off.y + dirty.bottom};
    for (int y = dirty.top; y < dirty.bottom && y < src.height; ++y)
        for (int x = dirty.left; x < dirty.right && x < src.width; ++x)
            put(off.x + x, off.y + y, src.pixels[size_t(y) * src.width + x]);
    if (has_frame && dirty.left == 0 && dirty.top == 0) {
        // A two-pixel frame is the sunken client edge: dark above and left,
        // light below and right; a thinner one a grey line.
        const int sunken[2][2] = {{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT}, {COLOR_3DDKSHADOW, COLOR_3DLIGHT}};
        RECT r = frame;
        for (int ring = 0; ring < thickness && r.right - r.left >= 2 && r.bottom - r.top >= 2; ++ring) {
            bool edge3d = thickness == 2;
            uint32_t dark = to_pixel(GetSysColor(edge3d ? sunken[ring][0] : COLOR_BTNSHADOW));
            uint32_t light = to_pixel(GetSysColor(edge3d ? sunken[ring][1] : COLOR_BTNSHADOW));
            for (int x = r.left; x < r.right - 1; ++x) put(x, r.top, dark);
            for (int y = r.top; y < r.bottom - 1; ++y) put(r.left, y, dark);
            for (int x = r.left; x < r.right; ++x) put(x, r.bottom - 1, light);
            for (int y = r.top; y < r.bottom; ++y) put(r.right - 1, y, light);
            r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
        changed = frame;
    }
    unlock_window_surface(second);
    unlock_window_surface(first);
    window_surface_changed(top->hwnd, changed);
}

void compose_children(HWND parent) {
    std::vector<std::pair<HWND, RECT>> children;
    {
        State& st = state();
        std::lock_guard<std::mutex> lock(st.mutex);
        for (auto& [h, c] : st.windows)
            if (c->parent == parent && c->visible && !c->destroying)
                children.emplace_back(c->hwnd, RECT{0, 0, c->client_w, c->client_h});
    }
    for (auto& [child, rc] : children) {
        compose_child(child, rc);
        compose_children(child);
    }
}

}  // namespace plat::user

using namespace plat::user;

DWORD WINAPI GetSysColor(int nIndex) {
    switch (nIndex) {
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_MENUTEXT:
    case COLOR_CAPTIONTEXT:
    case COLOR_INFOTEXT:
    case COLOR_3DDKSHADOW: return RGB(0, 0, 0);
    case COLOR_BTNFACE:
    case COLOR_MENU: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT: return RGB(160, 160, 160);
    case COLOR_3DLIGHT: return RGB(227, 227, 227);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_INFOBK: return RGB(255, 255, 225);
    case COLOR_ACTIVECAPTION: return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION: return RGB(191, 205, 219);
    case COLOR_APPWORKSPACE: return RGB(171, 171, 171);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    default: return RGB(0, 0, 0);
    }
}

// One solid brush per colour, made on first use and never deleted.
HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    if (nIndex < 0 || nIndex > COLOR_INFOBK) return nullptr;
    static std::mutex mutex;
    static HBRUSH brushes[COLOR_INFOBK + 1] = {};
    std::lock_guard<std::mutex> lock(mutex);
    if (!brushes[nIndex]) brushes[nIndex] = CreateSolidBrush(GetSysColor(nIndex));
    return brushes[nIndex];
}
