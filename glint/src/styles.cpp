// styles.cpp — the line and fill style records, the pens and brushes made
// from them, and the conversion of an image's bitmap to a packed DIB.
#include <cmath>
#include <cstring>

#include "glint_private.h"

using namespace Glint;

// ---------------------------------------------------------------------------
// LINESTYLE: the dash array is owned and kept only for user-defined dashes.
// ---------------------------------------------------------------------------
LINESTYLE::LINESTYLE() : style(PS_SOLID), thickness(1), dashes(nullptr), dashcount(0) {}

LINESTYLE::LINESTYLE(const LINESTYLE& other) : style(PS_SOLID), thickness(1), dashes(nullptr), dashcount(0) {
    *this = other;
}

LINESTYLE& LINESTYLE::operator=(const LINESTYLE& other) {
    if (this == &other) return *this;
    style = other.style;
    thickness = other.thickness;
    delete[] dashes;
    dashes = nullptr;
    dashcount = 0;
    if ((other.style & 0xF) == PS_USERSTYLE && other.dashes && other.dashcount) {
        dashes = new DWORD[other.dashcount];
        std::memcpy(dashes, other.dashes, other.dashcount * sizeof(DWORD));
        dashcount = other.dashcount;
    }
    return *this;
}

LINESTYLE::~LINESTYLE() { delete[] dashes; }

// ---------------------------------------------------------------------------
// FILLSTYLE: the pattern image is owned and kept only for pattern styles.
// ---------------------------------------------------------------------------
FILLSTYLE::FILLSTYLE() : style(BS_SOLID), hatch(0), pattern(nullptr) {}

FILLSTYLE::FILLSTYLE(const FILLSTYLE& other) : style(BS_SOLID), hatch(0), pattern(nullptr) { *this = other; }

FILLSTYLE& FILLSTYLE::operator=(const FILLSTYLE& other) {
    if (this == &other) return *this;
    style = other.style;
    hatch = other.hatch;
    if (other.pattern && (other.style == BS_PATTERN || other.style == BS_DIBPATTERN)) {
        if (!pattern) pattern = new IMAGE(0, 0);
        *pattern = *other.pattern;
    } else {
        delete pattern;
        pattern = nullptr;
    }
    return *this;
}

FILLSTYLE::~FILLSTYLE() { delete pattern; }

namespace Glint {
// Whether a pen of this thickness is one pixel wide under the image's
// transform: thickness 0 or 1, and an x scale that cannot widen it (a wider
// scale makes it a thick line, drawn geometric like any other).
bool PenStaysOnePixel(int thickness, const XFORM& xf) {
    return (thickness == 0 || thickness == 1) && std::fabs(xf.eM11) <= 1.0f;
}

namespace {
void ReplaceObject(HDC dc, HGDIOBJ obj) {
    if (!obj) return;  // a failed creation leaves the previous object selected
    HGDIOBJ old = _Gdi::SelectObject(dc, obj);
    if (old && old != obj) _Gdi::DeleteObject(old);
}

// Builds the 1-bit bitmap of a monochrome pattern: rows top first, 8 pixels a
// byte with the leftmost in the top bit, each row padded to an even number of
// bytes; a bit is 1 where the pixel is exactly 0 (black).
HBITMAP MakeMonoPattern(const IMAGE* img) {
    int w = img->m_width, h = img->m_height;
    if (w <= 0 || h <= 0 || !img->m_pBuffer) return nullptr;
    int stride = (w + 7) / 8;
    stride += stride & 1;
    BYTE* bits = new BYTE[size_t(stride) * h]();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (img->m_pBuffer[size_t(y) * w + x] == 0) bits[size_t(y) * stride + x / 8] |= BYTE(0x80 >> (x % 8));
    HBITMAP bmp = _Gdi::CreateBitmap(w, h, 1, 1, bits);
    delete[] bits;
    return bmp;
}
}  // namespace

// ---------------------------------------------------------------------------
// Line style operations.
// ---------------------------------------------------------------------------
void DrawOnImg::getlinestyle(LINESTYLE* pstyle) { *pstyle = g_pCurImg->m_linestyle; }

void DrawOnImg::setlinestyle(const LINESTYLE* pstyle) {
    LINESTYLE& own = g_pCurImg->m_linestyle;
    if (pstyle != &own) own = *pstyle;

    // A pen that stays one pixel wide is made cosmetic: its lines stop short
    // of their end point on every slope, where a geometric pen paints the end
    // point of a slanted line. Cosmetic pens take no caps or joins (they mean
    // nothing at one pixel) and no inside-frame kind (the same as solid there).
    const bool cosmetic = PenStaysOnePixel(own.thickness, g_pCurImg->m_xform);
    DWORD penStyle = DWORD(own.style) | PS_GEOMETRIC;
    if (cosmetic) {
        DWORD kind = DWORD(own.style) & 0xF;
        penStyle = PS_COSMETIC | (kind == PS_INSIDEFRAME ? DWORD(PS_SOLID) : kind);
    }
    DWORD count = 0;
    const DWORD* array = nullptr;
    if ((own.style & 0xF) == PS_USERSTYLE) {
        if (!pstyle->dashes || !pstyle->dashcount) {
            // User dashes without lengths: an invisible pen.
            penStyle = cosmetic ? DWORD(PS_COSMETIC | PS_NULL) : (DWORD(own.style) & ~DWORD(7)) | 0x10005;
        } else {
            count = own.dashcount;
            array = own.dashes;
        }
    } else {
        delete[] own.dashes;
        own.dashes = nullptr;
        own.dashcount = 0;
    }
    LOGBRUSH brush;
    brush.lbStyle = BS_SOLID;
    brush.lbColor = g_pCurImg->m_linecolor;
    brush.lbHatch = 0;
    ReplaceObject(g_hMemDC, _Gdi::ExtCreatePen(penStyle, cosmetic ? 1 : DWORD(own.thickness), &brush, count, array));
}

void DrawOnImg::setlinestyle(int style, int thickness, const DWORD* puserstyle, DWORD userstylecount) {
    LINESTYLE& own = g_pCurImg->m_linestyle;
    own.style = style;
    own.thickness = thickness;
    delete[] own.dashes;
    own.dashes = nullptr;
    own.dashcount = 0;
    if ((style & 0xF) == PS_USERSTYLE && puserstyle && userstylecount) {
        own.dashes = new DWORD[userstylecount];
        std::memcpy(own.dashes, puserstyle, userstylecount * sizeof(DWORD));
        own.dashcount = userstylecount;
    }
    setlinestyle(&own);
}

// ---------------------------------------------------------------------------
// Fill style operations.
// ---------------------------------------------------------------------------
void DrawOnImg::getfillstyle(FILLSTYLE* pstyle) { *pstyle = g_pCurImg->m_fillstyle; }

void DrawOnImg::setfillstyle(const FILLSTYLE* pstyle) {
    FILLSTYLE& own = g_pCurImg->m_fillstyle;
    if (pstyle != &own) own = *pstyle;

    LOGBRUSH brush;
    brush.lbStyle = UINT(own.style);
    brush.lbColor = g_pCurImg->m_fillcolor;
    brush.lbHatch = 0;
    switch (own.style) {
        case BS_SOLID:
            break;
        case BS_NULL:
            break;
        case BS_HATCHED:
            brush.lbHatch = ULONG_PTR(own.hatch);
            break;
        case BS_PATTERN: {
            if (!own.pattern) return;  // nothing to build the pattern from
            HBITMAP bmp = MakeMonoPattern(own.pattern);
            if (!bmp) return;
            brush.lbHatch = ULONG_PTR(bmp);
            ReplaceObject(g_hMemDC, _Gdi::CreateBrushIndirect(&brush));
            _Gdi::DeleteObject(bmp);
            return;
        }
        case BS_DIBPATTERN: {
            if (!own.pattern) return;
            HGLOBAL dib = DDBToDIB(own.pattern, BI_RGB, NULL);
            if (!dib) return;
            brush.lbColor = DIB_RGB_COLORS;
            brush.lbHatch = ULONG_PTR(dib);
            ReplaceObject(g_hMemDC, _Gdi::CreateBrushIndirect(&brush));
            GlobalFree(dib);
            return;
        }
        default:
            return;  // stored only; the brush stays as it was
    }
    ReplaceObject(g_hMemDC, _Gdi::CreateBrushIndirect(&brush));
}

void DrawOnImg::setfillstyle(BYTE* ppattern8x8) {
    IMAGE tile(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.m_pBuffer[y * 8 + x] = (ppattern8x8[y] & (1 << (7 - x))) ? 0xFFFFFF : 0;
    setfillstyle(BS_PATTERN, 0, &tile);
}

void DrawOnImg::setfillstyle(int style, long hatch, IMAGE* ppattern) {
    FILLSTYLE& own = g_pCurImg->m_fillstyle;
    own.style = style;
    if (style == BS_HATCHED) own.hatch = LONG(hatch);
    if ((style == BS_PATTERN || style == BS_DIBPATTERN) && ppattern) {
        if (!own.pattern) own.pattern = new IMAGE(0, 0);
        *own.pattern = *ppattern;
    }
    setfillstyle(&own);
}

// ---------------------------------------------------------------------------
// DDBToDIB: header (40 bytes), colour table, rows, in one global block.
// ---------------------------------------------------------------------------
HGLOBAL DrawOnImg::DDBToDIB(IMAGE* img, DWORD dwCompression, HPALETTE hPal) {
    if (dwCompression == BI_BITFIELDS) return nullptr;
    if (!hPal) hPal = static_cast<HPALETTE>(_Gdi::GetStockObject(DEFAULT_PALETTE));

    BITMAP bm;
    std::memset(&bm, 0, sizeof bm);
    _Gdi::GetObjectA(img->m_hBmp, sizeof bm, &bm);

    BITMAPINFOHEADER bi;
    std::memset(&bi, 0, sizeof bi);
    bi.biSize = sizeof(BITMAPINFOHEADER);
    bi.biWidth = bm.bmWidth;
    bi.biHeight = bm.bmHeight;
    bi.biPlanes = 1;
    bi.biBitCount = WORD(bm.bmPlanes * bm.bmBitsPixel);
    bi.biCompression = dwCompression;
    DWORD colors = bi.biBitCount <= 8 ? (1u << bi.biBitCount) : 0;
    DWORD headerSize = bi.biSize + colors * 4;

    HDC screen = GetDC(NULL);
    HPALETTE oldPal = _Gdi::SelectPalette(screen, hPal, FALSE);
    _Gdi::RealizePalette(screen);
    auto restore = [&] {
        _Gdi::SelectPalette(screen, oldPal, FALSE);
        ReleaseDC(NULL, screen);
    };

    HGLOBAL block = GlobalAlloc(GMEM_FIXED, headerSize);
    if (!block) {
        restore();
        return nullptr;
    }
    auto* info = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *info = bi;
    _Gdi::GetDIBits(screen, img->m_hBmp, 0, UINT(bi.biHeight < 0 ? -bi.biHeight : bi.biHeight), NULL,
                    reinterpret_cast<LPBITMAPINFO>(info), DIB_RGB_COLORS);
    bi = *info;
    GlobalUnlock(block);
    if (bi.biSizeImage == 0) {
        LONG height = bi.biHeight < 0 ? -bi.biHeight : bi.biHeight;
        bi.biSizeImage = ((DWORD(bi.biWidth) * bi.biBitCount + 31) & ~DWORD(31)) / 8 * DWORD(height);
        if (dwCompression != BI_RGB) bi.biSizeImage = bi.biSizeImage * 3 / 2;
    }

    HGLOBAL grown = GlobalReAlloc(block, headerSize + bi.biSizeImage, GMEM_MOVEABLE);
    if (!grown) {
        GlobalFree(block);
        restore();
        return nullptr;
    }
    block = grown;
    info = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *info = bi;
    int lines = _Gdi::GetDIBits(screen, img->m_hBmp, 0, UINT(bi.biHeight < 0 ? -bi.biHeight : bi.biHeight),
                                reinterpret_cast<BYTE*>(info) + headerSize, reinterpret_cast<LPBITMAPINFO>(info),
                                DIB_RGB_COLORS);
    GlobalUnlock(block);
    if (!lines) {
        GlobalFree(block);
        restore();
        return nullptr;
    }
    restore();
    return block;
}

}  // namespace Glint
