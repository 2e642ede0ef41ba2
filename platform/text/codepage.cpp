// codepage.cpp — code page 936 (GBK) <-> Unicode through iconv.
//
// Each thread keeps its own pair of iconv descriptors (iconv_t is not safe to
// share), opened on first use and closed when the thread ends. Pure ASCII
// input never reaches iconv. A C library that decodes GBK but cannot encode
// it (Emscripten's) gets an encoding table inverted from its decoder, built
// once under a std::call_once.
#include "codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace plat::codepage {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Opens the first of the names below that this C library knows.
iconv_t open_converter(const char* to, const char* const* from_names, bool names_are_source) {
    for (const char* const* n = from_names; *n; ++n) {
        iconv_t cd = names_are_source ? iconv_open(to, *n) : iconv_open(*n, to);
        if (cd != reinterpret_cast<iconv_t>(-1)) return cd;
    }
    return reinterpret_cast<iconv_t>(-1);
}

const char* const kGbkNames[] = {"CP936", "GBK", "GB18030", nullptr};

struct Converters {
    iconv_t to_unicode = reinterpret_cast<iconv_t>(-1);    // CP936 -> UTF-32LE
    iconv_t from_unicode = reinterpret_cast<iconv_t>(-1);  // UTF-32LE -> CP936
    Converters() {
        to_unicode = open_converter("UTF-32LE", kGbkNames, true);
        from_unicode = open_converter("UTF-32LE", kGbkNames, false);
    }
    ~Converters() {
        if (to_unicode != reinterpret_cast<iconv_t>(-1)) iconv_close(to_unicode);
        if (from_unicode != reinterpret_cast<iconv_t>(-1)) iconv_close(from_unicode);
    }
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
};

Converters& converters() {
    thread_local Converters c;
    return c;
}

bool valid(iconv_t cd) { return cd != reinterpret_cast<iconv_t>(-1); }

bool all_ascii(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
    return true;
}

std::size_t length_of(const char* text, int len) {
    if (!text) return 0;
    return len < 0 ? std::strlen(text) : static_cast<std::size_t>(len);
}

}  // namespace

void append_utf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF) cp = 0xFFFD;  // no UTF-8 form
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string utf8_of(const char32_t* cps, std::size_t n) {
    std::string out;
    out.reserve(n);
    for (std::size_t k = 0; k < n; ++k) append_utf8(out, cps[k]);
    return out;
}

namespace {

// Strict UTF-8 decoding: overlong forms, surrogates, values above U+10FFFF,
// stray continuation bytes and truncated sequences each yield `bad` for every
// byte that cannot start or belong to a valid sequence.
std::u32string decode_utf8(const std::string& s, char32_t bad) {
    std::u32string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    std::size_t n = s.size(), i = 0;
    while (i < n) {
        unsigned char b = p[i];
        if (b < 0x80) {
            out += b;
            ++i;
            continue;
        }
        int need;
        char32_t cp, min;
        if (b >= 0xC2 && b <= 0xDF) { need = 1; cp = b & 0x1F; min = 0x80; }
        else if (b >= 0xE0 && b <= 0xEF) { need = 2; cp = b & 0x0F; min = 0x800; }
        else if (b >= 0xF0 && b <= 0xF4) { need = 3; cp = b & 0x07; min = 0x10000; }
        else { out += bad; ++i; continue; }
        int got = 0;
        while (got < need && i + 1 + got < n && (p[i + 1 + got] & 0xC0) == 0x80) {
            cp = (cp << 6) | (p[i + 1 + got] & 0x3F);
            ++got;
        }
        if (got < need || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += bad;  // the lead byte is bad; its followers are looked at again
            ++i;
            continue;
        }
        out += cp;
        i += 1 + need;
    }
    return out;
}

}  // namespace

std::u32string decode_936(const char* text, int len) {
    std::size_t n = length_of(text, len);
    std::u32string out;
    if (n == 0) return out;
    if (all_ascii(text, n)) {
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(text[i]);
        return out;
    }
    out.reserve(n);
    iconv_t cd = converters().to_unicode;
    if (!valid(cd)) {
        // No converter at all: keep ASCII, mark everything else.
        for (std::size_t i = 0; i < n; ++i) {
            unsigned char b = static_cast<unsigned char>(text[i]);
            out += b < 0x80 ? char32_t(b) : kReplacement;
        }
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text);
    std::size_t in_left = n;
    char32_t buf[256];
    while (in_left > 0) {
        char* o = reinterpret_cast<char*>(buf);
        std::size_t o_left = sizeof buf;
        std::size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        int err = errno;
        std::size_t produced = (sizeof buf - o_left) / sizeof(char32_t);
        for (std::size_t k = 0; k < produced; ++k) {
            // UTF-32LE bytes to a code point, independent of host byte order.
            const auto* b = reinterpret_cast<const unsigned char*>(&buf[k]);
            out += char32_t(b[0]) | char32_t(b[1]) << 8 | char32_t(b[2]) << 16 | char32_t(b[3]) << 24;
        }
        if (r != static_cast<std::size_t>(-1)) break;
        if (err == E2BIG) continue;
        // EILSEQ (invalid pair or unmapped byte) or EINVAL (truncated at the
        // end): the byte at the stop is bad; skip exactly that byte so the
        // character after it is decoded on its own.
        out += kReplacement;
        ++in;
        --in_left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

namespace {

// Unicode -> the GBK code (lead << 8 | trail) that decodes to it; the
// lowest code where two decode to the same character.
const std::unordered_map<char32_t, uint16_t>& inverted_table() {
    static std::unordered_map<char32_t, uint16_t>* table = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        table = new std::unordered_map<char32_t, uint16_t>;
        iconv_t cd = open_converter("UTF-32LE", kGbkNames, true);
        if (!valid(cd)) return;
        table->reserve(24000);
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                unsigned char out[8];
                char* ip = in;
                char* op = reinterpret_cast<char*>(out);
                std::size_t il = 2, ol = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || ol != 4) continue;
                char32_t cp = char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 |
                              char32_t(out[3]) << 24;
                table->emplace(cp, static_cast<uint16_t>(lead << 8 | trail));
            }
        }
        iconv_close(cd);
    });
    return *table;
}

}  // namespace

std::string encode_936_by_decoding(char32_t cp) {
    if (cp < 0x80) return std::string(1, static_cast<char>(cp));
    const auto& t = inverted_table();
    auto it = t.find(cp);
    if (it == t.end()) return std::string();
    return std::string{static_cast<char>(it->second >> 8), static_cast<char>(it->second & 0xFF)};
}

std::string utf8_to_936(const std::string& utf8) {
    if (all_ascii(utf8.data(), utf8.size())) return utf8;
    // Invalid UTF-8 bytes become U+FFFD first; GBK has no form for it, so
    // each turns into one '?' below, like any other unconvertible character.
    std::u32string cps = decode_utf8(utf8, kReplacement);
    return encode_936(cps.data(), cps.size(), '?', nullptr);
}

std::string encode_936(const char32_t* cps, std::size_t n, char substitute, bool* used_substitute) {
    std::string out;
    out.reserve(n * 2);
    bool ascii = true;
    for (std::size_t i = 0; i < n && ascii; ++i) ascii = cps[i] < 0x80;
    iconv_t cd = converters().from_unicode;
    if (!ascii && !valid(cd) && valid(converters().to_unicode)) {
        for (std::size_t i = 0; i < n; ++i) {
            std::string code = encode_936_by_decoding(cps[i]);
            if (code.empty() || cps[i] == kReplacement) {
                out += substitute;
                if (used_substitute) *used_substitute = true;
            } else {
                out += code;
            }
        }
        return out;
    }
    if (ascii || !valid(cd)) {
        for (std::size_t i = 0; i < n; ++i) {
            bool mapped = cps[i] < 0x80;
            out += mapped ? static_cast<char>(cps[i]) : substitute;
            if (!mapped && used_substitute) *used_substitute = true;
        }
        return out;
    }
    // UTF-32LE input bytes, independent of host byte order.
    std::string in_bytes;
    in_bytes.resize(n * 4);
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = cps[i] == kReplacement ? char32_t(0xFFFF) : cps[i];  // never mapped
        in_bytes[i * 4 + 0] = static_cast<char>(c & 0xFF);
        in_bytes[i * 4 + 1] = static_cast<char>((c >> 8) & 0xFF);
        in_bytes[i * 4 + 2] = static_cast<char>((c >> 16) & 0xFF);
        in_bytes[i * 4 + 3] = static_cast<char>((c >> 24) & 0xFF);
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = in_bytes.data();
    std::size_t in_left = in_bytes.size();
    char buf[512];
    while (in_left > 0) {
        char* o = buf;
        std::size_t o_left = sizeof buf;
        std::size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        int err = errno;
        out.append(buf, sizeof buf - o_left);
        if (r != static_cast<std::size_t>(-1)) break;
        if (err == E2BIG) continue;
        // No GBK form for this character (or a stray fragment): one substitute.
        out += substitute;
        if (used_substitute) *used_substitute = true;
        std::size_t skip = in_left < 4 ? in_left : 4;
        in += skip;
        in_left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // glibc flushes nothing for stateless GBK, but keep the protocol.
    char* o = buf;
    std::size_t o_left = sizeof buf;
    iconv(cd, nullptr, nullptr, &o, &o_left);
    out.append(buf, sizeof buf - o_left);
    return out;
}

std::string cp936_to_utf8(const char* text, int len) {
    std::size_t n = length_of(text, len);
    if (n == 0) return std::string();
    if (all_ascii(text, n)) return std::string(text, n);
    std::u32string cps = decode_936(text, len);
    std::string out;
    out.reserve(cps.size() * 3);
    for (char32_t c : cps) append_utf8(out, c);
    return out;
}

std::string narrow_of(const wchar_t* text, int len) {
    if (!text) return std::string();
    std::size_t n = 0;
    if (len < 0) {
        while (text[n]) ++n;
    } else {
        n = static_cast<std::size_t>(len);
    }
    std::u32string cps(n, U'\0');
    for (std::size_t i = 0; i < n; ++i) cps[i] = static_cast<char32_t>(text[i]);
    return encode_936(cps.data(), n, '?', nullptr);
}

std::wstring wide_of(const char* text, int len) {
    std::size_t n = length_of(text, len);
    if (n == 0) return std::wstring();
    std::u32string cps = decode_936(text, static_cast<int>(n));
    return std::wstring(cps.begin(), cps.end());
}

}  // namespace plat::codepage
