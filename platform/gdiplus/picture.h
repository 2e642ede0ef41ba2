// picture.h — decoded pictures and the codecs of "gdiplus.dll".
//
// A picture is 32-bit straight (not premultiplied) ARGB, 0xAARRGGBB, top row
// first. Decoders read a whole file held in memory; encoders append a whole
// file to a byte vector. Every decoder refuses pictures with a zero side or
// more than kMaxPixels pixels before allocating them, so a lying header cannot
// make it allocate without bound, and reports failure for data it cannot read
// completely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "windows.h"

namespace plat::gdiplus {

// 2^26 pixels (for example 8192 x 8192): 256 MiB of decoded pixels at most.
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

// Leaves new elements uninitialised: decoders write every pixel anyway, and
// zeroing a large picture first would cost a pass over its memory.
template <class T>
struct NoInitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = NoInitAllocator<U>;
    };
    NoInitAllocator() = default;
    template <class U>
    NoInitAllocator(const NoInitAllocator<U>&) {}
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) == 0) ::new (static_cast<void*>(p)) U;
        else ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using Pixels = std::vector<uint32_t, NoInitAllocator<uint32_t>>;

struct Picture {
    UINT width = 0;
    UINT height = 0;
    bool opaque = true;            // every alpha is 0xFF
    Pixels pixels;                 // 0xAARRGGBB, width * height
};

// True when a w x h picture may be allocated; then sizes `pic`, its pixels
// zero (transparent) when `clear`, else undefined until the decoder writes them.
bool allocate(Picture* pic, uint64_t w, uint64_t h, bool clear = false);
// Recomputes pic->opaque from the pixels.
void update_opaque(Picture* pic);

enum class Format { Bmp, Jpeg, Gif, Tiff, Png };

// Chooses the decoder by the file's signature; false for unknown data.
bool decode_picture(const uint8_t* data, size_t size, Picture* out);

bool decode_bmp(const uint8_t* data, size_t size, Picture* out);
bool decode_png(const uint8_t* data, size_t size, Picture* out);
bool decode_jpeg(const uint8_t* data, size_t size, Picture* out);
bool decode_gif(const uint8_t* data, size_t size, Picture* out);
bool decode_tiff(const uint8_t* data, size_t size, Picture* out);

bool encode_picture(Format f, const Picture& pic, std::vector<uint8_t>* out);
bool encode_bmp(const Picture& pic, std::vector<uint8_t>* out);
bool encode_png(const Picture& pic, std::vector<uint8_t>* out);
bool encode_jpeg(const Picture& pic, std::vector<uint8_t>* out);  // quality 75
bool encode_gif(const Picture& pic, std::vector<uint8_t>* out);
bool encode_tiff(const Picture& pic, std::vector<uint8_t>* out);  // LZW

// Draws `pic` scaled into the rectangle (x, y, w, h) of a device context:
// tent filtering (bilinear when enlarging, averaging when reducing), alpha
// blended over the pixels beneath, within the DC's clip. False for a bad DC.
bool draw_picture(HDC hdc, const Picture& pic, int x, int y, int w, int h);

}  // namespace plat::gdiplus
