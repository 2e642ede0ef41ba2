// key_state.cpp — key state table, GetKeyState, GetKeyboardState and GetAsyncKeyState.
#include "user/input/key_state.h"

#include <atomic>

#include "windows.h"

namespace plat::input {
namespace {

constexpr uint8_t kDown = 0x80;
constexpr uint8_t kToggled = 0x01;
constexpr uint8_t kPressedSinceQuery = 0x02;  // for GetAsyncKeyState's low bit

std::atomic<uint8_t> g_keys[256];

// The calling thread's view (see key_state.h).
thread_local bool t_synced = false;
thread_local uint8_t t_keys[256];

bool is_mouse_button(int vk) { return vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON || vk == 5 || vk == 6; }

void thread_set(uint8_t vk, bool down) {
    uint8_t old = t_keys[vk];
    if (down && !(old & kDown)) t_keys[vk] = uint8_t((old ^ kToggled) | kDown);
    else if (!down) t_keys[vk] = uint8_t(old & ~kDown);
}

uint8_t generic_of(uint8_t sided) {
    switch (sided) {
        case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
        case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
        case VK_LMENU: case VK_RMENU: return VK_MENU;
        default: return 0;
    }
}

void refresh_generic(uint8_t generic, uint8_t left, uint8_t right, bool pressed_now) {
    bool down = (g_keys[left].load() & kDown) || (g_keys[right].load() & kDown);
    uint8_t old = g_keys[generic].load();
    uint8_t v = down ? uint8_t(old | kDown) : uint8_t(old & ~kDown);
    if (pressed_now && !(old & kDown)) v = uint8_t((v ^ kToggled) | kPressedSinceQuery);
    g_keys[generic].store(v);
}

void refresh_generic_for(uint8_t sided, bool pressed_now) {
    switch (generic_of(sided)) {
        case VK_SHIFT: refresh_generic(VK_SHIFT, VK_LSHIFT, VK_RSHIFT, pressed_now); break;
        case VK_CONTROL: refresh_generic(VK_CONTROL, VK_LCONTROL, VK_RCONTROL, pressed_now); break;
        case VK_MENU: refresh_generic(VK_MENU, VK_LMENU, VK_RMENU, pressed_now); break;
        default: break;
    }
}

}  // namespace

bool keys_press(const KeyInfo& k) {
    uint8_t vk = k.sided_vk ? k.sided_vk : k.vk;
    if (vk == 0) return false;
    uint8_t old = g_keys[vk].load();
    bool was_down = (old & kDown) != 0;
    if (!was_down) g_keys[vk].store(uint8_t((old ^ kToggled) | kDown | kPressedSinceQuery));
    refresh_generic_for(vk, !was_down);
    return was_down;
}

bool keys_release(const KeyInfo& k) {
    uint8_t vk = k.sided_vk ? k.sided_vk : k.vk;
    if (vk == 0) return false;
    uint8_t old = g_keys[vk].load();
    g_keys[vk].store(uint8_t(old & ~kDown));
    refresh_generic_for(vk, false);
    return (old & kDown) != 0;
}

void keys_release_all() {
    for (auto& k : g_keys) k.store(uint8_t(k.load() & ~kDown));
}

void keys_set_button(uint8_t vk, bool down) {
    uint8_t old = g_keys[vk].load();
    if (down && !(old & kDown)) g_keys[vk].store(uint8_t((old ^ kToggled) | kDown | kPressedSinceQuery));
    else if (!down) g_keys[vk].store(uint8_t(old & ~kDown));
}

void keys_note_retrieved(unsigned message, uint64_t wparam, int64_t lparam) {
    // Keys released while the window had no focus never send a key-up: the
    // loss of the focus releases them (the thread reads the shared table
    // again until its next key message).
    if (message == WM_KILLFOCUS) {
        t_synced = false;
        return;
    }
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (!down && message != WM_KEYUP && message != WM_SYSKEYUP) return;
    if (!t_synced) {
        for (int i = 0; i < 256; ++i) t_keys[i] = g_keys[i].load();
        t_synced = true;
    }
    uint8_t vk = uint8_t(wparam);
    thread_set(vk, down);
    // The side of a modifier: the extended flag for Ctrl and Alt, the
    // scan code of the right Shift key for Shift.
    bool extended = (lparam >> 24) & 1;
    uint8_t scan = uint8_t(lparam >> 16);
    uint8_t left = 0, right = 0;
    bool is_right = extended;
    switch (vk) {
        case VK_SHIFT: left = VK_LSHIFT; right = VK_RSHIFT; is_right = scan == 0x36; break;
        case VK_CONTROL: left = VK_LCONTROL; right = VK_RCONTROL; break;
        case VK_MENU: left = VK_LMENU; right = VK_RMENU; break;
        default: return;
    }
    thread_set(is_right ? right : left, down);
    // The generic key stays down while the other side is.
    if (!down && (t_keys[is_right ? left : right] & kDown)) t_keys[vk] = uint8_t(t_keys[vk] | kDown);
}

bool key_is_down(uint8_t vk) { return (g_keys[vk].load() & kDown) != 0; }
bool key_is_toggled(uint8_t vk) { return (g_keys[vk].load() & kToggled) != 0; }

}  // namespace plat::input

// The state as of the last key message the calling thread retrieved (see
// key_state.h); the process-wide state for mouse buttons and for threads
// that have retrieved none.
SHORT WINAPI GetKeyState(int nVirtKey) {
    using namespace plat::input;
    if (nVirtKey < 0 || nVirtKey > 255) return 0;
    uint8_t v = (t_synced && !is_mouse_button(nVirtKey)) ? t_keys[nVirtKey] : g_keys[nVirtKey].load();
    SHORT r = (v & 0x80) ? SHORT(0xFF80) : SHORT(0);
    if (v & 0x01) r = SHORT(r | 1);
    return r;
}

// The 256 entries GetKeyState would give, one byte each: 0x80 down, 0x01
// toggled. The async "pressed since" mark is not part of it.
BOOL WINAPI GetKeyboardState(PBYTE lpKeyState) {
    using namespace plat::input;
    if (!lpKeyState) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int vk = 0; vk < 256; ++vk) {
        uint8_t v = (t_synced && !is_mouse_button(vk)) ? t_keys[vk] : g_keys[vk].load();
        lpKeyState[vk] = BYTE(v & (kDown | kToggled));
    }
    return TRUE;
}

// Bit 15: down now; bit 0: pressed since the previous call for this key
// (once per press: auto-repeat does not mark it again). Process-wide, from
// the keys as the backend reports them.
SHORT WINAPI GetAsyncKeyState(int vKey) {
    if (vKey < 0 || vKey > 255) return 0;
    uint8_t v = plat::input::g_keys[vKey].fetch_and(uint8_t(~0x02));
    SHORT r = (v & 0x80) ? SHORT(0x8000) : SHORT(0);
    if (v & 0x02) r = SHORT(r | 1);
    return r;
}
