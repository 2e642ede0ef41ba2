// glint_hello — a small Glint program: a 300 x 240 window with a title line,
// a Chinese line (GBK; this file is compiled with -fexec-charset=GBK) and an
// echo of the typed characters. Backspace removes the last character.
// Closing the window ends the program.
//
// With one argument, the program also writes its back buffer to that file
// (a 24-bit BMP) after every change, so a test can compare the window with
// what the program drew.
#include <graphics.h>

#include <cstdio>
#include <string>

namespace {

void DumpBackBuffer(const char* path) {
    if (!path) return;
    int w = getwidth(), h = getheight();
    const DWORD* px = GetImageBuffer(NULL);
    int row = (w * 3 + 3) & ~3;
    unsigned size = 54u + unsigned(row * h);
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&](int at, unsigned v) {
        for (int i = 0; i < 4; ++i) header[at + i] = (unsigned char)(v >> (8 * i));
    };
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, unsigned(w));
    put32(22, unsigned(h));  // bottom-up rows
    header[26] = 1;
    header[28] = 24;
    put32(34, unsigned(row * h));
    std::string tmp = std::string(path) + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return;
    std::fwrite(header, 1, sizeof header, f);
    std::string line(size_t(row), '\0');
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            DWORD p = px[y * w + x];  // 0x00RRGGBB: blue, green, red in memory order
            line[size_t(x * 3)] = char(p & 0xFF);
            line[size_t(x * 3 + 1)] = char((p >> 8) & 0xFF);
            line[size_t(x * 3 + 2)] = char((p >> 16) & 0xFF);
        }
        std::fwrite(line.data(), 1, line.size(), f);
    }
    std::fclose(f);
    std::rename(tmp.c_str(), path);  // complete files only
}

}  // namespace

int main(int argc, char** argv) {
    const char* dump = argc > 1 ? argv[1] : nullptr;
    initgraph(300, 240, 0);
    setbkcolor(WHITE);
    settextcolor(BLACK);
    cleardevice();
    outtextxy(0, 0, "Glint hello");
    outtextxy(0, 20, "你好，世界！图形窗口");
    setlinecolor(BLUE);
    line(0, 60, 299, 60);
    DumpBackBuffer(dump);

    std::string typed;
    for (;;) {
        ExMessage m = getmessage(EX_CHAR);
        if (m.ch == '\b') {
            if (!typed.empty()) typed.pop_back();
        } else if ((unsigned char)m.ch >= 0x20) {
            typed += m.ch;
        }
        clearrectangle(0, 40, 299, 58);
        outtextxy(0, 40, typed.c_str());
        DumpBackBuffer(dump);
    }
}
