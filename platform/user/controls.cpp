// The built-in controls "Static" and "Button", and what every control shares
// (state, font, 3-D drawing); the "Edit" control lives in edit_control.cpp.
//
// A child window has a surface of its own, copied into its top-level
// window's surface whenever it changes (painting.cpp). Controls paint
// themselves with GDI whenever their state changes; there is no WM_PAINT
// cycle. Their colours are the system colours (system_parameters.cpp); a control without WM_SETFONT uses the
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
#include "wingdi.h"
#include "windowsx.h"

namespace plat::user {
namespace {

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

}  // namespace

LRESULT CALLBACK StaticProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (control_common(h, m, wp, lp, &r, paint_static)) return r;
    return DefWindowProcA(h, m, wp, lp);
}

namespace {

void click(HWND h) {
    HWND parent = GetParent(h);
    if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (control_common(h, m, wp, lp, &r, paint_button)) return r;
    switch (m) {
    case WM_LBUTTONDOWN: {
        SetFocus(h);
        SetCapture(h);
        ControlState cs = get_state(h);
        cs.pressed = true;
        put_state(h, cs);
        paint_control(h, paint_button);
        return 0;
    }
    case WM_LBUTTONUP: {
        ControlState cs = get_state(h);
        bool was = cs.pressed;
        cs.pressed = false;
        put_state(h, cs);
        if (GetCapture() == h) ReleaseCapture();
        paint_control(h, paint_button);
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

void paint_control(HWND h, ControlPainter paint) {
    {
        LockedWindow w(h, LockedWindow::Quiet);
        if (!w || !w->visible) return;
    }
    paint(h);
}

bool control_common(HWND h, UINT m, WPARAM wp, LPARAM lp, LRESULT* result, ControlPainter paint) {
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
        paint_control(h, paint);
        *result = 0;
        return true;
    }
    case WM_GETFONT:
        *result = reinterpret_cast<LRESULT>(get_state(h).font);
        return true;
    case WM_SETTEXT:
        *result = DefWindowProcA(h, m, wp, lp);
        paint_control(h, paint);
        return true;
    case WM_SHOWWINDOW:
    case WM_ENABLE:
        if (wp) paint_control(h, paint);
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        paint_control(h, paint);
        *result = 0;
        return true;
    default:
        return false;
    }
}

}  // namespace plat::user
