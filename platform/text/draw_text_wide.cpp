// draw_text_wide.cpp — DrawTextW: converts the text to code page 936 and lays
// it out with DrawTextA (characters without a GBK form become '?').
#include "codepage.h"
#include "winuser.h"

int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    if (!hdc || !lpchText || !lprc) return 0;
    std::string gbk = plat::codepage::narrow_of(lpchText, cchText);
    return DrawTextA(hdc, gbk.data(), int(gbk.size()), lprc, format);
}
