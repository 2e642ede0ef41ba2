// text_glyph_outline.cpp — GetGlyphOutlineA / W: a glyph's metrics and its
// image as one bit or 5, 17 or 65 grey levels per pixel, rows top-down and
// padded to 4 bytes. The image is the glyph text output draws for the same
// font, character and transform, so the two agree pixel for pixel. Only the
// identity matrix is served; outlines (GGO_NATIVE, GGO_BEZIER) are not.
#include <algorithm>
#include <cstring>

#include "codepage.h"
#include "gdi/text_internal.h"

using namespace plat::gdi;

namespace {

bool is_identity(const MAT2& m) {
    return m.eM11.value == 1 && m.eM11.fract == 0 && m.eM12.value == 0 && m.eM12.fract == 0 &&
           m.eM21.value == 0 && m.eM21.fract == 0 && m.eM22.value == 1 && m.eM22.fract == 0;
}

// A narrow character code: one byte, or a double-byte character with its
// lead byte in bits 8..15.
char32_t char_of_narrow(UINT code) {
    char bytes[2];
    int n = 0;
    if ((code >> 8) & 0xFF) bytes[n++] = char((code >> 8) & 0xFF);
    bytes[n++] = char(code & 0xFF);
    std::u32string cps = plat::codepage::decode_936(bytes, n);
    return cps.size() == 1 ? cps[0] : U'\uFFFD';
}

// The largest grey level of a grey format (0 for the others).
int grey_levels(UINT kind) {
    switch (kind) {
        case GGO_GRAY2_BITMAP: return 4;
        case GGO_GRAY4_BITMAP: return 16;
        case GGO_GRAY8_BITMAP: return 64;
        default: return 0;
    }
}

DWORD glyph_outline(HDC hdc, UINT code, bool wide, UINT format, LPGLYPHMETRICS lpgm, DWORD size, LPVOID buffer,
                    const MAT2* mat) {
    const UINT kind = format & ~UINT(GGO_GLYPH_INDEX | GGO_UNHINTED);
    if (!lpgm || !mat || !is_identity(*mat)) return GDI_ERROR;
    if (kind != GGO_METRICS && kind != GGO_BITMAP && !grey_levels(kind)) return GDI_ERROR;
    auto dc = get_dc(hdc);
    if (!dc || !dc->st.font) return GDI_ERROR;
    std::shared_ptr<FontObj> fo = dc->st.font;
    double sx = 1, sy = 1;
    std::shared_ptr<plat::text::Font> font = device_font(dc->st, *fo, &sx, &sy);
    const plat::text::Glyph& g = (format & GGO_GLYPH_INDEX) ? font->glyph_by_index(code)
                                 : wide                      ? font->glyph(char32_t(code & 0xFFFF))
                                                             : font->glyph(char_of_narrow(code));

    // A blank glyph has a one-pixel black box and no image.
    const bool blank = g.width <= 0 || g.height <= 0 || !g.coverage;
    GLYPHMETRICS gm{};
    gm.gmBlackBoxX = blank ? 1 : UINT(g.width);
    gm.gmBlackBoxY = blank ? 1 : UINT(g.height);
    gm.gmptGlyphOrigin.x = g.left;
    gm.gmptGlyphOrigin.y = blank ? 0 : font->metrics().ascent - g.top;  // black box top above the baseline
    gm.gmCellIncX = short(g.advance);
    gm.gmCellIncY = 0;
    if (kind == GGO_METRICS) {
        *lpgm = gm;
        return 1;
    }

    const int levels = grey_levels(kind);
    const size_t pitch = levels ? (size_t(g.width) + 3) & ~size_t(3) : (size_t(g.width) + 31) / 32 * 4;
    const size_t needed = blank ? 0 : pitch * size_t(g.height);
    if (!buffer || size == 0) {
        *lpgm = gm;
        return DWORD(needed);
    }
    if (size < needed) return GDI_ERROR;
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, needed);
    for (int y = 0; !blank && y < g.height; ++y) {
        const uint8_t* cov = g.coverage + size_t(y) * size_t(g.width);
        uint8_t* row = out + size_t(y) * pitch;
        for (int x = 0; x < g.width; ++x) {
            if (levels)
                row[x] = uint8_t((cov[x] * levels + 127) / 255);
            else if (cov[x] >= 128)
                row[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
    }
    *lpgm = gm;
    return DWORD(needed);
}

}  // namespace

DWORD WINAPI GetGlyphOutlineA(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer,
                              LPVOID pvBuffer, CONST MAT2* lpmat2) {
    return glyph_outline(hdc, uChar, false, fuFormat, lpgm, cjBuffer, pvBuffer, lpmat2);
}

DWORD WINAPI GetGlyphOutlineW(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer,
                              LPVOID pvBuffer, CONST MAT2* lpmat2) {
    return glyph_outline(hdc, uChar, true, fuFormat, lpgm, cjBuffer, pvBuffer, lpmat2);
}
