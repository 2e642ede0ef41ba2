// keymap.cpp — SDL key numbering -> Windows virtual keys and set-1 scan codes.
#include "user/input/keymap.h"

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include "windows.h"

namespace plat::input {
namespace {

struct PosEntry {
    uint8_t vk;     // US-layout virtual key of the position
    uint8_t scan;   // set-1 make code
    bool extended;
};

// Position table indexed by SDL_Scancode (USB HID usage IDs, 0..231).
struct PosTable {
    PosEntry e[SDL_SCANCODE_RGUI + 1] = {};

    constexpr void set(int sc, uint8_t vk, uint8_t scan, bool ext = false) { e[sc] = PosEntry{vk, scan, ext}; }

    constexpr PosTable() {
        // Letters: scan codes follow the QWERTY rows.
        constexpr uint8_t letter_scan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                             0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                             0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
        for (int i = 0; i < 26; ++i) set(SDL_SCANCODE_A + i, uint8_t('A' + i), letter_scan[i]);
        // Digit row: SDL orders 1..9, 0; scan codes 0x02..0x0B in the same order.
        for (int i = 0; i < 9; ++i) set(SDL_SCANCODE_1 + i, uint8_t('1' + i), uint8_t(0x02 + i));
        set(SDL_SCANCODE_0, '0', 0x0B);

        set(SDL_SCANCODE_RETURN, VK_RETURN, 0x1C);
        set(SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01);
        set(SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E);
        set(SDL_SCANCODE_TAB, VK_TAB, 0x0F);
        set(SDL_SCANCODE_SPACE, VK_SPACE, 0x39);
        set(SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C);
        set(SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D);
        set(SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A);
        set(SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B);
        set(SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B);
        set(SDL_SCANCODE_NONUSHASH, VK_OEM_5, 0x2B);
        set(SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27);
        set(SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28);
        set(SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29);
        set(SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33);
        set(SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34);
        set(SDL_SCANCODE_SLASH, VK_OEM_2, 0x35);
        set(SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0x56);
        set(SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A);

        for (int i = 0; i < 10; ++i) set(SDL_SCANCODE_F1 + i, uint8_t(VK_F1 + i), uint8_t(0x3B + i));
        set(SDL_SCANCODE_F11, VK_F11, 0x57);
        set(SDL_SCANCODE_F12, VK_F12, 0x58);
        for (int i = 0; i < 11; ++i) set(SDL_SCANCODE_F13 + i, uint8_t(VK_F13 + i), uint8_t(0x64 + i));  // F13..F23
        set(SDL_SCANCODE_F24, VK_F24, 0x76);

        set(SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0x37, true);
        set(SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46);
        set(SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45);  // E1 1D 45: reported as 0x45, not extended
        set(SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true);
        set(SDL_SCANCODE_HOME, VK_HOME, 0x47, true);
        set(SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true);
        set(SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true);
        set(SDL_SCANCODE_END, VK_END, 0x4F, true);
        set(SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true);
        set(SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true);
        set(SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true);
        set(SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true);
        set(SDL_SCANCODE_UP, VK_UP, 0x48, true);

        set(SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true);
        set(SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true);
        set(SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37);
        set(SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A);
        set(SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E);
        set(SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true);
        constexpr uint8_t kp_scan[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};  // KP 0..9
        set(SDL_SCANCODE_KP_0, VK_NUMPAD0, kp_scan[0]);
        for (int i = 1; i <= 9; ++i) set(SDL_SCANCODE_KP_1 + i - 1, uint8_t(VK_NUMPAD0 + i), kp_scan[i]);
        set(SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 0x53);
        set(SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D, true);

        set(SDL_SCANCODE_LCTRL, VK_LCONTROL, 0x1D);
        set(SDL_SCANCODE_LSHIFT, VK_LSHIFT, 0x2A);
        set(SDL_SCANCODE_LALT, VK_LMENU, 0x38);
        set(SDL_SCANCODE_LGUI, VK_LWIN, 0x5B, true);
        set(SDL_SCANCODE_RCTRL, VK_RCONTROL, 0x1D, true);
        set(SDL_SCANCODE_RSHIFT, VK_RSHIFT, 0x36);
        set(SDL_SCANCODE_RALT, VK_RMENU, 0x38, true);
        set(SDL_SCANCODE_RGUI, VK_RWIN, 0x5C, true);
    }
};

constexpr PosTable kPos;

// Virtual key of a layout character (the keycode of a printable key).
uint8_t vk_from_char(int32_t keycode) {
    if (keycode >= 'a' && keycode <= 'z') return uint8_t(keycode - 'a' + 'A');
    if (keycode >= '0' && keycode <= '9') return uint8_t(keycode);
    switch (keycode) {
        case ';': return VK_OEM_1;
        case '=': return VK_OEM_PLUS;
        case ',': return VK_OEM_COMMA;
        case '-': return VK_OEM_MINUS;
        case '.': return VK_OEM_PERIOD;
        case '/': return VK_OEM_2;
        case '`': return VK_OEM_3;
        case '[': return VK_OEM_4;
        case '\\': return VK_OEM_5;
        case ']': return VK_OEM_6;
        case '\'': return VK_OEM_7;
        default: return 0;
    }
}

bool is_layout_key(int32_t scancode) {
    // Keys whose meaning depends on the layout: letters, the digit row and
    // the punctuation keys. Everything else keeps its positional meaning.
    return (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_0) ||
           (scancode >= SDL_SCANCODE_MINUS && scancode <= SDL_SCANCODE_SLASH) ||
           scancode == SDL_SCANCODE_NONUSBACKSLASH;
}

}  // namespace

KeyInfo map_sdl_key(int32_t scancode, int32_t keycode, uint16_t mods) {
    KeyInfo k;
    if (scancode < 0 || scancode > SDL_SCANCODE_RGUI) return k;
    const PosEntry& p = kPos.e[scancode];
    if (p.vk == 0) return k;
    k.scan = p.scan;
    k.extended = p.extended;
    k.vk = p.vk;
    if (is_layout_key(scancode)) {
        if (uint8_t v = vk_from_char(keycode)) k.vk = v;  // unknown characters keep the US key
    }
    k.sided_vk = k.vk;
    switch (k.vk) {
        case VK_LSHIFT: case VK_RSHIFT: k.vk = VK_SHIFT; break;
        case VK_LCONTROL: case VK_RCONTROL: k.vk = VK_CONTROL; break;
        case VK_LMENU: case VK_RMENU: k.vk = VK_MENU; break;
        default: break;
    }
    if (k.vk == VK_PAUSE && (mods & KMOD_CTRL)) {
        // Ctrl+Pause is the Break key: VK_CANCEL with the E0 46 scan code.
        k.vk = k.sided_vk = VK_CANCEL;
        k.scan = 0x46;
        k.extended = true;
    }
    return k;
}

char vk_to_ascii(uint8_t vk, bool shift, bool caps) {
    if (vk >= 'A' && vk <= 'Z') return (shift != caps) ? char(vk) : char(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : char(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return char('0' + vk - VK_NUMPAD0);
    switch (vk) {
        case VK_SPACE: return ' ';
        case VK_OEM_1: return shift ? ':' : ';';
        case VK_OEM_PLUS: return shift ? '+' : '=';
        case VK_OEM_COMMA: return shift ? '<' : ',';
        case VK_OEM_MINUS: return shift ? '_' : '-';
        case VK_OEM_PERIOD: return shift ? '>' : '.';
        case VK_OEM_2: return shift ? '?' : '/';
        case VK_OEM_3: return shift ? '~' : '`';
        case VK_OEM_4: return shift ? '{' : '[';
        case VK_OEM_5: return shift ? '|' : '\\';
        case VK_OEM_6: return shift ? '}' : ']';
        case VK_OEM_7: return shift ? '"' : '\'';
        case VK_MULTIPLY: return '*';
        case VK_ADD: return '+';
        case VK_SUBTRACT: return '-';
        case VK_DECIMAL: return '.';
        case VK_DIVIDE: return '/';
        default: return 0;
    }
}

}  // namespace plat::input
