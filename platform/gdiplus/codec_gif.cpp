// codec_gif.cpp — GIF through giflib.
//
// Reading takes the first frame only, record by record (a file with
// thousands of frames costs no more than one), placed on the logical screen;
// screen pixels the frame does not cover are transparent. A file without a
// frame is no picture. Writing uses the exact colours when there are at most
// 256 (255 with transparency), otherwise giflib's median-cut quantiser.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "gdiplus/picture.h"

namespace plat::gdiplus {

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int read_memory(GifFileType* gif, GifByteType* buf, int n) {
    auto* r = static_cast<Reader*>(gif->UserData);
    if (n <= 0) return 0;
    size_t k = std::min(size_t(n), r->size - r->pos);
    std::memcpy(buf, r->data + r->pos, k);
    r->pos += k;
    return int(k);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        int err = 0;
        if (gif) DGifCloseFile(gif, &err);
    }
};

bool read_first_frame(GifFileType* gif, Picture* out) {
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
        if (type == TERMINATE_RECORD_TYPE) return false;  // no frame at all
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) return false;
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
        const GifImageDesc& d = gif->Image;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map || d.Width <= 0 || d.Height <= 0) return false;
        if (uint64_t(d.Width) * uint64_t(d.Height) > kMaxPixels) return false;  // decoding it would take long
        uint64_t sw = gif->SWidth > 0 ? gif->SWidth : d.Width, sh = gif->SHeight > 0 ? gif->SHeight : d.Height;
        if (!allocate(out, sw, sh, true)) return false;  // uncovered pixels stay transparent
        uint32_t palette[256];
        for (int i = 0; i < 256; ++i) {
            if (i < map->ColorCount && i != transparent) {
                const GifColorType& c = map->Colors[i];
                palette[i] = 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
            } else {
                palette[i] = 0;  // transparent, or an index the map does not have
            }
        }
        std::vector<GifPixelType> line(size_t(d.Width));
        auto put_row = [&](int y) {
            long long sy = (long long)d.Top + y;
            if (sy < 0 || sy >= (long long)sh) return;
            uint32_t* row = out->pixels.data() + size_t(sy) * sw;
            for (int x = 0; x < d.Width; ++x) {
                long long sx = (long long)d.Left + x;
                if (sx >= 0 && sx < (long long)sw) row[sx] = palette[line[size_t(x)]];
            }
        };
        if (d.Interlace) {
            static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < d.Height; y += step[pass]) {
                    if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) return false;
                    put_row(y);
                }
        } else {
            for (int y = 0; y < d.Height; ++y) {
                if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) return false;
                put_row(y);
            }
        }
        return true;
    }
}

}  // namespace

bool decode_gif(const uint8_t* data, size_t size, Picture* out) {
    Reader r{data, size, 0};
    int err = 0;
    GifCloser closer{DGifOpen(&r, read_memory, &err)};
    if (!closer.gif) return false;
    return read_first_frame(closer.gif, out);
}

namespace {

int write_memory(GifFileType* gif, const GifByteType* buf, int n) {
    auto* v = static_cast<std::vector<uint8_t>*>(gif->UserData);
    v->insert(v->end(), buf, buf + n);
    return n;
}

int round_up_pow2(int n) {
    int p = 2;
    while (p < n) p <<= 1;
    return p;
}

}  // namespace

bool encode_gif(const Picture& pic, std::vector<uint8_t>* out) {
    if (pic.width > 0xFFFF || pic.height > 0xFFFF) return false;
    const size_t n = pic.pixels.size();
    std::vector<GifPixelType> index(n);
    std::vector<GifColorType> colours;
    int transparent = -1;
    bool any_transparent = false;
    for (uint32_t p : pic.pixels) any_transparent |= (p >> 24) < 128;
    const int limit = any_transparent ? 255 : 256;
    // Exact palette when the picture has few enough colours.
    std::unordered_map<uint32_t, int> seen;
    bool exact = true;
    for (size_t i = 0; i < n && exact; ++i) {
        uint32_t p = pic.pixels[i];
        if ((p >> 24) < 128) continue;
        p &= 0xFFFFFF;
        auto it = seen.find(p);
        if (it != seen.end()) {
            index[i] = GifPixelType(it->second);
            continue;
        }
        if (int(seen.size()) == limit) exact = false;
        else {
            int k = int(seen.size());
            seen.emplace(p, k);
            colours.push_back(GifColorType{GifByteType(p >> 16), GifByteType(p >> 8), GifByteType(p)});
            index[i] = GifPixelType(k);
        }
    }
    if (!exact) {
        std::vector<GifByteType> r(n), g(n), b(n);
        for (size_t i = 0; i < n; ++i) {
            r[i] = GifByteType(pic.pixels[i] >> 16);
            g[i] = GifByteType(pic.pixels[i] >> 8);
            b[i] = GifByteType(pic.pixels[i]);
        }
        int count = limit;
        colours.assign(256, GifColorType{0, 0, 0});
        if (GifQuantizeBuffer(pic.width, pic.height, &count, r.data(), g.data(), b.data(), index.data(),
                              colours.data()) == GIF_ERROR)
            return false;
        colours.resize(size_t(count));
    }
    if (any_transparent) {
        transparent = int(colours.size());
        colours.push_back(GifColorType{0, 0, 0});
        for (size_t i = 0; i < n; ++i)
            if ((pic.pixels[i] >> 24) < 128) index[i] = GifPixelType(transparent);
    }
    const int map_size = round_up_pow2(int(colours.size()));
    colours.resize(size_t(map_size), GifColorType{0, 0, 0});
    ColorMapObject* map = GifMakeMapObject(map_size, colours.data());
    if (!map) return false;
    int err = 0;
    GifFileType* gif = EGifOpen(out, write_memory, &err);
    bool ok = gif != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, int(pic.width), int(pic.height), map->BitsPerPixel, 0, map) != GIF_ERROR;
        if (ok && transparent >= 0) {
            const GifByteType gce[4] = {1, 0, 0, GifByteType(transparent)};
            ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce) != GIF_ERROR;
        }
        ok = ok && EGifPutImageDesc(gif, 0, 0, int(pic.width), int(pic.height), false, nullptr) != GIF_ERROR;
        for (UINT y = 0; ok && y < pic.height; ++y)
            ok = EGifPutLine(gif, index.data() + size_t(y) * pic.width, int(pic.width)) != GIF_ERROR;
        if (EGifCloseFile(gif, &err) == GIF_ERROR) ok = false;
    }
    GifFreeMapObject(map);
    if (!ok) out->clear();
    return ok;
}

}  // namespace plat::gdiplus
