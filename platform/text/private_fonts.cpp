// private_fonts.cpp — a process's own font files: each added file's faces
// with every family name their naming table gives (in any language, so a
// Chinese font answers to its Chinese name too), counted per file and kind
// (private or not) the way Windows counts repeated adds.
//
// Locking: one mutex guards the table and the FreeType library used only to
// read names here (the rendering side has its own library and lock). Faces
// matched earlier stay open in the font engine, so fonts made before a file
// is removed keep drawing.
#include "text/private_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "codepage.h"
#include "font_engine.h"

namespace plat::text {
namespace {

constexpr int kNameFamily = 1;  // naming table: font family name

struct FaceInfo {
    int index = 0;
    std::vector<std::string> families;  // folded
    int weight = 400;
    bool italic = false;
};

struct FontFile {
    std::string key;  // absolute path, lexically normalised
    bool is_private = false;
    int refs = 0;
    std::string identity;
    std::vector<FaceInfo> faces;
};

struct Registry {
    std::mutex mu;
    std::vector<FontFile> files;  // oldest first
    FT_Library lib = nullptr;
    bool lib_tried = false;
};

Registry& registry() {
    static auto* r = new Registry;  // kept to the end of the process
    return *r;
}

std::atomic<unsigned> g_generation{0};

std::string fold(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::string utf16be_to_utf8(const FT_Byte* p, FT_UInt len) {
    std::string out;
    for (FT_UInt i = 0; i + 1 < len; i += 2) {
        char32_t u = char32_t((p[i] << 8) | p[i + 1]);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < len) {
            char32_t lo = char32_t((p[i + 2] << 8) | p[i + 3]);
            if (lo >= 0xDC00 && lo < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                i += 2;
            }
        }
        codepage::append_utf8(out, u);
    }
    return out;
}

// One naming-table string as UTF-8; empty when its encoding is not one a
// family name is read from.
std::string decode_name(const FT_SfntName& n) {
    if (n.platform_id == TT_PLATFORM_APPLE_UNICODE ||
        (n.platform_id == TT_PLATFORM_MICROSOFT &&
         (n.encoding_id == TT_MS_ID_UNICODE_CS || n.encoding_id == TT_MS_ID_SYMBOL_CS || n.encoding_id == TT_MS_ID_UCS_4)))
        return utf16be_to_utf8(n.string, n.string_len);
    if (n.platform_id == TT_PLATFORM_MICROSOFT && n.encoding_id == TT_MS_ID_PRC) {
        // GB2312 in 16-bit units: a unit under 0x100 is one byte.
        std::string gbk;
        for (FT_UInt i = 0; i + 1 < n.string_len; i += 2) {
            if (n.string[i]) gbk += char(n.string[i]);
            gbk += char(n.string[i + 1]);
        }
        return codepage::cp936_to_utf8(gbk.data(), int(gbk.size()));
    }
    if (n.platform_id == TT_PLATFORM_MACINTOSH && n.encoding_id == TT_MAC_ID_SIMPLIFIED_CHINESE)
        return codepage::cp936_to_utf8(reinterpret_cast<const char*>(n.string), int(n.string_len));
    if (n.platform_id == TT_PLATFORM_MACINTOSH && n.encoding_id == TT_MAC_ID_ROMAN) {
        std::string s(reinterpret_cast<const char*>(n.string), n.string_len);
        if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return s;
    }
    return {};
}

// A family name as a LOGFONT can hold it: at most 31 bytes of code page 936,
// never half a character. A longer name answers to its first 31 bytes.
std::string as_face_name(const std::string& utf8) {
    const std::string gbk = codepage::utf8_to_936(utf8);
    if (gbk.size() < LF_FACESIZE) return utf8;
    std::size_t keep = 0;
    while (keep < gbk.size()) {
        const std::size_t step = codepage::is_lead_byte(static_cast<unsigned char>(gbk[keep])) ? 2 : 1;
        if (keep + step > LF_FACESIZE - 1) break;
        keep += step;
    }
    return codepage::cp936_to_utf8(gbk.data(), int(keep));
}

FaceInfo describe(FT_Face face, int index) {
    FaceInfo info;
    info.index = index;
    auto add_one = [&](const std::string& f) {
        if (!f.empty() && std::find(info.families.begin(), info.families.end(), f) == info.families.end())
            info.families.push_back(f);
    };
    auto add = [&](const std::string& name) {
        std::string f = fold(name);
        while (!f.empty() && (f.back() == ' ' || f.back() == '\0')) f.pop_back();
        add_one(f);
        add_one(as_face_name(f));
    };
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName n;
        if (FT_Get_Sfnt_Name(face, i, &n) == 0 && n.name_id == kNameFamily) add(decode_name(n));
    }
    if (info.families.empty() && face->family_name) add(face->family_name);  // not an SFNT font
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWeightClass >= 1 && os2->usWeightClass <= 1000)
        info.weight = os2->usWeightClass;
    else
        info.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
    info.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    return info;
}

std::string file_identity(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" + std::to_string(st.st_mtim.tv_sec) +
           "." + std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_size);
}

std::string key_of(const std::string& path) {
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(path, ec);
    if (ec) return path;
    return abs.lexically_normal().string();
}

// Requires the registry's mutex. Reads every face of the file; an empty
// result means the file is missing or holds no usable font.
std::vector<FaceInfo> read_faces(Registry& r, const std::string& path) {
    if (!r.lib_tried) {
        r.lib_tried = true;
        if (FT_Init_FreeType(&r.lib) != 0) r.lib = nullptr;
    }
    std::vector<FaceInfo> faces;
    if (!r.lib) return faces;
    FT_Face face = nullptr;
    if (FT_New_Face(r.lib, path.c_str(), 0, &face) != 0) return faces;
    const FT_Long n = face->num_faces;
    FT_Done_Face(face);
    for (FT_Long i = 0; i < n && i < 0x10000; ++i) {
        if (FT_New_Face(r.lib, path.c_str(), i, &face) != 0) continue;
        FaceInfo info = describe(face, int(i));
        FT_Done_Face(face);
        if (!info.families.empty()) faces.push_back(std::move(info));
    }
    return faces;
}

}  // namespace

int add_font_file(const std::string& path, bool is_private) {
    if (path.empty()) return 0;
    const std::string key = key_of(path);
    const std::string identity = file_identity(key);
    if (identity.empty()) return 0;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mu);
    for (FontFile& f : r.files) {
        if (f.key == key && f.is_private == is_private && f.identity == identity) {
            ++f.refs;
            return int(f.faces.size());
        }
    }
    std::vector<FaceInfo> faces = read_faces(r, key);
    if (faces.empty()) return 0;
    // A file changed on disk since it was added replaces its old entry.
    r.files.erase(std::remove_if(r.files.begin(), r.files.end(),
                                 [&](const FontFile& f) { return f.key == key && f.is_private == is_private; }),
                  r.files.end());
    FontFile f;
    f.key = key;
    f.is_private = is_private;
    f.refs = 1;
    f.identity = identity;
    f.faces = std::move(faces);
    const int n = int(f.faces.size());
    r.files.push_back(std::move(f));
    g_generation.fetch_add(1, std::memory_order_acq_rel);
    return n;
}

bool remove_font_file(const std::string& path, bool is_private) {
    if (path.empty()) return false;
    const std::string key = key_of(path);
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mu);
    for (auto it = r.files.begin(); it != r.files.end(); ++it) {
        if (it->key != key || it->is_private != is_private) continue;
        if (--it->refs == 0) {
            r.files.erase(it);
            g_generation.fetch_add(1, std::memory_order_acq_rel);
        }
        return true;
    }
    return false;
}

bool find_private_face(const std::string& family_utf8, int weight, bool italic, PrivateFace* out) {
    const std::string want = fold(family_utf8);
    if (want.empty()) return false;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mu);
    const FontFile* best_file = nullptr;
    const FaceInfo* best = nullptr;
    int best_score = 0;
    // Newest first: of equally good faces, the one added last wins.
    for (auto f = r.files.rbegin(); f != r.files.rend(); ++f) {
        for (const FaceInfo& face : f->faces) {
            if (std::find(face.families.begin(), face.families.end(), want) == face.families.end()) continue;
            const int score = std::abs(face.weight - weight) + (face.italic != italic ? 2000 : 0);
            if (!best || score < best_score) {
                best_file = &*f;
                best = &face;
                best_score = score;
            }
        }
    }
    if (!best) return false;
    out->path = best_file->key;
    out->index = best->index;
    out->identity = best_file->identity;
    return true;
}

unsigned private_fonts_generation() { return g_generation.load(std::memory_order_acquire); }

}  // namespace plat::text
