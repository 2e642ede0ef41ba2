// gdiplus_flat.h — the GDI+ flat API that "gdiplus.dll" exports (platform use only).
//
// Signatures, structures and status codes as in the Windows GDI+ flat API.
// Programs do not include this: they look the functions up with
// GetProcAddress and declare their own pointer types.
#pragma once

#include "windows.h"

namespace Gdiplus {

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
    ProfileNotFound = 21,
};
typedef Status GpStatus;

typedef void(WINAPI* DebugEventProc)(int level, CHAR* message);
typedef Status(WINAPI* NotificationHookProc)(ULONG_PTR* token);
typedef void(WINAPI* NotificationUnhookProc)(ULONG_PTR token);

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

// Opaque objects of the flat API.
struct GpImage;
struct GpBitmap;
struct GpGraphics;

}  // namespace Gdiplus

Gdiplus::Status WINAPI GdiplusStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput* input,
                                      Gdiplus::GdiplusStartupOutput* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);

Gdiplus::GpStatus WINAPI GdipLoadImageFromStream(IStream* stream, Gdiplus::GpImage** image);
Gdiplus::GpStatus WINAPI GdipGetImageWidth(Gdiplus::GpImage* image, UINT* width);
Gdiplus::GpStatus WINAPI GdipGetImageHeight(Gdiplus::GpImage* image, UINT* height);
Gdiplus::GpStatus WINAPI GdipCreateFromHDC(HDC hdc, Gdiplus::GpGraphics** graphics);
Gdiplus::GpStatus WINAPI GdipDrawImageRectI(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image, INT x, INT y,
                                            INT width, INT height);
Gdiplus::GpStatus WINAPI GdipDisposeImage(Gdiplus::GpImage* image);
Gdiplus::GpStatus WINAPI GdipDeleteGraphics(Gdiplus::GpGraphics* graphics);
Gdiplus::GpStatus WINAPI GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
Gdiplus::GpStatus WINAPI GdipGetImageEncoders(UINT numEncoders, UINT size, Gdiplus::ImageCodecInfo* encoders);
Gdiplus::GpStatus WINAPI GdipCreateBitmapFromGdiDib(const BITMAPINFO* gdiBitmapInfo, VOID* gdiBitmapData,
                                                    Gdiplus::GpBitmap** bitmap);
Gdiplus::GpStatus WINAPI GdipSaveImageToFile(Gdiplus::GpImage* image, const WCHAR* filename,
                                             const CLSID* clsidEncoder,
                                             const Gdiplus::EncoderParameters* encoderParams);
