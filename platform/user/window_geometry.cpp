// Window geometry: the frame around a client area (AdjustWindowRectEx),
// window and client rectangles, moving and resizing (SetWindowPos), and
// client / screen coordinates. Takes State::mutex for each look-up; the
// backend is told of a move or resize after it is released.
#include <algorithm>

#include "backend.h"
#include "user/user_internal.h"

using namespace plat::user;

// Grows a client rectangle by the frame the backend draws for the style.
// Menus are not supported, so bMenu adds nothing.
BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD) {
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT in = plat::backend().frame_insets(dwStyle);
    lpRect->left -= in.left;
    lpRect->top -= in.top;
    lpRect->right += in.right;
    lpRect->bottom += in.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    LockedWindow w(hWnd);
    if (!w) return FALSE;
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = screen_outer(w.st, *w);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    LockedWindow w(hWnd);
    if (!w) return FALSE;
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = RECT{0, 0, w->client_w, w->client_h};
    return TRUE;
}

// Position and size of the outer rectangle. Of the z-order only
// HWND_TOPMOST / HWND_NOTOPMOST exist here (WS_EX_TOPMOST, for a top-level
// window); other values of hWndInsertAfter are ignored. Resizing reallocates
// the client surface and keeps the pixels of the overlap. SWP_FRAMECHANGED
// with SWP_NOSIZE keeps the outer rectangle and gives the client area what
// the frame of the window's style (as it is now) leaves. The window gets
// WM_SIZE / WM_MOVE (sent on its own thread, posted when another thread
// moves it).
BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    State& st = state();
    std::shared_ptr<Window> w;
    GeometryChange change;
    POINT origin;
    int cw, ch;
    DWORD style;
    ClientGeometry g;
    POINT old_origin;
    int topmost = -1;  // 0 or 1 when the window leaves or joins the topmost ones
    {
        LockedWindow lw(hWnd);
        if (!lw) return FALSE;
        w = lw.ptr();
        style = w->style;
    }
    // The frame as AdjustWindowRectEx reports it now (a backend may learn
    // the real decoration sizes only after the first window is shown).
    RECT insets = (style & WS_CHILD) ? RECT{} : plat::backend().frame_insets(style);
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        if (!find_window(st, hWnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        RECT r = w->outer;
        old_origin = client_origin(*w);
        if (w->parent) insets = w->insets;
        if ((uFlags & SWP_FRAMECHANGED) && (uFlags & SWP_NOSIZE)) w->insets = insets;
        if (!(uFlags & SWP_NOZORDER) && !w->parent &&
            (hWndInsertAfter == HWND_TOPMOST || hWndInsertAfter == HWND_NOTOPMOST)) {
            topmost = hWndInsertAfter == HWND_TOPMOST;
            if (topmost) w->ex_style |= WS_EX_TOPMOST;
            else w->ex_style &= ~DWORD(WS_EX_TOPMOST);
        }
        if (!(uFlags & SWP_NOSIZE)) {
            // Keep the client origin where it is while the frame changes.
            r.left += insets.left - w->insets.left;
            r.top += insets.top - w->insets.top;
            w->insets = insets;
        }
        if (!(uFlags & SWP_NOMOVE)) {
            r = RECT{X, Y, X + (r.right - r.left), Y + (r.bottom - r.top)};
        }
        if (!(uFlags & SWP_NOSIZE)) {
            r.right = r.left + std::max(0, cx);
            r.bottom = r.top + std::max(0, cy);
        }
        change = set_outer(*w, r);
        origin = client_origin(*w);
        cw = w->client_w;
        ch = w->client_h;
        g = geometry_of(*w);
    }
    if (change.resized) sync_surface(*w);
    bool client_moved = origin.x != old_origin.x || origin.y != old_origin.y;
    if ((client_moved || change.resized) && w->backend_id)
        plat::backend().set_client_rect(w->backend_id, origin.x, origin.y, cw, ch);
    if (topmost >= 0 && w->backend_id) plat::backend().set_topmost(w->backend_id, topmost == 1);
    if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOW);
    if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
    send_geometry_notifications(hWnd, g, change);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER);
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    LockedWindow w(hWnd);
    if (!w) return FALSE;
    if (!lpPoint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    POINT o = screen_client_origin(w.st, *w);
    lpPoint->x += o.x;
    lpPoint->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    LockedWindow w(hWnd);
    if (!w) return FALSE;
    if (!lpPoint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    POINT o = screen_client_origin(w.st, *w);
    lpPoint->x -= o.x;
    lpPoint->y -= o.y;
    return TRUE;
}
