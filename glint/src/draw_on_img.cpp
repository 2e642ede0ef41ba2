// draw_on_img.cpp — the image drawing target: colours and drawing state,
// text output and metrics, rectangles and the other shapes. Every operation
// acts on the working image g_pCurImg through its context g_hMemDC.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <utility>

#include "glint_private.h"

namespace Glint {

namespace {
void ReplaceObject(HDC dc, HGDIOBJ obj) {
    if (!obj) return;
    HGDIOBJ old = _Gdi::SelectObject(dc, obj);
    if (old && old != obj) _Gdi::DeleteObject(old);
}

// a + b clamped to the int range. Coordinates near INT_MAX or INT_MIN would
// otherwise wrap round to the far side of the plane (centre + radius, the
// inclusive right edge + 1); clamped, the shape stays where it was, cut off
// at the last representable coordinate, which no surface reaches anyway.
int SaturatedAdd(int a, int64_t b) {
    int64_t sum = int64_t(a) + b;
    if (sum > INT_MAX) return INT_MAX;
    if (sum < INT_MIN) return INT_MIN;
    return int(sum);
}
}  // namespace

DrawOnImg::~DrawOnImg() {}

// ---------------------------------------------------------------------------
// Colours and drawing state.
// ---------------------------------------------------------------------------
void DrawOnImg::cleardevice() {
    // Writes the pixels directly: transform, clip region and raster operation do not apply.
    IMAGE* img = g_pCurImg;
    Common::Memory::FillMemory4(img->m_pBuffer, size_t(img->m_width) * size_t(img->m_height), BGR(img->m_bkcolor));
}

COLORREF DrawOnImg::getlinecolor() { return g_pCurImg->m_linecolor; }

void DrawOnImg::setlinecolor(COLORREF color) {
    g_pCurImg->m_linecolor = color;
    setlinestyle(&g_pCurImg->m_linestyle);  // a pen of the new colour
}

COLORREF DrawOnImg::gettextcolor() { return g_pCurImg->m_textcolor; }

void DrawOnImg::settextcolor(COLORREF color) {
    g_pCurImg->m_textcolor = color;
    _Gdi::SetTextColor(g_hMemDC, color);
}

COLORREF DrawOnImg::getbkcolor() { return g_pCurImg->m_bkcolor; }

void DrawOnImg::setbkcolor(COLORREF color) {
    g_pCurImg->m_bkcolor = color;
    _Gdi::SetBkColor(g_hMemDC, color);
}

int DrawOnImg::getbkmode() { return _Gdi::GetBkMode(g_hMemDC); }

void DrawOnImg::setbkmode(int mode) { _Gdi::SetBkMode(g_hMemDC, mode); }

void DrawOnImg::setorigin(int x, int y) {
    g_pCurImg->m_xform.eDx = float(x);
    g_pCurImg->m_xform.eDy = float(y);
    _Gdi::SetWorldTransform(g_hMemDC, &g_pCurImg->m_xform);
}

void DrawOnImg::setcliprgn(HRGN hrgn) { _Gdi::SelectClipRgn(g_hMemDC, hrgn); }

void DrawOnImg::clearcliprgn() {
    HRGN rgn = _Gdi::CreateRectRgn(0, 0, 0, 0);
    if (rgn && _Gdi::GetClipRgn(g_hMemDC, rgn) == 1) {
        HBRUSH brush = _Gdi::CreateSolidBrush(g_pCurImg->m_bkcolor);
        _Gdi::SetWorldTransform(g_hMemDC, &g_StdxForm);  // the region is in pixels
        _Gdi::FillRgn(g_hMemDC, rgn, brush);
        _Gdi::SetWorldTransform(g_hMemDC, &g_pCurImg->m_xform);
        _Gdi::DeleteObject(brush);
        _Gdi::DeleteObject(rgn);
        return;
    }
    if (rgn) _Gdi::DeleteObject(rgn);
    cleardevice();
}

COLORREF DrawOnImg::getfillcolor() { return g_pCurImg->m_fillcolor; }

void DrawOnImg::setfillcolor(COLORREF color) {
    g_pCurImg->m_fillcolor = color;
    if (g_pCurImg->m_fillstyle.style == BS_SOLID)
        ReplaceObject(g_hMemDC, _Gdi::CreateSolidBrush(color));
    else if (g_pCurImg->m_fillstyle.style == BS_HATCHED)
        setfillstyle(&g_pCurImg->m_fillstyle);
}

void DrawOnImg::getaspectratio(float* pxasp, float* pyasp) {
    *pxasp = g_pCurImg->m_xform.eM11;
    *pyasp = g_pCurImg->m_xform.eM22;
}

void DrawOnImg::setaspectratio(float xasp, float yasp) {
    const int thickness = g_pCurImg->m_linestyle.thickness;
    const bool wasOnePixel = PenStaysOnePixel(thickness, g_pCurImg->m_xform);
    g_pCurImg->m_xform.eM11 = xasp;
    g_pCurImg->m_xform.eM22 = yasp;
    _Gdi::SetWorldTransform(g_hMemDC, &g_pCurImg->m_xform);
    // A scale that widens a 1-pixel pen (or stops widening it) changes which
    // kind of pen the line style needs.
    if (PenStaysOnePixel(thickness, g_pCurImg->m_xform) != wasOnePixel) setlinestyle(&g_pCurImg->m_linestyle);
}

int DrawOnImg::getrop2() { return _Gdi::GetROP2(g_hMemDC); }
void DrawOnImg::setrop2(int mode) { _Gdi::SetROP2(g_hMemDC, mode); }
int DrawOnImg::getpolyfillmode() { return _Gdi::GetPolyFillMode(g_hMemDC); }
void DrawOnImg::setpolyfillmode(int mode) { _Gdi::SetPolyFillMode(g_hMemDC, mode); }
void DrawOnImg::graphdefaults() { g_pCurImg->SetDefault(); }
int DrawOnImg::getwidth() { return g_pCurImg->m_width; }
int DrawOnImg::getheight() { return g_pCurImg->m_height; }

// ---------------------------------------------------------------------------
// Primitive shapes: one platform call each.
// ---------------------------------------------------------------------------
COLORREF DrawOnImg::getpixel(int x, int y) { return _Gdi::GetPixel(g_hMemDC, x, y); }
void DrawOnImg::putpixel(int x, int y, COLORREF color) { _Gdi::SetPixelV(g_hMemDC, x, y, color); }

void DrawOnImg::line(int x1, int y1, int x2, int y2) {
    _Gdi::MoveToEx(g_hMemDC, x1, y1, NULL);
    _Gdi::LineTo(g_hMemDC, x2, y2);
}

void DrawOnImg::fillrectangle(int left, int top, int right, int bottom) {
    _Gdi::Rectangle(g_hMemDC, left, top, right, bottom);
}

void DrawOnImg::fillcircle(int x, int y, int radius) {
    _Gdi::Ellipse(g_hMemDC, SaturatedAdd(x, -int64_t(radius)), SaturatedAdd(y, -int64_t(radius)),
                  SaturatedAdd(x, radius), SaturatedAdd(y, radius));
}

void DrawOnImg::fillellipse(int left, int top, int right, int bottom) {
    _Gdi::Ellipse(g_hMemDC, left, top, right, bottom);
}

void DrawOnImg::fillroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight) {
    _Gdi::RoundRect(g_hMemDC, left, top, right, bottom, ellipsewidth, ellipseheight);
}

void DrawOnImg::arcpiecore(int left, int top, int right, int bottom, double stangle, double endangle, int& xs,
                           int& ys, int& xe, int& ye) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // The semi-axes truncate like int division; the difference is taken in
    // 64 bits, as a box from INT_MIN to INT_MAX is wider than an int.
    int64_t a = (int64_t(right) - left) / 2, b = (int64_t(bottom) - top) / 2;
    double cx = double(left + a), cy = double(top + b);
    auto point = [&](double angle, int& x, int& y) {
        if (angle == 0) {
            x = Common::Math::Round(cx + double(a));
            y = Common::Math::Round(cy);
            return;
        }
        x = Common::Math::Round(cx + double(a) * std::cos(angle));
        y = Common::Math::Round(cy - double(b) * std::sin(angle));
    };
    point(stangle, xs, ys);
    point(endangle, xe, ye);
}

void DrawOnImg::arc(int left, int top, int right, int bottom, double stangle, double endangle) {
    int xs, ys, xe, ye;
    arcpiecore(left, top, right, bottom, stangle, endangle, xs, ys, xe, ye);
    _Gdi::Arc(g_hMemDC, left, top, right, bottom, xs, ys, xe, ye);
}

void DrawOnImg::fillpie(int left, int top, int right, int bottom, double stangle, double endangle) {
    int xs, ys, xe, ye;
    arcpiecore(left, top, right, bottom, stangle, endangle, xs, ys, xe, ye);
    _Gdi::Pie(g_hMemDC, left, top, right, bottom, xs, ys, xe, ye);
}

void DrawOnImg::polyline(const POINT* points, int num) { _Gdi::Polyline(g_hMemDC, points, num); }
void DrawOnImg::fillpolygon(const POINT* points, int num) { _Gdi::Polygon(g_hMemDC, points, num); }
void DrawOnImg::polybezier(const POINT* points, int num) {
    // The platform's count is unsigned: a negative count would become some
    // four billion points read from the caller's array. It draws nothing.
    _Gdi::PolyBezier(g_hMemDC, points, num < 0 ? 0 : DWORD(num));
}

void DrawOnImg::floodfill(int x, int y, COLORREF color, int filltype) {
    _Gdi::ExtFloodFill(g_hMemDC, x, y, color, UINT(filltype));
}

// ---------------------------------------------------------------------------
// Composite shapes: they change the drawing state around one inner call
// (through the target's virtual operations, so each step is locked on the
// window target) and restore only what they changed.
// ---------------------------------------------------------------------------
namespace {
// Outline only: the fill style becomes null around the fill variant.
template <typename Fill>
void Outline(DrawOnImg* t, Fill fill) {
    FILLSTYLE saved;
    t->getfillstyle(&saved);
    if (saved.style != BS_NULL) t->setfillstyle(BS_NULL, 0, nullptr);
    fill();
    if (saved.style != BS_NULL) t->setfillstyle(&saved);
}

// Inside only: the pen becomes null around the fill variant.
template <typename Fill>
void Solid(DrawOnImg* t, Fill fill) {
    LINESTYLE saved;
    t->getlinestyle(&saved);
    if (saved.style != PS_NULL) t->setlinestyle(PS_NULL, 1, nullptr, 0);
    fill();
    if (saved.style != PS_NULL) t->setlinestyle(&saved);
}

// Inside in the background colour: copy-pen mix, solid brush of the background colour.
template <typename SolidFn>
void Clear(DrawOnImg* t, SolidFn solid) {
    int rop = t->getrop2();
    COLORREF fillcolor = t->getfillcolor();
    FILLSTYLE saved;
    t->getfillstyle(&saved);
    if (rop != R2_COPYPEN) t->setrop2(R2_COPYPEN);
    COLORREF bk = t->getbkcolor();
    bool colorChanged = fillcolor != bk;
    if (colorChanged) t->setfillcolor(bk);
    bool styleChanged = saved.style != BS_SOLID;
    if (styleChanged) t->setfillstyle(BS_SOLID, 0, nullptr);
    solid();
    if (colorChanged) t->setfillcolor(fillcolor);
    if (styleChanged) t->setfillstyle(&saved);
    if (rop != R2_COPYPEN) t->setrop2(rop);
}
}  // namespace

void DrawOnImg::rectangle(int left, int top, int right, int bottom) {
    Outline(this, [&] { fillrectangle(left, top, right, bottom); });
}

void DrawOnImg::solidrectangle(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // The null pen paints one pixel less on the right and bottom: made up here
    // (clamped, so that a right or bottom edge at INT_MAX does not wrap).
    Solid(this, [&] { fillrectangle(left, top, SaturatedAdd(right, 1), SaturatedAdd(bottom, 1)); });
}

void DrawOnImg::clearrectangle(int left, int top, int right, int bottom) {
    Clear(this, [&] { solidrectangle(left, top, right, bottom); });
}

void DrawOnImg::circle(int x, int y, int radius) {
    Outline(this, [&] { fillcircle(x, y, radius); });
}
void DrawOnImg::solidcircle(int x, int y, int radius) {
    Solid(this, [&] { fillcircle(x, y, radius); });
}
void DrawOnImg::clearcircle(int x, int y, int radius) {
    Clear(this, [&] { solidcircle(x, y, radius); });
}

void DrawOnImg::ellipse(int left, int top, int right, int bottom) {
    Outline(this, [&] { fillellipse(left, top, right, bottom); });
}
void DrawOnImg::solidellipse(int left, int top, int right, int bottom) {
    Solid(this, [&] { fillellipse(left, top, right, bottom); });
}
void DrawOnImg::clearellipse(int left, int top, int right, int bottom) {
    Clear(this, [&] { solidellipse(left, top, right, bottom); });
}

void DrawOnImg::roundrect(int left, int top, int right, int bottom, int ew, int eh) {
    Outline(this, [&] { fillroundrect(left, top, right, bottom, ew, eh); });
}
void DrawOnImg::solidroundrect(int left, int top, int right, int bottom, int ew, int eh) {
    Solid(this, [&] { fillroundrect(left, top, right, bottom, ew, eh); });
}
void DrawOnImg::clearroundrect(int left, int top, int right, int bottom, int ew, int eh) {
    Clear(this, [&] { solidroundrect(left, top, right, bottom, ew, eh); });
}

void DrawOnImg::pie(int left, int top, int right, int bottom, double st, double end) {
    Outline(this, [&] { fillpie(left, top, right, bottom, st, end); });
}
void DrawOnImg::solidpie(int left, int top, int right, int bottom, double st, double end) {
    Solid(this, [&] { fillpie(left, top, right, bottom, st, end); });
}
void DrawOnImg::clearpie(int left, int top, int right, int bottom, double st, double end) {
    Clear(this, [&] { solidpie(left, top, right, bottom, st, end); });
}

void DrawOnImg::polygon(const POINT* points, int num) {
    Outline(this, [&] { fillpolygon(points, num); });
}
void DrawOnImg::solidpolygon(const POINT* points, int num) {
    Solid(this, [&] { fillpolygon(points, num); });
}
void DrawOnImg::clearpolygon(const POINT* points, int num) {
    Clear(this, [&] { solidpolygon(points, num); });
}

// ---------------------------------------------------------------------------
// Text.
// ---------------------------------------------------------------------------
void DrawOnImg::outtextxy(int x, int y, LPCTSTR str) {
    _Gdi::TextOutA(g_hMemDC, x, y, str, int(std::strlen(str)));
}

int DrawOnImg::drawtext(LPCTSTR str, RECT* pRect, UINT uFormat) { return DrawTextA(g_hMemDC, str, -1, pRect, uFormat); }

int DrawOnImg::textwidth(LPCTSTR str) {
    SIZE size = {0, 0};
    _Gdi::GetTextExtentPoint32A(g_hMemDC, str, int(std::strlen(str)), &size);
    return size.cx;
}

int DrawOnImg::textheight(LPCTSTR str) {
    SIZE size = {0, 0};
    _Gdi::GetTextExtentPoint32A(g_hMemDC, str, int(std::strlen(str)), &size);
    return size.cy;
}

void WideText::outtextxy(int x, int y, LPCWSTR str) {
    _Gdi::TextOutW(g_hMemDC, x, y, str, int(std::wcslen(str)));
}

int WideText::drawtext(LPCWSTR str, RECT* pRect, UINT uFormat) { return DrawTextW(g_hMemDC, str, -1, pRect, uFormat); }

int WideText::textwidth(LPCWSTR str) {
    SIZE size = {0, 0};
    _Gdi::GetTextExtentPoint32W(g_hMemDC, str, int(std::wcslen(str)), &size);
    return size.cx;
}

int WideText::textheight(LPCWSTR str) {
    SIZE size = {0, 0};
    _Gdi::GetTextExtentPoint32W(g_hMemDC, str, int(std::wcslen(str)), &size);
    return size.cy;
}

namespace {
// A given face name (at most 31 characters and a terminating zero); a null
// face leaves the name as it is. LogFont is LOGFONTA with narrow names,
// LOGFONTW with wide ones.
template <typename LogFont, typename Char>
void CopyFace(LogFont& font, const Char* face) {
    if (!face) return;
    int n = 0;
    for (; n < LF_FACESIZE - 1 && face[n]; ++n) font.lfFaceName[n] = face[n];
    // Like strncpy: the rest of the name is cleared.
    for (int k = n; k < LF_FACESIZE; ++k) font.lfFaceName[k] = 0;
}

// The fields that the nine- and fourteen-parameter settextstyle both set.
template <typename LogFont, typename Char>
void SetFontFields(LogFont& font, int height, int width, const Char* face, int escapement, int orientation,
                   int weight, bool italic, bool underline, bool strikeout) {
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeout;
    CopyFace(font, face);
}

// The three settextstyle forms, for either character kind: the short ones
// change the current font, the fourteen-parameter one starts from zero.
// `d` reads and sets the font as a LogFont: the target for narrow names,
// the working image's DC for wide ones.
template <typename LogFont, typename Fonts, typename Char>
void SetTextStyle(Fonts d, int nHeight, int nWidth, const Char* lpszFace) {
    LogFont font;
    d->gettextstyle(&font);
    font.lfHeight = nHeight;
    font.lfWidth = nWidth;
    CopyFace(font, lpszFace);
    d->settextstyle(&font);
}

template <typename LogFont, typename Fonts, typename Char>
void SetTextStyle(Fonts d, int nHeight, int nWidth, const Char* lpszFace, int nEscapement, int nOrientation,
                  int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut) {
    LogFont font;
    d->gettextstyle(&font);
    SetFontFields(font, nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                  bStrikeOut);
    d->settextstyle(&font);
}

template <typename LogFont, typename Fonts, typename Char>
void SetTextStyle(Fonts d, int nHeight, int nWidth, const Char* lpszFace, int nEscapement, int nOrientation,
                  int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet, BYTE fbOutPrecision,
                  BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily) {
    LogFont font;
    std::memset(&font, 0, sizeof font);  // a null face leaves the name empty: the platform's default face
    SetFontFields(font, nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                  bStrikeOut);
    font.lfCharSet = fbCharSet;
    font.lfOutPrecision = fbOutPrecision;
    font.lfClipPrecision = fbClipPrecision;
    font.lfQuality = fbQuality;
    font.lfPitchAndFamily = fbPitchAndFamily;
    d->settextstyle(&font);
}
// The wide fonts of the working image's DC, used by SetTextStyle as it uses
// a target (hence the arrow).
struct WideFonts {
    void gettextstyle(LOGFONTW* font) { WideText::gettextstyle(font); }
    void settextstyle(const LOGFONTW* font) { WideText::settextstyle(font); }
    WideFonts* operator->() { return this; }
};
}  // namespace

void DrawOnImg::settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace) {
    SetTextStyle<LOGFONTA>(this, nHeight, nWidth, lpszFace);
}
void WideText::settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace) {
    SetTextStyle<LOGFONTW>(WideFonts(), nHeight, nWidth, lpszFace);
}

void DrawOnImg::settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation,
                             int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut) {
    SetTextStyle<LOGFONTA>(this, nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                           bStrikeOut);
}
void WideText::settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation,
                             int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut) {
    SetTextStyle<LOGFONTW>(WideFonts(), nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic,
                           bUnderline, bStrikeOut);
}

void DrawOnImg::settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation,
                             int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet,
                             BYTE fbOutPrecision, BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily) {
    SetTextStyle<LOGFONTA>(this, nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                           bStrikeOut, fbCharSet, fbOutPrecision, fbClipPrecision, fbQuality, fbPitchAndFamily);
}
void WideText::settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation,
                             int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet,
                             BYTE fbOutPrecision, BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily) {
    SetTextStyle<LOGFONTW>(WideFonts(), nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic,
                           bUnderline, bStrikeOut, fbCharSet, fbOutPrecision, fbClipPrecision, fbQuality,
                           fbPitchAndFamily);
}

void DrawOnImg::settextstyle(const LOGFONTA* font) { ReplaceObject(g_hMemDC, _Gdi::CreateFontIndirectA(font)); }
void WideText::settextstyle(const LOGFONTW* font) { ReplaceObject(g_hMemDC, _Gdi::CreateFontIndirectW(font)); }

void DrawOnImg::gettextstyle(LOGFONTA* font) {
    _Gdi::GetObjectA(_Gdi::GetCurrentObject(g_hMemDC, OBJ_FONT), sizeof(LOGFONTA), font);
}
void WideText::gettextstyle(LOGFONTW* font) {
    _Gdi::GetObjectW(_Gdi::GetCurrentObject(g_hMemDC, OBJ_FONT), sizeof(LOGFONTW), font);
}

}  // namespace Glint
