// text_glyph_outline.cpp — GetGlyphOutlineA / W: a glyph's metrics and its
// image as one bit or 5, 17 or 65 grey levels per pixel, rows top-down and
// padded to 4 bytes. The image is the glyph text output draws for the same
// font, character and transform, so the two agree pixel for pixel; another
// matrix turns, scales or slants the glyph's outline before it is drawn.
// Outlines themselves (GGO_NATIVE, GGO_BEZIER) are not served.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "codepage.h"
#include "gdi/text_internal.h"

using namespace plat::gdi;

namespace {

bool is_identity(const MAT2& m) {
    return m.eM11.value == 1 && m.eM11.fract == 0 && m.eM12.value == 0 && m.eM12.fract == 0 &&
           m.eM21.value == 0 && m.eM21.fract == 0 && m.eM22.value == 1 && m.eM22.fract == 0;
}

double value_of(FIXED f) { return f.value + f.fract / 65536.0; }

// What is reported and copied out: a cached glyph (identity) or a turned one.
struct Image {
    int left = 0, top = 0;  // top: above the baseline
    int width = 0, height = 0;
    const uint8_t* coverage = nullptr;
    int inc_x = 0, inc_y = 0;
};

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
    if (!lpgm || !mat) return GDI_ERROR;
    if (kind != GGO_METRICS && kind != GGO_BITMAP && !grey_levels(kind)) return GDI_ERROR;
    auto dc = get_dc(hdc);
    if (!dc || !dc->st.font) return GDI_ERROR;
    std::shared_ptr<FontObj> fo = dc->st.font;
    double sx = 1, sy = 1;
    std::shared_ptr<plat::text::Font> font = device_font(dc->st, *fo, &sx, &sy);
    const bool by_index = (format & GGO_GLYPH_INDEX) != 0;
    const char32_t cp = by_index ? char32_t(code) : wide ? char32_t(code & 0xFFFF) : char_of_narrow(code);
    Image g;
    plat::text::TransformedGlyph turned;
    if (is_identity(*mat)) {
        const plat::text::Glyph& c = by_index ? font->glyph_by_index(code) : font->glyph(cp);
        g = Image{c.left, font->metrics().ascent - c.top, c.width, c.height, c.coverage, c.advance, 0};
    } else {
        const double m[4] = {value_of(mat->eM11), value_of(mat->eM12), value_of(mat->eM21), value_of(mat->eM22)};
        if (!font->transformed_glyph(cp, by_index, m, &turned)) return GDI_ERROR;
        g = Image{turned.left, turned.top, turned.width, turned.height,
                  turned.coverage.empty() ? nullptr : turned.coverage.data(), int(std::lround(turned.advance_x)),
                  int(std::lround(turned.advance_y))};
    }

    // A blank glyph has a one-pixel black box and no image.
    const bool blank = g.width <= 0 || g.height <= 0 || !g.coverage;
    GLYPHMETRICS gm{};
    gm.gmBlackBoxX = blank ? 1 : UINT(g.width);
    gm.gmBlackBoxY = blank ? 1 : UINT(g.height);
    gm.gmptGlyphOrigin.x = g.left;
    gm.gmptGlyphOrigin.y = blank ? 0 : g.top;  // black box top above the baseline
    gm.gmCellIncX = short(g.inc_x);
    gm.gmCellIncY = short(g.inc_y);
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
