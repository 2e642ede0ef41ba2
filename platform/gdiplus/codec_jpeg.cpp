// codec_jpeg.cpp — JPEG through libjpeg-turbo, straight into 32-bit rows.
//
// Errors leave through longjmp and print nothing. A stream that ends early or
// a progressive file with an absurd number of scans (a known way to make a
// small file take minutes) is refused.
#include <cstdio>  // jpeglib.h needs FILE and size_t first
// Our windef.h defines INT32 as a 32-bit integer: libjpeg must not define it as long.
#define XMD_H
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <vector>
#include <cstdlib>

#include "gdiplus/picture.h"

namespace plat::gdiplus {

namespace {

constexpr int kMaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void error_exit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void output_nothing(j_common_ptr) {}
// Warnings (level -1) are corrupt-data notices: a premature end means
// the rest of the picture would be made up, so it is an error here.
void emit(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) error_exit(cinfo);
}

void progress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxScans) error_exit(cinfo);
    }
}

void setup_errors(ErrorManager* em) {
    jpeg_std_error(&em->pub);
    em->pub.error_exit = error_exit;
    em->pub.output_message = output_nothing;
    em->pub.emit_message = emit;
}

// Four inks to light: each channel is what its ink and the black ink let
// through, (255 - ink) * (255 - black) / 255. Files written by Adobe
// software (an Adobe marker) store every ink inverted, 255 - ink.
void cmyk_to_rgb(const uint8_t* inks, uint32_t* out, size_t width, bool inverted) {
    for (size_t x = 0; x < width; ++x, inks += 4) {
        unsigned c = inks[0], m = inks[1], y = inks[2], k = inks[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        const unsigned r = (c * k + 127) / 255, g = (m * k + 127) / 255, b = (y * k + 127) / 255;
        out[x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
}

}  // namespace

bool decode_jpeg(const uint8_t* data, size_t size, Picture* out) {
    if (size > 0xFFFFFFFFu) return false;  // jpeg_mem_src takes an unsigned long; also absurd
    jpeg_decompress_struct cinfo;
    ErrorManager em;
    jpeg_progress_mgr pm;
    pm.progress_monitor = progress;
    cinfo.err = &em.pub;
    setup_errors(&em);
    if (setjmp(em.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &pm;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!allocate(out, cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Print-oriented files hold four inks (CMYK, or YCCK that the library
    // turns back into CMYK); everything else the library turns into RGB.
    const bool inks = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = inks ? JCS_CMYK : JCS_EXT_BGRA;  // BGRA: bytes B, G, R, 0xFF
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != out->width || cinfo.output_height != out->height) error_exit(j_common_ptr(&cinfo));
    std::vector<uint8_t> ink_row(inks ? size_t(out->width) * 4 : 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        uint32_t* pixels = out->pixels.data() + size_t(cinfo.output_scanline) * out->width;
        JSAMPROW row = inks ? ink_row.data() : reinterpret_cast<JSAMPROW>(pixels);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) error_exit(j_common_ptr(&cinfo));
        if (inks) cmyk_to_rgb(ink_row.data(), pixels, out->width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool encode_jpeg(const Picture& pic, std::vector<uint8_t>* out) {
    if (pic.width > JPEG_MAX_DIMENSION || pic.height > JPEG_MAX_DIMENSION) return false;
    jpeg_compress_struct cinfo;
    ErrorManager em;
    cinfo.err = &em.pub;
    setup_errors(&em);
    unsigned char* mem = nullptr;
    unsigned long mem_size = 0;
    if (setjmp(em.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(mem);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &mem, &mem_size);
    cinfo.image_width = pic.width;
    cinfo.image_height = pic.height;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;  // the alpha byte is ignored
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 75, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(
            reinterpret_cast<const JSAMPLE*>(pic.pixels.data() + size_t(cinfo.next_scanline) * pic.width));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    out->assign(mem, mem + mem_size);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return true;
}

}  // namespace plat::gdiplus
