/* The page transform in the compatible graphics mode: viewport and window
 * origins, MM_ANISOTROPIC (mirrored too) and MM_ISOTROPIC extents, with
 * rectangles, ellipses, round rectangles, polygons, arcs, pies, lines and
 * pattern blits; LPtoDP answers written as pixel values in row 138. */
#include "fid.h"

static void shapes(HDC dc)
{
    static const POINT tri[3] = { { 4, 30 }, { 20, 26 }, { 14, 40 } };
    Rectangle(dc, 2, 2, 14, 10);
    Ellipse(dc, 16, 2, 30, 12);
    Polygon(dc, tri, 3);
    Arc(dc, 2, 26, 20, 40, 20, 26, 2, 33);
    Pie(dc, 30, 30, 40, 40, 40, 30, 30, 30);
    RoundRect(dc, 40, 2, 56, 14, 5, 5);
    MoveToEx(dc, 18, 16, NULL);
    LineTo(dc, 28, 22);
    PatBlt(dc, 22, 26, 6, 4, PATCOPY);
}

int main(int argc, char **argv)
{
    Canvas c;
    XFORM sc = { 1.5f, 0, 0, 1.5f, 0.5f, 0.25f };
    POINT p[2];
    SIZE s;
    int k, col = 0;

    if (!fid_begin(&c, 360, 140))
        return 1;
    SetGraphicsMode(c.dc, GM_COMPATIBLE);
    SelectObject(c.dc, CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80)));
    SelectObject(c.dc, CreateSolidBrush(RGB(0xF0, 0xC0, 0x30)));
    for (k = 0; k < 12; k++) {
        int gx = (k % 6) * 60, gy = 4 + (k / 6) * 68;
        HPEN thick = NULL, old = NULL;
        SetMapMode(c.dc, MM_TEXT);
        SetWindowOrgEx(c.dc, 0, 0, NULL);
        SetViewportOrgEx(c.dc, gx, gy, NULL);
        if (k >= 6)
            SetWindowOrgEx(c.dc, 1, 2, NULL);
        switch (k % 6) {
        case 0: break;
        case 1: SetWindowOrgEx(c.dc, -3, 5, NULL); break;
        case 2:
            SetMapMode(c.dc, MM_ANISOTROPIC);
            SetWindowExtEx(c.dc, 10, 10, NULL);
            SetViewportExtEx(c.dc, 15, 20, NULL);
            break;
        case 3:
            SetMapMode(c.dc, MM_ANISOTROPIC);
            SetWindowExtEx(c.dc, 4, 4, NULL);
            SetViewportExtEx(c.dc, -3, 3, NULL);
            SetViewportOrgEx(c.dc, gx + 56, gy, NULL);
            break;
        case 4:
            SetMapMode(c.dc, MM_ISOTROPIC);
            SetWindowExtEx(c.dc, 10, 10, NULL);
            SetViewportExtEx(c.dc, 20, 12, NULL);
            break;
        case 5:
            SetMapMode(c.dc, MM_ANISOTROPIC);
            SetWindowExtEx(c.dc, 3, 3, NULL);
            SetViewportExtEx(c.dc, 2, 2, NULL);
            SetWindowOrgEx(c.dc, 1, 1, NULL);
            thick = CreatePen(PS_SOLID, 4, RGB(0xA0, 0x10, 0x30));
            old = (HPEN)SelectObject(c.dc, thick);
            break;
        }
        shapes(c.dc);
        if (old)
            DeleteObject(SelectObject(c.dc, old));
        p[0].x = 7; p[0].y = 9; p[1].x = -5; p[1].y = 13;
        LPtoDP(c.dc, p, 2);
        GetViewportExtEx(c.dc, &s);
        SetMapMode(c.dc, MM_TEXT);
        SetViewportOrgEx(c.dc, 0, 0, NULL);
        SetWindowOrgEx(c.dc, 0, 0, NULL);
        fid_put_value(&c, col, 138, (unsigned)p[0].x); col += 2;
        fid_put_value(&c, col, 138, (unsigned)p[0].y); col += 2;
        fid_put_value(&c, col, 138, (unsigned)p[1].x); col += 2;
        fid_put_value(&c, col, 138, (unsigned)p[1].y); col += 2;
        fid_put_value(&c, col, 138, (unsigned)s.cx); col += 2;
        fid_put_value(&c, col, 138, (unsigned)s.cy); col += 2;
    }
    return fid_end(&c, argc, argv);
}
