// console_window.cpp — the window that stands for the process's console.
//
// A Windows console program has a console window; the graphics layer hides
// it, takes its place on the screen, forwards its own window's key messages to
// it, shows it again at the layer's closegraph and sends it WM_CLOSE when the
// user closes the graphics window. Here the console is the terminal, so its
// window is a top-level window of class "ConsoleWindowClass" that never
// appears on the screen (it has no backend window) but keeps its rectangle and
// visibility for those calls. It is made on first use, on a thread of its own
// that runs its message loop, so posted keys reach the console input buffer
// while the program's thread blocks in _getch or never pumps messages at all.
//
// Its window procedure does what the console host does with keyboard input:
// each key message becomes a key event of the input buffer, with the
// character the key types on a US keyboard under the modifiers seen so far.
// WM_CLOSE ends the process (status 0).
//
// Locks: none of its own besides the once-flag; USER's as its calls take it.
#include <atomic>
#include <cstring>
#include <mutex>

#include "console.h"
#include "user/input/keymap.h"
#include "user/user_internal.h"
#include "windows.h"

namespace plat::console {
namespace {

const char kClassName[] = "ConsoleWindowClass";

// Where the console sits: the work area's top-left corner, as Windows and
// Wine place a new console window, so the graphics window that takes its
// place opens fully on the screen whatever its size. The size is that of an
// 80 x 25 console.
constexpr int kConsoleX = 0, kConsoleY = 0, kConsoleWidth = 656, kConsoleHeight = 439;

std::atomic<HWND> g_window{nullptr};
std::atomic<bool> g_detached{false};

// Modifier keys as the key messages posted to the console have left them.
struct Modifiers {
    bool lshift = false, rshift = false, lctrl = false, rctrl = false, lalt = false, ralt = false;
    bool caps = false, num = true;
};
Modifiers g_mods;  // the console's thread only

DWORD control_state(const Modifiers& m, bool extended) {
    DWORD s = 0;
    if (m.lshift || m.rshift) s |= SHIFT_PRESSED;
    if (m.lctrl) s |= LEFT_CTRL_PRESSED;
    if (m.rctrl) s |= RIGHT_CTRL_PRESSED;
    if (m.lalt) s |= LEFT_ALT_PRESSED;
    if (m.ralt) s |= RIGHT_ALT_PRESSED;
    if (m.caps) s |= CAPSLOCK_ON;
    if (m.num) s |= NUMLOCK_ON;
    if (extended) s |= ENHANCED_KEY;
    return s;
}

void track_modifier(WPARAM vk, bool extended, LPARAM lp, bool down) {
    const int scan = int((lp >> 16) & 0xFF);
    switch (vk) {
        case VK_SHIFT: (scan == 0x36 ? g_mods.rshift : g_mods.lshift) = down; break;
        case VK_LSHIFT: g_mods.lshift = down; break;
        case VK_RSHIFT: g_mods.rshift = down; break;
        case VK_CONTROL: (extended ? g_mods.rctrl : g_mods.lctrl) = down; break;
        case VK_LCONTROL: g_mods.lctrl = down; break;
        case VK_RCONTROL: g_mods.rctrl = down; break;
        case VK_MENU: (extended ? g_mods.ralt : g_mods.lalt) = down; break;
        case VK_LMENU: g_mods.lalt = down; break;
        case VK_RMENU: g_mods.ralt = down; break;
        case VK_CAPITAL: if (down && !(lp & (1 << 30))) g_mods.caps = !g_mods.caps; break;
        case VK_NUMLOCK: if (down && !(lp & (1 << 30))) g_mods.num = !g_mods.num; break;
        default: break;
    }
}

// The character a key types in the console (0 for none: arrows, function
// keys, modifiers), as the console host reports it in the key event.
unsigned char key_char(WPARAM vk, bool extended) {
    const bool shift = g_mods.lshift || g_mods.rshift;
    const bool ctrl = g_mods.lctrl || g_mods.rctrl;
    const bool alt = g_mods.lalt || g_mods.ralt;
    switch (vk) {
        case VK_RETURN: return ctrl ? 10 : 13;
        case VK_BACK: return ctrl ? 127 : 8;
        case VK_TAB: return (shift || ctrl) ? 0 : 9;
        case VK_ESCAPE: return 27;
        case VK_SPACE: return ' ';
        default: break;
    }
    if (ctrl && !alt) {
        if (vk >= 'A' && vk <= 'Z') return (unsigned char)(vk - 'A' + 1);
        switch (vk) {
            case VK_OEM_4: return 27;   // Ctrl+[
            case VK_OEM_5: return 28;   // Ctrl+backslash
            case VK_OEM_6: return 29;   // Ctrl+]
            case '6': return shift ? 30 : 0;
            case VK_OEM_MINUS: return shift ? 31 : 0;
            default: return 0;
        }
    }
    if (ctrl && alt) return 0;
    // Keypad keys other than Enter and / are not extended; with Num Lock off
    // they arrive as VK_HOME etc. and type nothing.
    if (extended && vk != VK_DIVIDE) return 0;
    return (unsigned char)input::vk_to_ascii(uint8_t(vk), shift, g_mods.caps);
}

LRESULT CALLBACK ConsoleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
            const bool extended = (lParam >> 24) & 1;
            track_modifier(wParam, extended, lParam, down);
            KEY_EVENT_RECORD k;
            std::memset(&k, 0, sizeof k);
            k.bKeyDown = down;
            k.wRepeatCount = WORD(LOWORD(lParam) ? LOWORD(lParam) : 1);
            k.wVirtualKeyCode = WORD(wParam);
            k.wVirtualScanCode = WORD((lParam >> 16) & 0xFF);
            k.uChar.AsciiChar = CHAR(down ? key_char(wParam, extended) : 0);
            k.dwControlKeyState = control_state(g_mods, extended);
            write_key(k);
            return 0;
        }
        case WM_CLOSE:
            // The console goes, and the program attached to it with it.
            ExitProcess(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

struct Start {
    HANDLE ready;
    HWND hwnd = nullptr;
};

DWORD WINAPI ConsoleThread(LPVOID param) {
    Start* start = static_cast<Start*>(param);
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ConsoleProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);
    {
        user::State& st = user::state();
        std::lock_guard<std::mutex> lock(st.mutex);
        if (user::WindowClass* cls = user::find_class(st, kClassName)) cls->offscreen = true;
    }
    // Its title is the program's path, as a console started for a program shows.
    char title[MAX_PATH + 1] = "";
    GetModuleFileNameA(NULL, title, MAX_PATH);
    HWND hwnd = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW, kConsoleX, kConsoleY, kConsoleWidth,
                                kConsoleHeight, NULL, NULL, instance, NULL);
    ShowWindow(hwnd, SW_SHOW);
    start->hwnd = hwnd;
    SetEvent(start->ready);  // `start` is gone from here on
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

}  // namespace

HWND window() {
    static std::once_flag once;
    std::call_once(once, [] {
        Start start;
        start.ready = CreateEventA(NULL, TRUE, FALSE, NULL);
        HANDLE thread = CreateThread(NULL, 0, ConsoleThread, &start, 0, NULL);
        if (thread) {
            WaitForSingleObject(start.ready, INFINITE);
            CloseHandle(thread);
        }
        CloseHandle(start.ready);
        g_window.store(start.hwnd);
    });
    return g_detached.load() ? nullptr : g_window.load();
}

void detach() { g_detached.store(true); }

bool attached() { return !g_detached.load() && g_window.load() != nullptr; }

}  // namespace plat::console
