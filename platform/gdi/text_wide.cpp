// text_wide.cpp — the W forms of GDI's font and text calls. Each converts its
// text to code page 936 and calls the A form, which does the work (and takes
// the locks); characters without a GBK form are drawn and measured as '?'.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "codepage.h"
#include "wingdi.h"

namespace {

// Copies a wide face name into a narrow LOGFONT one: at most 31 bytes, never
// half of a double-byte character, always terminated.
void narrow_face(const WCHAR* wide, CHAR* out) {
    WCHAR face[LF_FACESIZE];
    std::size_t n = 0;
    while (n < LF_FACESIZE - 1 && wide[n]) face[n] = wide[n], ++n;
    std::string gbk = plat::codepage::narrow_of(face, int(n));
    std::size_t keep = 0;
    while (keep < gbk.size()) {
        std::size_t step = plat::codepage::is_lead_byte(static_cast<unsigned char>(gbk[keep])) ? 2 : 1;
        if (keep + step > LF_FACESIZE - 1) break;
        keep += step;
    }
    std::memcpy(out, gbk.data(), keep);
    out[keep] = 0;
}

}  // namespace

HFONT WINAPI CreateFontIndirectW(CONST LOGFONTW* lplf) {
    if (!lplf) return nullptr;
    LOGFONTA lf;
    std::memcpy(&lf, lplf, offsetof(LOGFONTA, lfFaceName));  // the fields before the name are the same
    narrow_face(lplf->lfFaceName, lf.lfFaceName);
    return CreateFontIndirectA(&lf);
}

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    if (GetObjectType(h) != OBJ_FONT) return GetObjectA(h, c, pv);
    if (c < 0) return 0;
    LOGFONTA narrow;
    if (GetObjectA(h, sizeof narrow, &narrow) != int(sizeof narrow)) return 0;
    if (!pv) return int(sizeof(LOGFONTW));
    LOGFONTW wide;
    std::memset(&wide, 0, sizeof wide);
    std::memcpy(&wide, &narrow, offsetof(LOGFONTA, lfFaceName));
    std::wstring face = plat::codepage::wide_of(narrow.lfFaceName, -1);
    std::size_t n = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::copy(face.begin(), face.begin() + long(n), wide.lfFaceName);
    // Like the A form, a short buffer takes the first bytes of the record.
    int size = std::min<int>(c, int(sizeof wide));
    std::memcpy(pv, &wide, size_t(size));
    return size;
}

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
    if (c < 0 || (c > 0 && !lpString)) return FALSE;
    std::string gbk = plat::codepage::narrow_of(lpString, c);
    return TextOutA(hdc, x, y, gbk.data(), int(gbk.size()));
}

BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, CONST RECT* lprect, LPCWSTR lpString, UINT c,
                        CONST INT* lpDx) {
    if (c > 0x7FFFFFFF || (c > 0 && !lpString)) return FALSE;
    std::string gbk = plat::codepage::narrow_of(lpString, int(c));
    if (!lpDx) return ExtTextOutA(hdc, x, y, options, lprect, gbk.data(), UINT(gbk.size()), nullptr);
    // One advance per character becomes one per byte: a double-byte character
    // keeps its advance on the lead byte and 0 on the trail byte.
    std::vector<INT> dx(gbk.size(), 0);
    std::size_t byte = 0;
    for (UINT i = 0; i < c && byte < gbk.size(); ++i) {
        dx[byte] = lpDx[i];
        byte += plat::codepage::is_lead_byte(static_cast<unsigned char>(gbk[byte])) ? 2 : 1;
    }
    return ExtTextOutA(hdc, x, y, options, lprect, gbk.data(), UINT(gbk.size()), dx.data());
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
    if (!psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
    std::string gbk = plat::codepage::narrow_of(lpString, c);
    return GetTextExtentPoint32A(hdc, gbk.data(), int(gbk.size()), psizl);
}
