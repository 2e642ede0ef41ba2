// font_lookup.h — which font file serves a family: fontconfig on Linux
// (font_lookup_fontconfig.cpp), a fixed table of the fonts a web page
// carries in its file system (platform/web/font_lookup_web.cpp). Exactly one
// of them is built. Each guards its own state with its own mutex.
#pragma once

#include <cctype>
#include <string>

namespace plat::text {

struct FontMatch {
    std::string path;
    int index = 0;       // face index in a collection (.ttc)
    std::string family;  // the family the file really holds
};

// Best match for a family (OpenType weight, 400 regular). With
// `exact_family`, succeeds only when the match really is of that family;
// `need_char` (if non-zero) must be covered by the result; `lang` (or null)
// is a language the font should cover, e.g. "zh-cn".
bool find_font(const std::string& family, int weight, bool italic, double pixel_size, const char* lang,
               bool exact_family, char32_t need_char, FontMatch* out);

// Loads what the look-up needs ahead of the first call.
void warm_up_font_lookup();

// Font family names compare without regard to ASCII case.
inline bool same_family(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace plat::text
