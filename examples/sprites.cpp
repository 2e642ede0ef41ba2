// sprites — three ways to draw a sprite with see-through parts over a
// gradient sky, the GDI calls learners use on GetImageHDC():
//   1. AlphaBlend with the sprite's own alpha (soft edges), and with a
//      constant alpha on top (a ghost);
//   2. TransparentBlt with a colour key (magenta is "not there"), at its own
//      size and stretched;
//   3. the mask trick: a black-and-white mask put with SRCAND cuts a hole,
//      the sprite on black put with SRCPAINT fills it.
// Any key ends the program.
#include <graphics.h>
#include <windows.h>

const int W = 420, H = 240, S = 48;  // window and sprite size

// A ball with soft edges: each pixel's alpha in the top byte, the colour
// premultiplied by it (what AlphaBlend's AC_SRC_ALPHA expects).
void makeSoftBall(IMAGE& img) {
    DWORD* p = GetImageBuffer(&img);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            int dx = 2 * x + 1 - S, dy = 2 * y + 1 - S;         // from the centre, in half pixels
            int d = dx * dx + dy * dy, r = (S - 4) * (S - 4);     // squared distance and radius
            int a = d < r ? 255 : d > r + 8 * S ? 0 : 255 - (d - r) * 255 / (8 * S);  // fade at the rim
            int red = 240 * a / 255, green = (120 + y * 2) * a / 255, blue = 60 * a / 255;
            p[y * S + x] = (DWORD)a << 24 | red << 16 | green << 8 | blue;
        }
}

int main() {
    initgraph(W, H);
    HDC screen = GetImageHDC();

    // The sky: one vertical gradient from the top corner to the bottom one.
    TRIVERTEX sky[2] = {{0, 0, 0x2000, 0x4000, 0xA000, 0}, {W, H, 0xF000, 0xC800, 0x9000, 0}};
    GRADIENT_RECT all = {0, 1};
    GradientFill(screen, sky, 2, &all, 1, GRADIENT_FILL_RECT_V);

    // 1. Alpha: fully by the sprite's alpha, then also at 40 % (a ghost).
    IMAGE ball(S, S);
    makeSoftBall(ball);
    BLENDFUNCTION own = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}, ghost = {AC_SRC_OVER, 0, 100, AC_SRC_ALPHA};
    AlphaBlend(screen, 20, 30, S, S, GetImageHDC(&ball), 0, 0, S, S, own);
    AlphaBlend(screen, 80, 30, S, S, GetImageHDC(&ball), 0, 0, S, S, ghost);

    // 2. Colour key: the sprite is drawn on magenta, which TransparentBlt skips.
    IMAGE keyed(S, S);
    SetWorkingImage(&keyed);
    setbkcolor(RGB(255, 0, 255));
    cleardevice();
    setfillcolor(RGB(60, 170, 90));
    setlinecolor(RGB(20, 80, 40));
    fillcircle(S / 2, S / 2, S / 2 - 3);
    setfillcolor(WHITE);
    solidcircle(S / 2 - 8, S / 2 - 6, 5);
    solidcircle(S / 2 + 8, S / 2 - 6, 5);
    SetWorkingImage();
    TransparentBlt(screen, 160, 30, S, S, GetImageHDC(&keyed), 0, 0, S, S, RGB(255, 0, 255));
    TransparentBlt(screen, 220, 10, 2 * S, 2 * S, GetImageHDC(&keyed), 0, 0, S, S, RGB(255, 0, 255));

    // 3. Mask trick: the mask is black where the sprite is, white around it;
    //    the sprite itself is drawn on black.
    IMAGE mask(S, S), sprite(S, S);
    POINT tri[3] = {{S / 2, 2}, {S - 3, S - 3}, {2, S - 3}};
    SetWorkingImage(&mask);
    setbkcolor(WHITE);
    cleardevice();
    setfillcolor(BLACK);
    solidpolygon(tri, 3);
    SetWorkingImage(&sprite);
    setbkcolor(BLACK);
    cleardevice();
    setfillcolor(RGB(90, 120, 240));
    solidpolygon(tri, 3);
    SetWorkingImage();
    for (int i = 0; i < 3; ++i) {
        int x = 30 + i * 60, y = 150;
        BitBlt(screen, x, y, S, S, GetImageHDC(&mask), 0, 0, SRCAND);     // keep the sky, black hole
        BitBlt(screen, x, y, S, S, GetImageHDC(&sprite), 0, 0, SRCPAINT);  // sprite into the hole
    }

    settextcolor(RGB(30, 30, 60));
    setbkmode(TRANSPARENT);
    outtextxy(20, 100, "AlphaBlend");
    outtextxy(170, 110, "TransparentBlt");
    outtextxy(230, 190, "SRCAND + SRCPAINT");
    FlushBatchDraw();
    getmessage(EX_KEY);
    closegraph();
    return 0;
}
