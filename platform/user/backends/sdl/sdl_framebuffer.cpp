// The SDL driver's framebuffers and presenting.
//
// The driver keeps each window's pixels itself (0x00RRGGBB, which is
// SDL_PIXELFORMAT_RGB888): USER hands down every changed rectangle together
// with the client surface, on the thread that drew, while it holds the
// surface's lock. The rectangle is first narrowed to the pixels that differ
// from what the framebuffer holds (a redrawn but identical frame is dropped
// there, without waking the SDL thread), then copied in, and the narrowed
// rectangle waits to be presented. The SDL thread merges what waits and
// presents it at most once per loop iteration, reading only the driver's
// own framebuffer: it never calls up into USER for pixels.
//
// Presenting copies the framebuffer into the SDL window surface pixel for
// pixel and updates the changed rectangle. No renderer and no OpenGL are
// used, so it works on Xvfb. Takes Shared::frame_mu, then (separately)
// Shared::mu.
#include <cstdlib>
#include <cstring>

#include "user/backends/sdl/sdl_internal.h"

namespace plat::sdl {
namespace {

void union_rect(RECT* into, const RECT& r) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (into->left >= into->right || into->top >= into->bottom) {
        *into = r;
        return;
    }
    if (r.left < into->left) into->left = r.left;
    if (r.top < into->top) into->top = r.top;
    if (r.right > into->right) into->right = r.right;
    if (r.bottom > into->bottom) into->bottom = r.bottom;
}

// Copies rectangle r of the framebuffer into the window surface k times
// larger, each pixel repeated k x k times (nearest neighbour), as Windows
// shows a program that is not DPI-aware on a scaled desktop.
bool copy_scaled(const FrameShadow& fb, const RECT& r, SDL_Surface* dst, int k) {
    if (dst->format->BytesPerPixel != 4) return false;
    if (SDL_MUSTLOCK(dst)) SDL_LockSurface(dst);
    const bool same_layout =
        dst->format->format == SDL_PIXELFORMAT_RGB888 || dst->format->format == SDL_PIXELFORMAT_ARGB8888;
    const size_t out_w = size_t(r.right - r.left) * size_t(k);
    for (LONG y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = fb.pixels() + size_t(y) * size_t(fb.width());
        auto* first = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(dst->pixels) +
                                                  size_t(y) * size_t(k) * size_t(dst->pitch)) +
                      size_t(r.left) * size_t(k);
        uint32_t* out = first;
        for (LONG x = r.left; x < r.right; ++x) {
            uint32_t p = src[x] & 0xFFFFFF;
            if (!same_layout) p = SDL_MapRGB(dst->format, Uint8(p >> 16), Uint8(p >> 8), Uint8(p));
            for (int i = 0; i < k; ++i) *out++ = p;
        }
        for (int i = 1; i < k; ++i)  // the other k - 1 rows repeat the first
            std::memcpy(reinterpret_cast<uint8_t*>(first) + size_t(i) * size_t(dst->pitch), first, out_w * 4);
    }
    if (SDL_MUSTLOCK(dst)) SDL_UnlockSurface(dst);
    return true;
}

// Copies rectangle r of the framebuffer into the window surface, one to one.
void copy_plain(const FrameShadow& fb, const RECT& r, SDL_Surface* dst) {
    if (SDL_MUSTLOCK(dst)) SDL_LockSurface(dst);
    const uint32_t* src = fb.pixels() + size_t(r.top) * size_t(fb.width()) + size_t(r.left);
    uint8_t* out = static_cast<uint8_t*>(dst->pixels) + size_t(r.top) * size_t(dst->pitch) +
                   size_t(r.left) * dst->format->BytesPerPixel;
    int w_px = r.right - r.left, h_px = r.bottom - r.top;
    if (dst->format->format == SDL_PIXELFORMAT_RGB888 || dst->format->format == SDL_PIXELFORMAT_ARGB8888) {
        for (int row = 0; row < h_px; ++row)
            std::memcpy(out + size_t(row) * size_t(dst->pitch), src + size_t(row) * size_t(fb.width()),
                        size_t(w_px) * 4);
    } else {
        SDL_ConvertPixels(w_px, h_px, SDL_PIXELFORMAT_RGB888, src, fb.width() * 4, dst->format->format, out,
                          dst->pitch);
    }
    if (SDL_MUSTLOCK(dst)) SDL_UnlockSurface(dst);
}

}  // namespace

void update(Shared* s, uint32_t id, const uint32_t* pixels, int width, int height, const RECT& dirty) {
    RECT r;
    {
        std::lock_guard<std::mutex> lock(s->frame_mu);
        auto it = s->frames.find(id);
        if (it == s->frames.end()) return;  // destroyed meanwhile
        r = it->second.update(pixels, width, height, dirty);
    }
    if (r.left >= r.right || r.top >= r.bottom) return;  // an identical frame: nothing to show
    {
        std::lock_guard<std::mutex> lock(s->mu);
        if (!s->geometry.count(id)) return;
        auto it = s->dirty.find(id);
        if (it == s->dirty.end()) s->dirty.emplace(id, r);
        else union_rect(&it->second, r);
        // Until SDL is ready the rectangle just waits: showing the window
        // presents all of it anyway.
        if (s->init != Shared::Init::Ready) return;
    }
    wake(s);
}

void present(Shared* s, uint32_t id, WindowRecord& w, RECT r) {
    if (!w.visible) return;
    SDL_Surface* dst = SDL_GetWindowSurface(w.sdl);
    if (!dst) return;
    const int k = s->scale;
    bool copied = false;
    {
        std::lock_guard<std::mutex> lock(s->frame_mu);
        auto it = s->frames.find(id);
        if (it == s->frames.end()) return;
        const FrameShadow& fb = it->second;
        if (r.left < 0) r.left = 0;
        if (r.top < 0) r.top = 0;
        if (r.right > fb.width()) r.right = fb.width();
        if (r.bottom > fb.height()) r.bottom = fb.height();
        if (r.right > dst->w / k) r.right = dst->w / k;
        if (r.bottom > dst->h / k) r.bottom = dst->h / k;
        if (fb.pixels() && r.left < r.right && r.top < r.bottom) {
            if (k > 1) {
                copied = copy_scaled(fb, r, dst, k);
            } else {
                copy_plain(fb, r, dst);
                copied = true;
            }
        }
    }
    if (!copied) return;
    SDL_Rect sr{r.left * k, r.top * k, (r.right - r.left) * k, (r.bottom - r.top) * k};
    SDL_UpdateWindowSurfaceRects(w.sdl, &sr, 1);
}

void present_dirty(Shared* s) {
    std::unordered_map<uint32_t, RECT> dirty;
    {
        std::lock_guard<std::mutex> lock(s->mu);
        dirty.swap(s->dirty);
    }
    for (auto& [id, r] : dirty)
        if (WindowRecord* w = find(s, id)) present(s, id, *w, r);
}

int choose_scale() {
    for (const char* name : {"GLINT_SCALE", "GDK_SCALE"}) {
        const char* v = SDL_getenv(name);
        if (!v || !*v) continue;
        int k = std::atoi(v);
        return k >= 1 && k <= 8 ? k : 1;
    }
    return 1;
}

}  // namespace plat::sdl
