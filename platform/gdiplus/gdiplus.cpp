// gdiplus.cpp — "gdiplus.dll": start-up, shutdown and the picture entry points.
//
// Pictures are decoded from streams (BMP, PNG, JPEG, GIF first frame, TIFF
// first page), drawn scaled into a device context, and encoded to files by
// the five built-in encoders, chosen by class identifier. The codecs
// themselves live in codec_*.cpp, the drawing in draw_picture.cpp.
//
// Objects handed out are remembered, so a stale or foreign pointer given back
// is refused with InvalidParameter instead of being dereferenced.
#include <gdiplus.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>
#include <new>
#include <unordered_set>
#include <vector>

#include "codepage.h"
#include "gdiplus/picture.h"
#include "module_exports.h"

namespace Gdiplus {

struct GpImage : plat::gdiplus::Picture {
    virtual ~GpImage() = default;
};

struct GpBitmap : GpImage {};

struct GpGraphics {
    HDC hdc = nullptr;
};

}  // namespace Gdiplus

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

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

// Larger streams are refused before reading: no picture file is that big.
constexpr ULONGLONG kMaxFileBytes = ULONGLONG(1) << 30;

// Remembers a new image and hands it out; deletes it if GDI+ has stopped.
template <class T>
Status register_image(GpImage* img, T** out) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!started_locked(s)) {
        delete img;
        return GdiplusNotInitialized;
    }
    s.images.insert(img);
    *out = static_cast<T*>(img);
    return Ok;
}

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

Status WINAPI Gdiplus::GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
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
VOID WINAPI Gdiplus::GdiplusShutdown(ULONG_PTR token) {
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

// Reads the stream from its current position to its end and decodes that.
GpStatus WINAPI Gdiplus::DllExports::GdipLoadImageFromStream(IStream* stream, GpImage** image) {
    if (!stream || !image) return InvalidParameter;
    *image = nullptr;
    if (Status st = check_started(); st != Ok) return st;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    ULARGE_INTEGER pos, end;
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &pos)) || FAILED(stream->Seek(zero, STREAM_SEEK_END, &end)))
        return InvalidParameter;
    LARGE_INTEGER back;
    back.QuadPart = LONGLONG(pos.QuadPart);
    stream->Seek(back, STREAM_SEEK_SET, nullptr);
    const ULONGLONG size = end.QuadPart > pos.QuadPart ? end.QuadPart - pos.QuadPart : 0;
    if (size > kMaxFileBytes) return OutOfMemory;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    ULONG got = 0;
    if (size && (FAILED(stream->Read(bytes.data(), ULONG(size), &got)) || got != size)) return InvalidParameter;
    auto* img = new (std::nothrow) GpImage;
    if (!img) return OutOfMemory;
    if (!plat::gdiplus::decode_picture(bytes.data(), bytes.size(), img)) {
        delete img;
        return UnknownImageFormat;
    }
    return register_image(img, image);
}

GpStatus WINAPI Gdiplus::DllExports::GdipGetImageWidth(GpImage* image, UINT* width) {
    if (!image || !width) return InvalidParameter;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!started_locked(s)) return GdiplusNotInitialized;
    if (!s.images.count(image)) return InvalidParameter;
    *width = image->width;
    return Ok;
}

GpStatus WINAPI Gdiplus::DllExports::GdipGetImageHeight(GpImage* image, UINT* height) {
    if (!image || !height) return InvalidParameter;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!started_locked(s)) return GdiplusNotInitialized;
    if (!s.images.count(image)) return InvalidParameter;
    *height = image->height;
    return Ok;
}

GpStatus WINAPI Gdiplus::DllExports::GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
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

GpStatus WINAPI Gdiplus::DllExports::GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
    if (!graphics || !image) return InvalidParameter;
    {
        State& s = state();
        std::lock_guard<std::mutex> lock(s.mu);
        if (!started_locked(s)) return GdiplusNotInitialized;
        if (!s.graphics.count(graphics) || !s.images.count(image)) return InvalidParameter;
    }
    return plat::gdiplus::draw_picture(graphics->hdc, *image, x, y, width, height) ? Ok : InvalidParameter;
}

GpStatus WINAPI Gdiplus::DllExports::GdipDisposeImage(GpImage* image) {
    if (!image) return InvalidParameter;
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (!s.images.erase(image)) return InvalidParameter;
    }
    delete image;
    return Ok;
}

GpStatus WINAPI Gdiplus::DllExports::GdipDeleteGraphics(GpGraphics* graphics) {
    if (!graphics) return InvalidParameter;
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (!s.graphics.erase(graphics)) return InvalidParameter;
    }
    delete graphics;
    return Ok;
}

namespace {

using plat::gdiplus::Format;

struct Encoder {
    Format format;
    CLSID clsid;
    GUID format_id;
    const WCHAR* name;
    const WCHAR* description;
    const WCHAR* extensions;
    const WCHAR* mime;
};

// The built-in encoders, with the class and format identifiers Windows uses.
const Encoder kEncoders[] = {
    {Format::Bmp, {0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAB, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}, L"Built-in BMP Codec", L"BMP",
     L"*.BMP;*.DIB;*.RLE", L"image/bmp"},
    {Format::Jpeg, {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAE, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}, L"Built-in JPEG Codec", L"JPEG",
     L"*.JPG;*.JPEG;*.JPE;*.JFIF", L"image/jpeg"},
    {Format::Gif, {0x557CF402, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CB0, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}, L"Built-in GIF Codec", L"GIF",
     L"*.GIF", L"image/gif"},
    {Format::Tiff, {0x557CF405, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CB1, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}, L"Built-in TIFF Codec", L"TIFF",
     L"*.TIF;*.TIFF", L"image/tiff"},
    {Format::Png, {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}, L"Built-in PNG Codec", L"PNG",
     L"*.PNG", L"image/png"},
};
constexpr UINT kEncoderCount = sizeof kEncoders / sizeof kEncoders[0];
const WCHAR kDllName[] = L"gdiplus.dll";

size_t wide_bytes(const WCHAR* s) { return (std::wcslen(s) + 1) * sizeof(WCHAR); }

// The list is one block: the records, then the strings they point at.
UINT encoders_bytes() {
    size_t n = kEncoderCount * sizeof(ImageCodecInfo);
    for (const Encoder& e : kEncoders)
        n += wide_bytes(e.name) + wide_bytes(kDllName) + wide_bytes(e.description) + wide_bytes(e.extensions) +
             wide_bytes(e.mime);
    return UINT(n);
}

// File names are wide strings; Linux file names are UTF-8.
std::string utf8_path(const WCHAR* w) {
    std::u32string cps;
    for (; *w; ++w) cps += char32_t(*w);
    return plat::codepage::utf8_of(cps.data(), cps.size());
}

}  // namespace

GpStatus WINAPI Gdiplus::DllExports::GdipGetImageEncodersSize(UINT* numEncoders, UINT* size) {
    if (!numEncoders || !size) return InvalidParameter;
    *numEncoders = 0;
    *size = 0;
    if (Status st = check_started(); st != Ok) return st;
    *numEncoders = kEncoderCount;
    *size = encoders_bytes();
    return Ok;
}

// The count and size must be those GdipGetImageEncodersSize reported.
GpStatus WINAPI Gdiplus::DllExports::GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders) {
    if (!encoders) return InvalidParameter;
    if (Status st = check_started(); st != Ok) return st;
    if (numEncoders != kEncoderCount || size != encoders_bytes()) return GenericError;
    auto* strings = reinterpret_cast<uint8_t*>(encoders + kEncoderCount);
    auto place = [&strings](const WCHAR* s) {
        const size_t n = wide_bytes(s);
        std::memcpy(strings, s, n);
        const WCHAR* at = reinterpret_cast<const WCHAR*>(strings);
        strings += n;
        return at;
    };
    for (UINT i = 0; i < kEncoderCount; ++i) {
        const Encoder& e = kEncoders[i];
        ImageCodecInfo& info = encoders[i];
        std::memset(&info, 0, sizeof info);
        info.Clsid = e.clsid;
        info.FormatID = e.format_id;
        info.CodecName = place(e.name);
        info.DllName = place(kDllName);
        info.FormatDescription = place(e.description);
        info.FilenameExtension = place(e.extensions);
        info.MimeType = place(e.mime);
        info.Flags = 0x00010007;  // built-in encoder and decoder of bitmaps
        info.Version = 1;
    }
    return Ok;
}

GpStatus WINAPI Gdiplus::DllExports::GdipCreateBitmapFromGdiDib(const BITMAPINFO* info, VOID* data, GpBitmap** bitmap) {
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
        if (h.biBitCount == 32) {  // whole words: a loop the compiler vectorises
            for (uint64_t x = 0; x < w; ++x) {
                uint32_t v;
                std::memcpy(&v, row + x * 4, 4);
                out[x] = 0xFF000000u | v;
            }
            continue;
        }
        for (uint64_t x = 0; x < w; ++x) {
            const uint8_t* p = row + x * (h.biBitCount / 8);
            // A GDI DIB carries no alpha: every pixel is opaque.
            out[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    }
    return register_image(bmp, bitmap);
}

// Encodes the whole picture in memory first, so that a failed encoding
// leaves no file behind. Encoder parameters are not supported.
GpStatus WINAPI Gdiplus::DllExports::GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                                    const EncoderParameters* encoderParams) {
    if (!image || !filename || !clsidEncoder || !*filename) return InvalidParameter;
    if (Status st = check_image(image); st != Ok) return st;
    if (encoderParams && encoderParams->Count) return NotImplemented;
    const Encoder* enc = nullptr;
    for (const Encoder& e : kEncoders)
        if (IsEqualCLSID(e.clsid, *clsidEncoder)) enc = &e;
    if (!enc) return FileNotFound;  // what Windows reports for an unknown encoder
    std::vector<uint8_t> bytes;
    if (!plat::gdiplus::encode_picture(enc->format, *image, &bytes)) return Win32Error;
    const std::string path = utf8_path(filename);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return Win32Error;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(path.c_str());
        return Win32Error;
    }
    return Ok;
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
