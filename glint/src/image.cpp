// image.cpp — IMAGE: pixel surface, drawing context, defaults, resize, copy;
// the working image; the pixel-fill and rounding helpers.
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "glint_private.h"
#include "image_func.h"

namespace Glint {
namespace Common {
namespace Memory {
void FillMemory4(DWORD* dst, size_t count, DWORD value) {
    if (!dst || !count) return;
    BYTE b0 = BYTE(value), b1 = BYTE(value >> 8), b2 = BYTE(value >> 16);
    if (b0 == b1 && b1 == b2) {
        std::memset(dst, b0, count * sizeof(DWORD));
        return;
    }
    // Write a short run, then double the written prefix with memcpy: long
    // fills run at memory speed instead of one 4-byte store per pixel.
    const size_t seed = count < 16 ? count : 16;
    for (size_t i = 0; i < seed; ++i) dst[i] = value;
    for (size_t done = seed; done < count;) {
        size_t k = done < count - done ? done : count - done;
        std::memcpy(dst + done, dst, k * sizeof(DWORD));
        done += k;
    }
}
}  // namespace Memory

namespace Math {
int Round(double x) {
    // Halves go away from zero: x + 0.5 (or x - 0.5) truncated toward zero.
    double r = x >= 0 ? x + 0.5 : x - 0.5;
    // Values that truncate outside int saturate, and NaN gives 0: converting
    // them to int would be undefined (an arc angle of infinity, a huge box).
    if (r != r) return 0;
    if (r <= -2147483649.0) return INT_MIN;
    if (r >= 2147483648.0) return INT_MAX;
    return int(r);
}
}  // namespace Math
}  // namespace Common

namespace {
void CreateContext(IMAGE* img) {
    GdiLock lock;
    img->m_hDC = _Gdi::CreateCompatibleDC(g_hWndDC);
}

// Selects `obj` into `dc` and deletes the object it replaces.
void Replace(HDC dc, HGDIOBJ obj) {
    if (!obj) return;
    HGDIOBJ old = _Gdi::SelectObject(dc, obj);
    if (old && old != obj) _Gdi::DeleteObject(old);
}
}  // namespace

}  // namespace Glint

using namespace Glint;

IMAGE::IMAGE(int width, int height)
    : m_width(0), m_height(0), m_hBmp(nullptr), m_hDC(nullptr), m_xform(g_StdxForm), m_linecolor(WHITE),
      m_fillcolor(WHITE), m_textcolor(WHITE), m_bkcolor(BLACK), m_pBuffer(nullptr) {
    AddDevice();
    m_width = width;
    m_height = height;
    CreateContext(this);
    IMAGE::SetDefault();
    if (width && height) {
        m_width = m_height = 0;  // no pixels yet
        IMAGE::Resize(width, height);
    }
}

IMAGE::IMAGE(const IMAGE& img)
    : m_width(0), m_height(0), m_hBmp(nullptr), m_hDC(nullptr), m_xform(g_StdxForm), m_linecolor(WHITE),
      m_fillcolor(WHITE), m_textcolor(WHITE), m_bkcolor(BLACK), m_pBuffer(nullptr) {
    AddDevice();
    *this = img;
}

IMAGE& IMAGE::operator=(const IMAGE& img) {
    if (this == &img) return *this;
    if (!m_hDC) {
        CreateContext(this);
        SetDefault();
    }
    Resize(img.m_width, img.m_height);
    GdiLock lock;
    _Gdi::BitBlt(m_hDC, 0, 0, m_width, m_height, img.m_hDC, 0, 0, SRCCOPY);
    return *this;
}

void IMAGE::SetDefault() {
    // The transform is read by the window thread's refresh, the styles by
    // drawing calls of other threads: all written under the lock.
    GdiLock lock;
    m_linestyle = LINESTYLE();
    m_fillstyle = FILLSTYLE();
    m_linecolor = WHITE;
    m_textcolor = WHITE;
    m_bkcolor = BLACK;
    m_fillcolor = WHITE;
    m_xform = g_StdxForm;
    _Gdi::SetGraphicsMode(m_hDC, GM_ADVANCED);
    _Gdi::SetBkMode(m_hDC, OPAQUE);
    _Gdi::SetBkColor(m_hDC, m_bkcolor);
    Replace(m_hDC, _Gdi::CreatePen(PS_SOLID, 1, WHITE));
    Replace(m_hDC, _Gdi::CreateSolidBrush(WHITE));
    _Gdi::SetTextColor(m_hDC, WHITE);
    _Gdi::SetWorldTransform(m_hDC, &m_xform);
    _Gdi::SelectClipRgn(m_hDC, NULL);

    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = 16;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(font.lfFaceName, "System");
    Replace(m_hDC, _Gdi::CreateFontIndirectA(&font));
}

IMAGE::~IMAGE() {
    {
        GdiLock lock;
        if (g_pCurImg == this && g_pGraphWnd && g_pGraphWnd != this) {
            // The working image goes away: drawing falls back to the window
            // instead of reaching a destroyed image.
            g_pCurImg = g_pGraphWnd;
            g_pDraw = g_pDrawOnWnd;
            g_hWndDC = g_pGraphWnd->m_hWndDC;
            g_hMemDC = g_pGraphWnd->m_hDC;
        }
        if (m_hDC) {
            Replace(m_hDC, _Gdi::GetStockObject(WHITE_PEN));
            Replace(m_hDC, _Gdi::GetStockObject(BLACK_BRUSH));
            Replace(m_hDC, _Gdi::GetStockObject(SYSTEM_FONT));
            // The context goes first, so that the surface is no longer selected.
            _Gdi::DeleteDC(m_hDC);
            m_hDC = nullptr;
        }
        if (m_hBmp) _Gdi::DeleteObject(m_hBmp);
        m_hBmp = nullptr;
        m_pBuffer = nullptr;
    }
    RemoveDevice(this);
    // The line and fill styles (and a pattern image) go with the members.
}

void IMAGE::Resize(int width, int height) {
    // A negative size is ignored like an empty one: it would otherwise give a
    // bottom-up surface whose pixel count, taken from the signed size, wraps.
    if (width <= 0 || height <= 0) return;
    GdiLock lock;
    DWORD* bits = nullptr;
    HBITMAP bmp = ImageFunc::CreateBmp(width, height, &bits);
    if (!bmp || !bits) {
        if (bmp) _Gdi::DeleteObject(bmp);
        return;  // the image keeps what it had
    }
    DWORD* pixels = bits;
    Common::Memory::FillMemory4(pixels, size_t(width) * size_t(height), BGR(m_bkcolor));

    if (m_hBmp && m_pBuffer) {
        // The old surface's real size (the stored size may already be the new one).
        BITMAP bm;
        std::memset(&bm, 0, sizeof bm);
        if (_Gdi::GetObjectA(m_hBmp, sizeof bm, &bm)) {
            int oldW = bm.bmWidth, oldH = std::abs(bm.bmHeight);
            int cw = oldW < width ? oldW : width;
            int ch = oldH < height ? oldH : height;
            for (int y = 0; y < ch; ++y)
                std::memcpy(pixels + size_t(y) * width, m_pBuffer + size_t(y) * oldW, size_t(cw) * sizeof(DWORD));
        }
    }
    _Gdi::SelectObject(m_hDC, bmp);  // the first time it replaces the context's stock 1 x 1 bitmap
    if (m_hBmp) _Gdi::DeleteObject(m_hBmp);
    m_hBmp = bmp;
    m_width = width;
    m_height = height;
    m_pBuffer = pixels;
}

// ---------------------------------------------------------------------------
// Working image and image access.
// ---------------------------------------------------------------------------
void Resize(IMAGE* img, int width, int height) {
    if (img) img->Resize(width, height);
    else if (g_pGraphWnd) g_pGraphWnd->Resize(width, height);
}

HDC GetImageHDC(IMAGE* img) {
    if (img) return img->m_hDC;
    return g_pGraphWnd ? g_pGraphWnd->m_hDC : nullptr;
}

DWORD* GetImageBuffer(IMAGE* img) {
    if (img) return img->m_pBuffer;
    return g_pGraphWnd ? g_pGraphWnd->m_pBuffer : nullptr;
}

void SetWorkingImage(IMAGE* img) {
    if (!g_pGraphWnd) {
        // The layer is stopped: an image given here would have started it.
        return;
    }
    GdiLock lock;
    if (img) {
        g_pCurImg = img;
        g_pDraw = g_pDrawOnImg;
        g_hWndDC = nullptr;
        g_hMemDC = img->m_hDC;
    } else {
        g_pCurImg = g_pGraphWnd;
        g_pDraw = g_pDrawOnWnd;
        g_hWndDC = g_pGraphWnd->m_hWndDC;
        g_hMemDC = g_pGraphWnd->m_hDC;
    }
}

IMAGE* GetWorkingImage() { return g_hWndDC ? nullptr : g_pCurImg; }
