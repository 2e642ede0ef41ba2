// gdiplus.dll: start-up and shutdown, the export table, the objects and the
// argument checks of the entry points (codecs: test_gdiplus_codecs.cpp).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <gdiplus.h>
#include "module_exports.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

GdiplusStartupInput input(UINT32 version) {
    GdiplusStartupInput in;
    in.GdiplusVersion = version;
    return in;
}

TEST(Gdiplus, ExportTableHasTheThirteenEntryPoints) {
    const char* names[] = {"GdiplusStartup", "GdiplusShutdown", "GdipLoadImageFromStream", "GdipGetImageWidth",
                           "GdipGetImageHeight", "GdipCreateFromHDC", "GdipDrawImageRectI", "GdipDisposeImage",
                           "GdipDeleteGraphics", "GdipGetImageEncodersSize", "GdipGetImageEncoders",
                           "GdipCreateBitmapFromGdiDib", "GdipSaveImageToFile"};
    HMODULE m = LoadLibraryA("gdiplus");
    ASSERT_NE(m, nullptr);
    for (const char* n : names) EXPECT_NE(GetProcAddress(m, n), nullptr) << n;
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, "GdiplusStartup")), reinterpret_cast<void*>(&GdiplusStartup));
    // A name the module does not export is not found (nor is one differing in case).
    EXPECT_EQ(GetProcAddress(m, "GdipDrawImage"), nullptr);
    EXPECT_EQ(GetProcAddress(m, "gdiplusstartup"), nullptr);
}

TEST(Gdiplus, StartupChecksVersionAndArguments) {
    ULONG_PTR token = 0;
    GdiplusStartupInput in = input(1);
    EXPECT_EQ(GdiplusStartup(nullptr, &in, nullptr), InvalidParameter);
    EXPECT_EQ(GdiplusStartup(&token, nullptr, nullptr), InvalidParameter);
    for (UINT32 bad : {0u, 4u, 100u}) {
        in = input(bad);
        EXPECT_EQ(GdiplusStartup(&token, &in, nullptr), UnsupportedGdiplusVersion) << bad;
    }
    // Without a background thread the caller must take the hooks.
    in = input(1);
    in.SuppressBackgroundThread = TRUE;
    EXPECT_EQ(GdiplusStartup(&token, &in, nullptr), InvalidParameter);
    GdiplusStartupOutput out{};
    ASSERT_EQ(GdiplusStartup(&token, &in, &out), Ok);
    ASSERT_NE(out.NotificationHook, nullptr);
    ASSERT_NE(out.NotificationUnhook, nullptr);
    ULONG_PTR hook_token = 1;
    EXPECT_EQ(out.NotificationHook(&hook_token), Ok);
    out.NotificationUnhook(hook_token);
    GdiplusShutdown(token);
}

TEST(Gdiplus, StartupsAreCountedByToken) {
    UINT w = 0;
    // Not started: entry points refuse to work.
    EXPECT_EQ(GdipGetImageEncodersSize(&w, &w), GdiplusNotInitialized);
    GdiplusStartupInput in = input(1);
    ULONG_PTR a = 0, b = 0;
    ASSERT_EQ(GdiplusStartup(&a, &in, nullptr), Ok);
    in = input(3);
    ASSERT_EQ(GdiplusStartup(&b, &in, nullptr), Ok);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    GdiplusShutdown(a);
    GdiplusShutdown(a);         // already ended: ignored
    GdiplusShutdown(a + b + 7); // unknown: ignored
    UINT n = 0, size = 0;
    EXPECT_EQ(GdipGetImageEncodersSize(&n, &size), Ok);  // still started through b
    GdiplusShutdown(b);
    EXPECT_EQ(GdipGetImageEncodersSize(&n, &size), GdiplusNotInitialized);
    // It can start again.
    ASSERT_EQ(GdiplusStartup(&a, &in, nullptr), Ok);
    GdiplusShutdown(a);
}

TEST(Gdiplus, BitmapFromDibKeepsSizeAndIsDisposedOnce) {
    GdiplusStartupInput in = input(1);
    ULONG_PTR token = 0;
    ASSERT_EQ(GdiplusStartup(&token, &in, nullptr), Ok);
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 3;
    bi.bmiHeader.biHeight = -2;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> pixels(12 * 2, 0x7F);  // rows padded to 12 bytes
    GpBitmap* bmp = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromGdiDib(&bi, pixels.data(), &bmp), Ok);
    ASSERT_NE(bmp, nullptr);
    auto* img = reinterpret_cast<GpImage*>(bmp);
    UINT w = 0, h = 0;
    EXPECT_EQ(GdipGetImageWidth(img, &w), Ok);
    EXPECT_EQ(GdipGetImageHeight(img, &h), Ok);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 2u);
    EXPECT_EQ(GdipGetImageWidth(img, nullptr), InvalidParameter);
    EXPECT_EQ(GdipDisposeImage(img), Ok);
    EXPECT_EQ(GdipDisposeImage(img), InvalidParameter);  // already gone: refused, not freed twice
    EXPECT_EQ(GdipGetImageWidth(img, &w), InvalidParameter);
    // Unsupported and malformed DIBs.
    bi.bmiHeader.biBitCount = 8;
    EXPECT_EQ(GdipCreateBitmapFromGdiDib(&bi, pixels.data(), &bmp), NotImplemented);
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biWidth = 0;
    EXPECT_EQ(GdipCreateBitmapFromGdiDib(&bi, pixels.data(), &bmp), InvalidParameter);
    EXPECT_EQ(GdipCreateBitmapFromGdiDib(nullptr, pixels.data(), &bmp), InvalidParameter);
    GdiplusShutdown(token);
}

TEST(Gdiplus, GraphicsHoldsADeviceContext) {
    GdiplusStartupInput in = input(1);
    ULONG_PTR token = 0;
    ASSERT_EQ(GdiplusStartup(&token, &in, nullptr), Ok);
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(dc, &g), Ok);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(GdipDeleteGraphics(g), Ok);
    EXPECT_EQ(GdipDeleteGraphics(g), InvalidParameter);  // only once
    // A handle that is no DC is refused (Windows reports OutOfMemory).
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(GdipCreateFromHDC(reinterpret_cast<HDC>(brush), &g), OutOfMemory);
    EXPECT_EQ(g, nullptr);
    DeleteObject(brush);
    // Objects still alive at the last shutdown are released with it.
    ASSERT_EQ(GdipCreateFromHDC(dc, &g), Ok);
    GdiplusShutdown(token);
    ASSERT_EQ(GdiplusStartup(&token, &in, nullptr), Ok);
    EXPECT_EQ(GdipDeleteGraphics(g), InvalidParameter);
    GdiplusShutdown(token);
    DeleteDC(dc);
}

TEST(Gdiplus, PictureEntryPointsCheckTheirArguments) {
    GdiplusStartupInput in = input(1);
    ULONG_PTR token = 0;
    ASSERT_EQ(GdiplusStartup(&token, &in, nullptr), Ok);
    GpImage* img = reinterpret_cast<GpImage*>(1);
    EXPECT_EQ(GdipLoadImageFromStream(nullptr, &img), InvalidParameter);
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    EXPECT_EQ(GdipLoadImageFromStream(s, nullptr), InvalidParameter);
    EXPECT_EQ(GdipLoadImageFromStream(s, &img), UnknownImageFormat);  // an empty stream
    EXPECT_EQ(img, nullptr);
    s->Release();
    UINT n = 5, size = 5;
    EXPECT_EQ(GdipGetImageEncodersSize(nullptr, &size), InvalidParameter);
    EXPECT_EQ(GdipGetImageEncodersSize(&n, &size), Ok);
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(GdipGetImageEncoders(n, size - 1, reinterpret_cast<ImageCodecInfo*>(&n)), GenericError);
    EXPECT_EQ(GdipGetImageEncoders(0, 0, nullptr), InvalidParameter);
    GpGraphics* g = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(nullptr, &g), InvalidParameter);
    EXPECT_EQ(GdipDeleteGraphics(nullptr), InvalidParameter);
    EXPECT_EQ(GdipDrawImageRectI(nullptr, nullptr, 0, 0, 1, 1), InvalidParameter);
    EXPECT_EQ(GdipDisposeImage(reinterpret_cast<GpImage*>(&n)), InvalidParameter);  // never handed out
    CLSID clsid{};
    EXPECT_EQ(GdipSaveImageToFile(nullptr, L"x.png", &clsid, nullptr), InvalidParameter);
    GdiplusShutdown(token);
}

}  // namespace
