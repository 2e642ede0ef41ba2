// draw_on_wnd.cpp — the window drawing target: every operation that reaches
// the platform holds g_csGDILock, because the window thread copies the back
// buffer to the screen concurrently; plus opening/closing the window and
// batch drawing.
#include <algorithm>
#include <cstring>

#include "glint_private.h"

namespace Glint {

DrawOnWnd::~DrawOnWnd() {}

void DrawOnWnd::cleardevice() { GdiLock lock; return DrawOnImg::cleardevice(); }
void DrawOnWnd::settextcolor(COLORREF color) { GdiLock lock; return DrawOnImg::settextcolor(color); }
void DrawOnWnd::setbkcolor(COLORREF color) { GdiLock lock; return DrawOnImg::setbkcolor(color); }
int DrawOnWnd::getbkmode() { GdiLock lock; return DrawOnImg::getbkmode(); }
void DrawOnWnd::setbkmode(int mode) { GdiLock lock; return DrawOnImg::setbkmode(mode); }
void DrawOnWnd::setorigin(int x, int y) { GdiLock lock; return DrawOnImg::setorigin(x, y); }
void DrawOnWnd::setcliprgn(HRGN hrgn) { GdiLock lock; return DrawOnImg::setcliprgn(hrgn); }
void DrawOnWnd::clearcliprgn() { GdiLock lock; return DrawOnImg::clearcliprgn(); }
void DrawOnWnd::setlinestyle(const LINESTYLE* pstyle) { GdiLock lock; return DrawOnImg::setlinestyle(pstyle); }
void DrawOnWnd::setfillstyle(const FILLSTYLE* pstyle) { GdiLock lock; return DrawOnImg::setfillstyle(pstyle); }
void DrawOnWnd::setfillcolor(COLORREF color) { GdiLock lock; return DrawOnImg::setfillcolor(color); }
void DrawOnWnd::setaspectratio(float xasp, float yasp) { GdiLock lock; return DrawOnImg::setaspectratio(xasp, yasp); }
int DrawOnWnd::getrop2() { GdiLock lock; return DrawOnImg::getrop2(); }
void DrawOnWnd::setrop2(int mode) { GdiLock lock; return DrawOnImg::setrop2(mode); }
int DrawOnWnd::getpolyfillmode() { GdiLock lock; return DrawOnImg::getpolyfillmode(); }
void DrawOnWnd::setpolyfillmode(int mode) { GdiLock lock; return DrawOnImg::setpolyfillmode(mode); }
COLORREF DrawOnWnd::getpixel(int x, int y) { GdiLock lock; return DrawOnImg::getpixel(x, y); }
void DrawOnWnd::putpixel(int x, int y, COLORREF color) { GdiLock lock; return DrawOnImg::putpixel(x, y, color); }
void DrawOnWnd::line(int x1, int y1, int x2, int y2) { GdiLock lock; return DrawOnImg::line(x1, y1, x2, y2); }
void DrawOnWnd::fillrectangle(int l, int t, int r, int b) { GdiLock lock; return DrawOnImg::fillrectangle(l, t, r, b); }
void DrawOnWnd::fillcircle(int x, int y, int radius) { GdiLock lock; return DrawOnImg::fillcircle(x, y, radius); }
void DrawOnWnd::fillellipse(int l, int t, int r, int b) { GdiLock lock; return DrawOnImg::fillellipse(l, t, r, b); }
void DrawOnWnd::fillroundrect(int l, int t, int r, int b, int ew, int eh) {
    GdiLock lock;
    return DrawOnImg::fillroundrect(l, t, r, b, ew, eh);
}
void DrawOnWnd::arc(int l, int t, int r, int b, double st, double end) {
    GdiLock lock;
    return DrawOnImg::arc(l, t, r, b, st, end);
}
void DrawOnWnd::fillpie(int l, int t, int r, int b, double st, double end) {
    GdiLock lock;
    return DrawOnImg::fillpie(l, t, r, b, st, end);
}
void DrawOnWnd::polyline(const POINT* points, int num) { GdiLock lock; return DrawOnImg::polyline(points, num); }
void DrawOnWnd::fillpolygon(const POINT* points, int num) { GdiLock lock; return DrawOnImg::fillpolygon(points, num); }
void DrawOnWnd::polybezier(const POINT* points, int num) { GdiLock lock; return DrawOnImg::polybezier(points, num); }
void DrawOnWnd::floodfill(int x, int y, COLORREF color, int filltype) {
    GdiLock lock;
    return DrawOnImg::floodfill(x, y, color, filltype);
}
void DrawOnWnd::outtextxy(int x, int y, LPCTSTR str) { GdiLock lock; return DrawOnImg::outtextxy(x, y, str); }
int DrawOnWnd::drawtext(LPCTSTR str, RECT* pRect, UINT uFormat) {
    GdiLock lock;
    return DrawOnImg::drawtext(str, pRect, uFormat);
}
int DrawOnWnd::textwidth(LPCTSTR str) { GdiLock lock; return DrawOnImg::textwidth(str); }
int DrawOnWnd::textheight(LPCTSTR str) { GdiLock lock; return DrawOnImg::textheight(str); }
void DrawOnWnd::settextstyle(const LOGFONTA* font) { GdiLock lock; return DrawOnImg::settextstyle(font); }
void DrawOnWnd::gettextstyle(LOGFONTA* font) { GdiLock lock; return DrawOnImg::gettextstyle(font); }

// ---------------------------------------------------------------------------
// Opening and closing the window.
// ---------------------------------------------------------------------------
HWND DrawOnWnd::initgraph(int width, int height, int flag) {
    // Title: the executable's file name without directory and extension.
    char path[MAX_PATH + 1] = {0};
    GetModuleFileNameA(NULL, path, MAX_PATH);
    char* name = path;
    for (char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    char* dot = std::strrchr(name, '.');
    if (dot) *dot = 0;

    HWND hwnd = g_pGraphWnd->InitGraphWnd(width, height, name, flag & EX_SHOWCONSOLE, flag & EX_NOCLOSE,
                                          flag & EX_NOMINIMIZE, flag & EX_DBLCLKS);
    // Drawing calls of other threads see the new window only once it is set up.
    GdiLock lock;
    g_pCurImg = g_pGraphWnd;
    g_pDraw = g_pDrawOnWnd;
    graphdefaults();
    Common::Memory::FillMemory4(g_pGraphWnd->m_pBuffer, size_t(g_pGraphWnd->m_width) * g_pGraphWnd->m_height, 0);
    FlushBatchDraw();
    return hwnd;
}

void DrawOnWnd::closegraph() { g_pGraphWnd->CloseGraphWnd(); }

// ---------------------------------------------------------------------------
// Batch drawing.
// ---------------------------------------------------------------------------
void DrawOnWnd::BeginBatchDraw() { g_pGraphWnd->m_bBatchDraw = true; }

void DrawOnWnd::FlushBatchDraw() {
    GdiLock lock;
    if (!g_hWndDC) return;  // no window, or an off-screen image is the working image
    _Gdi::SetWorldTransform(g_hMemDC, &g_StdxForm);
    _Gdi::BitBlt(g_hWndDC, 0, 0, g_pGraphWnd->m_width, g_pGraphWnd->m_height, g_hMemDC, 0, 0, SRCCOPY);
    _Gdi::SetWorldTransform(g_hMemDC, &g_pGraphWnd->m_xform);
}

void DrawOnWnd::FlushBatchDraw(int left, int top, int right, int bottom) {
    GdiLock lock;
    if (!g_hWndDC) return;
    // Both edges are included. The rectangle is cut to the back buffer in 64
    // bits first: any int edges are valid, and the width and height of a
    // rectangle from far left to far right do not fit an int.
    long long l = left < 0 ? 0 : left, t = top < 0 ? 0 : top;
    long long r = std::min<long long>(right, g_pGraphWnd->m_width - 1);
    long long b = std::min<long long>(bottom, g_pGraphWnd->m_height - 1);
    if (r < l || b < t) return;
    _Gdi::SetWorldTransform(g_hMemDC, &g_StdxForm);
    _Gdi::BitBlt(g_hWndDC, int(l), int(t), int(r - l + 1), int(b - t + 1), g_hMemDC, int(l), int(t), SRCCOPY);
    _Gdi::SetWorldTransform(g_hMemDC, &g_pGraphWnd->m_xform);
}

void DrawOnWnd::EndBatchDraw() {
    FlushBatchDraw();
    g_pGraphWnd->m_bBatchDraw = false;
}

void DrawOnWnd::EndBatchDraw(int left, int top, int right, int bottom) {
    FlushBatchDraw(left, top, right, bottom);
    g_pGraphWnd->m_bBatchDraw = false;
}

}  // namespace Glint
