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
#define GLINT_DEFINE_GDIPLUS_ENTRY(name) decltype(&Declared::name) name = nullptr;
GLINT_GDIPLUS_FUNCTIONS(GLINT_DEFINE_GDIPLUS_ENTRY)

void Init() {
    gdiplusDll = LoadLibraryA("gdiplus.dll");
    HMODULE module = gdiplusDll;
    GLINT_GDIPLUS_FUNCTIONS(GLINT_LOOKUP_ENTRY)

    // Version 1, no debug callback, background thread and external codecs allowed.
    Gdiplus::GdiplusStartupInput input(nullptr, FALSE, FALSE);
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
