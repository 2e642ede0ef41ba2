// public_api.cpp — the public drawing functions: each forwards to the
// operation of the same name on the current drawing target g_pDraw. Before
// any working image exists (the layer stopped) they do nothing and return 0.
// Each holds the drawing lock from reading the target to the end of the call,
// so a stop on another thread waits for it instead of freeing the target
// under it.
#include "glint_private.h"

using namespace Glint;

#define GLINT_FORWARD(call) \
    GdiLock lock;           \
    if (!g_pDraw) return;   \
    g_pDraw->call
#define GLINT_FORWARD_RESULT(call) \
    GdiLock lock;                  \
    return g_pDraw ? g_pDraw->call : 0
#define GLINT_FORWARD_WND(call)    \
    GdiLock lock;                  \
    if (!g_pDrawOnWnd) return;     \
    g_pDrawOnWnd->call

// Batch drawing exists on the window target only.
void BeginBatchDraw() { GLINT_FORWARD_WND(BeginBatchDraw()); }
void FlushBatchDraw() { GLINT_FORWARD_WND(FlushBatchDraw()); }
void FlushBatchDraw(int left, int top, int right, int bottom) {
    GLINT_FORWARD_WND(FlushBatchDraw(left, top, right, bottom));
}
void EndBatchDraw() { GLINT_FORWARD_WND(EndBatchDraw()); }
void EndBatchDraw(int left, int top, int right, int bottom) {
    GLINT_FORWARD_WND(EndBatchDraw(left, top, right, bottom));
}

int getwidth() { GLINT_FORWARD_RESULT(getwidth()); }
int getheight() { GLINT_FORWARD_RESULT(getheight()); }

void cleardevice() { GLINT_FORWARD(cleardevice()); }
COLORREF getlinecolor() { GLINT_FORWARD_RESULT(getlinecolor()); }
void setlinecolor(COLORREF color) { GLINT_FORWARD(setlinecolor(color)); }
COLORREF gettextcolor() { GLINT_FORWARD_RESULT(gettextcolor()); }
void settextcolor(COLORREF color) { GLINT_FORWARD(settextcolor(color)); }
COLORREF getbkcolor() { GLINT_FORWARD_RESULT(getbkcolor()); }
void setbkcolor(COLORREF color) { GLINT_FORWARD(setbkcolor(color)); }
COLORREF getfillcolor() { GLINT_FORWARD_RESULT(getfillcolor()); }
void setfillcolor(COLORREF color) { GLINT_FORWARD(setfillcolor(color)); }
int getbkmode() { GLINT_FORWARD_RESULT(getbkmode()); }
void setbkmode(int mode) { GLINT_FORWARD(setbkmode(mode)); }
void setcliprgn(HRGN hrgn) { GLINT_FORWARD(setcliprgn(hrgn)); }
void clearcliprgn() { GLINT_FORWARD(clearcliprgn()); }
void setorigin(int x, int y) { GLINT_FORWARD(setorigin(x, y)); }
void getaspectratio(float* pxasp, float* pyasp) { GLINT_FORWARD(getaspectratio(pxasp, pyasp)); }
void setaspectratio(float xasp, float yasp) { GLINT_FORWARD(setaspectratio(xasp, yasp)); }
int getrop2() { GLINT_FORWARD_RESULT(getrop2()); }
void setrop2(int mode) { GLINT_FORWARD(setrop2(mode)); }
int getpolyfillmode() { GLINT_FORWARD_RESULT(getpolyfillmode()); }
void setpolyfillmode(int mode) { GLINT_FORWARD(setpolyfillmode(mode)); }
void graphdefaults() { GLINT_FORWARD(graphdefaults()); }

void getlinestyle(LINESTYLE* pstyle) { GLINT_FORWARD(getlinestyle(pstyle)); }
void setlinestyle(const LINESTYLE* pstyle) { GLINT_FORWARD(setlinestyle(pstyle)); }
void setlinestyle(int style, int thickness, const DWORD* puserstyle, DWORD userstylecount) {
    GLINT_FORWARD(setlinestyle(style, thickness, puserstyle, userstylecount));
}
void getfillstyle(FILLSTYLE* pstyle) { GLINT_FORWARD(getfillstyle(pstyle)); }
void setfillstyle(const FILLSTYLE* pstyle) { GLINT_FORWARD(setfillstyle(pstyle)); }
void setfillstyle(int style, long hatch, IMAGE* ppattern) { GLINT_FORWARD(setfillstyle(style, hatch, ppattern)); }
void setfillstyle(BYTE* ppattern8x8) { GLINT_FORWARD(setfillstyle(ppattern8x8)); }

// Text: the one-character forms draw a one-character string.
void outtextxy(int x, int y, LPCTSTR str) { GLINT_FORWARD(outtextxy(x, y, str)); }
void outtextxy(int x, int y, TCHAR c) {
    TCHAR str[2] = {c, 0};
    outtextxy(x, y, str);
}
int textwidth(LPCTSTR str) { GLINT_FORWARD_RESULT(textwidth(str)); }
int textwidth(TCHAR c) {
    TCHAR str[2] = {c, 0};
    return textwidth(str);
}
int textheight(LPCTSTR str) { GLINT_FORWARD_RESULT(textheight(str)); }
int textheight(TCHAR c) {
    TCHAR str[2] = {c, 0};
    return textheight(str);
}
int drawtext(LPCTSTR str, RECT* pRect, UINT uFormat) { GLINT_FORWARD_RESULT(drawtext(str, pRect, uFormat)); }
int drawtext(TCHAR c, RECT* pRect, UINT uFormat) {
    TCHAR str[2] = {c, 0};
    return drawtext(str, pRect, uFormat);
}
void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace) { GLINT_FORWARD(settextstyle(nHeight, nWidth, lpszFace)); }
void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut) {
    GLINT_FORWARD(settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                               bStrikeOut));
}
void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet, BYTE fbOutPrecision,
                  BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily) {
    GLINT_FORWARD(settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                               bStrikeOut, fbCharSet, fbOutPrecision, fbClipPrecision, fbQuality, fbPitchAndFamily));
}
void settextstyle(const LOGFONTA* font) { GLINT_FORWARD(settextstyle(font)); }
void gettextstyle(LOGFONTA* font) { GLINT_FORWARD(gettextstyle(font)); }

// Shapes.
COLORREF getpixel(int x, int y) { GLINT_FORWARD_RESULT(getpixel(x, y)); }
void putpixel(int x, int y, COLORREF color) { GLINT_FORWARD(putpixel(x, y, color)); }
void line(int x1, int y1, int x2, int y2) { GLINT_FORWARD(line(x1, y1, x2, y2)); }
void rectangle(int l, int t, int r, int b) { GLINT_FORWARD(rectangle(l, t, r, b)); }
void fillrectangle(int l, int t, int r, int b) { GLINT_FORWARD(fillrectangle(l, t, r, b)); }
void solidrectangle(int l, int t, int r, int b) { GLINT_FORWARD(solidrectangle(l, t, r, b)); }
void clearrectangle(int l, int t, int r, int b) { GLINT_FORWARD(clearrectangle(l, t, r, b)); }
void circle(int x, int y, int radius) { GLINT_FORWARD(circle(x, y, radius)); }
void fillcircle(int x, int y, int radius) { GLINT_FORWARD(fillcircle(x, y, radius)); }
void solidcircle(int x, int y, int radius) { GLINT_FORWARD(solidcircle(x, y, radius)); }
void clearcircle(int x, int y, int radius) { GLINT_FORWARD(clearcircle(x, y, radius)); }
void ellipse(int l, int t, int r, int b) { GLINT_FORWARD(ellipse(l, t, r, b)); }
void fillellipse(int l, int t, int r, int b) { GLINT_FORWARD(fillellipse(l, t, r, b)); }
void solidellipse(int l, int t, int r, int b) { GLINT_FORWARD(solidellipse(l, t, r, b)); }
void clearellipse(int l, int t, int r, int b) { GLINT_FORWARD(clearellipse(l, t, r, b)); }
void roundrect(int l, int t, int r, int b, int ew, int eh) { GLINT_FORWARD(roundrect(l, t, r, b, ew, eh)); }
void fillroundrect(int l, int t, int r, int b, int ew, int eh) { GLINT_FORWARD(fillroundrect(l, t, r, b, ew, eh)); }
void solidroundrect(int l, int t, int r, int b, int ew, int eh) { GLINT_FORWARD(solidroundrect(l, t, r, b, ew, eh)); }
void clearroundrect(int l, int t, int r, int b, int ew, int eh) { GLINT_FORWARD(clearroundrect(l, t, r, b, ew, eh)); }
void arc(int l, int t, int r, int b, double st, double end) { GLINT_FORWARD(arc(l, t, r, b, st, end)); }
void pie(int l, int t, int r, int b, double st, double end) { GLINT_FORWARD(pie(l, t, r, b, st, end)); }
void fillpie(int l, int t, int r, int b, double st, double end) { GLINT_FORWARD(fillpie(l, t, r, b, st, end)); }
void solidpie(int l, int t, int r, int b, double st, double end) { GLINT_FORWARD(solidpie(l, t, r, b, st, end)); }
void clearpie(int l, int t, int r, int b, double st, double end) { GLINT_FORWARD(clearpie(l, t, r, b, st, end)); }
void polyline(const POINT* points, int num) { GLINT_FORWARD(polyline(points, num)); }
void polygon(const POINT* points, int num) { GLINT_FORWARD(polygon(points, num)); }
void fillpolygon(const POINT* points, int num) { GLINT_FORWARD(fillpolygon(points, num)); }
void solidpolygon(const POINT* points, int num) { GLINT_FORWARD(solidpolygon(points, num)); }
void clearpolygon(const POINT* points, int num) { GLINT_FORWARD(clearpolygon(points, num)); }
void polybezier(const POINT* points, int num) { GLINT_FORWARD(polybezier(points, num)); }
void floodfill(int x, int y, COLORREF color, int filltype) { GLINT_FORWARD(floodfill(x, y, color, filltype)); }
