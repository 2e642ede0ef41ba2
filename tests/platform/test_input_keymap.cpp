// SDL key numbering -> virtual keys and scan codes, and the key state table
// behind GetKeyState / GetAsyncKeyState.
#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <thread>

#include "user/input/key_state.h"
#include "user/input/keymap.h"

namespace {

using plat::input::KeyInfo;
using plat::input::map_sdl_key;

struct KeyCase {
    const char* name;
    int32_t scancode;
    int32_t keycode;
    int vk;
    int scan;
    bool extended;
};

TEST(InputKeymap, UsKeyboardTable) {
    const KeyCase cases[] = {
        {"a", SDL_SCANCODE_A, SDLK_a, 'A', 0x1E, false},
        {"m", SDL_SCANCODE_M, SDLK_m, 'M', 0x32, false},
        {"z", SDL_SCANCODE_Z, SDLK_z, 'Z', 0x2C, false},
        {"1", SDL_SCANCODE_1, SDLK_1, '1', 0x02, false},
        {"9", SDL_SCANCODE_9, SDLK_9, '9', 0x0A, false},
        {"0", SDL_SCANCODE_0, SDLK_0, '0', 0x0B, false},
        {"minus", SDL_SCANCODE_MINUS, SDLK_MINUS, VK_OEM_MINUS, 0x0C, false},
        {"equals", SDL_SCANCODE_EQUALS, SDLK_EQUALS, VK_OEM_PLUS, 0x0D, false},
        {"semicolon", SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, VK_OEM_1, 0x27, false},
        {"slash", SDL_SCANCODE_SLASH, SDLK_SLASH, VK_OEM_2, 0x35, false},
        {"grave", SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, VK_OEM_3, 0x29, false},
        {"backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, VK_BACK, 0x0E, false},
        {"enter", SDL_SCANCODE_RETURN, SDLK_RETURN, VK_RETURN, 0x1C, false},
        {"keypad enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, VK_RETURN, 0x1C, true},
        {"escape", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, VK_ESCAPE, 0x01, false},
        {"tab", SDL_SCANCODE_TAB, SDLK_TAB, VK_TAB, 0x0F, false},
        {"space", SDL_SCANCODE_SPACE, SDLK_SPACE, VK_SPACE, 0x39, false},
        {"up", SDL_SCANCODE_UP, SDLK_UP, VK_UP, 0x48, true},
        {"down", SDL_SCANCODE_DOWN, SDLK_DOWN, VK_DOWN, 0x50, true},
        {"left", SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT, 0x4B, true},
        {"right", SDL_SCANCODE_RIGHT, SDLK_RIGHT, VK_RIGHT, 0x4D, true},
        {"home", SDL_SCANCODE_HOME, SDLK_HOME, VK_HOME, 0x47, true},
        {"end", SDL_SCANCODE_END, SDLK_END, VK_END, 0x4F, true},
        {"page up", SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, VK_PRIOR, 0x49, true},
        {"page down", SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, VK_NEXT, 0x51, true},
        {"insert", SDL_SCANCODE_INSERT, SDLK_INSERT, VK_INSERT, 0x52, true},
        {"delete", SDL_SCANCODE_DELETE, SDLK_DELETE, VK_DELETE, 0x53, true},
        {"keypad 0", SDL_SCANCODE_KP_0, SDLK_KP_0, 0x60, 0x52, false},
        {"keypad 1", SDL_SCANCODE_KP_1, SDLK_KP_1, 0x61, 0x4F, false},
        {"keypad 5", SDL_SCANCODE_KP_5, SDLK_KP_5, 0x65, 0x4C, false},
        {"keypad 9", SDL_SCANCODE_KP_9, SDLK_KP_9, 0x69, 0x49, false},
        {"keypad divide", SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, VK_DIVIDE, 0x35, true},
        {"keypad minus", SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, VK_SUBTRACT, 0x4A, false},
        {"keypad period", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, VK_DECIMAL, 0x53, false},
        {"left shift", SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, VK_SHIFT, 0x2A, false},
        {"right shift", SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, VK_SHIFT, 0x36, false},
        {"left ctrl", SDL_SCANCODE_LCTRL, SDLK_LCTRL, VK_CONTROL, 0x1D, false},
        {"right ctrl", SDL_SCANCODE_RCTRL, SDLK_RCTRL, VK_CONTROL, 0x1D, true},
        {"left alt", SDL_SCANCODE_LALT, SDLK_LALT, VK_MENU, 0x38, false},
        {"right alt", SDL_SCANCODE_RALT, SDLK_RALT, VK_MENU, 0x38, true},
        {"left windows", SDL_SCANCODE_LGUI, SDLK_LGUI, VK_LWIN, 0x5B, true},
        {"apps", SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, VK_APPS, 0x5D, true},
        {"caps lock", SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, VK_CAPITAL, 0x3A, false},
        {"num lock", SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true},
        {"scroll lock", SDL_SCANCODE_SCROLLLOCK, SDLK_SCROLLLOCK, VK_SCROLL, 0x46, false},
        {"pause", SDL_SCANCODE_PAUSE, SDLK_PAUSE, VK_PAUSE, 0x45, false},
        {"print screen", SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, VK_SNAPSHOT, 0x37, true},
        {"F1", SDL_SCANCODE_F1, SDLK_F1, VK_F1, 0x3B, false},
        {"F10", SDL_SCANCODE_F10, SDLK_F10, VK_F10, 0x44, false},
        {"F11", SDL_SCANCODE_F11, SDLK_F11, VK_F11, 0x57, false},
        {"F12", SDL_SCANCODE_F12, SDLK_F12, VK_F12, 0x58, false},
        {"F13", SDL_SCANCODE_F13, SDLK_F13, VK_F13, 0x64, false},
        {"F24", SDL_SCANCODE_F24, SDLK_F24, VK_F24, 0x76, false},
    };
    for (const KeyCase& c : cases) {
        KeyInfo k = map_sdl_key(c.scancode, c.keycode, 0);
        EXPECT_EQ(k.vk, c.vk) << c.name;
        EXPECT_EQ(k.scan, c.scan) << c.name;
        EXPECT_EQ(k.extended, c.extended) << c.name;
    }
}

TEST(InputKeymap, SidedModifiersKeepTheirSide) {
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0).sided_vk, VK_LSHIFT);
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 0).sided_vk, VK_RSHIFT);
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0).sided_vk, VK_RCONTROL);
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_LALT, SDLK_LALT, 0).sided_vk, VK_LMENU);
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_A, SDLK_a, 0).sided_vk, 'A');
}

TEST(InputKeymap, LetterMeaningFollowsLayoutScanCodeFollowsPosition) {
    // An AZERTY keyboard: the key in the QWERTY "Q" position types 'a'.
    KeyInfo k = map_sdl_key(SDL_SCANCODE_Q, SDLK_a, 0);
    EXPECT_EQ(k.vk, 'A');
    EXPECT_EQ(k.scan, 0x10);
    // Its digit row types symbols unshifted: a character without a virtual
    // key of its own keeps the position's key.
    KeyInfo d = map_sdl_key(SDL_SCANCODE_1, '&', 0);
    EXPECT_EQ(d.vk, '1');
    EXPECT_EQ(d.scan, 0x02);
    // Non-layout keys ignore the keycode.
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_F5, SDLK_a, 0).vk, VK_F5);
}

TEST(InputKeymap, CtrlPauseIsBreak) {
    KeyInfo k = map_sdl_key(SDL_SCANCODE_PAUSE, SDLK_PAUSE, KMOD_LCTRL);
    EXPECT_EQ(k.vk, VK_CANCEL);
    EXPECT_EQ(k.scan, 0x46);
    EXPECT_TRUE(k.extended);
}

TEST(InputKeymap, UnknownKeysMapToNothing) {
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, 0).vk, 0);
    EXPECT_EQ(map_sdl_key(SDL_SCANCODE_AUDIONEXT, SDLK_AUDIONEXT, 0).vk, 0);
    EXPECT_EQ(map_sdl_key(-1, 0, 0).vk, 0);
    EXPECT_EQ(map_sdl_key(100000, 0, 0).vk, 0);
}

TEST(InputKeymap, MenuCharactersOfAUsKeyboard) {
    using plat::input::vk_to_ascii;
    EXPECT_EQ(vk_to_ascii('X', false, false), 'x');
    EXPECT_EQ(vk_to_ascii('X', true, false), 'X');
    EXPECT_EQ(vk_to_ascii('X', false, true), 'X');
    EXPECT_EQ(vk_to_ascii('X', true, true), 'x');
    EXPECT_EQ(vk_to_ascii('2', true, false), '@');
    EXPECT_EQ(vk_to_ascii('0', true, false), ')');
    EXPECT_EQ(vk_to_ascii(VK_OEM_MINUS, true, false), '_');
    EXPECT_EQ(vk_to_ascii(VK_NUMPAD7, false, false), '7');
    EXPECT_EQ(vk_to_ascii(VK_F1, false, false), 0);
    EXPECT_EQ(vk_to_ascii(VK_RETURN, false, false), 0);
}

KeyInfo key(int32_t sc, int32_t kc) { return map_sdl_key(sc, kc, 0); }

TEST(InputKeyState, GenericModifierIsDownWhileEitherSideIs) {
    using namespace plat::input;
    KeyInfo left = key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT);
    KeyInfo right = key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT);
    EXPECT_FALSE(keys_press(left));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
    EXPECT_GE(GetKeyState(VK_RSHIFT), 0);
    EXPECT_FALSE(keys_press(right));
    EXPECT_TRUE(keys_release(left));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0) << "right shift still held";
    EXPECT_GE(GetKeyState(VK_LSHIFT), 0);
    EXPECT_TRUE(keys_release(right));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST(InputKeyState, RepeatedPressReportsPreviousStateAndKeepsToggle) {
    using namespace plat::input;
    KeyInfo caps = key(SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK);
    EXPECT_FALSE(keys_press(caps));
    EXPECT_TRUE(keys_press(caps)) << "auto-repeat: already down";
    EXPECT_TRUE(keys_press(caps));
    keys_release(caps);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1) << "one press toggles once, whatever the repeats";
    keys_press(caps);
    keys_release(caps);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
    EXPECT_FALSE(keys_release(caps)) << "a lost key-down: releasing an up key is harmless";
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
}

TEST(InputKeyState, ReleaseAllForgetsKeysButKeepsToggles) {
    using namespace plat::input;
    KeyInfo a = key(SDL_SCANCODE_A, SDLK_a);
    KeyInfo num = key(SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR);
    keys_press(num);
    keys_press(a);
    keys_press(key(SDL_SCANCODE_RCTRL, SDLK_RCTRL));
    keys_set_button(VK_LBUTTON, true);
    keys_release_all();
    EXPECT_GE(GetKeyState('A'), 0);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_RCONTROL), 0);
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(GetKeyState(VK_NUMLOCK) & 1, 1);
    EXPECT_FALSE(keys_press(a)) << "after focus loss the next press is a fresh one";
}

TEST(InputKeyState, AsyncStateReportsPressSinceLastQuery) {
    using namespace plat::input;
    KeyInfo b = key(SDL_SCANCODE_B, SDLK_b);
    keys_press(b);
    keys_release(b);
    EXPECT_EQ(GetAsyncKeyState('B'), 1) << "up now, pressed since the last call";
    EXPECT_EQ(GetAsyncKeyState('B'), 0);
    keys_press(b);
    EXPECT_EQ(uint16_t(GetAsyncKeyState('B')), 0x8001);
    EXPECT_EQ(uint16_t(GetAsyncKeyState('B')), 0x8000);
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetAsyncKeyState(256), 0);
}

// GetAsyncKeyState's low bit: set by a press, reported once by the next call
// for that key, not set again by auto-repeat; the sides of a modifier mark
// the generic key once while either is held. Mouse buttons alike.
TEST(InputKeyState, AsyncLowBitOncePerPress) {
    using namespace plat::input;
    keys_release_all();
    for (int vk : {int('Q'), VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_LBUTTON}) GetAsyncKeyState(vk);  // clear old marks
    KeyInfo q = key(SDL_SCANCODE_Q, SDLK_q);
    KeyInfo ls = key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), rs = key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT);
    struct Step {
        const char* what;
        std::function<void()> act;
        int vk;
        uint16_t want;
    } steps[] = {
        {"press", [&] { keys_press(q); }, 'Q', 0x8001},
        {"held, asked again", [] {}, 'Q', 0x8000},
        {"auto-repeat", [&] { keys_press(q); keys_press(q); }, 'Q', 0x8000},
        {"released", [&] { keys_release(q); }, 'Q', 0x0000},
        {"pressed and released between calls", [&] { keys_press(q); keys_release(q); }, 'Q', 0x0001},
        {"two presses between calls: one mark", [&] { keys_press(q); keys_release(q); keys_press(q); keys_release(q); },
         'Q', 0x0001},
        {"left shift", [&] { keys_press(ls); }, VK_SHIFT, 0x8001},
        {"right shift while left is held", [&] { keys_press(rs); }, VK_SHIFT, 0x8000},
        {"the right side itself", [] {}, VK_RSHIFT, 0x8001},
        {"left released, right still held", [&] { keys_release(ls); }, VK_SHIFT, 0x8000},
        {"both released", [&] { keys_release(rs); }, VK_SHIFT, 0x0000},
        {"left mouse button", [] { keys_set_button(VK_LBUTTON, true); }, VK_LBUTTON, 0x8001},
        {"button held", [] { keys_set_button(VK_LBUTTON, true); }, VK_LBUTTON, 0x8000},
        {"button up", [] { keys_set_button(VK_LBUTTON, false); }, VK_LBUTTON, 0x0000},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(uint16_t(GetAsyncKeyState(s.vk)), s.want) << s.what;
    }
}

// GetKeyboardState gives for every key the bits GetKeyState gives (0x80
// down, 0x01 toggled) and nothing else, on a thread that reads the shared
// table and on one that has retrieved key messages.
TEST(InputKeyState, KeyboardStateMatchesGetKeyState) {
    using namespace plat::input;
    keys_release_all();
    keys_press(key(SDL_SCANCODE_W, SDLK_w));                   // down, not yet asked by GetAsyncKeyState
    keys_press(key(SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK));     // toggled on
    keys_release(key(SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK));
    keys_press(key(SDL_SCANCODE_RCTRL, SDLK_RCTRL));
    EXPECT_FALSE(GetKeyboardState(nullptr));
    auto check = [](const char* where) {
        BYTE state[256];
        std::memset(state, 0xCC, sizeof state);
        ASSERT_TRUE(GetKeyboardState(state));
        for (int vk = 0; vk < 256; ++vk) {
            SHORT ks = GetKeyState(vk);
            BYTE want = BYTE((ks < 0 ? 0x80 : 0) | (ks & 1));
            EXPECT_EQ(state[vk], want) << where << ", key " << vk;
        }
        EXPECT_EQ(state['W'], 0x81 & state['W']) << "only the down and toggle bits";
        EXPECT_TRUE(state['W'] & 0x80);
        EXPECT_TRUE(state[VK_CONTROL] & 0x80);
        EXPECT_TRUE(state[VK_RCONTROL] & 0x80);
        EXPECT_EQ(state[VK_CAPITAL] & 1, 1);
    };
    check("the shared table");
    std::thread([&] {
        // This thread took a key-down of W and nothing since: its own view.
        plat::input::keys_note_retrieved(WM_KEYDOWN, 'W', 0);
        check("a thread's own view");
    }).join();
    keys_release_all();
    keys_press(key(SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK));  // Caps Lock off again for the tests that follow
    keys_release(key(SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK));
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
}

}  // namespace
