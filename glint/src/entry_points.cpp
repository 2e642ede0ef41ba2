// entry_points.cpp — the GDI, GDI+ and OLE entry-point tables.
//
// Glint calls these services only through pointers looked up by name when the
// layer starts, so a program using Glint does not import them. The libraries
// stay loaded after the layer stops; a later start looks the names up again.
// A missing library or entry point leaves its pointer null (not reported).
#include "glint_private.h"

namespace Glint {

namespace {
template <typename Fn>
void LookUp(HMODULE module, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

// ---------------------------------------------------------------------------
namespace _Gdi {
#define GLINT_DEFINE_ENTRY(name) decltype(&::name) name = nullptr;
GLINT_GDI_FUNCTIONS(GLINT_DEFINE_ENTRY)

void Init() {
    HMODULE module = LoadLibraryA("gdi32.dll");
#define GLINT_LOOKUP_ENTRY(name) LookUp(module, #name, name);
    GLINT_GDI_FUNCTIONS(GLINT_LOOKUP_ENTRY)
}
}  // namespace _Gdi

// ---------------------------------------------------------------------------
namespace _GdiPlus {
HMODULE gdiplusDll = nullptr;
ULONG_PTR gdiplusToken = 0;
GdiPlusFlat::PFN_GdiplusStartup GdiplusStartup = nullptr;
GdiPlusFlat::PFN_GdiplusShutdown GdiplusShutdown = nullptr;
GdiPlusFlat::PFN_GdipLoadImageFromStream GdipLoadImageFromStream = nullptr;
GdiPlusFlat::PFN_GdipGetImageWidth GdipGetImageWidth = nullptr;
GdiPlusFlat::PFN_GdipGetImageHeight GdipGetImageHeight = nullptr;
GdiPlusFlat::PFN_GdipCreateFromHDC GdipCreateFromHDC = nullptr;
GdiPlusFlat::PFN_GdipDrawImageRectI GdipDrawImageRectI = nullptr;
GdiPlusFlat::PFN_GdipDisposeImage GdipDisposeImage = nullptr;
GdiPlusFlat::PFN_GdipDeleteGraphics GdipDeleteGraphics = nullptr;
GdiPlusFlat::PFN_GdipGetImageEncodersSize GdipGetImageEncodersSize = nullptr;
GdiPlusFlat::PFN_GdipGetImageEncoders GdipGetImageEncoders = nullptr;
GdiPlusFlat::PFN_GdipCreateBitmapFromGdiDib GdipCreateBitmapFromGdiDib = nullptr;
GdiPlusFlat::PFN_GdipSaveImageToFile GdipSaveImageToFile = nullptr;

void Init() {
    gdiplusDll = LoadLibraryA("gdiplus.dll");
    LookUp(gdiplusDll, "GdiplusStartup", GdiplusStartup);
    LookUp(gdiplusDll, "GdiplusShutdown", GdiplusShutdown);
    LookUp(gdiplusDll, "GdipLoadImageFromStream", GdipLoadImageFromStream);
    LookUp(gdiplusDll, "GdipGetImageWidth", GdipGetImageWidth);
    LookUp(gdiplusDll, "GdipGetImageHeight", GdipGetImageHeight);
    LookUp(gdiplusDll, "GdipCreateFromHDC", GdipCreateFromHDC);
    LookUp(gdiplusDll, "GdipDrawImageRectI", GdipDrawImageRectI);
    LookUp(gdiplusDll, "GdipDisposeImage", GdipDisposeImage);
    LookUp(gdiplusDll, "GdipDeleteGraphics", GdipDeleteGraphics);
    LookUp(gdiplusDll, "GdipGetImageEncodersSize", GdipGetImageEncodersSize);
    LookUp(gdiplusDll, "GdipGetImageEncoders", GdipGetImageEncoders);
    LookUp(gdiplusDll, "GdipCreateBitmapFromGdiDib", GdipCreateBitmapFromGdiDib);
    LookUp(gdiplusDll, "GdipSaveImageToFile", GdipSaveImageToFile);

    // Version 1, no debug callback, background thread and external codecs allowed.
    GdiPlusFlat::GdiplusStartupInput input = {1, nullptr, FALSE, FALSE};
    if (GdiplusStartup) GdiplusStartup(&gdiplusToken, &input, nullptr);
}

void Release() {
    if (GdiplusShutdown) GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
}
}  // namespace _GdiPlus

// ---------------------------------------------------------------------------
namespace _Ole {
GLINT_OLE_FUNCTIONS(GLINT_DEFINE_ENTRY)

void Init() {
    HMODULE module = LoadLibraryA("ole32.dll");
    GLINT_OLE_FUNCTIONS(GLINT_LOOKUP_ENTRY)
    if (CoInitialize) CoInitialize(NULL);
}

void Release() {
    if (CoUninitialize) CoUninitialize();
}
}  // namespace _Ole

}  // namespace Glint
