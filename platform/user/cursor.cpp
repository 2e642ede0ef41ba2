// The pointer: where it is (GetCursorPos, SetCursorPos), whether it is shown
// (ShowCursor's display count) and the rectangle it is kept in
// (ClipCursor). There is one pointer for the process.
//
// The position is the one last seen in a mouse event over one of the
// program's windows (window_events.cpp), or the one SetCursorPos put it at;
// both are kept inside the ClipCursor rectangle. Takes State::mutex; the
// backend is told after it is released.
#include <algorithm>

#include "backend.h"
#include "user/user_internal.h"

using namespace plat::user;

namespace {

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) r = RECT{a.left, a.top, a.left, a.top};
    return r;
}

}  // namespace

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    *lpPoint = st.cursor;
    return TRUE;
}

// The position is kept on the screen and inside the ClipCursor rectangle.
BOOL WINAPI SetCursorPos(int X, int Y) {
    RECT screen = plat::backend().screen_rect();
    POINT p{std::clamp<LONG>(X, screen.left, screen.right - 1), std::clamp<LONG>(Y, screen.top, screen.bottom - 1)};
    {
        State& st = state();
        std::lock_guard<std::mutex> lock(st.mutex);
        track_cursor(st, p);
        p = st.cursor;
    }
    plat::backend().warp_cursor(p.x, p.y);
    return TRUE;
}

// The pointer is shown while the count is 0 or more; it starts at 0.
int WINAPI ShowCursor(BOOL bShow) {
    int count;
    bool changed;
    {
        State& st = state();
        std::lock_guard<std::mutex> lock(st.mutex);
        bool was_shown = st.cursor_count >= 0;
        count = st.cursor_count += bShow ? 1 : -1;
        changed = (count >= 0) != was_shown;
    }
    if (changed) plat::backend().show_cursor(count >= 0);
    return count;
}

// A rectangle is cut to the screen; null lets the pointer go anywhere. The
// pointer moves inside at once.
BOOL WINAPI ClipCursor(const RECT* lpRect) {
    RECT screen = plat::backend().screen_rect();
    RECT clip{};
    {
        State& st = state();
        std::lock_guard<std::mutex> lock(st.mutex);
        st.cursor_clipped = lpRect != nullptr;
        if (lpRect) {
            clip = st.cursor_clip = intersect(*lpRect, screen);
            track_cursor(st, st.cursor);
        }
    }
    plat::backend().clip_cursor(lpRect ? &clip : nullptr);
    return TRUE;
}

// The ClipCursor rectangle, or the screen when there is none.
BOOL WINAPI GetClipCursor(LPRECT lpRect) {
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT screen = plat::backend().screen_rect();
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    *lpRect = st.cursor_clipped ? st.cursor_clip : screen;
    return TRUE;
}
