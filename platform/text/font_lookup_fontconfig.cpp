// font_lookup_fontconfig.cpp — font files by family through fontconfig.
// Takes the look-up mutex around every fontconfig call (fontconfig's
// configuration is not safe to use from several threads at once).
#include <fontconfig/fontconfig.h>

#include <mutex>

#include "text/font_lookup.h"

namespace plat::text {
namespace {

std::mutex& fc_mutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

bool fc_ready_locked() {
    static bool ok = FcInit() == FcTrue;
    return ok;
}

}  // namespace

// fontconfig always returns something: with `exact_family` the family of
// its answer is checked.
bool find_font(const std::string& family, int weight, bool italic, double pixel_size, const char* lang,
               bool exact_family, char32_t need_char, FontMatch* out) {
    const int fc_weight = FcWeightFromOpenType(weight);
    std::lock_guard<std::mutex> lock(fc_mutex());
    if (!fc_ready_locked()) return false;
    FcPattern* pat = FcPatternCreate();
    if (!pat) return false;
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, fc_weight);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (pixel_size > 0) FcPatternAddDouble(pat, FC_PIXEL_SIZE, pixel_size);
    if (lang) FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
    FcCharSet* cs = nullptr;
    if (need_char) {
        cs = FcCharSetCreate();
        FcCharSetAddChar(cs, need_char);
        FcPatternAddCharSet(pat, FC_CHARSET, cs);
    }
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res = FcResultNoMatch;
    FcPattern* m = FcFontMatch(nullptr, pat, &res);
    bool ok = false;
    if (m) {
        FcChar8* file = nullptr;
        FcChar8* fam = nullptr;
        int idx = 0;
        if (FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch && file) {
            FcPatternGetInteger(m, FC_INDEX, 0, &idx);
            ok = true;
            if (exact_family) {
                ok = false;
                for (int i = 0; FcPatternGetString(m, FC_FAMILY, i, &fam) == FcResultMatch; ++i)
                    if (same_family(reinterpret_cast<const char*>(fam), family)) { ok = true; break; }
            }
            if (ok && need_char) {
                FcCharSet* have = nullptr;
                ok = FcPatternGetCharSet(m, FC_CHARSET, 0, &have) == FcResultMatch && have &&
                     FcCharSetHasChar(have, need_char);
            }
            if (ok) {
                out->path = reinterpret_cast<const char*>(file);
                out->index = idx;
                fam = nullptr;
                FcPatternGetString(m, FC_FAMILY, 0, &fam);
                out->family = fam ? reinterpret_cast<const char*>(fam) : "";
            }
        }
        FcPatternDestroy(m);
    }
    if (cs) FcCharSetDestroy(cs);
    FcPatternDestroy(pat);
    return ok;
}

void warm_up_font_lookup() {
    std::lock_guard<std::mutex> lock(fc_mutex());
    fc_ready_locked();
}

}  // namespace plat::text

// fontconfig loses a few hundred bytes while it parses its XML configuration,
// once per process; the leak checker of sanitizer builds is told to accept
// leaks that come from inside that library (ours are still reported).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
