// font_lookup_web.cpp — font files by family in a web page, which has no
// fontconfig: the page carries two fonts in its file system (scripts/web.sh
// places them at the paths Debian's packages fonts-unifont and
// fonts-wqy-zenhei install them to), and this table names them.
//
// Unifont answers only to its own name. WenQuanYi Zen Hei holds Latin and
// Chinese, so it answers for every other family when the caller accepts a
// substitute (as fontconfig substitutes its best match). No locks: the table
// is constant.
#include <cstdio>
#include <cstring>

#include "text/font_lookup.h"

namespace plat::text {
namespace {

struct PageFont {
    const char* family;
    const char* path;
};

const PageFont kPageFonts[] = {
    {"Unifont", "/usr/share/fonts/opentype/unifont/unifont.otf"},
    {"WenQuanYi Zen Hei", "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"},
};
constexpr const PageFont& kSubstitute = kPageFonts[1];

bool present(const char* path) {
    if (FILE* f = std::fopen(path, "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

}  // namespace

bool find_font(const std::string& family, int /*weight*/, bool /*italic*/, double /*pixel_size*/,
               const char* /*lang*/, bool exact_family, char32_t /*need_char*/, FontMatch* out) {
    // Both fonts cover every character the stand-in draws (GBK's), so a
    // needed character never rules one out.
    const PageFont* pick = nullptr;
    for (const PageFont& f : kPageFonts)
        if (same_family(family, f.family)) pick = &f;
    if (!pick && !exact_family) pick = &kSubstitute;
    if (!pick || !present(pick->path)) return false;
    out->path = pick->path;
    out->index = 0;
    out->family = pick->family;
    return true;
}

void warm_up_font_lookup() {}

}  // namespace plat::text
