// load_save_image.cpp — loadimage (file or resource), saveimage and the
// choice of an encoder by file extension, through GDI+ and OLE streams.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include "image_func.h"

namespace Glint {

bool ImageFunc::LoadFromMemory(IMAGE* dstimg, GlobalMemory& mem, int width, int height, bool resize) {
    Gdiplus::GpImage* picture = nullptr;
    if (mem.handle && _Ole::CreateStreamOnHGlobal && _GdiPlus::GdipLoadImageFromStream) {
        IStream* stream = nullptr;
        if (_Ole::CreateStreamOnHGlobal(mem.handle, FALSE, &stream) == S_OK && stream) {
            {
                GdiLock lock;
                if (_GdiPlus::GdipLoadImageFromStream(stream, &picture) != 0) picture = nullptr;
            }
            stream->Release();
        }
    }
    mem.Clear();  // the block goes once, after decoding

    UINT pw = 0, ph = 0;
    if (picture) {
        _GdiPlus::GdipGetImageWidth(picture, &pw);
        _GdiPlus::GdipGetImageHeight(picture, &ph);
    }
    if (width == 0) width = int(pw);
    if (height == 0) height = int(ph);

    IMAGE* img = dstimg ? dstimg : g_pGraphWnd;
    if (!img) {
        if (picture) _GdiPlus::GdipDisposeImage(picture);
        return false;
    }
    if (img->m_width == 0 && img->m_height == 0) ::Resize(dstimg, width, height);
    else if (resize && (img->m_width != width || img->m_height != height)) ::Resize(dstimg, width, height);
    if (img->m_pBuffer) std::memset(img->m_pBuffer, 0, size_t(img->m_width) * size_t(img->m_height) * sizeof(DWORD));

    if (!picture) return false;
    GdiLock lock;
    Gdiplus::GpGraphics* graphics = nullptr;
    bool drawn = false;
    if (_GdiPlus::GdipCreateFromHDC(img->m_hDC, &graphics) == 0 && graphics) {
        drawn = _GdiPlus::GdipDrawImageRectI(graphics, picture, 0, 0, width, height) == 0;
        _GdiPlus::GdipDeleteGraphics(graphics);
    }
    _GdiPlus::GdipDisposeImage(picture);
    return drawn;
}

bool ImageFunc::loadimage(IMAGE* dstimg, LPCSTR fileName, int width, int height, bool resize) {
    GlobalMemory mem;
    mem.LoadFile(fileName);
    return LoadFromMemory(dstimg, mem, width, height, resize);
}

bool ImageFunc::loadimage(IMAGE* dstimg, LPCWSTR fileName, int width, int height, bool resize) {
    GlobalMemory mem;
    mem.LoadFile(fileName);
    return LoadFromMemory(dstimg, mem, width, height, resize);
}

bool ImageFunc::loadimage(IMAGE* dstimg, LPCSTR resType, LPCSTR resName, int width, int height, bool resize) {
    GlobalMemory mem;
    mem.LoadFile(resType, resName);
    return LoadFromMemory(dstimg, mem, width, height, resize);
}

int ImageFunc::GetEncoderClsid(LPCWSTR extension, CLSID* clsid) {
    if (!extension || !clsid || !_GdiPlus::GdipGetImageEncodersSize || !_GdiPlus::GdipGetImageEncoders) return -1;
    UINT count = 0, size = 0;
    {
        GdiLock lock;
        _GdiPlus::GdipGetImageEncodersSize(&count, &size);
    }
    if (size == 0) return -1;
    Gdiplus::ImageCodecInfo* list = static_cast<Gdiplus::ImageCodecInfo*>(std::malloc(size));
    if (!list) return -1;
    {
        GdiLock lock;
        if (_GdiPlus::GdipGetImageEncoders(count, size, list) != 0) count = 0;
    }
    // "*.EXT;" searched in each list of "*.A;*.B" patterns with ";" appended:
    // the extension matches whole, in any case.
    std::wstring pattern = std::wstring(L"*.") + extension + L";";
    for (wchar_t& c : pattern) c = wchar_t(std::towupper(wint_t(c)));
    int result = -1;
    for (UINT i = 0; i < count && result != 0; ++i) {
        if (!list[i].FilenameExtension) continue;
        std::wstring exts = std::wstring(list[i].FilenameExtension) + L";";
        for (wchar_t& c : exts) c = wchar_t(std::towupper(wint_t(c)));
        if (exts.find(pattern) != std::wstring::npos) {
            *clsid = list[i].Clsid;
            result = 0;
        }
    }
    std::free(list);
    return result;
}

// A name that does not fit the 261 units of the wide name is not saved at
// all: cut short, it would name a different file.
void ImageFunc::saveimage(LPCSTR fileName, IMAGE* img) {
    if (!fileName) return;
    WCHAR name[261];
    if (MultiByteToWideChar(CP_ACP, 0, fileName, -1, name, 261) == 0) return;
    saveimage(static_cast<LPCWSTR>(name), img);
}

void ImageFunc::saveimage(LPCWSTR name, IMAGE* img) {
    IMAGE* image = img ? img : g_pGraphWnd;
    if (!name || !image || !image->m_pBuffer || image->m_width <= 0 || image->m_height <= 0) return;
    if (std::wcslen(name) > 260) return;
    const WCHAR* dot = std::wcsrchr(name, L'.');
    if (!dot || std::wcslen(dot + 1) > 4) return;
    CLSID clsid;
    if (GetEncoderClsid(dot + 1, &clsid) != 0) return;
    if (!_GdiPlus::GdipCreateBitmapFromGdiDib || !_GdiPlus::GdipSaveImageToFile) return;
    BITMAPINFO bmi;
    std::memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = image->m_width;
    bmi.bmiHeader.biHeight = -image->m_height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    GdiLock lock;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (_GdiPlus::GdipCreateBitmapFromGdiDib(&bmi, image->m_pBuffer, &bitmap) != 0 || !bitmap) return;
    Gdiplus::GpImage* asImage = reinterpret_cast<Gdiplus::GpImage*>(bitmap);
    _GdiPlus::GdipSaveImageToFile(asImage, name, &clsid, nullptr);
    _GdiPlus::GdipDisposeImage(asImage);
}

}  // namespace Glint
