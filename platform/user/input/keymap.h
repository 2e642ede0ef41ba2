// keymap.h — SDL key numbering -> Windows virtual-key codes and PC scan codes.
//
// The virtual-key code of letters, digits and punctuation follows the key's
// meaning in the active layout (the SDL keycode), as Windows does; the scan
// code follows the key's position (the SDL scancode) and is the PC/AT "set 1"
// make code, with the E0-prefixed keys reported as extended.
#pragma once

#include <cstdint>

namespace plat::input {

struct KeyInfo {
    uint8_t vk = 0;         // virtual-key code as Windows puts it in wParam (VK_SHIFT, not VK_LSHIFT)
    uint8_t sided_vk = 0;   // VK_LSHIFT/VK_RSHIFT/... for modifiers, else equal to vk
    uint8_t scan = 0;       // set-1 make code (without the E0 prefix)
    bool extended = false;  // E0-prefixed key (right Ctrl/Alt, arrows, keypad Enter, ...)
};

// Maps one SDL key (SDL_Scancode, SDL_Keycode, SDL_Keymod values). vk is 0
// for keys that have no Windows equivalent; such keys produce no message.
// With Ctrl held, Pause becomes VK_CANCEL (Ctrl+Break) as on a PC keyboard.
KeyInfo map_sdl_key(int32_t scancode, int32_t keycode, uint16_t mods);

// The character a US keyboard gives for a virtual key (letters lower case
// unless shifted or caps-locked), or 0 if the key types none. Used for the
// menu characters (WM_SYSCHAR) of Alt+key combinations.
char vk_to_ascii(uint8_t vk, bool shift, bool caps);

}  // namespace plat::input
