// codepage.h — conversions between the narrow code page (936, GBK) and Unicode.
//
// Narrow strings everywhere in the stand-in are code page 936. Conversion uses
// iconv; invalid or truncated byte sequences decode to U+FFFD, one per bad byte
// (never swallowing the following valid character).
#pragma once

#include <string>

namespace plat::codepage {

// GBK bytes -> Unicode code points. len < 0 means up to the terminating zero.
std::u32string decode_936(const char* text, int len);

// Unicode (UTF-8) -> GBK bytes. Characters with no GBK form become '?'.
std::string utf8_to_936(const std::string& utf8);

// Unicode code points -> GBK bytes. Characters with no GBK form become
// `substitute`; *used_substitute (when given) is then set to true.
std::string encode_936(const char32_t* cps, std::size_t n, char substitute, bool* used_substitute);

// Unicode code points -> UTF-8. Surrogates and values beyond U+10FFFF, which
// have no UTF-8 form, become U+FFFD.
void append_utf8(std::string& out, char32_t cp);
std::string utf8_of(const char32_t* cps, std::size_t n);

// Wide strings (one code point per wchar_t) <-> GBK, for the W forms of the
// stand-in's calls. len < 0 means up to the terminating zero (not included);
// a null text is empty. Characters with no GBK form become '?'.
std::string narrow_of(const wchar_t* text, int len);
std::wstring wide_of(const char* text, int len);

// The GBK form of one code point worked out from the decoder alone: a table
// made once by decoding every two-byte code. Used when the C library can
// decode GBK but not encode it (Emscripten's); empty when there is no form.
std::string encode_936_by_decoding(char32_t cp);

// GBK bytes -> UTF-8 (for window titles and diagnostics).
std::string cp936_to_utf8(const char* text, int len);

// True when byte b starts a two-byte GBK character (0x81..0xFE).
inline bool is_lead_byte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

}  // namespace plat::codepage
