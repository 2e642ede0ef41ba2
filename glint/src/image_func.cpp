// image_func.cpp — bitmaps for images, getimage and putimage.
#include <cstring>

#include <string>

#include "image_func.h"
#include "wide_forms.h"

namespace Glint {

HBITMAP ImageFunc::CreateBmp(int width, int height, DWORD** bits) {
    BITMAPINFO bmi;
    std::memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;  // top row first
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    GdiLock lock;
    HBITMAP bmp = _Gdi::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &p, NULL, 0);
    if (bits) *bits = static_cast<DWORD*>(p);
    return bmp;
}

// When no bitmap of that size can be made (a side of 0 or less, no memory)
// the destination keeps what it had instead of taking a size it has no
// pixels for.
void ImageFunc::getimage(IMAGE* dstimg, int srcx, int srcy, int width, int height) {
    if (!dstimg) return;
    GdiLock lock;
    DWORD* bits = nullptr;
    HBITMAP bmp = CreateBmp(width, height, &bits);
    if (!bmp || !bits) {
        if (bmp) _Gdi::DeleteObject(bmp);
        return;
    }
    dstimg->m_width = width;
    dstimg->m_height = height;
    HGDIOBJ old = _Gdi::SelectObject(dstimg->m_hDC, bmp);
    if (old && old != bmp) _Gdi::DeleteObject(old);
    dstimg->m_hBmp = bmp;
    dstimg->m_pBuffer = bits;
    _Gdi::BitBlt(dstimg->m_hDC, 0, 0, width, height, g_hMemDC, srcx, srcy, SRCCOPY);
}

void ImageFunc::putimage(int dstx, int dsty, int width, int height, const IMAGE* srcimg, int srcx, int srcy,
                         DWORD rop) {
    if (!srcimg) return;
    GdiLock lock;
    _Gdi::BitBlt(g_hMemDC, dstx, dsty, width, height, srcimg->m_hDC, srcx, srcy, rop);
}

}  // namespace Glint

using Glint::ImageFunc;

void getimage(IMAGE* pDstImg, int srcX, int srcY, int srcWidth, int srcHeight) {
    ImageFunc::getimage(pDstImg, srcX, srcY, srcWidth, srcHeight);
}
void putimage(int dstX, int dstY, const IMAGE* pSrcImg, DWORD dwRop) {
    if (!pSrcImg) return;
    ImageFunc::putimage(dstX, dstY, pSrcImg->m_width, pSrcImg->m_height, pSrcImg, 0, 0, dwRop);
}
void putimage(int dstX, int dstY, int dstWidth, int dstHeight, const IMAGE* pSrcImg, int srcX, int srcY,
              DWORD dwRop) {
    ImageFunc::putimage(dstX, dstY, dstWidth, dstHeight, pSrcImg, srcX, srcY, dwRop);
}
void rotateimage(IMAGE* dstimg, IMAGE* srcimg, double radian, COLORREF bkcolor, bool autosize, bool highquality) {
    ImageFunc::rotateimage(dstimg, srcimg, radian, bkcolor, autosize, highquality);
}
bool loadimage(IMAGE* pDstImg, LPCTSTR pImgFile, int nWidth, int nHeight, bool bResize) {
    return ImageFunc::loadimage(pDstImg, pImgFile, nWidth, nHeight, bResize);
}
bool loadimage(IMAGE* pDstImg, LPCTSTR pResType, LPCTSTR pResName, int nWidth, int nHeight, bool bResize) {
    return ImageFunc::loadimage(pDstImg, pResType, pResName, nWidth, nHeight, bResize);
}
void saveimage(LPCTSTR pImgFile, IMAGE* pImg) { ImageFunc::saveimage(pImgFile, pImg); }

// The wide forms (programs built with UNICODE). A resource type or name given
// as a number (MAKEINTRESOURCE) stays a number; a named one is converted to
// the process code page, in which resources are named.
bool loadimage(IMAGE* pDstImg, LPCWSTR pImgFile, int nWidth, int nHeight, bool bResize) {
    return ImageFunc::loadimage(pDstImg, pImgFile, nWidth, nHeight, bResize);
}
namespace {
std::string NarrowResourceName(LPCWSTR name) {
    if (!name || IS_INTRESOURCE(name)) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, name, -1, NULL, 0, NULL, NULL);
    std::string out(n > 0 ? size_t(n) : 1, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, name, -1, &out[0], n, NULL, NULL);
    return out;
}
LPCSTR ResourceArg(LPCWSTR name, const std::string& narrow) {
    if (!name) return NULL;
    if (IS_INTRESOURCE(name)) return reinterpret_cast<LPCSTR>(name);
    return narrow.c_str();
}
}  // namespace
bool loadimage(IMAGE* pDstImg, LPCWSTR pResType, LPCWSTR pResName, int nWidth, int nHeight, bool bResize) {
    const std::string type = NarrowResourceName(pResType), name = NarrowResourceName(pResName);
    return ImageFunc::loadimage(pDstImg, ResourceArg(pResType, type), ResourceArg(pResName, name), nWidth, nHeight,
                                bResize);
}
void saveimage(LPCWSTR pImgFile, IMAGE* pImg) { ImageFunc::saveimage(pImgFile, pImg); }
