// gdiplus_flat.h — the few GDI+ flat-API types Glint needs, with the layout of
// the system's GDI+ headers. Declared here so that Glint never includes a GDI+
// header: the entry points are looked up by name at start-up.
#pragma once

#include <windows.h>

namespace Glint {
namespace GdiPlusFlat {

typedef int GpStatus;  // Gdiplus::Status; 0 is Ok
struct GpImage;
struct GpBitmap;
struct GpGraphics;

typedef VOID(WINAPI* DebugEventProc)(int level, CHAR* message);
typedef GpStatus(WINAPI* NotificationHookProc)(ULONG_PTR* token);
typedef VOID(WINAPI* NotificationUnhookProc)(ULONG_PTR token);

struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    DebugEventProc DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};

struct GdiplusStartupOutput {
    NotificationHookProc NotificationHook;
    NotificationUnhookProc NotificationUnhook;
};

struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

struct EncoderParameter {
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;
    VOID* Value;
};

struct EncoderParameters {
    UINT Count;
    EncoderParameter Parameter[1];
};

typedef GpStatus(WINAPI* PFN_GdiplusStartup)(ULONG_PTR* token, const GdiplusStartupInput* input,
                                              GdiplusStartupOutput* output);
typedef VOID(WINAPI* PFN_GdiplusShutdown)(ULONG_PTR token);
typedef GpStatus(WINAPI* PFN_GdipLoadImageFromStream)(IStream* stream, GpImage** image);
typedef GpStatus(WINAPI* PFN_GdipGetImageWidth)(GpImage* image, UINT* width);
typedef GpStatus(WINAPI* PFN_GdipGetImageHeight)(GpImage* image, UINT* height);
typedef GpStatus(WINAPI* PFN_GdipCreateFromHDC)(HDC hdc, GpGraphics** graphics);
typedef GpStatus(WINAPI* PFN_GdipDrawImageRectI)(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                                                  INT height);
typedef GpStatus(WINAPI* PFN_GdipDisposeImage)(GpImage* image);
typedef GpStatus(WINAPI* PFN_GdipDeleteGraphics)(GpGraphics* graphics);
typedef GpStatus(WINAPI* PFN_GdipGetImageEncodersSize)(UINT* numEncoders, UINT* size);
typedef GpStatus(WINAPI* PFN_GdipGetImageEncoders)(UINT numEncoders, UINT size, ImageCodecInfo* encoders);
typedef GpStatus(WINAPI* PFN_GdipCreateBitmapFromGdiDib)(const BITMAPINFO* gdiBitmapInfo, VOID* gdiBitmapData,
                                                          GpBitmap** bitmap);
typedef GpStatus(WINAPI* PFN_GdipSaveImageToFile)(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                                                   const EncoderParameters* encoderParams);

}  // namespace GdiPlusFlat
}  // namespace Glint
