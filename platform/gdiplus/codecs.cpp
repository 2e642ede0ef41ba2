// codecs.cpp — picture allocation limits, signature sniffing and dispatch.
#include <cstring>
#include <new>

#include "gdiplus/codec_libraries.h"
#include "gdiplus/picture.h"

namespace plat::gdiplus {

bool allocate(Picture* pic, uint64_t w, uint64_t h, bool clear) {
    if (w == 0 || h == 0 || w > kMaxPixels || h > kMaxPixels || w * h > kMaxPixels) return false;
    try {
        if (clear) pic->pixels.assign(size_t(w * h), 0u);
        else pic->pixels.resize(size_t(w * h));
    } catch (const std::bad_alloc&) {
        return false;
    }
    pic->width = UINT(w);
    pic->height = UINT(h);
    return true;
}

void update_opaque(Picture* pic) {
    uint32_t all = 0xFF000000u;
    for (uint32_t p : pic->pixels) all &= p;
    pic->opaque = (all & 0xFF000000u) == 0xFF000000u;
}

static bool starts(const uint8_t* d, size_t n, const char* magic, size_t m) {
    return n >= m && std::memcmp(d, magic, m) == 0;
}

bool decode_picture(const uint8_t* data, size_t size, Picture* out) {
    *out = Picture();
    if (!data || size < 4) return false;
    bool ok = false, jpeg = false;
    // A format whose library cannot be opened decodes as an unknown one.
    if (starts(data, size, "\x89PNG\r\n\x1a\n", 8))
        ok = codec_library_available(CodecLibrary::Png) && decode_png(data, size, out);
    else if (starts(data, size, "\xFF\xD8\xFF", 3))
        ok = codec_library_available(CodecLibrary::Jpeg) && decode_jpeg(data, size, out), jpeg = true;
    else if (starts(data, size, "GIF87a", 6) || starts(data, size, "GIF89a", 6))
        ok = codec_library_available(CodecLibrary::Gif) && decode_gif(data, size, out);
    else if (starts(data, size, "II*\0", 4) || starts(data, size, "MM\0*", 4))
        ok = codec_library_available(CodecLibrary::Tiff) && decode_tiff(data, size, out);
    else if (starts(data, size, "BM", 2)) ok = decode_bmp(data, size, out);
    if (!ok) {
        *out = Picture();
        return false;
    }
    if (jpeg) out->opaque = true;  // JPEG has no alpha
    else update_opaque(out);
    return true;
}

bool encode_picture(Format f, const Picture& pic, std::vector<uint8_t>* out) {
    out->clear();
    if (pic.width == 0 || pic.height == 0 || pic.pixels.size() != size_t(pic.width) * pic.height) return false;
    switch (f) {
        case Format::Bmp: return encode_bmp(pic, out);
        case Format::Jpeg: return codec_library_available(CodecLibrary::Jpeg) && encode_jpeg(pic, out);
        case Format::Gif: return codec_library_available(CodecLibrary::Gif) && encode_gif(pic, out);
        case Format::Tiff: return codec_library_available(CodecLibrary::Tiff) && encode_tiff(pic, out);
        case Format::Png: return codec_library_available(CodecLibrary::Png) && encode_png(pic, out);
    }
    return false;
}

}  // namespace plat::gdiplus
