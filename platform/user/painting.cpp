// Window surfaces and painting: each window's client surface (kept at the
// client size, locked by GDI for one call at a time), child windows copied
// into their top-level window's surface, device contexts (GetDC,
// BeginPaint) and the changed rectangles handed to the backend.
//
// Locks: a surface's own lock first, then State::mutex, never the other way
// round (the order GDI uses when it reports a change while drawing); two
// surfaces are locked lower handle first. Neither is held while the backend
// is called, except that a top-level window's surface stays locked while
// its changed pixels are handed over.
#include <algorithm>
#include <cstring>
#include <functional>

#include "backend.h"
#include "user/user_internal.h"
#include "window_surface.h"
#include "wingdi.h"

namespace plat::user {
namespace {

uint32_t to_pixel(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

// Surfaces locked by this thread, so that unlock finds the window even if it
// was destroyed meanwhile (the shared_ptr keeps it alive until then).
thread_local std::vector<std::shared_ptr<Window>> t_locked_surfaces;

bool window_exists(HWND hwnd) { return bool(LockedWindow(hwnd)); }

}  // namespace

void sync_surface(Window& w) {
    // Surface lock first, then the state lock: the order GDI uses when it
    // reports a change while drawing.
    std::lock_guard<std::recursive_mutex> lock(w.surface_mutex);
    int width, height;
    {
        std::lock_guard<std::mutex> state_lock(state().mutex);
        width = w.client_w;
        height = w.client_h;
    }
    if (width == w.surf_w && height == w.surf_h) return;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0);
    int cw = std::min(width, w.surf_w), ch = std::min(height, w.surf_h);
    // An empty old or new surface has nothing to carry over (and no storage to index).
    if (cw > 0)
        for (int y = 0; y < ch; ++y)
            std::memcpy(pixels.data() + size_t(y) * width, w.pixels.data() + size_t(y) * w.surf_w,
                        size_t(cw) * sizeof(uint32_t));
    w.pixels.swap(pixels);
    w.surf_w = width;
    w.surf_h = height;
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

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd && !window_exists(hWnd)) return nullptr;
    return plat::create_window_dc(hWnd);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    if (!hDC) return 0;
    plat::release_window_dc(hDC);
    return 1;
}

// Windows are never invalidated by the system here (the surface keeps its
// pixels), so painting is on demand only.
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    RECT rc{};
    if (!lpPaint) return nullptr;
    {
        LockedWindow w(hWnd);
        if (!w) return nullptr;
        rc = RECT{0, 0, w->client_w, w->client_h};
    }
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = GetDC(hWnd);
    lpPaint->rcPaint = rc;
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (!lpPaint) return FALSE;
    ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL) {
    return !hWnd || window_exists(hWnd);
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT*) {
    return !hWnd || window_exists(hWnd);
}

namespace plat {

bool lock_window_surface(HWND hwnd, SurfaceView* out) {
    std::shared_ptr<Window> w = LockedWindow(hwnd, LockedWindow::Quiet).ptr();
    if (!w || !out) return false;
    w->surface_mutex.lock();
    out->pixels = w->pixels.empty() ? nullptr : w->pixels.data();
    out->width = w->surf_w;
    out->height = w->surf_h;
    t_locked_surfaces.push_back(std::move(w));
    return true;
}

void unlock_window_surface(HWND hwnd) {
    for (auto it = t_locked_surfaces.rbegin(); it != t_locked_surfaces.rend(); ++it) {
        if ((*it)->hwnd != hwnd) continue;
        std::shared_ptr<Window> w = std::move(*it);
        t_locked_surfaces.erase(std::next(it).base());
        w->surface_mutex.unlock();
        return;
    }
}

// A top-level window's changed pixels are handed down to the backend under
// the surface lock; a child's are copied into its top-level window first.
void window_surface_changed(HWND hwnd, const RECT& dirty) {
    std::shared_ptr<Window> top;
    uint32_t id;
    bool child;
    RECT r = dirty;
    {
        LockedWindow w(hwnd, LockedWindow::Quiet);
        if (!w) return;
        top = w.ptr();
        id = w->backend_id;
        child = w->parent != nullptr;
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, w->client_w);
        r.bottom = std::min<LONG>(r.bottom, w->client_h);
    }
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (child) {
        user::compose_child(hwnd, r);
        return;
    }
    if (!id) return;
    std::lock_guard<std::recursive_mutex> lock(top->surface_mutex);
    backend().update(id, top->pixels.empty() ? nullptr : top->pixels.data(), top->surf_w, top->surf_h, r);
}

}  // namespace plat
