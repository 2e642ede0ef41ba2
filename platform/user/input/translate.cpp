// translate.cpp — backend events -> Win32 messages, and TranslateMessage.
//
// Keys become WM_KEYDOWN/WM_KEYUP (WM_SYSKEYDOWN/WM_SYSKEYUP while Alt is
// held without Ctrl, and for F10), with Windows' lParam layout: repeat count
// 1, set-1 scan code in bits 16-23, extended flag in bit 24, Alt context in
// bit 29, previous key state in bit 30 and transition in bit 31.
//
// Characters come from two sources that never overlap:
//  - printable text comes only from the backend's text input (one input-method
//    commit may hold many characters); it is converted to code page 936 and
//    posted as one WM_CHAR per byte, lead byte first, right after the key-down
//    that produced it;
//  - control characters (Enter, Backspace, Tab, Esc, Ctrl+letter) and the
//    menu characters of Alt+key (WM_SYSCHAR) come only from TranslateMessage.
// Mouse events become WM_MOUSEMOVE / WM_xBUTTONDOWN/UP/DBLCLK / WM_MOUSEWHEEL,
// window events WM_CLOSE, WM_MOVE, WM_SIZE, WM_ACTIVATE, WM_SETFOCUS and
// WM_KILLFOCUS. Everything is posted to the window's queue.
#include <SDL_keycode.h>

#include <deque>
#include <mutex>

#include "codepage.h"
#include "input_translation.h"
#include "user/input/key_state.h"
#include "user/input/keymap.h"
#include "user/user_internal.h"
#include "windows.h"

namespace plat::input {
namespace {

// Modifier state at the moment a key-down was posted, so that TranslateMessage
// makes the character the user typed even if it runs after later key events
// (the key-up of Ctrl, say) have already been translated.
struct PendingKey {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool shift, ctrl, alt, caps;
};

struct InputState {
    std::mutex mu;
    bool alt_alone = false;         // Alt went down and no other key has since
    bool have_key_lparam = false;   // a key-down is waiting for its text
    LPARAM key_lparam = 0;          // lParam of that key-down (for its WM_CHARs)
    std::deque<PendingKey> pending; // key-downs not yet seen by TranslateMessage
};

// Never destroyed: the backend's thread may still translate an event while
// the process exits.
InputState& state() {
    static InputState* s = new InputState;
    return *s;
}

constexpr size_t kMaxPending = 64;

bool shift_held(uint16_t mods) { return key_is_down(VK_SHIFT) || (mods & KMOD_SHIFT); }
bool ctrl_held(uint16_t mods) { return key_is_down(VK_CONTROL) || (mods & KMOD_CTRL); }
bool alt_held(uint16_t mods) { return key_is_down(VK_MENU) || (mods & KMOD_ALT); }
bool caps_on(uint16_t mods) { return key_is_toggled(VK_CAPITAL) || (mods & KMOD_CAPS); }

LPARAM key_lparam(const KeyInfo& k, bool alt_context, bool previous, bool up) {
    DWORD lp = 1u | (DWORD(k.scan) << 16);
    if (k.extended) lp |= 1u << 24;
    if (alt_context) lp |= 1u << 29;
    if (previous) lp |= 1u << 30;
    if (up) lp |= 1u << 31;
    return LPARAM(lp);
}

WPARAM mouse_flags(uint16_t mods, uint32_t extra_buttons) {
    WPARAM w = 0;
    if (key_is_down(VK_LBUTTON) || (extra_buttons & 1)) w |= MK_LBUTTON;
    if (key_is_down(VK_MBUTTON) || (extra_buttons & 2)) w |= MK_MBUTTON;
    if (key_is_down(VK_RBUTTON) || (extra_buttons & 4)) w |= MK_RBUTTON;
    if (shift_held(mods)) w |= MK_SHIFT;
    if (ctrl_held(mods)) w |= MK_CONTROL;
    return w;
}

LPARAM point_lparam(int x, int y) { return MAKELPARAM(uint16_t(int16_t(x)), uint16_t(int16_t(y))); }

void key_down(HWND hwnd, const BackendEvent& ev) {
    InputState& s = state();
    KeyInfo k = map_sdl_key(ev.scancode, ev.keycode, ev.mods);
    if (k.vk == 0) return;
    bool previous = keys_press(k);
    bool ctrl = ctrl_held(ev.mods);
    bool alt = alt_held(ev.mods);
    if (k.vk == VK_MENU) {
        if (!previous) s.alt_alone = true;
    } else if (alt) {
        s.alt_alone = false;
    }
    bool sys = !ctrl && (alt || k.vk == VK_F10);
    UINT msg = sys ? WM_SYSKEYDOWN : WM_KEYDOWN;
    LPARAM lp = key_lparam(k, sys && alt, previous, false);
    s.have_key_lparam = true;
    s.key_lparam = lp;
    s.pending.push_back(PendingKey{hwnd, msg, k.vk, lp, shift_held(ev.mods), ctrl, alt, caps_on(ev.mods)});
    if (s.pending.size() > kMaxPending) s.pending.pop_front();
    PostMessageA(hwnd, msg, k.vk, lp);
}

void key_up(HWND hwnd, const BackendEvent& ev) {
    InputState& s = state();
    KeyInfo k = map_sdl_key(ev.scancode, ev.keycode, ev.mods);
    if (k.vk == 0) return;
    keys_release(k);
    s.have_key_lparam = false;
    bool ctrl = ctrl_held(ev.mods);
    bool sys;
    bool alt;
    if (k.vk == VK_MENU) {
        // Alt pressed and released alone is a menu key (WM_SYSKEYUP); after
        // an Alt+key combination its release is an ordinary WM_KEYUP.
        alt = key_is_down(VK_MENU);
        sys = s.alt_alone && !ctrl;
        s.alt_alone = false;
    } else {
        alt = alt_held(ev.mods);
        sys = !ctrl && (alt || k.vk == VK_F10);
    }
    UINT msg = sys ? WM_SYSKEYUP : WM_KEYUP;
    PostMessageA(hwnd, msg, k.vk, key_lparam(k, sys && alt, true, true));
}

void text(HWND hwnd, const BackendEvent& ev) {
    InputState& s = state();
    // Alt+key types no text on Windows: it makes a menu character
    // (WM_SYSCHAR) through TranslateMessage instead.
    if (alt_held(ev.mods) && !ctrl_held(ev.mods)) return;
    std::string bytes = codepage::utf8_to_936(ev.text);
    LPARAM lp = s.have_key_lparam ? s.key_lparam : LPARAM(1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (codepage::is_lead_byte(b) && i + 1 < bytes.size()) {
            PostMessageA(hwnd, WM_CHAR, b, lp);
            PostMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(bytes[i + 1]), lp);
            ++i;
            continue;
        }
        // Control characters only ever come from TranslateMessage.
        if (b < 0x20 || b == 0x7F) continue;
        PostMessageA(hwnd, WM_CHAR, b, lp);
    }
}

void mouse_button(HWND hwnd, const BackendEvent& ev, bool down) {
    uint8_t vk;
    UINT base;  // the button's DOWN message; UP is +1, DBLCLK +2
    switch (ev.button) {
        case 1: vk = VK_LBUTTON; base = WM_LBUTTONDOWN; break;
        case 2: vk = VK_MBUTTON; base = WM_MBUTTONDOWN; break;
        case 3: vk = VK_RBUTTON; base = WM_RBUTTONDOWN; break;
        default: return;
    }
    keys_set_button(vk, down);
    UINT msg = down ? base : base + 1;
    // Every second click of a run is a double click, delivered as such only
    // to windows whose class asks for it.
    if (down && ev.clicks >= 2 && ev.clicks % 2 == 0 && (window_class_style(hwnd) & CS_DBLCLKS)) msg = base + 2;
    PostMessageA(hwnd, msg, mouse_flags(ev.mods, 0), point_lparam(ev.x, ev.y));
}

void focus(HWND hwnd, bool gained) {
    InputState& s = state();
    if (gained) {
        PostMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
        PostMessageA(hwnd, WM_SETFOCUS, 0, 0);
        return;
    }
    // Keys released elsewhere never reach us: forget them all, silently.
    keys_release_all();
    s.alt_alone = false;
    s.have_key_lparam = false;
    PostMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    PostMessageA(hwnd, WM_KILLFOCUS, 0, 0);
}

}  // namespace

void translate_event(HWND hwnd, const BackendEvent& ev) {
    if (!hwnd) return;
    std::lock_guard<std::mutex> lock(state().mu);
    switch (ev.kind) {
        case BackendEventKind::KeyDown: key_down(hwnd, ev); break;
        case BackendEventKind::KeyUp: key_up(hwnd, ev); break;
        case BackendEventKind::Text: text(hwnd, ev); break;
        case BackendEventKind::MouseMove:
            PostMessageA(hwnd, WM_MOUSEMOVE, mouse_flags(ev.mods, ev.buttons), point_lparam(ev.x, ev.y));
            break;
        case BackendEventKind::MouseDown: mouse_button(hwnd, ev, true); break;
        case BackendEventKind::MouseUp: mouse_button(hwnd, ev, false); break;
        case BackendEventKind::MouseWheel: {
            if (ev.wheel == 0) break;
            POINT pt{ev.x, ev.y};
            ClientToScreen(hwnd, &pt);
            int delta = ev.wheel * WHEEL_DELTA;
            if (delta > 32767) delta = 32767;
            if (delta < -32768) delta = -32768;
            WPARAM w = MAKEWPARAM(mouse_flags(ev.mods, 0), uint16_t(int16_t(delta)));
            PostMessageA(hwnd, WM_MOUSEWHEEL, w, point_lparam(pt.x, pt.y));
            break;
        }
        case BackendEventKind::CloseRequest: PostMessageA(hwnd, WM_CLOSE, 0, 0); break;
        case BackendEventKind::Moved: PostMessageA(hwnd, WM_MOVE, 0, point_lparam(ev.x, ev.y)); break;
        case BackendEventKind::Resized:
            PostMessageA(hwnd, WM_SIZE, SIZE_RESTORED,
                         MAKELPARAM(uint16_t(ev.width), uint16_t(ev.height)));
            break;
        case BackendEventKind::FocusGained: focus(hwnd, true); break;
        case BackendEventKind::FocusLost: focus(hwnd, false); break;
    }
}

}  // namespace plat::input

namespace {

// Posts a character made by TranslateMessage ahead of the keyboard and mouse
// messages still queued for the thread. On Windows such characters are posted
// messages, which are retrieved before pending input: a program sees
// WM_KEYDOWN, WM_CHAR, WM_KEYUP even when the key was already released.
void post_translated_char(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    using namespace plat::user;
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hwnd);
    if (!w || !w->queue->alive) return;
    ThreadQueue& q = *w->queue;
    MSG m{};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    m.time = GetTickCount();
    auto it = q.posted.begin();
    for (; it != q.posted.end(); ++it) {
        UINT k = it->message;
        if ((k >= WM_KEYFIRST && k <= WM_KEYLAST) || (k >= WM_MOUSEFIRST && k <= WM_MOUSELAST)) break;
    }
    q.posted.insert(it, m);
    wake(q);
}

// Control character of a key-down, or 0.
int control_char(uint8_t vk, bool shift, bool ctrl) {
    switch (vk) {
        case VK_RETURN: return ctrl ? 0x0A : 0x0D;
        case VK_BACK: return ctrl ? 0x7F : 0x08;
        case VK_TAB: return ctrl ? 0 : 0x09;
        case VK_ESCAPE: return 0x1B;
        case VK_CANCEL: return 0x03;
        default: break;
    }
    if (!ctrl) return 0;
    if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 1;
    switch (vk) {
        case VK_OEM_4: return 0x1B;               // Ctrl+[
        case VK_OEM_5: return 0x1C;               // Ctrl+backslash
        case VK_OEM_6: return 0x1D;               // Ctrl+]
        case '6': return shift ? 0x1E : 0;        // Ctrl+^
        case VK_OEM_MINUS: return shift ? 0x1F : 0;  // Ctrl+_
        default: return 0;
    }
}

}  // namespace

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    using namespace plat::input;
    if (!lpMsg) return FALSE;
    UINT m = lpMsg->message;
    if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN) return FALSE;

    uint8_t vk = uint8_t(lpMsg->wParam);
    bool from_input = false;
    bool shift = false, ctrl = false, alt = false, caps = false;
    {
        InputState& s = state();
        std::lock_guard<std::mutex> lock(s.mu);
        for (size_t i = 0; i < s.pending.size(); ++i) {
            const PendingKey& p = s.pending[i];
            if (p.hwnd == lpMsg->hwnd && p.message == m && p.wparam == lpMsg->wParam && p.lparam == lpMsg->lParam) {
                shift = p.shift;
                ctrl = p.ctrl;
                alt = p.alt;
                caps = p.caps;
                from_input = true;
                // Older entries belong to key-downs that were never translated.
                s.pending.erase(s.pending.begin(), s.pending.begin() + long(i) + 1);
                break;
            }
        }
    }
    if (!from_input) {
        // A key message the program made itself: use the current key state.
        shift = GetKeyState(VK_SHIFT) < 0;
        ctrl = GetKeyState(VK_CONTROL) < 0;
        alt = (lpMsg->lParam & (LPARAM(1) << 29)) != 0;
        caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    }

    if (m == WM_SYSKEYDOWN) {
        if (!alt) return TRUE;  // F10 alone makes no character
        int c = control_char(vk, shift, false);
        if (c == 0) c = static_cast<unsigned char>(vk_to_ascii(vk, shift, caps));
        if (c != 0) post_translated_char(lpMsg->hwnd, WM_SYSCHAR, WPARAM(c), lpMsg->lParam);
        return TRUE;
    }
    int c = control_char(vk, shift, ctrl);
    // Printable characters of real key presses arrive as text input; only a
    // key-down the program posted itself gets its character here.
    if (c == 0 && !from_input && !ctrl) c = static_cast<unsigned char>(vk_to_ascii(vk, shift, caps));
    if (c != 0) post_translated_char(lpMsg->hwnd, WM_CHAR, WPARAM(c), lpMsg->lParam);
    return TRUE;
}

