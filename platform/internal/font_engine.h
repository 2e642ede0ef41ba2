// font_engine.h — fonts for the GDI engine: matching, metrics, cached glyphs.
//
// A Font is made from a LOGFONTA: the face is looked up among the font files
// the program added, then matched with fontconfig, and rendered with FreeType. The default face "System" at height 16 (and any
// face fontconfig cannot match well) uses GNU Unifont, whose 16-pixel cells
// draw ASCII and GBK Chinese crisply; a scalable CJK face fills in glyphs the
// chosen face lacks. Glyphs are rendered once and cached per font.
// Thread-safe: fonts and their caches may be used from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "windows.h"

namespace plat::text {

struct FontMetrics {
    int height = 0;            // cell height: ascent + descent (tmHeight)
    int ascent = 0;            // baseline offset from the cell top
    int descent = 0;
    int internal_leading = 0;
    int ave_char_width = 0;
    int max_char_width = 0;
};

struct Glyph {
    int advance = 0;           // pen advance in pixels
    int left = 0;              // bitmap left edge relative to the pen position
    int top = 0;               // bitmap top edge relative to the cell top (not the baseline)
    int width = 0;             // bitmap size; 0 x 0 for blanks
    int height = 0;
    const uint8_t* coverage = nullptr;  // width*height bytes: 0 = none, 255 = full;
                                        // monochrome fonts use only 0 and 255
};

// A glyph drawn through a 2x2 matrix; made on request, not cached.
struct TransformedGlyph {
    int left = 0;    // bitmap left edge relative to the pen position
    int top = 0;     // bitmap top edge above the baseline
    int width = 0;   // 0 x 0 for blanks
    int height = 0;
    double advance_x = 0;  // the pen advance through the matrix, y up
    double advance_y = 0;
    std::vector<uint8_t> coverage;  // width*height bytes, as Glyph's
};

class Font {
public:
    virtual ~Font() = default;
    virtual const LOGFONTA& logfont() const = 0;  // as requested (face name kept)
    virtual const FontMetrics& metrics() const = 0;
    // The glyph for one code point (U+FFFD and missing glyphs draw the font's
    // replacement box). The pointer stays valid as long as the Font lives.
    virtual const Glyph& glyph(char32_t cp) = 0;
    // The glyphs of a run of code points, looked up in one pass, and the
    // run's width (as text_width gives it).
    struct Layout {
        std::vector<const Glyph*> glyphs;
        int width = 0;
    };
    virtual void lay_out(const std::u32string& text, Layout* out) = 0;
    // The glyph of a glyph index of the font's own face (not of the faces
    // that fill in missing characters); an index the face lacks draws the
    // replacement box. Cached and kept like glyph().
    virtual const Glyph& glyph_by_index(uint32_t index) = 0;
    // The glyph of a character (or, with `is_index`, of a glyph index of the
    // font's own face) through m = {m11, m12, m21, m22}, which takes (x, y)
    // to (x*m11 + y*m21, x*m12 + y*m22) with y up, unhinted. False when the
    // glyph has no outline or its image would be too large.
    virtual bool transformed_glyph(uint32_t code, bool is_index, const double m[4], TransformedGlyph* out) = 0;
};

// Loads fontconfig's configuration and opens the fallback faces now; else
// the first text drawn waits for them. Safe from any thread, at any time.
void warm_up();

// Never returns null: if nothing matches, the built-in fallback face is used.
std::shared_ptr<Font> create_font(const LOGFONTA& lf);

// Font files a program adds for this process only (AddFontResourceEx): every
// face of the file (each face of a collection) becomes findable by each of its
// family names. Adding a file again counts it again; `is_private` tells the
// private and the ordinary adds apart, and a removal names the same kind.
// Fonts made before a removal keep drawing with the removed face. Paths are
// UTF-8. Returns the number of faces added, 0 for a missing file or one
// without a font.
int add_font_file(const std::string& path, bool is_private);
// False when the file is not added (as that kind).
bool remove_font_file(const std::string& path, bool is_private);

// Width in pixels of a run of code points (sum of advances, plus the
// extra pixel that emboldened fonts add).
int text_width(Font& font, const std::u32string& text);

}  // namespace plat::text
