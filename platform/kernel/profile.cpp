// profile.cpp — INI files: GetPrivateProfileString, WritePrivateProfileString
// and GetPrivateProfileInt, narrow and wide.
//
// A file is "[section]" lines and "key=value" lines; section and key names
// match ignoring ASCII case, blanks around names and values are dropped, and a
// value in matching quotes loses them. A file name without a directory is
// taken in the current directory (Windows would look in its own folder).
// Bytes are kept as they are (code page 936 text for the narrow calls; the
// wide calls convert to it). A write reads the whole file, changes it and
// puts it back through a temporary file renamed over the old one, so a
// program that stops half-way never leaves a truncated file; new lines end
// with CR LF, as Windows writes them.
//
// Locks: one mutex around each read or rewrite of a file.
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "codepage.h"
#include "kernel/kernel_internal.h"
#include "winbase.h"

namespace {

std::mutex g_mu;

std::string trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const size_t a = s.find_first_not_of(blanks);
    if (a == std::string::npos) return std::string();
    return s.substr(a, s.find_last_not_of(blanks) - a + 1);
}

bool same(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string> read_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "[name]" gives name; anything else is not a section header.
bool section_of(const std::string& line, std::string* name) {
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const size_t close = t.find(']');
    if (close == std::string::npos) return false;
    *name = trim(t.substr(1, close - 1));
    return true;
}

// "key=value" gives both; a line without '=' is a key with no value.
bool entry_of(const std::string& line, std::string* key, std::string* value) {
    const std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '[') return false;
    const size_t eq = t.find('=');
    *key = trim(t.substr(0, eq));
    *value = eq == std::string::npos ? std::string() : trim(t.substr(eq + 1));
    return true;
}

std::string unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Copies a list of strings, each ended by a zero, and a final zero; when it
// does not fit, as much as fits is copied and nSize - 2 returned.
DWORD copy_list(const std::vector<std::string>& items, LPSTR out, DWORD size) {
    if (!out || size == 0) return 0;
    if (size == 1) return out[0] = 0, 0;
    std::string all;
    for (const auto& s : items) all += s + '\0';
    if (all.size() + 1 <= size) {
        std::memcpy(out, all.data(), all.size());
        out[all.size()] = 0;
        if (all.empty()) out[1 % size] = 0;
        return DWORD(all.size());
    }
    std::memcpy(out, all.data(), size - 2);
    out[size - 2] = 0;
    out[size - 1] = 0;
    return size - 2;
}

// Copies one value; a value that does not fit is cut and nSize - 1 returned.
DWORD copy_value(const std::string& v, LPSTR out, DWORD size) {
    if (!out || size == 0) return 0;
    const size_t n = std::min<size_t>(v.size(), size - 1);
    std::memcpy(out, v.data(), n);
    out[n] = 0;
    return DWORD(n);
}

bool write_lines(const std::string& path, const std::vector<std::string>& lines) {
    const std::string tmp = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        for (const auto& l : lines) out << l << "\r\n";
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    if (!lpFileName || !*lpFileName) return copy_value(std::string(), lpReturnedString, nSize);
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(g_mu);
        lines = read_lines(plat::kernel::native_name(lpFileName));
    }
    std::vector<std::string> names;
    bool inside = false;
    for (const auto& line : lines) {
        std::string name, key, value;
        if (section_of(line, &name)) {
            inside = lpAppName && same(name, lpAppName);
            if (!lpAppName) names.push_back(name);
            continue;
        }
        if (!inside || !entry_of(line, &key, &value)) continue;
        if (!lpKeyName) {
            names.push_back(key);
        } else if (same(key, lpKeyName)) {
            SetLastError(ERROR_SUCCESS);
            return copy_value(unquote(value), lpReturnedString, nSize);
        }
    }
    if (!lpAppName || !lpKeyName) return copy_list(names, lpReturnedString, nSize);
    SetLastError(ERROR_FILE_NOT_FOUND);
    // The default loses its trailing blanks.
    std::string def = lpDefault ? lpDefault : "";
    def.erase(def.find_last_not_of(' ') + 1);
    return copy_value(def, lpReturnedString, nSize);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName) {
    char buf[64];
    if (!lpAppName || !lpKeyName) return UINT(nDefault);
    const char* missing = "\x01";  // no value can hold this byte: it tells the default apart
    GetPrivateProfileStringA(lpAppName, lpKeyName, missing, buf, sizeof buf, lpFileName);
    if (std::strcmp(buf, missing) == 0) return UINT(nDefault);
    // The leading decimal number of the value (0 without one).
    return UINT(std::strtol(buf, nullptr, 10));
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
    if (!lpAppName || !lpFileName || !*lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string path = plat::kernel::native_name(lpFileName);
    std::lock_guard<std::mutex> lock(g_mu);
    std::vector<std::string> lines = read_lines(path);
    // The section's header line and the end of its entries.
    long header = -1;
    size_t end = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (!section_of(lines[i], &name)) continue;
        if (header >= 0) {
            end = i;
            break;
        }
        if (same(name, lpAppName)) header = long(i);
    }
    if (header < 0) {
        if (!lpKeyName || !lpString) return TRUE;  // nothing to delete
        lines.push_back(std::string("[") + lpAppName + "]");
        lines.push_back(std::string(lpKeyName) + "=" + lpString);
        return write_lines(path, lines) ? TRUE : (SetLastError(ERROR_ACCESS_DENIED), FALSE);
    }
    if (!lpKeyName) {
        lines.erase(lines.begin() + header, lines.begin() + long(end));
    } else {
        size_t at = end;
        for (size_t i = size_t(header) + 1; i < end; ++i) {
            std::string key, value;
            if (entry_of(lines[i], &key, &value) && same(key, lpKeyName)) {
                at = i;
                break;
            }
        }
        if (at < end) {
            std::string key, value;  // the key keeps the spelling it has in the file
            entry_of(lines[at], &key, &value);
            if (lpString) lines[at] = key + "=" + lpString;
            else lines.erase(lines.begin() + long(at));
        } else if (lpString) {
            // After the section's last non-blank line.
            size_t last = end;
            while (last > size_t(header) + 1 && trim(lines[last - 1]).empty()) --last;
            lines.insert(lines.begin() + long(last), std::string(lpKeyName) + "=" + lpString);
        }
    }
    return write_lines(path, lines) ? TRUE : (SetLastError(ERROR_ACCESS_DENIED), FALSE);
}

// ---- wide forms: converted to code page 936 and through the narrow calls ----
namespace {
struct Narrow {
    explicit Narrow(LPCWSTR w) : null(!w), text(w ? plat::codepage::narrow_of(w, -1) : std::string()) {}
    LPCSTR get() const { return null ? nullptr : text.c_str(); }
    bool null;
    std::string text;
};
}  // namespace

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                      LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName) {
    if (!lpReturnedString || nSize == 0) return 0;
    // Room for every character of the answer in its narrow form (two bytes at most each).
    std::vector<char> narrow(size_t(nSize) * 2 + 2);
    const DWORD n = GetPrivateProfileStringA(Narrow(lpAppName).get(), Narrow(lpKeyName).get(),
                                             Narrow(lpDefault).get(), narrow.data(), DWORD(narrow.size()),
                                             Narrow(lpFileName).get());
    // Converted piece by piece, so the zeros between list items stay.
    std::wstring wide;
    for (DWORD i = 0; i < n;) {
        const size_t len = std::strlen(narrow.data() + i);
        wide += plat::codepage::wide_of(narrow.data() + i, int(len));
        i += DWORD(len);
        if (i < n) wide.push_back(L'\0'), ++i;
    }
    const bool list = !lpAppName || !lpKeyName;
    if (list) {
        if (wide.size() + 2 <= nSize) {
            std::copy(wide.begin(), wide.end(), lpReturnedString);
            lpReturnedString[wide.size()] = 0;
            lpReturnedString[wide.size() + 1] = 0;
            return DWORD(wide.size());
        }
        if (nSize == 1) return lpReturnedString[0] = 0, 0;
        std::copy(wide.begin(), wide.begin() + (nSize - 2), lpReturnedString);
        lpReturnedString[nSize - 2] = 0;
        lpReturnedString[nSize - 1] = 0;
        return nSize - 2;
    }
    const size_t fit = std::min<size_t>(wide.size(), nSize - 1);
    std::copy(wide.begin(), wide.begin() + fit, lpReturnedString);
    lpReturnedString[fit] = 0;
    return DWORD(fit);
}

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString,
                                       LPCWSTR lpFileName) {
    return WritePrivateProfileStringA(Narrow(lpAppName).get(), Narrow(lpKeyName).get(), Narrow(lpString).get(),
                                      Narrow(lpFileName).get());
}

UINT WINAPI GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName) {
    return GetPrivateProfileIntA(Narrow(lpAppName).get(), Narrow(lpKeyName).get(), nDefault,
                                 Narrow(lpFileName).get());
}
