// Writes JPEG files of four inks for the decoder tests: our encoder writes
// colour files only. Kept apart from the tests because the library's
// header and the Windows types both define INT32.
#include <array>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

// Flat 8 x 8 blocks side by side, one per ink set,
// with or without the Adobe marker (which stores every ink inverted).
std::vector<uint8_t> InkJpeg(const std::vector<std::array<uint8_t, 4>>& blocks, bool adobe) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = JDIMENSION(blocks.size() * 8);
    cinfo.image_height = 8;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_CMYK);
    cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row;
    for (const auto& b : blocks)
        for (int x = 0; x < 8; ++x)
            for (int i = 0; i < 4; ++i) row.push_back(adobe ? uint8_t(255 - b[size_t(i)]) : b[size_t(i)]);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> file(mem, mem + size);
    std::free(mem);
    return file;
}

