// codec_bmp.cpp — Windows bitmap files, read and written here.
//
// Reads core (12-byte) and info (40-byte and later) headers; 1, 4 and 8 bits
// with a colour table, 16 and 32 bits with default or explicit bit fields
// (an alpha field gives alpha), 24 bits, and run-length 8- and 4-bit data
// (pixels the runs skip stay transparent). Every offset and length is checked
// against the file before use; a file that ends early is no picture.
// Writes 24-bit rows for opaque pictures, else 32 bits with an alpha field.
#include <cstring>

#include "gdiplus/picture.h"

namespace plat::gdiplus {

namespace {

uint32_t u16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t u32(const uint8_t* p) { return u16(p) | u16(p + 2) << 16; }

// Extracts one channel by mask and scales it to 0..255.
struct Field {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Field(uint32_t m = 0) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while (bits < 32 - shift && ((m >> (shift + bits)) & 1)) ++bits;
    }
    uint32_t get(uint32_t v) const {
        if (!mask) return 0;
        uint32_t x = (v & mask) >> shift;
        if (bits >= 8) return x >> (bits - 8);
        uint32_t max = (1u << bits) - 1;
        return (x * 255 + max / 2) / max;
    }
};

bool decode_rle(const uint8_t* d, size_t n, int bpp, int w, int h, std::vector<int>* idx) {
    size_t pos = 0;
    long long x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](int v) {
        if (x < w && y < h) (*idx)[size_t(h - 1 - y) * size_t(w) + size_t(x)] = v;
        ++x;
    };
    while (pos + 2 <= n) {
        const uint32_t count = d[pos], code = d[pos + 1];
        pos += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count; ++i) put(bpp == 8 ? int(code) : int(i & 1 ? code & 15 : code >> 4));
        } else if (code == 0) {
            x = 0;
            if (++y >= h) return true;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {
            if (pos + 2 > n) return false;
            x += d[pos];
            y += d[pos + 1];
            pos += 2;
            if (y >= h) return true;
        } else {
            const size_t bytes = bpp == 8 ? code : (code + 1) / 2;
            if (pos + bytes > n) return false;
            for (uint32_t i = 0; i < code; ++i)
                put(bpp == 8 ? int(d[pos + i]) : int(i & 1 ? d[pos + i / 2] & 15 : d[pos + i / 2] >> 4));
            pos += bytes + (bytes & 1);
        }
    }
    return false;  // no end-of-bitmap mark: the data ends early
}

}  // namespace

bool decode_bmp(const uint8_t* data, size_t size, Picture* out) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t off_bits = u32(data + 10), hsize = u32(data + 14);
    int64_t w, h;
    uint32_t bpp, compression = 0, clr_used = 0;
    size_t pal_entry = 4;
    if (hsize == 12) {
        w = u16(data + 18);
        h = u16(data + 20);
        bpp = u16(data + 24);
        pal_entry = 3;
    } else if (hsize >= 40 && hsize <= size - 14) {
        w = int32_t(u32(data + 18));
        h = int32_t(u32(data + 22));
        bpp = u16(data + 28);
        compression = u32(data + 30);
        clr_used = u32(data + 46);
    } else {
        return false;
    }
    const bool top_down = h < 0;
    if (top_down) h = -h;
    if (w <= 0 || h <= 0) return false;
    size_t table = 14 + size_t(hsize);
    // Bit fields: inside a larger header, or as three masks after a 40-byte one.
    Field r(0xFF0000), g(0xFF00), b(0xFF), a(0);
    if (bpp == 16) r = Field(0x7C00), g = Field(0x3E0), b = Field(0x1F);
    if (compression == BI_BITFIELDS) {
        if (bpp != 16 && bpp != 32) return false;
        // The three masks sit at bytes 54..65 whatever the header's size.
        if (table + (hsize == 40 ? 12 : 0) > size || size < 66) return false;
        r = Field(u32(data + 54));
        g = Field(u32(data + 58));
        b = Field(u32(data + 62));
        if (hsize >= 56) a = Field(u32(data + 66));
        if (hsize == 40) table += 12;
    } else if (compression == BI_RLE8) {
        if (bpp != 8 || top_down) return false;
    } else if (compression == BI_RLE4) {
        if (bpp != 4 || top_down) return false;
    } else if (compression != BI_RGB) {
        return false;  // embedded JPEG or PNG and other kinds
    }
    uint32_t palette[256] = {};
    if (bpp == 1 || bpp == 4 || bpp == 8) {
        const uint32_t max = 1u << bpp;
        const uint32_t count = clr_used && clr_used < max ? clr_used : max;
        if (table + size_t(count) * pal_entry > size) return false;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* q = data + table + i * pal_entry;
            palette[i] = 0xFF000000u | uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
        }
    } else if (bpp != 16 && bpp != 24 && bpp != 32) {
        return false;
    }
    if (off_bits >= size) return false;
    const uint8_t* bits = data + off_bits;
    const size_t avail = size - off_bits;
    const int W = int(w), H = int(h);
    const uint64_t stride = ((uint64_t(W) * bpp + 31) / 32) * 4;
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    // Uncompressed rows must all be in the file: a header that claims more is
    // refused before any memory is taken for the picture.
    if (!rle && stride * uint64_t(H) > avail) return false;
    if (!allocate(out, uint64_t(w), uint64_t(h))) return false;
    if (rle) {
        std::vector<int> idx(size_t(W) * size_t(H), -1);
        if (!decode_rle(bits, avail, int(bpp), W, H, &idx)) return false;
        for (size_t i = 0; i < idx.size(); ++i) out->pixels[i] = idx[i] < 0 ? 0u : palette[idx[i]];
        return true;
    }
    for (int y = 0; y < H; ++y) {
        const uint8_t* row = bits + size_t(top_down ? y : H - 1 - y) * stride;
        uint32_t* o = out->pixels.data() + size_t(y) * size_t(W);
        for (int x = 0; x < W; ++x) {
            switch (bpp) {
                case 1: o[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
                case 4: o[x] = palette[(row[x >> 1] >> (x & 1 ? 0 : 4)) & 15]; break;
                case 8: o[x] = palette[row[x]]; break;
                case 24: {
                    const uint8_t* p = row + size_t(x) * 3;
                    o[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                    break;
                }
                default: {
                    const uint32_t v = bpp == 16 ? u16(row + size_t(x) * 2) : u32(row + size_t(x) * 4);
                    const uint32_t alpha = a.mask ? a.get(v) : 0xFF;
                    o[x] = alpha << 24 | r.get(v) << 16 | g.get(v) << 8 | b.get(v);
                }
            }
        }
    }
    return true;
}

namespace {
void put16(std::vector<uint8_t>* v, uint32_t x) {
    v->push_back(uint8_t(x));
    v->push_back(uint8_t(x >> 8));
}
void put32(std::vector<uint8_t>* v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
}  // namespace

bool encode_bmp(const Picture& pic, std::vector<uint8_t>* out) {
    if (pic.width > 0x7FFFFFFF || pic.height > 0x7FFFFFFF) return false;
    const uint32_t bpp = pic.opaque ? 24 : 32;
    const uint32_t hsize = pic.opaque ? 40 : 108;  // alpha needs the bit fields of a version-4 header
    const uint64_t stride = ((uint64_t(pic.width) * bpp + 31) / 32) * 4;
    const uint64_t image = stride * pic.height;
    const uint64_t total = 14 + hsize + image;
    if (total > 0xFFFFFFFFu) return false;
    out->reserve(size_t(total));
    out->push_back('B');
    out->push_back('M');
    put32(out, uint32_t(total));
    put32(out, 0);
    put32(out, 14 + hsize);
    put32(out, hsize);
    put32(out, pic.width);
    put32(out, pic.height);  // bottom-up
    put16(out, 1);
    put16(out, bpp);
    put32(out, pic.opaque ? BI_RGB : BI_BITFIELDS);
    put32(out, uint32_t(image));
    put32(out, 2835);  // 72 dots per inch
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    if (!pic.opaque) {
        put32(out, 0x00FF0000);
        put32(out, 0x0000FF00);
        put32(out, 0x000000FF);
        put32(out, 0xFF000000);
        put32(out, 0x73524742);                        // 'sRGB'
        for (int i = 0; i < 12; ++i) put32(out, 0);  // end points and gamma, unused for sRGB
    }
    const size_t row_start = out->size();
    out->resize(size_t(total), 0);
    for (UINT y = 0; y < pic.height; ++y) {
        uint8_t* d = out->data() + row_start + size_t(pic.height - 1 - y) * size_t(stride);
        const uint32_t* s = pic.pixels.data() + size_t(y) * pic.width;
        if (bpp == 32) {
            std::memcpy(d, s, size_t(pic.width) * 4);
            continue;
        }
        for (UINT x = 0; x < pic.width; ++x) {
            *d++ = uint8_t(s[x]);
            *d++ = uint8_t(s[x] >> 8);
            *d++ = uint8_t(s[x] >> 16);
        }
    }
    return true;
}

}  // namespace plat::gdiplus
