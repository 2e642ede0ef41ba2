// The clipboard: OpenClipboard and its companions over the backend's system
// clipboard, which holds UTF-8 text only.
//
// Data set in this process stays here as the GlobalAlloc'd handles it was
// given in (any format); its text goes to the system clipboard when the
// clipboard is closed. Reading asks the system clipboard first (once per
// opening): while it still holds the text published from here, the handles
// here are current; once another program has put text there, that text
// replaces them. Text formats stand in for each other as on Windows:
// CF_TEXT and CF_OEMTEXT are code page 936 with CRLF line ends,
// CF_UNICODETEXT WCHARs, and asking for one that was not set converts from
// the one that was (once; the result is kept with the others).
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "backend.h"
#include "codepage.h"
#include "user/user_internal.h"

namespace {

struct Clipboard {
    std::mutex mu;
    DWORD open_thread = 0;       // 0: closed
    HWND open_window = nullptr;
    HWND owner = nullptr;        // the window that last emptied it
    std::map<UINT, HGLOBAL> data;
    std::set<UINT> converted;    // text formats made from another one
    bool synced = false;         // compared with the system clipboard since opened
    bool changed = false;        // emptied or set since opened: publish at close
    bool published_any = false;  // `published` is what the system clipboard got from here
    std::string published;
};

Clipboard& clip() {
    static Clipboard* c = new Clipboard;  // outlives static destruction
    return *c;
}

bool is_text(UINT f) { return f == CF_TEXT || f == CF_OEMTEXT || f == CF_UNICODETEXT; }

std::u32string decode_utf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), &w[0], n);
    return std::u32string(w.begin(), w.end());
}

// "\n" not preceded by "\r" becomes "\r\n"; and back.
template <typename S>
S to_crlf(const S& s) {
    S out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += typename S::value_type('\r');
        out += s[i];
    }
    return out;
}
std::string to_lf(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    return out;
}

// A movable block holding `bytes` bytes copied from `src`.
HGLOBAL make_block(const void* src, size_t bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!h) return nullptr;
    void* p = GlobalLock(h);
    if (p) std::memcpy(p, src, bytes);
    GlobalUnlock(h);
    return h;
}
HGLOBAL make_narrow(const std::string& s) { return make_block(s.c_str(), s.size() + 1); }
HGLOBAL make_wide(const std::u32string& s) {
    std::wstring w(s.begin(), s.end());
    return make_block(w.c_str(), (w.size() + 1) * sizeof(WCHAR));
}

// The text of a block, up to its terminating zero or its end.
bool read_narrow(HGLOBAL h, std::string* out) {
    const char* p = static_cast<const char*>(GlobalLock(h));
    if (!p) return false;
    size_t size = GlobalSize(h), n = 0;
    while (n < size && p[n]) ++n;
    out->assign(p, n);
    GlobalUnlock(h);
    return true;
}
bool read_wide(HGLOBAL h, std::u32string* out) {
    const WCHAR* p = static_cast<const WCHAR*>(GlobalLock(h));
    if (!p) return false;
    size_t size = GlobalSize(h) / sizeof(WCHAR), n = 0;
    while (n < size && p[n]) ++n;
    out->clear();
    for (size_t i = 0; i < n; ++i) *out += char32_t(p[i]);
    GlobalUnlock(h);
    return true;
}

void free_all(Clipboard& c) {
    for (auto& [f, h] : c.data) GlobalFree(h);
    c.data.clear();
    c.converted.clear();
}

// The text here as UTF-8 with "\n" line ends; false without a text format.
bool text_here(Clipboard& c, std::string* utf8) {
    auto u = c.data.find(CF_UNICODETEXT);
    if (u != c.data.end() && !c.converted.count(CF_UNICODETEXT)) {
        std::u32string w;
        if (!read_wide(u->second, &w)) return false;
        *utf8 = to_lf(plat::codepage::utf8_of(w.data(), w.size()));
        return true;
    }
    for (UINT f : {CF_TEXT, CF_OEMTEXT}) {
        auto it = c.data.find(f);
        if (it == c.data.end()) continue;
        std::string s;
        if (!read_narrow(it->second, &s)) return false;
        *utf8 = to_lf(plat::codepage::cp936_to_utf8(s.data(), int(s.size())));
        return true;
    }
    return false;
}

// Brings the data here up to date with the system clipboard. Called with
// c.mu held and without USER's lock.
void sync(Clipboard& c) {
    if (c.synced) return;
    if (c.open_thread) c.synced = true;
    std::string text;
    bool has = plat::backend().get_clipboard_text(&text);
    if (has && c.published_any && text == c.published) return;  // still what was published here
    if (!has) {
        // Nothing on the system clipboard: what was published from here is
        // gone; data that never went there (no text) stays.
        if (c.published_any && !c.published.empty()) {
            free_all(c);
            c.owner = nullptr;
            c.published_any = false;
        }
        return;
    }
    free_all(c);
    c.owner = nullptr;
    if (HGLOBAL h = make_wide(to_crlf(decode_utf8(text)))) c.data[CF_UNICODETEXT] = h;
    c.published = text;
    c.published_any = true;
}

// A text format made from another text format that is here.
HGLOBAL convert(Clipboard& c, UINT format) {
    std::string utf8;
    if (!text_here(c, &utf8)) return nullptr;
    HGLOBAL h = format == CF_UNICODETEXT ? make_wide(to_crlf(decode_utf8(utf8)))
                                         : make_narrow(to_crlf(plat::codepage::utf8_to_936(utf8)));
    if (!h) return nullptr;
    c.data[format] = h;
    c.converted.insert(format);
    return h;
}

bool open_by_me(Clipboard& c) { return c.open_thread && c.open_thread == GetCurrentThreadId(); }

}  // namespace

BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
    if (hWndNewOwner && !IsWindow(hWndNewOwner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    if (c.open_thread && c.open_thread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!c.open_thread) {
        c.synced = false;
        c.changed = false;
    }
    c.open_thread = GetCurrentThreadId();
    c.open_window = hWndNewOwner;
    return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    if (!open_by_me(c)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    if (c.changed) {
        std::string utf8;
        if (!text_here(c, &utf8)) utf8.clear();
        plat::backend().set_clipboard_text(utf8);
        c.published = utf8;
        c.published_any = true;
    }
    c.open_thread = 0;
    c.open_window = nullptr;
    return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    if (!open_by_me(c)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    free_all(c);
    c.owner = c.open_window;
    c.synced = true;
    c.changed = true;
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    if (!open_by_me(c)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    if (uFormat == 0) {
        SetLastError(ERROR_INVALID_CLIPBOARD_FORMAT);
        return nullptr;
    }
    // Rendering on request (a null handle) is not offered; a handle that is
    // not a global memory block is refused rather than read later.
    if (!hMem || !GlobalLock(hMem)) {
        SetLastError(hMem ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    GlobalUnlock(hMem);
    sync(c);  // keep what another program put there unless this replaces it
    if (is_text(uFormat)) {
        // Conversions of the previous text are stale now.
        for (UINT f : std::set<UINT>(c.converted)) {
            GlobalFree(c.data[f]);
            c.data.erase(f);
        }
        c.converted.clear();
    }
    auto it = c.data.find(uFormat);
    if (it != c.data.end() && it->second != hMem) GlobalFree(it->second);
    c.data[uFormat] = hMem;
    c.changed = true;
    return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    if (!open_by_me(c)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    sync(c);
    auto it = c.data.find(uFormat);
    if (it != c.data.end()) return it->second;
    if (is_text(uFormat))
        if (HGLOBAL h = convert(c, uFormat)) return h;
    SetLastError(ERROR_INVALID_CLIPBOARD_FORMAT);
    return nullptr;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    sync(c);
    if (c.data.count(format)) return TRUE;
    if (!is_text(format)) return FALSE;
    for (UINT f : {CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT})
        if (c.data.count(f)) return TRUE;
    return FALSE;
}

HWND WINAPI GetClipboardOwner(void) {
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    if (c.owner && !IsWindow(c.owner)) c.owner = nullptr;
    return c.owner;
}

HWND WINAPI GetOpenClipboardWindow(void) {
    Clipboard& c = clip();
    std::lock_guard<std::mutex> lock(c.mu);
    return c.open_thread ? c.open_window : nullptr;
}
