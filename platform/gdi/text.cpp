// text.cpp — fonts in DCs and narrow (code page 936) text output and
// measurement on top of the font engine.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "codepage.h"
#include "font_engine.h"
#include "gdi/gdi_internal.h"
#include "gdi/text_internal.h"

namespace plat::gdi {

plat::text::Font& FontObj::get() {
    std::lock_guard<std::mutex> lock(m);
    if (!engine) engine = plat::text::create_font(lf);
    return *engine;
}

std::shared_ptr<plat::text::Font> FontObj::get_scaled(double sx, double sy) {
    std::lock_guard<std::mutex> lock(m);
    if (!engine) engine = plat::text::create_font(lf);
    if (sx == 1 && sy == 1) return engine;
    if (!scaled || scaled_x != sx || scaled_y != sy) {
        LOGFONTA dev = lf;
        LONG h = lf.lfHeight ? lf.lfHeight : engine->metrics().height;
        dev.lfHeight = LONG(std::lround(h * sy));
        dev.lfWidth = LONG(std::lround(lf.lfWidth * sx));
        if (dev.lfHeight == 0) dev.lfHeight = h < 0 ? -1 : 1;
        scaled = plat::text::create_font(dev);
        scaled_x = sx;
        scaled_y = sy;
    }
    return scaled;
}

std::shared_ptr<plat::text::Font> device_font(const DCState& st, FontObj& font, double* sx, double* sy) {
    *sx = 1;
    *sy = 1;
    if (st.mapped && st.dev.eM12 == 0 && st.dev.eM21 == 0) {
        *sx = std::fabs(st.dev.eM11);
        *sy = std::fabs(st.dev.eM22);
    }
    return font.get_scaled(*sx, *sy);
}

}  // namespace plat::gdi

using namespace plat::gdi;

HFONT WINAPI CreateFontIndirectA(CONST LOGFONTA* lplf) {
    if (!lplf) return nullptr;
    auto f = std::make_shared<FontObj>();
    f->lf = *lplf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;  // the face name is always terminated
    return static_cast<HFONT>(add_object(f));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                         DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
    LOGFONTA lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = BYTE(bItalic);
    lf.lfUnderline = BYTE(bUnderline);
    lf.lfStrikeOut = BYTE(bStrikeOut);
    lf.lfCharSet = BYTE(iCharSet);
    lf.lfOutPrecision = BYTE(iOutPrecision);
    lf.lfClipPrecision = BYTE(iClipPrecision);
    lf.lfQuality = BYTE(iQuality);
    lf.lfPitchAndFamily = BYTE(iPitchAndFamily);
    if (pszFaceName) std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

// Draws text at device position of logical (x, y) honouring the DC's text
// alignment; optional ETO_OPAQUE / ETO_CLIPPED rectangle and advances.
static BOOL text_out(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR str, int c, const INT* dx) {
    if (c < 0 || (c > 0 && !str)) return FALSE;
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    std::shared_ptr<FontObj> fo = st.font;
    if (!fo) return FALSE;
    // A scaling world transform draws the font at its device size (the
    // position follows the full transform).
    double sx = 1, sy = 1;
    std::shared_ptr<plat::text::Font> drawn = device_font(st, *fo, &sx, &sy);
    plat::text::Font& font = *drawn;
    std::u32string text = c > 0 ? plat::codepage::decode_936(str, c) : std::u32string();
    const plat::text::FontMetrics& fm = font.metrics();
    // One pass over the glyphs gives the width and what is drawn.
    plat::text::Font::Layout layout;
    font.lay_out(text, &layout);
    int width = 0;
    if (dx) {
        // One advance per byte; a double-byte character advances by both of its entries.
        for (int k = 0; k < c; ++k) width += int(std::lround(dx[k] * sx));
    } else {
        width = layout.width;
    }
    bool update_cp = (st.align & TA_UPDATECP) != 0;
    POINT logical = update_cp ? st.cur : POINT{x, y};
    POINT p = to_device(st, logical.x, logical.y);
    UINT ha = st.align & TA_CENTER, va = st.align & TA_BASELINE;
    if (ha == TA_RIGHT) p.x -= width;
    else if (ha == TA_CENTER) p.x -= width / 2;
    if (va == TA_BOTTOM) p.y -= fm.height;
    else if (va == TA_BASELINE) p.y -= fm.ascent;
    if (update_cp) {
        LONG logical_width = LONG(std::lround(width / (sx > 0 ? sx : 1)));
        if (ha == TA_LEFT) st.cur.x += logical_width;
        else if (ha == TA_RIGHT) st.cur.x -= logical_width;
    }
    Target t(*dc);
    if (!t.ok()) return t.screen() ? TRUE : FALSE;
    Mix copy = mix_for_rop2(R2_COPYPEN);
    Paint bk;
    bk.type = Paint::Type::Solid;
    bk.color = device_colour(st, st.bk);
    RECT dr{0, 0, 0, 0};
    if (rect) {
        POINT a = to_device(st, rect->left, rect->top), b = to_device(st, rect->right, rect->bottom);
        dr = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        if (options & ETO_OPAQUE) fill_rect(t, dr.left, dr.top, dr.right, dr.bottom, bk, copy);
        if (options & ETO_CLIPPED) {
            // Narrow the clip to the rectangle for the glyphs.
            size_t kept = 0;
            for (const RECT& cr : t.clip) {
                RECT r{std::max(cr.left, dr.left), std::max(cr.top, dr.top), std::min(cr.right, dr.right),
                       std::min(cr.bottom, dr.bottom)};
                if (r.left < r.right && r.top < r.bottom) t.clip.begin()[kept++] = r;
            }
            t.clip.truncate(kept);
        }
    }
    if (st.bkmode == OPAQUE && !(options & ETO_OPAQUE)) fill_rect(t, p.x, p.y, p.x + width, p.y + fm.height, bk, copy);
    // On a colour table the text is its nearest entry; elsewhere the colour
    // itself, which partly covered pixels blend towards.
    uint32_t fg = indexed_bitmap(st.bitmap.get()) ? device_colour(st, st.text) : to_pixel(palette_colour(st, st.text));
    int pen = p.x;
    size_t byte = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t cp = text[i];
        const plat::text::Glyph& g = *layout.glyphs[i];
        masked_glyph(t, pen + g.left, p.y + g.top, g.width, g.height, g.coverage, fg);
        if (dx) {
            pen += int(std::lround(dx[byte] * sx));
            // Step over the bytes of this character in the advance array.
            bool lead = byte < size_t(c) && plat::codepage::is_lead_byte(static_cast<unsigned char>(str[byte])) &&
                        byte + 1 < size_t(c) && cp != U'\uFFFD';
            byte += lead ? 2 : 1;
            if (lead) pen += int(std::lround(dx[byte - 1] * sx));
        } else {
            pen += g.advance;
        }
    }
    const LOGFONTA& lf = fo->lf;
    Paint line;
    line.type = Paint::Type::Solid;
    line.color = fg;
    if (lf.lfUnderline) {
        int uy = p.y + fm.ascent + 1 < p.y + fm.height ? p.y + fm.ascent + 1 : p.y + fm.height - 1;
        fill_rect(t, p.x, uy, p.x + width, uy + 1, line, copy);
    }
    if (lf.lfStrikeOut) {
        int sy = p.y + fm.ascent - fm.ascent / 3;
        fill_rect(t, p.x, sy, p.x + width, sy + 1, line, copy);
    }
    return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    return text_out(hdc, x, y, 0, nullptr, lpString, c, nullptr);
}

BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, CONST RECT* lprect, LPCSTR lpString, UINT c,
                        CONST INT* lpDx) {
    if (c > 0x7FFFFFFF) return FALSE;
    return text_out(hdc, x, y, options, lprect, lpString, int(c), lpDx);
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    if (!psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
    auto dc = get_dc(hdc);
    if (!dc || !dc->st.font) return FALSE;
    std::shared_ptr<FontObj> fo = dc->st.font;
    plat::text::Font& font = fo->get();
    std::u32string text = c > 0 ? plat::codepage::decode_936(lpString, c) : std::u32string();
    psizl->cx = plat::text::text_width(font, text);
    psizl->cy = font.metrics().height;
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    if (!lptm) return FALSE;
    auto dc = get_dc(hdc);
    if (!dc || !dc->st.font) return FALSE;
    std::shared_ptr<FontObj> fo = dc->st.font;
    plat::text::Font& font = fo->get();
    const plat::text::FontMetrics& m = font.metrics();
    const LOGFONTA& lf = fo->lf;
    TEXTMETRICA tm{};
    tm.tmHeight = m.height;
    tm.tmAscent = m.ascent;
    tm.tmDescent = m.descent;
    tm.tmInternalLeading = m.internal_leading;
    tm.tmExternalLeading = 0;
    tm.tmAveCharWidth = m.ave_char_width;
    tm.tmMaxCharWidth = m.max_char_width;
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic ? 0xFF : 0;
    tm.tmUnderlined = lf.lfUnderline ? 0xFF : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 0xFF : 0;
    // TMPF_FIXED_PITCH set means a variable-pitch font.
    tm.tmPitchAndFamily = BYTE((lf.lfPitchAndFamily & 0xF0) | (m.ave_char_width != m.max_char_width ? TMPF_FIXED_PITCH : 0));
    tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? GB2312_CHARSET : lf.lfCharSet;
    *lptm = tm;
    return TRUE;
}

int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
    auto dc = get_dc(hdc);
    if (!dc || !dc->st.font) return 0;
    const char* face = dc->st.font->lf.lfFaceName;
    int len = int(strnlen(face, LF_FACESIZE - 1));
    if (!lpName) return len + 1;
    if (c <= 0) return 0;
    int n = std::min(len, c - 1);
    std::memcpy(lpName, face, size_t(n));
    lpName[n] = 0;
    return n + 1;
}
