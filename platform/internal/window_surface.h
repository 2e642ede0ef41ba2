// window_surface.h — how the GDI engine reaches a window's client pixels.
//
// USER owns every window's client surface (32-bpp, 0x00RRGGBB, top-down, no row
// padding, sized to the client area). GDI draws into it through a window DC
// (GetDC) and tells USER which rectangle changed, so the backend can present it.
// A surface is locked for the duration of one GDI call; the backend takes the
// same lock while it copies pixels to the screen.
#pragma once

#include <cstdint>

#include "windef.h"

namespace plat {

struct SurfaceView {
    uint32_t* pixels = nullptr;  // null when the client area is empty
    int width = 0;
    int height = 0;
};

// USER side (user/). lock_window_surface returns false for an invalid window;
// on success the surface stays locked until unlock_window_surface.
bool lock_window_surface(HWND hwnd, SurfaceView* out);
void unlock_window_surface(HWND hwnd);
// Called by GDI after drawing into the surface: the rectangle (client
// coordinates, right/bottom exclusive) must reach the screen.
void window_surface_changed(HWND hwnd, const RECT& dirty);

// GDI side (gdi/). GetDC / ReleaseDC in USER create and free window DCs here.
// hwnd null makes the screen DC (a DC without pixels of its own, compatible
// with memory DCs; drawing on it changes nothing).
HDC create_window_dc(HWND hwnd);
void release_window_dc(HDC hdc);

}  // namespace plat
