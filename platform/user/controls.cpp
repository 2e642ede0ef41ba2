// Child-window painting support and the built-in controls "Static", "Edit"
// and "Button", enough for a modal input dialog.
//
// A child window has a surface of its own; whenever it changes, the changed
// part is copied into its top-level window's surface at the child's place
// (with a grey line for a border or edge frame) and presented from there.
// Controls paint themselves with GDI whenever their state changes; there is
// no WM_PAINT cycle. Their colours are the system colours below.
//
// Edit: the text is the window text (GetWindowTextA reads it); typed bytes
// are code page 936, a lead byte waits for its trail byte; Backspace and
// Delete remove whole characters; Enter adds "\r\n" in a multi-line edit;
// EM_LIMITTEXT limits the length in bytes; EM_SETSEL selects, and typing
// replaces the selection. Button: a click (mouse released over it, Space, or
// BM_CLICK) sends WM_COMMAND (id, BN_CLICKED) to the parent. Static: shows
// its text word-wrapped.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "codepage.h"
#include "user/user_internal.h"
#include "window_surface.h"
#include "wingdi.h"
#include "windowsx.h"

namespace plat::user {
namespace {

uint32_t to_pixel(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);

struct ControlState {
    HFONT font = nullptr;
    // Edit
    size_t limit = 0x7FFFFFFE;
    size_t sel_start = 0, sel_end = 0;  // byte offsets; caret at sel_end
    int pending_lead = -1;              // a lead byte waiting for its trail byte
    // Button
    bool pressed = false;
};

std::mutex g_controls_mutex;
std::map<HWND, ControlState>& controls() {
    static auto* m = new std::map<HWND, ControlState>;
    return *m;
}

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

// Start of the character before `pos` / length of the character at `pos`.
size_t prev_char(const std::string& s, size_t pos) {
    size_t i = 0, last = 0;
    while (i < pos) {
        last = i;
        i += (codepage::is_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    }
    return last;
}
size_t char_len(const std::string& s, size_t pos) {
    if (pos >= s.size()) return 0;
    return (codepage::is_lead_byte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) ? 2 : 1;
}

struct Dc {
    HWND hwnd;
    HDC hdc;
    RECT rc{};
    explicit Dc(HWND h, HFONT font) : hwnd(h), hdc(GetDC(h)) {
        GetClientRect(h, &rc);
        if (hdc && font) SelectObject(hdc, font);
        if (hdc) SetBkMode(hdc, TRANSPARENT);
    }
    ~Dc() {
        if (hdc) ReleaseDC(hwnd, hdc);
    }
};

void fill(HDC hdc, const RECT& rc, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(hdc, &rc, b);
    DeleteObject(b);
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
    fill(dc.hdc, dc.rc, cs.pressed ? GetSysColor(COLOR_BTNSHADOW) : RGB(225, 225, 225));
    HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
    FrameRect(dc.hdc, &dc.rc, frame);
    LONG style = LONG(GetWindowLongPtrA(h, GWL_STYLE));
    if ((style & 0xF) == BS_DEFPUSHBUTTON || GetFocus() == h) {
        RECT inner{dc.rc.left + 1, dc.rc.top + 1, dc.rc.right - 1, dc.rc.bottom - 1};
        FrameRect(dc.hdc, &inner, frame);
    }
    DeleteObject(frame);
    SetTextColor(dc.hdc, GetSysColor(COLOR_BTNTEXT));
    std::string t = text_of(h);
    RECT r = dc.rc;
    DrawTextA(dc.hdc, t.c_str(), int(t.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void paint_edit(HWND h) {
    ControlState cs = get_state(h);
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    fill(dc.hdc, dc.rc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc.hdc, GetSysColor(COLOR_WINDOWTEXT));
    std::string t = text_of(h);
    SIZE line{0, 16};
    GetTextExtentPoint32A(dc.hdc, "X", 1, &line);
    // Lines separated by "\r\n"; the caret is a one-pixel bar when focused.
    size_t start = 0;
    int y = 1;
    bool focused = GetFocus() == h;
    for (;;) {
        size_t end = t.find("\r\n", start);
        size_t stop = end == std::string::npos ? t.size() : end;
        TextOutA(dc.hdc, 2, y, t.data() + start, int(stop - start));
        if (focused && cs.sel_end >= start && cs.sel_end <= stop) {
            SIZE ext{0, 0};
            GetTextExtentPoint32A(dc.hdc, t.data() + start, int(cs.sel_end - start), &ext);
            RECT caret{2 + ext.cx, y, 3 + ext.cx, y + line.cy};
            fill(dc.hdc, caret, GetSysColor(COLOR_WINDOWTEXT));
        }
        if (end == std::string::npos) break;
        start = end + 2;
        y += line.cy;
    }
}

void paint(HWND h) {
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

// Shared handling of every control.
bool common(HWND h, UINT m, WPARAM wp, LPARAM lp, LRESULT* result) {
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
        if (LOWORD(lp)) paint(h);
        *result = 0;
        return true;
    }
    case WM_GETFONT:
        *result = reinterpret_cast<LRESULT>(get_state(h).font);
        return true;
    case WM_SETTEXT:
        *result = DefWindowProcA(h, m, wp, lp);
        paint(h);
        return true;
    case WM_SHOWWINDOW:
    case WM_ENABLE:
        if (wp) paint(h);
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        paint(h);
        *result = 0;
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK StaticProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (common(h, m, wp, lp, &r)) return r;
    return DefWindowProcA(h, m, wp, lp);
}

void click(HWND h) {
    HWND parent = GetParent(h);
    if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
}

LRESULT CALLBACK ButtonProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (common(h, m, wp, lp, &r)) return r;
    switch (m) {
    case WM_LBUTTONDOWN: {
        SetFocus(h);
        SetCapture(h);
        ControlState cs = get_state(h);
        cs.pressed = true;
        put_state(h, cs);
        paint(h);
        return 0;
    }
    case WM_LBUTTONUP: {
        ControlState cs = get_state(h);
        bool was = cs.pressed;
        cs.pressed = false;
        put_state(h, cs);
        if (GetCapture() == h) ReleaseCapture();
        paint(h);
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

void edit_replace_selection(HWND h, ControlState& cs, const std::string& insert) {
    std::string t = text_of(h);
    size_t a = std::min(std::min(cs.sel_start, cs.sel_end), t.size());
    size_t b = std::min(std::max(cs.sel_start, cs.sel_end), t.size());
    if (t.size() - (b - a) + insert.size() > cs.limit) return;  // does not fit: dropped
    t.replace(a, b - a, insert);
    cs.sel_start = cs.sel_end = a + insert.size();
    SetWindowTextA(h, t.c_str());
}

LRESULT CALLBACK EditProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (common(h, m, wp, lp, &r)) return r;
    switch (m) {
    case WM_CREATE: {
        ControlState cs = get_state(h);
        cs.sel_start = cs.sel_end = size_t(GetWindowTextLengthA(h));
        put_state(h, cs);
        return 0;
    }
    case EM_LIMITTEXT: {
        ControlState cs = get_state(h);
        cs.limit = wp ? size_t(wp) : 0x7FFFFFFE;
        put_state(h, cs);
        return 0;
    }
    case EM_GETLIMITTEXT:
        return LRESULT(get_state(h).limit);
    case EM_SETSEL: {
        ControlState cs = get_state(h);
        size_t len = size_t(GetWindowTextLengthA(h));
        long long a = (long long)(int)wp, b = (long long)(int)lp;
        if (a < 0) {  // -1: remove the selection, keep the caret
            cs.sel_start = cs.sel_end;
        } else {
            cs.sel_start = std::min(size_t(a), len);
            cs.sel_end = b < 0 ? len : std::min(size_t(b), len);
        }
        put_state(h, cs);
        paint(h);
        return 0;
    }
    case EM_GETSEL: {
        ControlState cs = get_state(h);
        DWORD a = DWORD(std::min(cs.sel_start, cs.sel_end)), b = DWORD(std::max(cs.sel_start, cs.sel_end));
        if (wp) *reinterpret_cast<DWORD*>(wp) = a;
        if (lp) *reinterpret_cast<DWORD*>(lp) = b;
        return MAKELRESULT(a, b);
    }
    case WM_LBUTTONDOWN:
        SetFocus(h);
        return 0;
    case WM_CHAR: {
        ControlState cs = get_state(h);
        unsigned char c = static_cast<unsigned char>(wp);
        bool multiline = (GetWindowLongPtrA(h, GWL_STYLE) & ES_MULTILINE) != 0;
        if (cs.pending_lead >= 0) {
            std::string pair{char(cs.pending_lead), char(c)};
            cs.pending_lead = -1;
            edit_replace_selection(h, cs, pair);
        } else if (codepage::is_lead_byte(c)) {
            cs.pending_lead = c;
        } else if (c == '\b') {
            std::string t = text_of(h);
            if (cs.sel_start != cs.sel_end) {
                edit_replace_selection(h, cs, "");
            } else if (cs.sel_end > 0) {
                cs.sel_start = prev_char(t, std::min(cs.sel_end, t.size()));
                edit_replace_selection(h, cs, "");
            }
        } else if (c == '\r') {
            if (multiline) edit_replace_selection(h, cs, "\r\n");
        } else if (c >= 0x20 && c != 0x7F) {
            edit_replace_selection(h, cs, std::string(1, char(c)));
        }
        put_state(h, cs);
        paint(h);
        return 0;
    }
    case WM_KEYDOWN: {
        ControlState cs = get_state(h);
        std::string t = text_of(h);
        size_t caret = std::min(cs.sel_end, t.size());
        switch (wp) {
        case VK_LEFT: caret = caret ? prev_char(t, caret) : 0; break;
        case VK_RIGHT: caret += char_len(t, caret); break;
        case VK_HOME: caret = 0; break;
        case VK_END: caret = t.size(); break;
        case VK_DELETE:
            if (cs.sel_start == cs.sel_end) cs.sel_end = caret + char_len(t, caret);
            edit_replace_selection(h, cs, "");
            put_state(h, cs);
            paint(h);
            return 0;
        default: return 0;
        }
        cs.sel_start = cs.sel_end = caret;
        put_state(h, cs);
        paint(h);
        return 0;
    }
    default:
        return DefWindowProcA(h, m, wp, lp);
    }
}

}  // namespace

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
        uint32_t edge = to_pixel(GetSysColor(COLOR_BTNSHADOW));
        for (int x = frame.left; x < frame.right; ++x) {
            put(x, frame.top, edge);
            put(x, frame.bottom - 1, edge);
        }
        for (int y = frame.top; y < frame.bottom; ++y) {
            put(frame.left, y, edge);
            put(frame.right - 1, y, edge);
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
