// codec_tiff.cpp — TIFF through libtiff.
//
// Reading opens the first directory only (the number of pages never
// matters), with libtiff's own allocations capped and its messages silenced,
// and converts any photometric kind libtiff's RGBA reader knows. Writing
// makes 8-bit RGB (or RGBA with unassociated alpha), LZW compressed.
#include <tiffio.h>

#include <algorithm>
#include <cstring>

#include "gdiplus/picture.h"

namespace plat::gdiplus {

namespace {

struct Memory {
    const uint8_t* data = nullptr;  // reading
    std::vector<uint8_t>* out = nullptr;  // writing
    uint64_t size = 0;
    uint64_t pos = 0;
};

tmsize_t mem_read(thandle_t h, void* buf, tmsize_t n) {
    auto* m = static_cast<Memory*>(h);
    if (!m->data || n <= 0 || m->pos >= m->size) return 0;
    uint64_t k = std::min<uint64_t>(uint64_t(n), m->size - m->pos);
    std::memcpy(buf, m->data + m->pos, size_t(k));
    m->pos += k;
    return tmsize_t(k);
}

tmsize_t mem_write(thandle_t h, void* buf, tmsize_t n) {
    auto* m = static_cast<Memory*>(h);
    if (!m->out || n < 0) return -1;
    uint64_t end = m->pos + uint64_t(n);
    if (end > m->out->size()) m->out->resize(size_t(end));
    std::memcpy(m->out->data() + m->pos, buf, size_t(n));
    m->pos = end;
    m->size = std::max<uint64_t>(m->size, end);
    return n;
}

toff_t mem_seek(thandle_t h, toff_t off, int whence) {
    auto* m = static_cast<Memory*>(h);
    uint64_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
    uint64_t p = base + off;
    if (p > (uint64_t(1) << 40)) return toff_t(-1);
    m->pos = p;
    return p;
}

int mem_close(thandle_t) { return 0; }
toff_t mem_size(thandle_t h) { return static_cast<Memory*>(h)->size; }
int no_map(thandle_t, void**, toff_t*) { return 0; }
void no_unmap(thandle_t, void*, toff_t) {}
int silent(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* open(Memory* m, const char* mode) {
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    if (!opts) return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t(kMaxPixels * 4));
    TIFFOpenOptionsSetErrorHandlerExtR(opts, silent, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, silent, nullptr);
    TIFF* tif = TIFFClientOpenExt("memory", mode, m, mem_read, mem_write, mem_seek, mem_close, mem_size, no_map,
                                  no_unmap, opts);
    TIFFOpenOptionsFree(opts);
    return tif;
}

}  // namespace

bool decode_tiff(const uint8_t* data, size_t size, Picture* out) {
    Memory m;
    m.data = data;
    m.size = size;
    TIFF* tif = open(&m, "rm");  // m: no memory mapping
    if (!tif) return false;
    uint32_t w = 0, h = 0;
    bool ok = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) == 1 && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) == 1;
    char emsg[1024];
    ok = ok && TIFFRGBAImageOK(tif, emsg) && allocate(out, w, h);
    // The RGBA reader gives 0xAABBGGRR with alpha premultiplied.
    ok = ok && TIFFReadRGBAImageOriented(tif, w, h, out->pixels.data(), ORIENTATION_TOPLEFT, 1) == 1;
    TIFFClose(tif);
    if (!ok) return false;
    for (uint32_t& p : out->pixels) {
        uint32_t a = p >> 24, r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
        if (a != 255 && a != 0) {
            r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
            g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
            b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
        }
        p = a << 24 | r << 16 | g << 8 | b;
    }
    return true;
}

bool encode_tiff(const Picture& pic, std::vector<uint8_t>* out) {
    Memory m;
    m.out = out;
    TIFF* tif = open(&m, "w");
    if (!tif) return false;
    const uint16_t spp = pic.opaque ? 3 : 4;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, pic.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, pic.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    if (spp == 4) {
        const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    std::vector<uint8_t> row(size_t(pic.width) * spp);
    bool ok = true;
    for (UINT y = 0; ok && y < pic.height; ++y) {
        const uint32_t* src = pic.pixels.data() + size_t(y) * pic.width;
        uint8_t* d = row.data();
        for (UINT x = 0; x < pic.width; ++x) {
            const uint32_t p = src[x];
            *d++ = uint8_t(p >> 16);
            *d++ = uint8_t(p >> 8);
            *d++ = uint8_t(p);
            if (spp == 4) *d++ = uint8_t(p >> 24);
        }
        ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    }
    ok = TIFFWriteDirectory(tif) == 1 && ok;
    TIFFClose(tif);
    if (!ok) out->clear();
    return ok;
}

}  // namespace plat::gdiplus
