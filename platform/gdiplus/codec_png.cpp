// codec_png.cpp — PNG through libpng: the simplified reader (every colour
// type, bit depth, palette and transparency to 8-bit BGRA) and a plain writer
// (RGB when every pixel is opaque, else RGBA; default zlib settings).
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "gdiplus/picture.h"

namespace plat::gdiplus {

bool decode_png(const uint8_t* data, size_t size, Picture* out) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, data, size)) return false;
    if (!allocate(out, img.width, img.height)) {
        png_image_free(&img);
        return false;
    }
    img.format = PNG_FORMAT_BGRA;  // bytes B, G, R, A: 0xAARRGGBB in memory
    if (!png_image_finish_read(&img, nullptr, out->pixels.data(), 0, nullptr)) {
        png_image_free(&img);
        return false;
    }
    return true;
}

namespace {
void write_to_vector(png_structp png, png_bytep data, png_size_t n) {
    auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    v->insert(v->end(), data, data + n);
}
void flush_nothing(png_structp) {}
void silent(png_structp, png_const_charp) {}
[[noreturn]] void fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
}  // namespace

bool encode_png(const Picture& pic, std::vector<uint8_t>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, fail, silent);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out->clear();
        return false;
    }
    png_set_write_fn(png, out, write_to_vector, flush_nothing);
    png_set_IHDR(png, info, pic.width, pic.height, 8, pic.opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);                                           // our bytes are B, G, R, A
    if (pic.opaque) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drop the alpha byte
    for (UINT y = 0; y < pic.height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pic.pixels.data() + size_t(y) * pic.width));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace plat::gdiplus
