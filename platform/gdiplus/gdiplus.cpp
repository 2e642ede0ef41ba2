// gdiplus.cpp — "gdiplus.dll": start-up, shutdown and the picture entry points.
//
// Working: GdiplusStartup / GdiplusShutdown (version check, token counting),
// GdipCreateFromHDC / GdipDeleteGraphics (a Graphics object holding its DC),
// GdipCreateBitmapFromGdiDib (uncompressed 24- and 32-bpp DIBs into a 32-bpp
// image), GdipGetImageWidth / GdipGetImageHeight / GdipDisposeImage.
//
// NOT IMPLEMENTED YET (the picture codecs are still to come): they check
// their arguments and then return NotImplemented:
//   GdipLoadImageFromStream, GdipDrawImageRectI, GdipGetImageEncodersSize,
//   GdipGetImageEncoders, GdipSaveImageToFile.
//
// Objects handed out are remembered, so a stale or foreign pointer given back
// is refused with InvalidParameter instead of being dereferenced.
#include "gdiplus/gdiplus_flat.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>
#include <vector>

#include "module_exports.h"

namespace Gdiplus {

struct GpImage {
    virtual ~GpImage() = default;
    UINT width = 0;
    UINT height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top-down, width * height
};

struct GpBitmap : GpImage {};

struct GpGraphics {
    HDC hdc = nullptr;
};

}  // namespace Gdiplus

using namespace Gdiplus;

namespace {

struct State {
    std::mutex mu;
    std::unordered_set<ULONG_PTR> tokens;  // live start-ups
    ULONG_PTR next_token = 1;
    std::unordered_set<GpImage*> images;
    std::unordered_set<GpGraphics*> graphics;
};

State& state() {
    static auto* s = new State;  // kept to the end of the process
    return *s;
}

bool started_locked(State& s) { return !s.tokens.empty(); }

// The notification hooks handed out when the caller runs its own background
// work (SuppressBackgroundThread): there is no background thread here, so
// they only hand out and take back a token.
Status WINAPI notification_hook(ULONG_PTR* token) {
    if (!token) return InvalidParameter;
    *token = 0;
    return Ok;
}
void WINAPI notification_unhook(ULONG_PTR) {}

// Common checks of the entry points: started, and a known image.
Status check_image(GpImage* image) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!started_locked(s)) return GdiplusNotInitialized;
    if (!image || !s.images.count(image)) return InvalidParameter;
    return Ok;
}

Status check_started() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    return started_locked(s) ? Ok : GdiplusNotInitialized;
}

}  // namespace

Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
    if (!token || !input) return InvalidParameter;
    if (input->GdiplusVersion < 1 || input->GdiplusVersion > 3) return UnsupportedGdiplusVersion;
    if (input->SuppressBackgroundThread && !output) return InvalidParameter;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    ULONG_PTR t = s.next_token++;
    s.tokens.insert(t);
    *token = t;
    if (output) {
        output->NotificationHook = &notification_hook;
        output->NotificationUnhook = &notification_unhook;
    }
    return Ok;
}

// An unknown or already used token is ignored. When the last start-up ends,
// every image and graphics object still alive is released.
void WINAPI GdiplusShutdown(ULONG_PTR token) {
    State& s = state();
    std::vector<GpImage*> images;
    std::vector<GpGraphics*> graphics;
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (!s.tokens.erase(token)) return;
        if (!s.tokens.empty()) return;
        images.assign(s.images.begin(), s.images.end());
        graphics.assign(s.graphics.begin(), s.graphics.end());
        s.images.clear();
        s.graphics.clear();
    }
    for (GpImage* i : images) delete i;
    for (GpGraphics* g : graphics) delete g;
}

GpStatus WINAPI GdipLoadImageFromStream(IStream* stream, GpImage** image) {
    if (!stream || !image) return InvalidParameter;
    *image = nullptr;
    if (Status st = check_started(); st != Ok) return st;
    return NotImplemented;  // decoders not written yet
}

GpStatus WINAPI GdipGetImageWidth(GpImage* image, UINT* width) {
    if (!image || !width) return InvalidParameter;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!started_locked(s)) return GdiplusNotInitialized;
    if (!s.images.count(image)) return InvalidParameter;
    *width = image->width;
    return Ok;
}

GpStatus WINAPI GdipGetImageHeight(GpImage* image, UINT* height) {
    if (!image || !height) return InvalidParameter;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!started_locked(s)) return GdiplusNotInitialized;
    if (!s.images.count(image)) return InvalidParameter;
    *height = image->height;
    return Ok;
}

GpStatus WINAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
    if (!hdc || !graphics) return InvalidParameter;
    *graphics = nullptr;
    DWORD type = GetObjectType(hdc);
    if (type != OBJ_DC && type != OBJ_MEMDC) return OutOfMemory;  // what Windows reports for a bad DC
    auto* g = new (std::nothrow) GpGraphics;
    if (!g) return OutOfMemory;
    g->hdc = hdc;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!started_locked(s)) {
        delete g;
        return GdiplusNotInitialized;
    }
    s.graphics.insert(g);
    *graphics = g;
    return Ok;
}

GpStatus WINAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
    if (!graphics || !image) return InvalidParameter;
    {
        State& s = state();
        std::lock_guard<std::mutex> lock(s.mu);
        if (!started_locked(s)) return GdiplusNotInitialized;
        if (!s.graphics.count(graphics) || !s.images.count(image)) return InvalidParameter;
    }
    return NotImplemented;  // drawing pictures comes with the codecs
}

GpStatus WINAPI GdipDisposeImage(GpImage* image) {
    if (!image) return InvalidParameter;
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (!s.images.erase(image)) return InvalidParameter;
    }
    delete image;
    return Ok;
}

GpStatus WINAPI GdipDeleteGraphics(GpGraphics* graphics) {
    if (!graphics) return InvalidParameter;
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (!s.graphics.erase(graphics)) return InvalidParameter;
    }
    delete graphics;
    return Ok;
}

GpStatus WINAPI GdipGetImageEncodersSize(UINT* numEncoders, UINT* size) {
    if (!numEncoders || !size) return InvalidParameter;
    *numEncoders = 0;
    *size = 0;
    if (Status st = check_started(); st != Ok) return st;
    return NotImplemented;  // encoders not written yet
}

GpStatus WINAPI GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders) {
    if (!encoders) return InvalidParameter;
    if (Status st = check_started(); st != Ok) return st;
    return NotImplemented;  // encoders not written yet
}

GpStatus WINAPI GdipCreateBitmapFromGdiDib(const BITMAPINFO* info, VOID* data, GpBitmap** bitmap) {
    if (!info || !data || !bitmap) return InvalidParameter;
    *bitmap = nullptr;
    if (Status st = check_started(); st != Ok) return st;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1)
        return InvalidParameter;
    if (h.biCompression != BI_RGB || (h.biBitCount != 24 && h.biBitCount != 32)) return NotImplemented;
    const bool top_down = h.biHeight < 0;
    const uint64_t w = static_cast<uint64_t>(h.biWidth);
    const uint64_t rows = top_down ? static_cast<uint64_t>(-static_cast<int64_t>(h.biHeight))
                                   : static_cast<uint64_t>(h.biHeight);
    if (w > 0x7FFF'FFFF || rows > 0x7FFF'FFFF || w * rows > (1ull << 28)) return OutOfMemory;
    const uint64_t stride = ((w * h.biBitCount + 31) / 32) * 4;  // DIB rows are 4-byte aligned
    auto* bmp = new (std::nothrow) GpBitmap;
    if (!bmp) return OutOfMemory;
    bmp->width = static_cast<UINT>(w);
    bmp->height = static_cast<UINT>(rows);
    try {
        bmp->pixels.resize(w * rows);
    } catch (const std::bad_alloc&) {
        delete bmp;
        return OutOfMemory;
    }
    const auto* src = static_cast<const uint8_t*>(data);
    for (uint64_t y = 0; y < rows; ++y) {
        const uint8_t* row = src + (top_down ? y : rows - 1 - y) * stride;
        uint32_t* out = bmp->pixels.data() + y * w;
        for (uint64_t x = 0; x < w; ++x) {
            const uint8_t* p = row + x * (h.biBitCount / 8);
            // A GDI DIB carries no alpha: every pixel is opaque.
            out[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    }
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.images.insert(bmp);
    *bitmap = bmp;
    return Ok;
}

GpStatus WINAPI GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                                    const EncoderParameters* encoderParams) {
    if (!image || !filename || !clsidEncoder) return InvalidParameter;
    if (Status st = check_image(image); st != Ok) return st;
    return NotImplemented;  // encoders not written yet
}

namespace plat {

namespace {
const ExportEntry kGdiplusEntries[] = {
    PLAT_EXPORT(GdiplusStartup),
    PLAT_EXPORT(GdiplusShutdown),
    PLAT_EXPORT(GdipLoadImageFromStream),
    PLAT_EXPORT(GdipGetImageWidth),
    PLAT_EXPORT(GdipGetImageHeight),
    PLAT_EXPORT(GdipCreateFromHDC),
    PLAT_EXPORT(GdipDrawImageRectI),
    PLAT_EXPORT(GdipDisposeImage),
    PLAT_EXPORT(GdipDeleteGraphics),
    PLAT_EXPORT(GdipGetImageEncodersSize),
    PLAT_EXPORT(GdipGetImageEncoders),
    PLAT_EXPORT(GdipCreateBitmapFromGdiDib),
    PLAT_EXPORT(GdipSaveImageToFile),
};
}  // namespace

const ExportTable gdiplus_exports = {"gdiplus.dll", kGdiplusEntries,
                                     sizeof kGdiplusEntries / sizeof kGdiplusEntries[0]};

}  // namespace plat
