// public_api.cpp — the public drawing functions: each forwards to the
// operation of the same name on the current drawing target g_pDraw. Before
// any working image exists (the layer stopped) they do nothing and return 0.
// Each holds the drawing lock from reading the target to the end of the call
// (CurrentTarget), so a stop on another thread waits for it instead of
// freeing the target under it.
#include "glint_private.h"
#include "wide_forms.h"

using namespace Glint;

// Batch drawing exists on the window target only.
void BeginBatchDraw() { WindowTarget wnd; if (wnd) wnd->BeginBatchDraw(); }
void FlushBatchDraw() { WindowTarget wnd; if (wnd) wnd->FlushBatchDraw(); }
void FlushBatchDraw(int left, int top, int right, int bottom) {
    WindowTarget wnd;
    if (wnd) wnd->FlushBatchDraw(left, top, right, bottom);
}
void EndBatchDraw() { WindowTarget wnd; if (wnd) wnd->EndBatchDraw(); }
void EndBatchDraw(int left, int top, int right, int bottom) {
    WindowTarget wnd;
    if (wnd) wnd->EndBatchDraw(left, top, right, bottom);
}

int getwidth() { CurrentTarget draw; return draw ? draw->getwidth() : 0; }
int getheight() { CurrentTarget draw; return draw ? draw->getheight() : 0; }

void cleardevice() { CurrentTarget draw; if (draw) draw->cleardevice(); }
COLORREF getlinecolor() { CurrentTarget draw; return draw ? draw->getlinecolor() : 0; }
void setlinecolor(COLORREF color) { CurrentTarget draw; if (draw) draw->setlinecolor(color); }
COLORREF gettextcolor() { CurrentTarget draw; return draw ? draw->gettextcolor() : 0; }
void settextcolor(COLORREF color) { CurrentTarget draw; if (draw) draw->settextcolor(color); }
COLORREF getbkcolor() { CurrentTarget draw; return draw ? draw->getbkcolor() : 0; }
void setbkcolor(COLORREF color) { CurrentTarget draw; if (draw) draw->setbkcolor(color); }
COLORREF getfillcolor() { CurrentTarget draw; return draw ? draw->getfillcolor() : 0; }
void setfillcolor(COLORREF color) { CurrentTarget draw; if (draw) draw->setfillcolor(color); }
int getbkmode() { CurrentTarget draw; return draw ? draw->getbkmode() : 0; }
void setbkmode(int mode) { CurrentTarget draw; if (draw) draw->setbkmode(mode); }
void setcliprgn(HRGN hrgn) { CurrentTarget draw; if (draw) draw->setcliprgn(hrgn); }
void clearcliprgn() { CurrentTarget draw; if (draw) draw->clearcliprgn(); }
void setorigin(int x, int y) { CurrentTarget draw; if (draw) draw->setorigin(x, y); }
void getaspectratio(float* pxasp, float* pyasp) { CurrentTarget draw; if (draw) draw->getaspectratio(pxasp, pyasp); }
void setaspectratio(float xasp, float yasp) { CurrentTarget draw; if (draw) draw->setaspectratio(xasp, yasp); }
int getrop2() { CurrentTarget draw; return draw ? draw->getrop2() : 0; }
void setrop2(int mode) { CurrentTarget draw; if (draw) draw->setrop2(mode); }
int getpolyfillmode() { CurrentTarget draw; return draw ? draw->getpolyfillmode() : 0; }
void setpolyfillmode(int mode) { CurrentTarget draw; if (draw) draw->setpolyfillmode(mode); }
void graphdefaults() { CurrentTarget draw; if (draw) draw->graphdefaults(); }

void getlinestyle(LINESTYLE* pstyle) { CurrentTarget draw; if (draw) draw->getlinestyle(pstyle); }
void setlinestyle(const LINESTYLE* pstyle) { CurrentTarget draw; if (draw) draw->setlinestyle(pstyle); }
void setlinestyle(int style, int thickness, const DWORD* puserstyle, DWORD userstylecount) {
    CurrentTarget draw;
    if (draw) draw->setlinestyle(style, thickness, puserstyle, userstylecount);
}
void getfillstyle(FILLSTYLE* pstyle) { CurrentTarget draw; if (draw) draw->getfillstyle(pstyle); }
void setfillstyle(const FILLSTYLE* pstyle) { CurrentTarget draw; if (draw) draw->setfillstyle(pstyle); }
void setfillstyle(int style, long hatch, IMAGE* ppattern) {
    CurrentTarget draw;
    if (draw) draw->setfillstyle(style, hatch, ppattern);
}
void setfillstyle(BYTE* ppattern8x8) { CurrentTarget draw; if (draw) draw->setfillstyle(ppattern8x8); }

// Text: the one-character forms draw a one-character string. Each call has a
// narrow form and a wide one (programs built with UNICODE).
void outtextxy(int x, int y, LPCSTR str) { CurrentTarget draw; if (draw) draw->outtextxy(x, y, str); }
void outtextxy(int x, int y, LPCWSTR str) { CurrentTarget draw; if (draw) WideText::outtextxy(x, y, str); }
void outtextxy(int x, int y, CHAR c) {
    CHAR str[2] = {c, 0};
    outtextxy(x, y, str);
}
void outtextxy(int x, int y, WCHAR c) {
    WCHAR str[2] = {c, 0};
    outtextxy(x, y, str);
}
int textwidth(LPCSTR str) { CurrentTarget draw; return draw ? draw->textwidth(str) : 0; }
int textwidth(LPCWSTR str) { CurrentTarget draw; return draw ? WideText::textwidth(str) : 0; }
int textwidth(CHAR c) {
    CHAR str[2] = {c, 0};
    return textwidth(str);
}
int textwidth(WCHAR c) {
    WCHAR str[2] = {c, 0};
    return textwidth(str);
}
int textheight(LPCSTR str) { CurrentTarget draw; return draw ? draw->textheight(str) : 0; }
int textheight(LPCWSTR str) { CurrentTarget draw; return draw ? WideText::textheight(str) : 0; }
int textheight(CHAR c) {
    CHAR str[2] = {c, 0};
    return textheight(str);
}
int textheight(WCHAR c) {
    WCHAR str[2] = {c, 0};
    return textheight(str);
}
int drawtext(LPCSTR str, RECT* pRect, UINT uFormat) {
    CurrentTarget draw;
    return draw ? draw->drawtext(str, pRect, uFormat) : 0;
}
int drawtext(LPCWSTR str, RECT* pRect, UINT uFormat) {
    CurrentTarget draw;
    return draw ? WideText::drawtext(str, pRect, uFormat) : 0;
}
int drawtext(CHAR c, RECT* pRect, UINT uFormat) {
    CHAR str[2] = {c, 0};
    return drawtext(str, pRect, uFormat);
}
int drawtext(WCHAR c, RECT* pRect, UINT uFormat) {
    WCHAR str[2] = {c, 0};
    return drawtext(str, pRect, uFormat);
}
void settextstyle(int nHeight, int nWidth, LPCSTR lpszFace) {
    CurrentTarget draw;
    if (draw) draw->settextstyle(nHeight, nWidth, lpszFace);
}
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace) {
    CurrentTarget draw;
    if (draw) WideText::settextstyle(nHeight, nWidth, lpszFace);
}
void settextstyle(int nHeight, int nWidth, LPCSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut) {
    CurrentTarget draw;
    if (draw)
        draw->settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                           bStrikeOut);
}
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut) {
    CurrentTarget draw;
    if (draw)
        WideText::settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                           bStrikeOut);
}
void settextstyle(int nHeight, int nWidth, LPCSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet, BYTE fbOutPrecision,
                  BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily) {
    CurrentTarget draw;
    if (draw)
        draw->settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                           bStrikeOut, fbCharSet, fbOutPrecision, fbClipPrecision, fbQuality, fbPitchAndFamily);
}
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet, BYTE fbOutPrecision,
                  BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily) {
    CurrentTarget draw;
    if (draw)
        WideText::settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                           bStrikeOut, fbCharSet, fbOutPrecision, fbClipPrecision, fbQuality, fbPitchAndFamily);
}
void settextstyle(const LOGFONTA* font) { CurrentTarget draw; if (draw) draw->settextstyle(font); }
void settextstyle(const LOGFONTW* font) { CurrentTarget draw; if (draw) WideText::settextstyle(font); }
void gettextstyle(LOGFONTA* font) { CurrentTarget draw; if (draw) draw->gettextstyle(font); }
void gettextstyle(LOGFONTW* font) { CurrentTarget draw; if (draw) WideText::gettextstyle(font); }

// Shapes.
COLORREF getpixel(int x, int y) { CurrentTarget draw; return draw ? draw->getpixel(x, y) : 0; }
void putpixel(int x, int y, COLORREF color) { CurrentTarget draw; if (draw) draw->putpixel(x, y, color); }
void line(int x1, int y1, int x2, int y2) { CurrentTarget draw; if (draw) draw->line(x1, y1, x2, y2); }
void rectangle(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->rectangle(l, t, r, b); }
void fillrectangle(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->fillrectangle(l, t, r, b); }
void solidrectangle(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->solidrectangle(l, t, r, b); }
void clearrectangle(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->clearrectangle(l, t, r, b); }
void circle(int x, int y, int radius) { CurrentTarget draw; if (draw) draw->circle(x, y, radius); }
void fillcircle(int x, int y, int radius) { CurrentTarget draw; if (draw) draw->fillcircle(x, y, radius); }
void solidcircle(int x, int y, int radius) { CurrentTarget draw; if (draw) draw->solidcircle(x, y, radius); }
void clearcircle(int x, int y, int radius) { CurrentTarget draw; if (draw) draw->clearcircle(x, y, radius); }
void ellipse(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->ellipse(l, t, r, b); }
void fillellipse(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->fillellipse(l, t, r, b); }
void solidellipse(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->solidellipse(l, t, r, b); }
void clearellipse(int l, int t, int r, int b) { CurrentTarget draw; if (draw) draw->clearellipse(l, t, r, b); }
void roundrect(int l, int t, int r, int b, int ew, int eh) {
    CurrentTarget draw;
    if (draw) draw->roundrect(l, t, r, b, ew, eh);
}
void fillroundrect(int l, int t, int r, int b, int ew, int eh) {
    CurrentTarget draw;
    if (draw) draw->fillroundrect(l, t, r, b, ew, eh);
}
void solidroundrect(int l, int t, int r, int b, int ew, int eh) {
    CurrentTarget draw;
    if (draw) draw->solidroundrect(l, t, r, b, ew, eh);
}
void clearroundrect(int l, int t, int r, int b, int ew, int eh) {
    CurrentTarget draw;
    if (draw) draw->clearroundrect(l, t, r, b, ew, eh);
}
void arc(int l, int t, int r, int b, double st, double end) {
    CurrentTarget draw;
    if (draw) draw->arc(l, t, r, b, st, end);
}
void pie(int l, int t, int r, int b, double st, double end) {
    CurrentTarget draw;
    if (draw) draw->pie(l, t, r, b, st, end);
}
void fillpie(int l, int t, int r, int b, double st, double end) {
    CurrentTarget draw;
    if (draw) draw->fillpie(l, t, r, b, st, end);
}
void solidpie(int l, int t, int r, int b, double st, double end) {
    CurrentTarget draw;
    if (draw) draw->solidpie(l, t, r, b, st, end);
}
void clearpie(int l, int t, int r, int b, double st, double end) {
    CurrentTarget draw;
    if (draw) draw->clearpie(l, t, r, b, st, end);
}
void polyline(const POINT* points, int num) { CurrentTarget draw; if (draw) draw->polyline(points, num); }
void polygon(const POINT* points, int num) { CurrentTarget draw; if (draw) draw->polygon(points, num); }
void fillpolygon(const POINT* points, int num) { CurrentTarget draw; if (draw) draw->fillpolygon(points, num); }
void solidpolygon(const POINT* points, int num) { CurrentTarget draw; if (draw) draw->solidpolygon(points, num); }
void clearpolygon(const POINT* points, int num) { CurrentTarget draw; if (draw) draw->clearpolygon(points, num); }
void polybezier(const POINT* points, int num) { CurrentTarget draw; if (draw) draw->polybezier(points, num); }
void floodfill(int x, int y, COLORREF color, int filltype) {
    CurrentTarget draw;
    if (draw) draw->floodfill(x, y, color, filltype);
}
