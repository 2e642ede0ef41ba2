// draw_text.cpp — DrawTextA: formatted text in a rectangle.
//
// Built only on public GDI calls (GetTextMetricsA, GetTextExtentPoint32A,
// ExtTextOutA), so it behaves the same on any DC. Text is code page 936:
// lines are only ever broken between whole characters, never inside a GBK
// pair.
//
// Supported: DT_LEFT/CENTER/RIGHT, DT_TOP/VCENTER/BOTTOM (the last two with
// DT_SINGLELINE only), DT_SINGLELINE, DT_WORDBREAK (at spaces and tabs, and
// between Chinese characters; a word longer than the line is broken only with
// DT_EDITCONTROL; DT_NOFULLWIDTHCHARBREAK keeps Chinese runs together),
// DT_EXPANDTABS and DT_TABSTOP, prefixes ("&&" draws '&', "&x" draws x
// underlined; DT_NOPREFIX, DT_HIDEPREFIX, DT_PREFIXONLY), DT_NOCLIP,
// DT_CALCRECT, DT_EXTERNALLEADING, and the ellipses: DT_END_ELLIPSIS and
// DT_WORD_ELLIPSIS end a line that is too wide with "...", DT_PATH_ELLIPSIS
// puts "..." before the last path component instead.
// Not supported: DT_MODIFYSTRING (the caller's string is never written) and
// DT_RTLREADING.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "windows.h"

namespace {

bool is_lead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool is_trail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// Length in bytes of the character at s[i]: 2 for a complete GBK pair.
std::size_t char_len(const std::string& s, std::size_t i) {
    if (is_lead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && is_trail(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

struct Layout {
    HDC hdc = nullptr;
    bool expand_tabs = false;
    int tab_width = 0;  // pixels between tab stops
};

int extent(HDC hdc, const char* p, std::size_t n) {
    if (n == 0) return 0;
    SIZE sz{0, 0};
    if (!GetTextExtentPoint32A(hdc, p, static_cast<int>(n), &sz)) return 0;
    return sz.cx;
}

int next_tab_stop(const Layout& L, int x) {
    if (L.tab_width <= 0) return x;
    return (x / L.tab_width + 1) * L.tab_width;
}

// Width of a piece of one line, tabs expanded if asked for.
int measure(const Layout& L, const std::string& s, std::size_t begin, std::size_t end) {
    if (!L.expand_tabs) return extent(L.hdc, s.data() + begin, end - begin);
    int x = 0;
    std::size_t run = begin;
    for (std::size_t i = begin; i < end; ++i) {
        if (s[i] != '\t') continue;
        x += extent(L.hdc, s.data() + run, i - run);
        x = next_tab_stop(L, x);
        run = i + 1;
    }
    return x + extent(L.hdc, s.data() + run, end - run);
}

void draw_line(const Layout& L, const std::string& s, std::size_t begin, std::size_t end, int x, int y,
               const RECT* clip) {
    UINT options = clip ? ETO_CLIPPED : 0;
    auto out = [&](std::size_t b, std::size_t e, int at) {
        if (e > b) ExtTextOutA(L.hdc, at, y, options, clip, s.data() + b, static_cast<UINT>(e - b), nullptr);
    };
    if (!L.expand_tabs) {
        out(begin, end, x);
        return;
    }
    int pen = 0;
    std::size_t run = begin;
    for (std::size_t i = begin; i < end; ++i) {
        if (s[i] != '\t') continue;
        out(run, i, x + pen);
        pen += extent(L.hdc, s.data() + run, i - run);
        pen = next_tab_stop(L, pen);
        run = i + 1;
    }
    out(run, end, x + pen);
}

// "&&" -> "&", "&x" -> "x", a final lone '&' is dropped. *mark receives the
// offset (in the result) of the last character that had a single '&' before
// it, the one to underline, or npos.
std::string strip_prefixes(const std::string& in, std::size_t* mark) {
    std::string out;
    out.reserve(in.size());
    *mark = std::string::npos;
    for (std::size_t i = 0; i < in.size();) {
        if (in[i] == '&') {
            ++i;
            if (i >= in.size()) break;
            if (in[i] == '&') {
                out += '&';
                ++i;
                continue;
            }
            if (in[i] != '\r' && in[i] != '\n') *mark = out.size();
        }
        std::size_t n = char_len(in, i);
        out.append(in, i, n);
        i += n;
    }
    return out;
}

// A one-pixel line in the text colour under the marked character. Painted
// as the opaque rectangle of an empty ExtTextOutA, so that nothing but
// public calls is needed and the DC's pen and brush stay untouched.
void underline(const Layout& L, const std::string& s, std::size_t begin, std::size_t mark, int x, int y,
               const TEXTMETRICA& tm, const RECT* clip) {
    int x0 = x + measure(L, s, begin, mark);
    int x1 = x0 + measure(L, s, mark, mark + char_len(s, mark));
    int uy = y + std::min(tm.tmAscent + 1, tm.tmHeight - 1);
    RECT r{x0, uy, x1, uy + 1};
    if (clip) {
        r.left = std::max(r.left, clip->left);
        r.top = std::max(r.top, clip->top);
        r.right = std::min(r.right, clip->right);
        r.bottom = std::min(r.bottom, clip->bottom);
        if (r.left >= r.right || r.top >= r.bottom) return;
    }
    COLORREF old_bk = SetBkColor(L.hdc, GetTextColor(L.hdc));
    ExtTextOutA(L.hdc, r.left, r.top, ETO_OPAQUE, &r, "", 0, nullptr);
    SetBkColor(L.hdc, old_bk);
}

// Start offsets of the characters of s.
std::vector<std::size_t> char_starts(const std::string& s) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); i += char_len(s, i)) starts.push_back(i);
    return starts;
}

// Shortens a line that is wider than avail: with `path`, characters before
// the last '\\' or '/' give way to "..." so the last component stays whole;
// otherwise (or if even that is too wide) the end gives way. *kept receives
// how many leading bytes of the line survive unchanged.
std::string ellipsize(const Layout& L, const std::string& line, int avail, bool path, std::size_t* kept) {
    auto width = [&](const std::string& t) { return measure(L, t, 0, t.size()); };
    *kept = line.size();
    if (width(line) <= avail) return line;
    static const std::string dots = "...";
    if (path) {
        // Character by character: 0x5C can be the second byte of a GBK pair.
        std::size_t sep = std::string::npos;
        for (std::size_t i : char_starts(line))
            if ((line[i] == '\\' || line[i] == '/') && char_len(line, i) == 1) sep = i;
        if (sep != std::string::npos && sep > 0) {
            const std::string tail = line.substr(sep);
            std::vector<std::size_t> starts = char_starts(line.substr(0, sep));
            for (std::size_t k = starts.size(); k-- > 0;) {
                std::string t = line.substr(0, starts[k]) + dots + tail;
                *kept = starts[k];
                if (width(t) <= avail) return t;
            }
            std::size_t ignored;
            *kept = 0;
            return ellipsize(L, dots + tail, avail, false, &ignored);
        }
    }
    std::vector<std::size_t> starts = char_starts(line);
    for (std::size_t k = starts.size(); k-- > 0;) {
        std::string t = line.substr(0, starts[k]) + dots;
        *kept = starts[k];
        if (width(t) <= avail) return t;
    }
    *kept = 0;
    return dots;  // not even one character fits: the dots alone, clipped
}

struct Line {
    std::size_t begin, end;  // bytes of the text
};

// A word and the blanks after it; a line may break after the blanks.
struct Token {
    std::size_t start, word_end, next;
};

// Each Chinese character is a word of its own unless `cjk_in_words`
// (DT_NOFULLWIDTHCHARBREAK): then only blanks separate words.
std::vector<Token> tokenize(const std::string& s, std::size_t begin, std::size_t end, bool cjk_in_words) {
    std::vector<Token> tokens;
    std::size_t i = begin;
    while (i < end) {
        Token t{i, i, i};
        if (char_len(s, i) == 2 && !cjk_in_words) {
            t.word_end = i + 2;
        } else {
            std::size_t j = i;
            while (j < end && !is_blank(s[j]) && (cjk_in_words || char_len(s, j) == 1)) j += char_len(s, j);
            t.word_end = j;
        }
        std::size_t j = t.word_end;
        while (j < end && is_blank(s[j])) ++j;
        t.next = j;
        tokens.push_back(t);
        i = j;
    }
    return tokens;
}

// Greedy filling of one paragraph [begin, end) into lines no wider than avail.
void wrap(const Layout& L, const std::string& s, std::size_t begin, std::size_t end, int avail, bool break_words,
          bool cjk_in_words, std::vector<Line>* lines) {
    std::vector<Token> tokens = tokenize(s, begin, end, cjk_in_words);
    if (tokens.empty()) {
        lines->push_back({begin, begin});
        return;
    }
    std::size_t k = 0;
    while (k < tokens.size()) {
        const std::size_t line_start = tokens[k].start;
        if (break_words && measure(L, s, line_start, tokens[k].word_end) > avail) {
            // One word wider than the line: cut it after the last character
            // that fits (at least one character per line).
            std::size_t cut = line_start + char_len(s, line_start);
            while (cut < tokens[k].word_end) {
                std::size_t next = cut + char_len(s, cut);
                if (measure(L, s, line_start, next) > avail) break;
                cut = next;
            }
            if (cut < tokens[k].word_end) {
                lines->push_back({line_start, cut});
                tokens[k].start = cut;
                continue;
            }
        }
        std::size_t m = k;
        while (m + 1 < tokens.size() && measure(L, s, line_start, tokens[m + 1].word_end) <= avail) ++m;
        lines->push_back({line_start, tokens[m].word_end});  // blanks at a break are dropped
        k = m + 1;
    }
}

}  // namespace

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    if (!hdc || !lpchText || !lprc) return 0;
    std::size_t n = cchText < 0 ? std::strlen(lpchText) : static_cast<std::size_t>(cchText);

    TEXTMETRICA tm;
    if (!GetTextMetricsA(hdc, &tm)) return 0;

    int tab_chars = 8;
    if (format & DT_TABSTOP) {
        // The second byte of the format holds the tab size, replacing the
        // flags that normally live there.
        tab_chars = static_cast<int>((format >> 8) & 0xFF);
        format &= ~0xFF00u;
    }
    const int line_height = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);

    Layout L;
    L.hdc = hdc;
    L.expand_tabs = (format & DT_EXPANDTABS) != 0;
    L.tab_width = tab_chars * tm.tmAveCharWidth;

    std::string text(lpchText, n);
    std::size_t mark = std::string::npos;
    if (!(format & DT_NOPREFIX)) text = strip_prefixes(text, &mark);
    if (format & DT_HIDEPREFIX) mark = std::string::npos;

    const bool single = (format & DT_SINGLELINE) != 0;
    const int avail = lprc->right - lprc->left;

    // Paragraphs at CR, LF or CR LF; a break at the very end starts no new line.
    std::vector<Line> lines;
    if (single) {
        lines.push_back({0, text.size()});
    } else {
        std::size_t start = 0;
        while (true) {
            std::size_t i = start;
            while (i < text.size() && text[i] != '\r' && text[i] != '\n') i += char_len(text, i);
            if (format & DT_WORDBREAK)
                wrap(L, text, start, i, avail, (format & DT_EDITCONTROL) != 0, (format & DT_NOFULLWIDTHCHARBREAK) != 0,
                     &lines);
            else lines.push_back({start, i});
            if (i >= text.size()) break;
            std::size_t next = i + 1;
            if (text[i] == '\r' && next < text.size() && text[next] == '\n') ++next;
            if (next >= text.size()) break;
            start = next;
        }
    }

    // Each line as its own string, shortened with an ellipsis if asked for;
    // `marks` holds the underlined character's offset within its line.
    const UINT ellipsis = format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
    std::vector<std::string> texts(lines.size());
    std::vector<std::size_t> marks(lines.size(), std::string::npos);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        texts[i] = text.substr(lines[i].begin, lines[i].end - lines[i].begin);
        if (mark != std::string::npos && mark >= lines[i].begin && mark < lines[i].end)
            marks[i] = mark - lines[i].begin;
        if (ellipsis) {
            std::size_t kept = 0;
            texts[i] = ellipsize(L, texts[i], avail, (ellipsis & DT_PATH_ELLIPSIS) != 0, &kept);
            // The underline stays only if its character is still there, in place
            // (kept is a character boundary).
            if (marks[i] != std::string::npos && marks[i] >= kept) marks[i] = std::string::npos;
        }
    }

    const int total_height = static_cast<int>(lines.size()) * line_height;

    if (format & DT_CALCRECT) {
        int max_width = 0;
        for (std::size_t i = 0; i < lines.size(); ++i)
            max_width = std::max(max_width, measure(L, texts[i], 0, texts[i].size()));
        lprc->right = lprc->left + max_width;
        lprc->bottom = lprc->top + total_height;
        return total_height;
    }

    int y = lprc->top;
    if (single && (format & DT_VCENTER)) y = lprc->top + (lprc->bottom - lprc->top - line_height) / 2;
    else if (single && (format & DT_BOTTOM)) y = lprc->bottom - line_height;

    // Positions below are of the text's top-left corner.
    UINT old_align = SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : lprc;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line_y = y + static_cast<int>(i) * line_height;
        // Lines wholly outside the clip show nothing: they are not measured or
        // drawn, so the work for a long text stays that of its visible lines.
        if (clip && (line_y >= clip->bottom || line_y + line_height <= clip->top)) continue;
        int x = lprc->left;
        if (format & (DT_CENTER | DT_RIGHT)) {
            const int width = measure(L, texts[i], 0, texts[i].size());
            x = (format & DT_CENTER) ? lprc->left + (avail - width) / 2 : lprc->right - width;
        }
        if (!(format & DT_PREFIXONLY)) draw_line(L, texts[i], 0, texts[i].size(), x, line_y, clip);
        if (marks[i] != std::string::npos) underline(L, texts[i], 0, marks[i], x, line_y, tm, clip);
    }
    if (old_align != GDI_ERROR) SetTextAlign(hdc, old_align);

    if (single && (format & (DT_VCENTER | DT_BOTTOM))) return y - lprc->top + total_height;
    return total_height;
}
