// Renders one line of GBK text the way the game's window shows it (black on
// white, the 16-pixel "System" face every Glint image starts with) into a
// 300 x 16 binary PPM, as a reference picture for the end-to-end tests.
// Usage: render_text_line OUT.ppm < text.gbk
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.ppm < text\n", argv[0]);
        return 2;
    }
    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    const int W = 300, H = 16;
    HDC dc = CreateCompatibleDC(NULL);
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!bmp || !bits) return 1;
    SelectObject(dc, bmp);
    HFONT font = CreateFontA(16, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "System");
    SelectObject(dc, font);
    PatBlt(dc, 0, 0, W, H, WHITENESS);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    if (!text.empty()) TextOutA(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();

    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", W, H);
    const DWORD* px = static_cast<const DWORD*>(bits);
    for (int i = 0; i < W * H; ++i) {
        unsigned char rgb[3] = {static_cast<unsigned char>(px[i] >> 16), static_cast<unsigned char>(px[i] >> 8),
                                static_cast<unsigned char>(px[i])};
        std::fwrite(rgb, 1, 3, out);
    }
    std::fclose(out);
    DeleteObject(font);
    DeleteObject(bmp);
    DeleteDC(dc);
    return 0;
}
