// edit_control.cpp — the built-in "Edit" control.
//
// The text is the window text (GetWindowTextA reads it), in code page 936:
// typed bytes arrive as WM_CHAR, a lead byte waits for its trail byte, and
// Backspace, Delete and the arrow keys move over whole characters. EM_LIMITTEXT
// limits the length in bytes: a character that would cross the limit is
// refused whole. EM_SETSEL selects; typing replaces the selection, which is
// shown highlighted while the control has the focus. Gaining the focus other
// than by a click selects the whole text, as a dialog does for an edit that
// is tabbed into; a click places the caret, a drag selects.
//
// Single-line (default): one line, vertically centred, scrolled sideways so
// that the caret stays in view (ES_AUTOHSCROLL). Multi-line (ES_MULTILINE):
// Enter inserts "\r\n", long lines wrap at word boundaries, the view follows
// the caret up and down (ES_AUTOVSCROLL), and with WS_VSCROLL a scroll bar on
// the right scrolls by line (arrows, the wheel, EM_LINESCROLL, WM_VSCROLL)
// and by page (the track), and the thumb can be dragged.
//
// Clipboard: Ctrl+C / Ctrl+Insert and WM_COPY copy the selection (CF_TEXT),
// Ctrl+X / Shift+Delete and WM_CUT cut it, Ctrl+V / Shift+Insert and
// WM_PASTE replace it with the clipboard's text, WM_CLEAR deletes it. A
// paste is cut short at the limit (never inside a character) and, in a
// single-line control, at the first line break; a multi-line control gets
// CRLF line ends. ES_NUMBER refuses typed characters other than digits and
// a paste that holds any; ES_READONLY refuses every change. Ctrl+Z,
// EM_UNDO and WM_UNDO undo the last change, and undo that undo.
//
// While the control has the focus the caret blinks (GetCaretBlinkTime, a
// timer of the control's thread), shown again at once on every key or
// click; the input method's candidate window is placed at the caret (the
// backend's text-input rectangle).
#include <algorithm>
#include <cstring>
#include <vector>

#include "backend.h"
#include "codepage.h"
#include "user/controls_internal.h"
#include "window_registry.h"
#include "windowsx.h"

namespace plat::user {

// Paints the whole control; report_caret: also tell the input method where
// the caret is.
void paint_edit(HWND h, bool report_caret = true);

namespace {

void paint_whole(HWND h) { paint_edit(h); }

constexpr int kMargin = 2;            // text inset from the left and right
constexpr int kScrollBarWidth = 17;   // vertical scroll bar, and its arrow buttons' height
constexpr int kWheelLines = 3;        // lines per wheel notch
constexpr UINT_PTR kBlinkTimer = 1;   // the caret's timer id

// What the last change was, for undo (ControlState::undo_kind).
enum UndoKind { kUndoNone = 0, kUndoTyping, kUndoDeleting, kUndoOther };

// Start of the character before `pos` / length of the character at `pos`.
size_t prev_char(const std::string& s, size_t pos) {
    size_t i = 0, last = 0;
    while (i < pos) {
        last = i;
        i += (codepage::is_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    }
    return last;
}
size_t char_len(const std::string& s, size_t pos) {
    if (pos >= s.size()) return 0;
    return (codepage::is_lead_byte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) ? 2 : 1;
}

int extent(HDC hdc, const std::string& t, size_t from, size_t to) {
    if (to <= from) return 0;
    SIZE sz{0, 0};
    GetTextExtentPoint32A(hdc, t.data() + from, int(to - from), &sz);
    return sz.cx;
}

// One line on screen: bytes [start, end) of the text, without the line break.
struct Line {
    size_t start, end;
};

// Where the text goes inside the control and how it is broken into lines.
struct View {
    bool multiline = false;
    bool scrollbar = false;
    RECT text{};       // the area the text is drawn in (client coordinates)
    int line_h = 16;
    int visible = 1;   // whole lines that fit (multi-line)
    std::vector<Line> lines;
};

// Breaks [start, end) into lines no wider than `width`, after the last blank
// that fits, or inside a word that is wider than a line by itself.
void wrap(HDC hdc, const std::string& t, size_t start, size_t end, int width, std::vector<Line>* out) {
    size_t pos = start;
    do {
        size_t fit = pos;
        while (fit < end) {
            size_t next = fit + char_len(t, fit);
            if (extent(hdc, t, pos, next) > width && fit > pos) break;
            fit = next;
        }
        if (fit >= end) {
            out->push_back(Line{pos, end});
            return;
        }
        size_t brk = fit;
        for (size_t i = fit; i > pos; --i)
            if (t[i - 1] == ' ') {
                brk = i;
                break;
            }
        out->push_back(Line{pos, brk});
        pos = brk;
    } while (pos < end);
}

View view_of(HWND h, HDC hdc, const std::string& t) {
    View v;
    LONG style = LONG(GetWindowLongPtrA(h, GWL_STYLE));
    v.multiline = (style & ES_MULTILINE) != 0;
    v.scrollbar = v.multiline && (style & WS_VSCROLL);
    RECT rc{};
    GetClientRect(h, &rc);
    v.text = rc;
    if (v.scrollbar) v.text.right = std::max(v.text.left, v.text.right - kScrollBarWidth);
    TEXTMETRICA tm{};
    if (GetTextMetricsA(hdc, &tm) && tm.tmHeight > 0) v.line_h = tm.tmHeight;
    v.visible = std::max(1, int(v.text.bottom - v.text.top) / v.line_h);
    if (!v.multiline) {
        v.lines.push_back(Line{0, t.size()});
        return v;
    }
    int width = std::max(1, int(v.text.right - v.text.left) - 2 * kMargin);
    size_t start = 0;
    for (;;) {
        size_t br = t.find("\r\n", start);
        size_t stop = br == std::string::npos ? t.size() : br;
        if (stop == start) v.lines.push_back(Line{start, stop});
        else wrap(hdc, t, start, stop, width, &v.lines);
        if (br == std::string::npos) break;
        start = br + 2;
    }
    return v;
}

// The line that holds the caret: the last one starting at or before it.
int line_of(const View& v, size_t pos) {
    int n = 0;
    for (size_t i = 0; i < v.lines.size(); ++i)
        if (v.lines[i].start <= pos) n = int(i);
    return n;
}

int max_first_line(const View& v) { return std::max(0, int(v.lines.size()) - v.visible); }

// Top-left corner of line i's text in client coordinates.
POINT line_origin(const View& v, const ControlState& cs, int i) {
    if (!v.multiline) {
        int h = v.text.bottom - v.text.top;
        return POINT{v.text.left + kMargin - cs.scroll_x, v.text.top + (h - v.line_h) / 2};
    }
    return POINT{v.text.left + kMargin, v.text.top + (i - cs.first_line) * v.line_h};
}

// The character boundary nearest to client point (x, y).
size_t hit(HDC hdc, const View& v, const ControlState& cs, const std::string& t, int x, int y) {
    int i = 0;
    if (v.multiline) i = std::clamp(cs.first_line + (y - int(v.text.top)) / v.line_h, 0, int(v.lines.size()) - 1);
    const Line& l = v.lines[size_t(i)];
    int left = line_origin(v, cs, i).x;
    size_t best = l.start;
    int best_d = std::abs(x - left);
    for (size_t p = l.start; p < l.end;) {
        p += char_len(t, p);
        int d = std::abs(x - (left + extent(hdc, t, l.start, p)));
        if (d < best_d) {
            best = p;
            best_d = d;
        }
    }
    return best;
}

// Scrolls so that the caret is in view.
void scroll_to_caret(HDC hdc, const View& v, ControlState& cs, const std::string& t) {
    size_t caret = std::min(cs.sel_end, t.size());
    if (v.multiline) {
        int cl = line_of(v, caret);
        if (cl < cs.first_line) cs.first_line = cl;
        if (cl >= cs.first_line + v.visible) cs.first_line = cl - v.visible + 1;
        cs.first_line = std::clamp(cs.first_line, 0, max_first_line(v));
        return;
    }
    int avail = std::max(1, int(v.text.right - v.text.left) - 2 * kMargin);
    int cx = extent(hdc, t, 0, caret);
    if (cx - cs.scroll_x > avail - 1) cs.scroll_x = cx - avail * 2 / 3;
    if (cx < cs.scroll_x) cs.scroll_x = cx - avail / 3;
    cs.scroll_x = std::clamp(cs.scroll_x, 0, std::max(0, extent(hdc, t, 0, t.size()) - avail + 1));
}

void scroll_lines(HWND h, int delta) {
    ControlState cs = get_state(h);
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    View v = view_of(h, dc.hdc, text_of(h));
    if (!v.multiline) return;
    cs.first_line = std::clamp(cs.first_line + delta, 0, max_first_line(v));
    put_state(h, cs);
    paint_control(h, paint_whole);
}

// Parts of the vertical scroll bar.
struct ScrollBar {
    RECT bar, up, down, thumb;  // thumb empty when everything fits
};

ScrollBar scroll_bar_of(const View& v, const ControlState& cs, const RECT& client) {
    ScrollBar s;
    s.bar = RECT{v.text.right, client.top, client.right, client.bottom};
    int arrow = std::min<int>(kScrollBarWidth, (client.bottom - client.top) / 2);
    s.up = RECT{s.bar.left, s.bar.top, s.bar.right, s.bar.top + arrow};
    s.down = RECT{s.bar.left, s.bar.bottom - arrow, s.bar.right, s.bar.bottom};
    s.thumb = RECT{0, 0, 0, 0};
    int track = s.down.top - s.up.bottom;
    int total = int(v.lines.size());
    if (total > v.visible && track >= 8) {
        int th = std::max(8, track * v.visible / total);
        int range = max_first_line(v);
        int top = s.up.bottom + (track - th) * cs.first_line / std::max(1, range);
        s.thumb = RECT{s.bar.left, top, s.bar.right, top + th};
    }
    return s;
}

void draw_arrow(HDC hdc, const RECT& r, bool up, bool enabled) {
    RECT face = draw_raised_edge(hdc, r);
    fill(hdc, face, GetSysColor(COLOR_BTNFACE));
    COLORREF c = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    // A triangle four rows tall, seven pixels at its base.
    for (int row = 0; row < 4; ++row) {
        int y = up ? cy - 2 + row : cy + 1 - row;
        fill(hdc, RECT{cx - row, y, cx + row + 1, y + 1}, c);
    }
}

void paint_scroll_bar(HDC hdc, const View& v, const ControlState& cs, const RECT& client) {
    ScrollBar s = scroll_bar_of(v, cs, client);
    // The track: a fine checker of the face and highlight colours.
    COLORREF a = GetSysColor(COLOR_BTNHIGHLIGHT), b = GetSysColor(COLOR_BTNFACE);
    fill(hdc, s.bar, b);
    for (int y = s.up.bottom; y < s.down.top; ++y)
        for (int x = s.bar.left + (y & 1); x < s.bar.right; x += 2) SetPixelV(hdc, x, y, a);
    draw_arrow(hdc, s.up, true, cs.first_line > 0);
    draw_arrow(hdc, s.down, false, cs.first_line < max_first_line(v));
    if (s.thumb.bottom > s.thumb.top) fill(hdc, draw_raised_edge(hdc, s.thumb), GetSysColor(COLOR_BTNFACE));
}

// Places the input method's candidate window below the caret.
void report_caret(HWND h, const RECT& caret) {
    HWND top = h;
    for (HWND p = GetParent(top); p; p = GetParent(p)) top = p;
    POINT a{caret.left, caret.top};
    ClientToScreen(h, &a);
    ScreenToClient(top, &a);
    if (uint32_t id = backend_id_of(top))
        backend().set_text_input_rect(id, RECT{a.x, a.y, a.x + (caret.right - caret.left),
                                               a.y + (caret.bottom - caret.top)});
}

LONG style_of(HWND h) { return LONG(GetWindowLongPtrA(h, GWL_STYLE)); }

// Replaces the selection with `insert`. A result over the limit is refused
// whole, or with `cut_to_fit` the insert is shortened at a character
// boundary until it fits. Remembers the text before for undo. False when
// nothing changed.
bool replace_selection(HWND h, ControlState& cs, std::string insert, int kind, bool cut_to_fit = false) {
    if (style_of(h) & ES_READONLY) return false;
    std::string t = text_of(h);
    size_t a = std::min(std::min(cs.sel_start, cs.sel_end), t.size());
    size_t b = std::min(std::max(cs.sel_start, cs.sel_end), t.size());
    size_t kept = t.size() - (b - a);
    if (kept + insert.size() > cs.limit) {
        if (!cut_to_fit) return false;  // does not fit: dropped
        size_t room = cs.limit > kept ? cs.limit - kept : 0, end = 0;
        while (end < insert.size() && end + char_len(insert, end) <= room) end += char_len(insert, end);
        insert.resize(end);
    }
    if (a == b && insert.empty()) return false;
    // Typing or deleting where the previous change of that kind ended adds
    // to it; anything else starts a new change.
    bool continues = (kind == kUndoTyping || kind == kUndoDeleting) && cs.undo_kind == kind && cs.can_undo &&
                     (a == cs.undo_at || b == cs.undo_at);
    if (!continues) {
        cs.undo_text = t;
        cs.undo_sel_start = cs.sel_start;
        cs.undo_sel_end = cs.sel_end;
        cs.can_undo = true;
    }
    cs.undo_kind = kind;
    t.replace(a, b - a, insert);
    cs.sel_start = cs.sel_end = a + insert.size();
    cs.undo_at = cs.sel_end;
    put_state(h, cs);
    store_window_text(h, t.c_str());
    return true;
}

// Puts the text and selection from before the last change back, keeping
// the present ones as the change that a second undo restores.
bool undo(HWND h, ControlState& cs) {
    if (!cs.can_undo || (style_of(h) & ES_READONLY)) return false;
    std::string now = text_of(h);
    size_t a = cs.sel_start, b = cs.sel_end;
    std::string before = cs.undo_text;
    cs.sel_start = std::min(cs.undo_sel_start, before.size());
    cs.sel_end = std::min(cs.undo_sel_end, before.size());
    cs.undo_text = now;
    cs.undo_sel_start = a;
    cs.undo_sel_end = b;
    cs.undo_kind = kUndoOther;
    put_state(h, cs);
    store_window_text(h, before.c_str());
    return true;
}

std::string selected_text(HWND h, const ControlState& cs) {
    std::string t = text_of(h);
    size_t a = std::min(std::min(cs.sel_start, cs.sel_end), t.size());
    size_t b = std::min(std::max(cs.sel_start, cs.sel_end), t.size());
    return t.substr(a, b - a);
}

// Puts the selection on the clipboard as CF_TEXT; false when there is none.
bool copy_selection(HWND h, const ControlState& cs) {
    std::string sel = selected_text(h, cs);
    if (sel.empty() || (style_of(h) & ES_PASSWORD)) return false;
    if (!OpenClipboard(h)) return false;
    bool ok = false;
    if (EmptyClipboard()) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sel.size() + 1);
        if (char* p = mem ? static_cast<char*>(GlobalLock(mem)) : nullptr) {
            std::memcpy(p, sel.c_str(), sel.size() + 1);
            GlobalUnlock(mem);
            ok = SetClipboardData(CF_TEXT, mem) != nullptr;
            if (!ok) GlobalFree(mem);
        }
    }
    CloseClipboard();
    return ok;
}

// The clipboard's text as this control takes it: up to the first line
// break in a single-line control, with CRLF line ends in a multi-line one.
bool clipboard_text(HWND h, std::string* out) {
    if (!OpenClipboard(h)) return false;
    HANDLE mem = GetClipboardData(CF_TEXT);
    const char* p = mem ? static_cast<const char*>(GlobalLock(mem)) : nullptr;
    if (p) {
        size_t size = GlobalSize(mem), n = 0;
        while (n < size && p[n]) ++n;
        out->assign(p, n);
        GlobalUnlock(mem);
    }
    CloseClipboard();
    if (!p) return false;
    if (!(style_of(h) & ES_MULTILINE)) {
        out->resize(std::min(out->find_first_of("\r\n"), out->size()));
        return true;
    }
    std::string crlf;
    for (size_t i = 0; i < out->size(); ++i) {
        char c = (*out)[i];
        if (c == '\r' || c == '\n') {
            crlf += "\r\n";
            if (c == '\r' && i + 1 < out->size() && (*out)[i + 1] == '\n') ++i;
        } else {
            crlf += c;
        }
    }
    *out = std::move(crlf);
    return true;
}

bool all_digits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void paste(HWND h, ControlState& cs) {
    std::string text;
    if (!clipboard_text(h, &text) || text.empty()) return;
    if ((style_of(h) & ES_NUMBER) && !all_digits(text)) return;
    replace_selection(h, cs, text, kUndoOther, true);
}

void cut(HWND h, ControlState& cs) {
    if (style_of(h) & ES_READONLY) return;
    if (copy_selection(h, cs)) replace_selection(h, cs, "", kUndoOther);
}

// The caret is shown and its blink period starts again.
void restart_blink(HWND h) {
    ControlState cs = get_state(h);
    cs.caret_on = true;
    put_state(h, cs);
    UINT period = GetCaretBlinkTime();
    if (period != INFINITE && GetFocus() == h) SetTimer(h, kBlinkTimer, period, nullptr);
}

void on_blink(HWND h) {
    if (GetFocus() != h) {
        KillTimer(h, kBlinkTimer);
        return;
    }
    ControlState cs = get_state(h);
    cs.caret_on = !cs.caret_on;
    put_state(h, cs);
    // Only a caret (no selection) shows the phase.
    if (cs.sel_start == cs.sel_end && IsWindowVisible(h)) paint_edit(h, false);
}

// Stores the state after a caret change, keeping the caret in view.
void commit(HWND h, ControlState cs) {
    Dc dc(h, cs.font);
    if (dc.hdc) {
        std::string t = text_of(h);
        scroll_to_caret(dc.hdc, view_of(h, dc.hdc, t), cs, t);
    }
    put_state(h, cs);
    paint_control(h, paint_whole);
}

size_t vertical_move(HWND h, const ControlState& cs, const std::string& t, int lines) {
    Dc dc(h, cs.font);
    if (!dc.hdc) return cs.sel_end;
    View v = view_of(h, dc.hdc, t);
    size_t caret = std::min(cs.sel_end, t.size());
    int cl = line_of(v, caret);
    int target = std::clamp(cl + lines, 0, int(v.lines.size()) - 1);
    if (target == cl) return lines < 0 ? v.lines[size_t(cl)].start : v.lines[size_t(cl)].end;
    POINT o = line_origin(v, cs, cl);
    int x = o.x + extent(dc.hdc, t, v.lines[size_t(cl)].start, caret);
    ControlState at = cs;
    POINT to = line_origin(v, cs, target);
    return hit(dc.hdc, v, at, t, x, to.y);
}

void on_key(HWND h, WPARAM key) {
    restart_blink(h);
    ControlState cs = get_state(h);
    std::string t = text_of(h);
    size_t caret = std::min(cs.sel_end, t.size());
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_INSERT && (ctrl || shift)) {
        if (ctrl) copy_selection(h, cs);
        else paste(h, cs);
        commit(h, cs);
        return;
    }
    if (key == VK_DELETE && shift && !ctrl) {
        cut(h, cs);
        commit(h, cs);
        return;
    }
    switch (key) {
    case VK_LEFT: caret = caret ? prev_char(t, caret) : 0; break;
    case VK_RIGHT: caret += char_len(t, caret); break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = t.size(); break;
    case VK_UP: caret = vertical_move(h, cs, t, -1); break;
    case VK_DOWN: caret = vertical_move(h, cs, t, 1); break;
    case VK_PRIOR:
    case VK_NEXT: {
        Dc dc(h, cs.font);
        int page = dc.hdc ? view_of(h, dc.hdc, t).visible : 1;
        caret = vertical_move(h, cs, t, key == VK_PRIOR ? -page : page);
        break;
    }
    case VK_DELETE:
        if (cs.sel_start == cs.sel_end) cs.sel_end = caret + char_len(t, caret);
        replace_selection(h, cs, "", kUndoDeleting);
        commit(h, cs);
        return;
    default: return;
    }
    if (caret > t.size()) caret = t.size();
    cs.sel_end = caret;
    if (!shift) cs.sel_start = caret;
    commit(h, cs);
}

void on_char(HWND h, unsigned char c) {
    restart_blink(h);
    ControlState cs = get_state(h);
    LONG style = style_of(h);
    bool multiline = (style & ES_MULTILINE) != 0;
    // ES_NUMBER: digits only (a refused lead byte takes its trail byte,
    // never a digit, along).
    bool refused = (style & ES_NUMBER) && c >= 0x20 && !(c >= '0' && c <= '9');
    if (refused) {
        cs.pending_lead = -1;
    } else if (cs.pending_lead >= 0) {
        std::string pair{char(cs.pending_lead), char(c)};
        cs.pending_lead = -1;
        replace_selection(h, cs, pair, kUndoTyping);
    } else if (codepage::is_lead_byte(c)) {
        cs.pending_lead = c;
    } else if (c == '\b') {
        std::string t = text_of(h);
        if (cs.sel_start == cs.sel_end && cs.sel_end > 0) cs.sel_start = prev_char(t, std::min(cs.sel_end, t.size()));
        if (cs.sel_start != cs.sel_end) replace_selection(h, cs, "", kUndoDeleting);
    } else if (c == 0x01) {  // Ctrl+A
        cs.sel_start = 0;
        cs.sel_end = size_t(GetWindowTextLengthA(h));
    } else if (c == 0x03) {  // Ctrl+C
        copy_selection(h, cs);
    } else if (c == 0x16) {  // Ctrl+V
        paste(h, cs);
    } else if (c == 0x18) {  // Ctrl+X
        cut(h, cs);
    } else if (c == 0x1A) {  // Ctrl+Z
        undo(h, cs);
    } else if (c == '\r') {
        if (multiline) replace_selection(h, cs, "\r\n", kUndoTyping);
    } else if (c >= 0x20 && c != 0x7F) {
        replace_selection(h, cs, std::string(1, char(c)), kUndoTyping);
    }
    commit(h, cs);
}

void on_button_down(HWND h, int x, int y) {
    restart_blink(h);
    ControlState cs = get_state(h);
    {
        Dc dc(h, cs.font);
        if (!dc.hdc) return;
        std::string t = text_of(h);
        View v = view_of(h, dc.hdc, t);
        if (v.scrollbar && x >= v.text.right) {
            ScrollBar s = scroll_bar_of(v, cs, dc.rc);
            if (y < s.up.bottom) scroll_lines(h, -1);
            else if (y >= s.down.top) scroll_lines(h, 1);
            else if (s.thumb.bottom > s.thumb.top && y < s.thumb.top) scroll_lines(h, -v.visible);
            else if (s.thumb.bottom > s.thumb.top && y >= s.thumb.bottom) scroll_lines(h, v.visible);
            else if (s.thumb.bottom > s.thumb.top) {
                cs.thumb_drag = true;
                cs.thumb_grab = y - s.thumb.top;
                put_state(h, cs);
                SetCapture(h);
            }
            return;
        }
    }
    cs.mouse_focus = true;
    put_state(h, cs);
    SetFocus(h);
    cs = get_state(h);
    cs.mouse_focus = false;
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    std::string t = text_of(h);
    size_t pos = hit(dc.hdc, view_of(h, dc.hdc, t), cs, t, x, y);
    cs.sel_end = pos;
    if (GetKeyState(VK_SHIFT) >= 0) cs.sel_start = pos;
    cs.dragging = true;
    SetCapture(h);
    commit(h, cs);
}

// The thumb's top follows the pointer; the first visible line is the one
// whose thumb position is nearest.
void drag_thumb(HWND h, ControlState& cs, int y) {
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    View v = view_of(h, dc.hdc, text_of(h));
    ScrollBar s = scroll_bar_of(v, cs, dc.rc);
    int travel = (s.down.top - s.up.bottom) - (s.thumb.bottom - s.thumb.top);
    int range = max_first_line(v);
    if (s.thumb.bottom <= s.thumb.top || travel <= 0) return;
    int top = std::clamp(y - cs.thumb_grab - int(s.up.bottom), 0, travel);
    int first = (top * range + travel / 2) / travel;
    if (first == cs.first_line) return;
    cs.first_line = first;
    put_state(h, cs);
    paint_control(h, paint_whole);
}

void on_mouse_move(HWND h, int x, int y) {
    ControlState cs = get_state(h);
    if (cs.thumb_drag) {
        drag_thumb(h, cs, y);
        return;
    }
    if (!cs.dragging) return;
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    std::string t = text_of(h);
    cs.sel_end = hit(dc.hdc, view_of(h, dc.hdc, t), cs, t, x, y);
    commit(h, cs);
}

}  // namespace

void paint_edit(HWND h, bool report) {
    ControlState cs = get_state(h);
    Dc dc(h, cs.font);
    if (!dc.hdc) return;
    std::string t = text_of(h);
    View v = view_of(h, dc.hdc, t);
    fill(dc.hdc, dc.rc, GetSysColor(COLOR_WINDOW));
    bool focused = GetFocus() == h;
    size_t a = std::min(std::min(cs.sel_start, cs.sel_end), t.size());
    size_t b = std::min(std::max(cs.sel_start, cs.sel_end), t.size());
    size_t caret = std::min(cs.sel_end, t.size());
    int caret_line = line_of(v, caret);
    HRGN clip = CreateRectRgn(v.text.left, v.text.top, v.text.right, v.text.bottom);
    SelectClipRgn(dc.hdc, clip);
    RECT caret_rect{0, 0, 0, 0};
    int first = v.multiline ? cs.first_line : 0;
    int last = v.multiline ? std::min(int(v.lines.size()), first + v.visible + 1) : 1;
    for (int i = first; i < last; ++i) {
        const Line& l = v.lines[size_t(i)];
        POINT o = line_origin(v, cs, i);
        SetTextColor(dc.hdc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutA(dc.hdc, o.x, o.y, t.data() + l.start, int(l.end - l.start));
        size_t sa = std::max(a, l.start), sb = std::min(b, l.end);
        if (focused && sa < sb) {
            int x0 = o.x + extent(dc.hdc, t, l.start, sa), x1 = o.x + extent(dc.hdc, t, l.start, sb);
            fill(dc.hdc, RECT{x0, o.y, x1, o.y + v.line_h}, GetSysColor(COLOR_HIGHLIGHT));
            SetTextColor(dc.hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            TextOutA(dc.hdc, x0, o.y, t.data() + sa, int(sb - sa));
        }
        if (i == caret_line) {
            int cx = o.x + extent(dc.hdc, t, l.start, caret);
            caret_rect = RECT{cx, o.y, cx + 1, o.y + v.line_h};
        }
    }
    if (focused && a == b && cs.caret_on) fill(dc.hdc, caret_rect, GetSysColor(COLOR_WINDOWTEXT));
    SelectClipRgn(dc.hdc, nullptr);
    DeleteObject(clip);
    if (v.scrollbar) paint_scroll_bar(dc.hdc, v, cs, dc.rc);
    if (focused && report) report_caret(h, caret_rect);
}

LRESULT CALLBACK EditProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETFOCUS) {
        // Focus from the keyboard or the program selects everything.
        ControlState cs = get_state(h);
        if (!cs.mouse_focus) {
            cs.sel_start = 0;
            cs.sel_end = size_t(GetWindowTextLengthA(h));
        }
        put_state(h, cs);
        restart_blink(h);
        commit(h, get_state(h));
        return 0;
    }
    if (m == WM_KILLFOCUS) KillTimer(h, kBlinkTimer);
    if (m == WM_SETTEXT) {  // a new text cannot be undone
        ControlState cs = get_state(h);
        cs.can_undo = false;
        cs.undo_kind = kUndoNone;
        cs.undo_text.clear();
        put_state(h, cs);
    }
    LRESULT r = 0;
    if (control_common(h, m, wp, lp, &r, paint_whole)) return r;
    switch (m) {
    case WM_CREATE: {
        ControlState cs = get_state(h);
        cs.sel_start = cs.sel_end = size_t(GetWindowTextLengthA(h));
        put_state(h, cs);
        return 0;
    }
    case EM_LIMITTEXT: {
        ControlState cs = get_state(h);
        cs.limit = wp ? size_t(wp) : 0x7FFFFFFE;
        put_state(h, cs);
        return 0;
    }
    case EM_GETLIMITTEXT:
        return LRESULT(get_state(h).limit);
    case EM_SETSEL: {
        ControlState cs = get_state(h);
        size_t len = size_t(GetWindowTextLengthA(h));
        long long a = (long long)(int)wp, b = (long long)(int)lp;
        if (a < 0) {  // -1: remove the selection, keep the caret
            cs.sel_start = cs.sel_end;
        } else {
            cs.sel_start = std::min(size_t(a), len);
            cs.sel_end = b < 0 ? len : std::min(size_t(b), len);
        }
        commit(h, cs);
        return 0;
    }
    case EM_GETSEL: {
        ControlState cs = get_state(h);
        DWORD a = DWORD(std::min(cs.sel_start, cs.sel_end)), b = DWORD(std::max(cs.sel_start, cs.sel_end));
        if (wp) *reinterpret_cast<DWORD*>(wp) = a;
        if (lp) *reinterpret_cast<DWORD*>(lp) = b;
        return MAKELRESULT(a, b);
    }
    case EM_GETFIRSTVISIBLELINE:
        return get_state(h).first_line;
    case EM_GETLINECOUNT: {
        ControlState cs = get_state(h);
        Dc dc(h, cs.font);
        return dc.hdc ? LRESULT(view_of(h, dc.hdc, text_of(h)).lines.size()) : 1;
    }
    case EM_LINESCROLL:
        scroll_lines(h, int(lp));
        return TRUE;
    case WM_VSCROLL: {
        ControlState cs = get_state(h);
        Dc dc(h, cs.font);
        int page = dc.hdc ? view_of(h, dc.hdc, text_of(h)).visible : 1;
        switch (LOWORD(wp)) {
        case SB_LINEUP: scroll_lines(h, -1); break;
        case SB_LINEDOWN: scroll_lines(h, 1); break;
        case SB_PAGEUP: scroll_lines(h, -page); break;
        case SB_PAGEDOWN: scroll_lines(h, page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: scroll_lines(h, int(HIWORD(wp)) - get_state(h).first_line); break;
        case SB_TOP: scroll_lines(h, -0x7FFFFFF); break;
        case SB_BOTTOM: scroll_lines(h, 0x7FFFFFF); break;
        default: break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        scroll_lines(h, -int(short(HIWORD(wp))) / WHEEL_DELTA * kWheelLines);
        return 0;
    case WM_LBUTTONDOWN:
        on_button_down(h, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_MOUSEMOVE:
        on_mouse_move(h, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_LBUTTONUP: {
        ControlState cs = get_state(h);
        cs.dragging = false;
        cs.thumb_drag = false;
        put_state(h, cs);
        if (GetCapture() == h) ReleaseCapture();
        return 0;
    }
    case WM_CHAR:
        on_char(h, static_cast<unsigned char>(wp));
        return 0;
    case WM_TIMER:
        if (wp == kBlinkTimer) on_blink(h);
        return 0;
    case WM_COPY: {
        copy_selection(h, get_state(h));
        return 0;
    }
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO: {
        ControlState cs = get_state(h);
        bool done = true;
        if (m == WM_CUT) cut(h, cs);
        else if (m == WM_PASTE) paste(h, cs);
        else if (m == WM_CLEAR) replace_selection(h, cs, "", kUndoOther);
        else done = undo(h, cs);
        commit(h, cs);
        return m == WM_UNDO || m == EM_UNDO ? LRESULT(done) : 0;
    }
    case EM_CANUNDO:
        return get_state(h).can_undo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER: {
        ControlState cs = get_state(h);
        cs.can_undo = false;
        cs.undo_kind = kUndoNone;
        cs.undo_text.clear();
        put_state(h, cs);
        return 0;
    }
    case WM_KEYDOWN:
        on_key(h, wp);
        return 0;
    default:
        return DefWindowProcA(h, m, wp, lp);
    }
}

}  // namespace plat::user
