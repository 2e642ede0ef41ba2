// font_engine.cpp — LOGFONTA -> font file (text/font_lookup.h) -> FreeType glyphs, cached.
//
// Locking: one process-wide mutex guards FreeType (the library, every face
// and every size object; FreeType objects are not thread-safe); the font
// look-up has its own. A Font's own mutex guards its glyph cache and is always
// taken before the FreeType mutex, never after it.
//
// Faces are opened once per file and kept for the life of the process; each
// Font renders through its own FT_Size objects on those faces. A face name
// is looked up first among the files the program added (private_fonts.cpp),
// then with fontconfig.
//
// Underline and strike-out are not part of the glyphs (GDI's text output
// draws them as lines); lfEscapement / lfOrientation are ignored: text is
// always horizontal.
#include "font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "codepage.h"
#include "text/font_lookup.h"
#include "text/private_fonts.h"

namespace plat::text {
namespace {

constexpr char32_t kReplacementChar = 0xFFFD;
constexpr int kDefaultCellHeight = 16;
constexpr std::size_t kFontCacheSize = 64;
constexpr LONG kMaxPixelSize = 1024;  // largest cell or em height served

// Last-resort locations (Debian packages fonts-unifont and fonts-wqy-zenhei),
// used only when the font look-up cannot find the families by name.
const char* const kUnifontPaths[] = {
    "/usr/share/fonts/opentype/unifont/unifont.otf",
    "/usr/share/fonts/truetype/unifont/unifont.ttf",
    nullptr,
};
const char* const kCjkPaths[] = {
    "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
    nullptr,
};

// ---------------------------------------------------------------- FreeType

std::mutex& ft_mutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

struct FaceRec {
    FT_Face face = nullptr;
    std::string key;      // path#index
    bool is_unifont = false;
    bool scalable = false;
    int win_ascent = 0;   // font units; Windows' cell metrics
    int win_descent = 0;
    bool bold = false;    // the face itself is bold or italic; otherwise
    bool italic = false;  // those styles are synthesised
};

// Requires ft_mutex. Null when FreeType or the file is unusable.
FT_Library ft_library_locked() {
    static FT_Library lib = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    }
    return lib;
}

// Requires ft_mutex. Faces stay open for the process's lifetime. `identity`
// tells apart files that were replaced on disk under the same name.
FaceRec* open_face_locked(const std::string& path, int index, const std::string& identity = {}) {
    static auto* faces = new std::unordered_map<std::string, FaceRec*>;
    std::string key = path + "#" + std::to_string(index) + (identity.empty() ? "" : "#" + identity);
    auto it = faces->find(key);
    if (it != faces->end()) return it->second;
    FaceRec* rec = nullptr;
    FT_Library lib = ft_library_locked();
    FT_Face face = nullptr;
    if (lib && FT_New_Face(lib, path.c_str(), index, &face) == 0) {
        rec = new FaceRec;
        rec->face = face;
        rec->key = key;
        rec->scalable = FT_IS_SCALABLE(face);
        rec->is_unifont = face->family_name && std::strncmp(face->family_name, "Unifont", 7) == 0;
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        rec->bold = (face->style_flags & FT_STYLE_FLAG_BOLD) || (os2 && os2->version != 0xFFFF && os2->usWeightClass >= 600);
        rec->italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            rec->win_ascent = os2->usWinAscent;
            rec->win_descent = os2->usWinDescent;
        } else if (rec->scalable) {
            rec->win_ascent = face->ascender;
            rec->win_descent = -face->descender;
        }
        if (rec->win_ascent + rec->win_descent <= 0 && rec->scalable) {
            rec->win_ascent = face->units_per_EM * 7 / 8;
            rec->win_descent = face->units_per_EM - rec->win_ascent;
        }
    }
    (*faces)[key] = rec;  // failures are remembered too
    return rec;
}

// ---------------------------------------------------------------- helpers

// LOGFONT weights are OpenType weights (400 regular, 700 bold).
int weight_for(LONG lf_weight) {
    return lf_weight <= 0 ? 400 : static_cast<int>(std::min<LONG>(lf_weight, 1000));
}

std::string face_name_utf8(const LOGFONTA& lf) {
    std::size_t n = 0;
    while (n < LF_FACESIZE && lf.lfFaceName[n]) ++n;
    return codepage::cp936_to_utf8(lf.lfFaceName, static_cast<int>(n));
}

// The Windows bitmap system faces: drawn with Unifont at their native size.
bool is_system_face(const std::string& name) {
    return name.empty() || same_family(name, "System") || same_family(name, "Terminal") ||
           same_family(name, "Fixedsys");
}

// Windows' Song faces, whose 16-pixel form is a crisp 8/16 bitmap like Unifont's.
bool is_song_face(const std::string& name) {
    return name == u8"宋体" || name == u8"新宋体" || same_family(name, "SimSun") || same_family(name, "NSimSun");
}

bool is_cjk_name(const std::string& name) {
    for (unsigned char c : name)
        if (c >= 0x80) return true;
    return false;
}

LOGFONTA normalized(const LOGFONTA& lf) {
    LOGFONTA n = lf;
    bool ended = false;
    for (int i = 0; i < LF_FACESIZE; ++i) {
        if (ended) n.lfFaceName[i] = 0;
        else if (!n.lfFaceName[i]) ended = true;
    }
    n.lfFaceName[LF_FACESIZE - 1] = 0;
    return n;
}

// ---------------------------------------------------------------- the font

// A rendered FreeType bitmap as one coverage byte per pixel (0..255; only 0
// and 255 when `mono`), each row smeared `extra` pixels to the right for
// synthetic bold. Left empty when the bitmap has no ink.
void copy_coverage(const FT_Bitmap& bm, int extra, bool mono, std::vector<uint8_t>* bits) {
    const int w = static_cast<int>(bm.width), hgt = static_cast<int>(bm.rows);
    const int ow = w + extra;
    bits->assign(static_cast<std::size_t>(ow) * hgt, 0);
    for (int y = 0; y < hgt; ++y) {
        // A negative pitch stores the rows bottom-up.
        const std::ptrdiff_t pitch = bm.pitch < 0 ? -static_cast<std::ptrdiff_t>(bm.pitch) : bm.pitch;
        const unsigned char* row = bm.buffer + (bm.pitch < 0 ? hgt - 1 - y : y) * pitch;
        uint8_t* dst = bits->data() + static_cast<std::size_t>(y) * ow;
        for (int x = 0; x < w; ++x) {
            uint8_t v = 0;
            switch (bm.pixel_mode) {
            case FT_PIXEL_MODE_MONO:
                v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                break;
            case FT_PIXEL_MODE_GRAY:
                v = bm.num_grays == 256 ? row[x] : static_cast<uint8_t>(row[x] * 255 / std::max(1, bm.num_grays - 1));
                break;
            case FT_PIXEL_MODE_BGRA:
                v = row[x * 4 + 3];
                break;
            default:
                v = row[x] ? 255 : 0;
                break;
            }
            if (mono) v = v >= 128 ? 255 : 0;
            dst[x] = v;
        }
        for (int k = 0; k < extra; ++k)
            for (int x = ow - 1; x > 0; --x) dst[x] = std::max(dst[x], dst[x - 1]);
    }
    if (std::all_of(bits->begin(), bits->end(), [](uint8_t v) { return v == 0; })) bits->clear();
}

// A 2x2 matrix is served up to this many pixels a side of the glyph image.
constexpr long kMaxTransformedSide = 4096;

struct Source {
    FaceRec* rec = nullptr;
    FT_Size size = nullptr;
    bool synth_bold = false;
    bool synth_italic = false;
};

struct CachedGlyph {
    Glyph glyph;
    std::vector<uint8_t> bits;
};

class EngineFont final : public Font {
public:
    explicit EngineFont(const LOGFONTA& lf) : lf_(lf) { build(); }
    ~EngineFont() override {
        std::lock_guard<std::mutex> lock(ft_mutex());
        for (Source& s : chain_)
            if (s.size) FT_Done_Size(s.size);
    }

    const LOGFONTA& logfont() const override { return lf_; }
    const FontMetrics& metrics() const override { return metrics_; }

    const Glyph& glyph_by_index(uint32_t index) override {
        std::lock_guard<std::mutex> lock(mu_);
        auto it = index_cache_.find(index);
        if (it != index_cache_.end()) return it->second.glyph;
        CachedGlyph& slot = index_cache_[index];
        {
            std::lock_guard<std::mutex> ft(ft_mutex());
            if (chain_.empty() || index >= static_cast<uint32_t>(chain_.front().rec->face->num_glyphs))
                make_box(&slot);
            else
                render_locked(chain_.front(), index, &slot);
        }
        slot.glyph.coverage = slot.bits.empty() ? nullptr : slot.bits.data();
        return slot.glyph;
    }

    bool transformed_glyph(uint32_t code, bool is_index, const double m[4], TransformedGlyph* out) override;

    const Glyph& glyph(char32_t cp) override {
        std::lock_guard<std::mutex> lock(mu_);
        auto it = cache_.find(cp);
        if (it != cache_.end()) return it->second.glyph;
        CachedGlyph& slot = cache_[cp];
        render(cp, &slot);
        slot.glyph.coverage = slot.bits.empty() ? nullptr : slot.bits.data();
        return slot.glyph;
    }

    void lay_out(const std::u32string& text, Layout* out) override {
        out->glyphs.clear();
        out->glyphs.reserve(text.size());
        int w = 0;
        std::lock_guard<std::mutex> lock(mu_);
        for (char32_t cp : text) {
            // Elements of the map keep their address when it grows.
            auto it = cache_.find(cp);
            if (it == cache_.end()) {
                CachedGlyph& slot = cache_[cp];
                render(cp, &slot);
                slot.glyph.coverage = slot.bits.empty() ? nullptr : slot.bits.data();
                it = cache_.find(cp);
            }
            out->glyphs.push_back(&it->second.glyph);
            w += it->second.glyph.advance;
        }
        out->width = text.empty() ? 0 : w + overhang_;
    }

    int overhang() const { return overhang_; }

private:
    void build();
    void add_source(FaceRec* rec, bool want_bold, bool want_italic);
    void render(char32_t cp, CachedGlyph* out);
    void render_locked(Source& src, FT_UInt index, CachedGlyph* out);
    void make_box(CachedGlyph* out) const;
    void set_size_locked(Source& s) const;

    LOGFONTA lf_;
    FontMetrics metrics_;
    bool mono_ = true;
    double em_ = kDefaultCellHeight;   // pixels per em, vertical
    double x_em_ = kDefaultCellHeight; // pixels per em, horizontal
    int overhang_ = 0;                 // extra pixels synthetic bold adds to the right
    std::vector<Source> chain_;        // primary face first, then fallbacks

    std::mutex mu_;
    std::unordered_map<char32_t, CachedGlyph> cache_;
    std::unordered_map<uint32_t, CachedGlyph> index_cache_;
};

void EngineFont::set_size_locked(Source& s) const {
    if (!s.rec->scalable) {
        // Bitmap-only face: pick the strike closest to the requested height.
        FT_Face f = s.rec->face;
        int best = 0, best_diff = 1 << 30;
        for (int i = 0; i < f->num_fixed_sizes; ++i) {
            int d = std::abs(f->available_sizes[i].height - static_cast<int>(std::lround(em_)));
            if (d < best_diff) { best_diff = d; best = i; }
        }
        if (f->num_fixed_sizes > 0) FT_Select_Size(f, best);
        return;
    }
    FT_Set_Char_Size(s.rec->face, static_cast<FT_F26Dot6>(std::lround(x_em_ * 64)),
                     static_cast<FT_F26Dot6>(std::lround(em_ * 64)), 72, 72);
}

// The look-up may report a style that is to be synthesised, so whether a face
// really is bold or italic is read from the face itself.
void EngineFont::add_source(FaceRec* rec, bool want_bold, bool want_italic) {
    if (!rec) return;
    for (const Source& s : chain_)
        if (s.rec == rec) return;
    Source s;
    s.rec = rec;
    s.synth_bold = want_bold && !rec->bold;
    s.synth_italic = want_italic && !rec->italic;
    std::lock_guard<std::mutex> lock(ft_mutex());
    if (FT_New_Size(rec->face, &s.size) != 0) return;
    chain_.push_back(s);
}

FaceRec* open_face(const std::string& path, int index, const std::string& identity = {}) {
    std::lock_guard<std::mutex> lock(ft_mutex());
    return open_face_locked(path, index, identity);
}

FaceRec* open_first_existing(const char* const* paths) {
    for (const char* const* p = paths; *p; ++p)
        if (FaceRec* r = open_face(*p, 0)) return r;
    return nullptr;
}

// The two fallback faces are looked up once per process.
FaceRec* find_unifont() {
    static FaceRec* const face = [] {
        FontMatch m;
        if (find_font("Unifont", 400, false, 16, nullptr, true, 0, &m))
            if (FaceRec* r = open_face(m.path, m.index)) return r;
        return open_first_existing(kUnifontPaths);
    }();
    return face;
}

FaceRec* find_cjk() {
    static FaceRec* const face = [] {
        FontMatch m;
        if (find_font("WenQuanYi Zen Hei", 400, false, 0, "zh-cn", true, 0, &m))
            if (FaceRec* r = open_face(m.path, m.index)) return r;
        if (find_font("sans-serif", 400, false, 0, "zh-cn", false, 0x4E2D, &m))
            if (FaceRec* r = open_face(m.path, m.index)) return r;
        return open_first_existing(kCjkPaths);
    }();
    return face;
}

void EngineFont::build() {
    mono_ = lf_.lfQuality == NONANTIALIASED_QUALITY;
    const std::string name = face_name_utf8(lf_);
    const bool want_bold = lf_.lfWeight >= FW_SEMIBOLD;
    const bool want_italic = lf_.lfItalic != 0;
    // Absurd sizes are clamped: a glyph bitmap must stay a sane allocation.
    LONG h = lf_.lfHeight == 0 ? kDefaultCellHeight : lf_.lfHeight;
    h = std::max<LONG>(-kMaxPixelSize, std::min<LONG>(kMaxPixelSize, h));
    const int cell_or_em = static_cast<int>(std::labs(h));

    // The primary face: a file the program added, else the system's.
    FaceRec* primary = nullptr;
    PrivateFace added;
    if (!name.empty() && find_private_face(name, lf_.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf_.lfWeight, 1000),
                                           want_italic, &added))
        primary = open_face(added.path, added.index, added.identity);
    if (!primary && (is_system_face(name) || is_song_face(name)) && cell_or_em == 16) {
        primary = find_unifont();
    }
    if (!primary) {
        FontMatch m;
        std::string family = is_system_face(name) ? "sans-serif" : name;
        const char* lang = (is_cjk_name(name) || lf_.lfCharSet == GB2312_CHARSET) ? "zh-cn" : nullptr;
        if (find_font(family, weight_for(lf_.lfWeight), want_italic, cell_or_em, lang, false, 0, &m)) {
            primary = open_face(m.path, m.index);
        }
    }
    add_source(primary, want_bold, want_italic);
    FaceRec* first = chain_.empty() ? nullptr : chain_.front().rec;

    // Sizes come from the first face that opened (fallbacks follow its em).
    double cell_units = 0, upem = 0;
    if (first && first->scalable) {
        cell_units = first->win_ascent + first->win_descent;
        upem = first->face->units_per_EM;
    }
    if (h < 0) em_ = -h;
    else em_ = (cell_units > 0 && upem > 0) ? h * upem / cell_units : h;
    if (first && !first->scalable && first->face->num_fixed_sizes > 0) em_ = cell_or_em;
    x_em_ = em_;

    // Fallbacks for characters the primary face lacks.
    add_source(find_cjk(), want_bold, want_italic);
    add_source(find_unifont(), want_bold, want_italic);
    if (!first && !chain_.empty()) {
        // The preferred face is missing: size everything from the fallback.
        first = chain_.front().rec;
        if (first->scalable && h > 0 && first->win_ascent + first->win_descent > 0)
            em_ = h * static_cast<double>(first->face->units_per_EM) / (first->win_ascent + first->win_descent);
        x_em_ = em_;
    }

    std::lock_guard<std::mutex> lock(ft_mutex());
    // Horizontal scaling: lfWidth is the wanted average character width.
    if (lf_.lfWidth != 0 && !chain_.empty() && chain_.front().rec->scalable) {
        Source& s = chain_.front();
        FT_Activate_Size(s.size);
        set_size_locked(s);
        double natural = em_ / 2;
        FT_UInt xi = FT_Get_Char_Index(s.rec->face, 'x');
        if (xi && FT_Load_Glyph(s.rec->face, xi, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING) == 0)
            natural = s.rec->face->glyph->advance.x / 64.0;
        if (natural > 0) x_em_ = em_ * std::min<double>(std::labs(static_cast<long>(lf_.lfWidth)), kMaxPixelSize) / natural;
        x_em_ = std::max(1.0, std::min<double>(x_em_, 4 * kMaxPixelSize));
    }
    for (Source& s : chain_) {
        FT_Activate_Size(s.size);
        set_size_locked(s);
    }

    // Metrics.
    FontMetrics& fm = metrics_;
    if (first && first->scalable) {
        double scale = em_ / first->face->units_per_EM;
        fm.ascent = static_cast<int>(std::lround(first->win_ascent * scale));
        if (h > 0) fm.descent = static_cast<int>(h) - fm.ascent;
        else fm.descent = static_cast<int>(std::lround(first->win_descent * scale));
    } else if (first) {
        const FT_Size_Metrics& sm = first->face->size->metrics;
        fm.ascent = static_cast<int>(sm.ascender >> 6);
        fm.descent = static_cast<int>((-sm.descender) >> 6);
    } else {
        // No font file at all: built-in boxes.
        fm.ascent = static_cast<int>(std::lround(em_ * 7 / 8));
        fm.descent = (h > 0 ? static_cast<int>(h) : static_cast<int>(std::lround(em_))) - fm.ascent;
    }
    if (fm.descent < 0) fm.descent = 0;
    fm.height = fm.ascent + fm.descent;
    fm.internal_leading = std::max(0, fm.height - static_cast<int>(std::lround(em_)));

    overhang_ = (!chain_.empty() && chain_.front().synth_bold) ? std::max(1, static_cast<int>(std::lround(em_ / 24))) : 0;
    if (chain_.empty()) overhang_ = 0;

    int ave = static_cast<int>(std::lround(x_em_ / 2));
    int maxw = static_cast<int>(std::lround(x_em_));
    if (!chain_.empty()) {
        Source& s = chain_.front();
        FT_Activate_Size(s.size);
        FT_UInt xi = FT_Get_Char_Index(s.rec->face, 'x');
        if (xi && FT_Load_Glyph(s.rec->face, xi, FT_LOAD_DEFAULT | (mono_ ? FT_LOAD_TARGET_MONO : 0)) == 0)
            ave = static_cast<int>(std::lround(s.rec->face->glyph->advance.x / 64.0));
        if (s.rec->scalable)
            maxw = std::max(maxw, static_cast<int>(std::ceil(s.rec->face->max_advance_width * x_em_ /
                                                            s.rec->face->units_per_EM)));
    }
    fm.ave_char_width = ave;
    fm.max_char_width = std::max(maxw, ave) + overhang_;
}

void EngineFont::make_box(CachedGlyph* out) const {
    // An outlined rectangle one average character wide, from the cap height
    // down to the baseline.
    int adv = std::max(metrics_.ave_char_width, 3);
    int thick = std::max(1, static_cast<int>(std::lround(em_ / 16)));
    int w = std::max(adv - 2, 1);
    int top = std::max(0, metrics_.ascent - std::max(static_cast<int>(std::lround(em_ * 0.75)), 2));
    int hgt = std::max(metrics_.ascent - top, 2);
    Glyph& g = out->glyph;
    g.advance = adv;
    g.left = 1;
    g.top = top;
    g.width = w;
    g.height = hgt;
    out->bits.assign(static_cast<std::size_t>(w) * hgt, 0);
    for (int y = 0; y < hgt; ++y)
        for (int x = 0; x < w; ++x)
            if (x < thick || x >= w - thick || y < thick || y >= hgt - thick) out->bits[y * w + x] = 255;
}

void EngineFont::render(char32_t cp, CachedGlyph* out) {
    if (cp == kReplacementChar || chain_.empty()) {
        make_box(out);
        return;
    }
    std::lock_guard<std::mutex> lock(ft_mutex());
    Source* src = nullptr;
    FT_UInt index = 0;
    for (Source& s : chain_) {
        index = FT_Get_Char_Index(s.rec->face, cp);
        if (index) { src = &s; break; }
    }
    if (!src) {
        make_box(out);
        return;
    }
    render_locked(*src, index, out);
}

// Requires ft_mutex.
void EngineFont::render_locked(Source& s, FT_UInt index, CachedGlyph* out) {
    Source* src = &s;
    FT_Face face = src->rec->face;
    FT_Activate_Size(src->size);
    FT_Int32 flags = mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT;
    // Unifont's outlines sit exactly on the 16-pixel grid: hinting could only move them.
    if (src->rec->is_unifont) flags |= FT_LOAD_NO_HINTING;
    if (src->synth_italic && src->rec->scalable) flags |= FT_LOAD_NO_BITMAP;  // outlines can be slanted
    if (FT_Load_Glyph(face, index, flags) != 0) {
        make_box(out);
        return;
    }
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && src->synth_italic) {
        FT_Matrix shear;  // slant of about 12 degrees, leaning right
        shear.xx = 0x10000;
        shear.xy = 0x3666;
        shear.yx = 0;
        shear.yy = 0x10000;
        FT_Outline_Transform(&slot->outline, &shear);
    }
    if (FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) {
        make_box(out);
        return;
    }
    const FT_Bitmap& bm = slot->bitmap;
    Glyph& g = out->glyph;
    g.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
    g.left = slot->bitmap_left;
    g.top = metrics_.ascent - slot->bitmap_top;
    int w = static_cast<int>(bm.width), hgt = static_cast<int>(bm.rows);
    int extra = src->synth_bold ? std::max(1, static_cast<int>(std::lround(em_ / 24))) : 0;
    if (w == 0 || hgt == 0) {
        g.width = g.height = 0;
        return;
    }
    int ow = w + extra;
    copy_coverage(bm, extra, mono_, &out->bits);
    if (out->bits.empty()) {
        g.width = g.height = 0;  // a blank (space): no bitmap at all
        return;
    }
    g.width = ow;
    g.height = hgt;
}

bool EngineFont::transformed_glyph(uint32_t code, bool is_index, const double m[4], TransformedGlyph* out) {
    *out = TransformedGlyph{};
    std::lock_guard<std::mutex> lock(ft_mutex());
    Source* src = nullptr;
    FT_UInt index = 0;
    if (is_index) {
        if (!chain_.empty() && code < static_cast<uint32_t>(chain_.front().rec->face->num_glyphs)) {
            src = &chain_.front();
            index = code;
        }
    } else {
        for (Source& s : chain_) {
            index = FT_Get_Char_Index(s.rec->face, code);
            if (index) { src = &s; break; }
        }
    }
    if (!src) return false;
    FT_Face face = src->rec->face;
    FT_Activate_Size(src->size);
    // Hinting fits outlines to the upright pixel grid, which a turned glyph does not sit on.
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    if (src->synth_italic) {
        FT_Matrix shear{0x10000, 0x3666, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
    auto fixed = [](double v) { return static_cast<FT_Fixed>(std::lround(v * 65536)); };
    FT_Matrix mat{fixed(m[0]), fixed(m[2]), fixed(m[1]), fixed(m[3])};  // xx, xy, yx, yy
    FT_Outline_Transform(&slot->outline, &mat);
    // An image this large is refused rather than allocated.
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    if ((box.xMax - box.xMin) / 64 > kMaxTransformedSide || (box.yMax - box.yMin) / 64 > kMaxTransformedSide)
        return false;
    if (FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return false;
    const double advance = slot->advance.x / 64.0;
    out->advance_x = advance * m[0];
    out->advance_y = advance * m[1];
    const int extra = src->synth_bold ? std::max(1, static_cast<int>(std::lround(em_ / 24))) : 0;
    if (slot->bitmap.width == 0 || slot->bitmap.rows == 0) return true;
    copy_coverage(slot->bitmap, extra, mono_, &out->coverage);
    if (out->coverage.empty()) return true;
    out->left = slot->bitmap_left;
    out->top = slot->bitmap_top;
    out->width = static_cast<int>(slot->bitmap.width) + extra;
    out->height = static_cast<int>(slot->bitmap.rows);
    return true;
}

// ---------------------------------------------------------------- font cache

struct FontCache {
    std::mutex mu;
    std::list<std::pair<std::string, std::shared_ptr<Font>>> lru;  // most recent first
};

FontCache& font_cache() {
    static auto* c = new FontCache;  // kept to the end of the process
    return *c;
}

}  // namespace

std::shared_ptr<Font> create_font(const LOGFONTA& lf) {
    LOGFONTA n = normalized(lf);
    // Fonts matched before a font file was added or removed are not reused.
    const unsigned generation = private_fonts_generation();
    std::string key(reinterpret_cast<const char*>(&n), sizeof n);
    key.append(reinterpret_cast<const char*>(&generation), sizeof generation);
    FontCache& c = font_cache();
    std::lock_guard<std::mutex> lock(c.mu);
    for (auto it = c.lru.begin(); it != c.lru.end(); ++it) {
        if (it->first == key) {
            c.lru.splice(c.lru.begin(), c.lru, it);
            return c.lru.front().second;
        }
    }
    auto font = std::make_shared<EngineFont>(n);
    c.lru.emplace_front(std::move(key), font);
    if (c.lru.size() > kFontCacheSize) c.lru.pop_back();
    return font;
}

void warm_up() {
    warm_up_font_lookup();
    find_unifont();
    find_cjk();
}

int text_width(Font& font, const std::u32string& text) {
    Font::Layout layout;
    font.lay_out(text, &layout);
    return layout.width;
}

}  // namespace plat::text
