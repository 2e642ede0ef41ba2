// user_internal.h — USER's shared state: window classes, windows, per-thread
// message queues, and what USER's files offer each other (grouped by the
// file that defines it, lowest layer first: a file calls only into the
// groups above its own).
//
// One mutex (State::mutex) guards everything here except window surfaces,
// which have a lock of their own. It is never held while a window procedure
// runs, while waiting, or while calling the backend.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "windef.h"
#include "winbase.h"
#include "winuser.h"

namespace plat::user {

struct ThreadQueue;

// A timer of SetTimer: its WM_TIMER is due at `due` (GetTickCount64 time).
struct Timer {
    HWND hwnd = nullptr;  // null: a thread timer
    UINT_PTR id = 0;
    UINT elapse = 0;
    uint64_t due = 0;
    TIMERPROC proc = nullptr;
};

// A message sent (SendMessageA) to a window of another thread, waiting in
// that thread's queue for its reply.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    LRESULT result = 0;
    bool done = false;
    std::shared_ptr<ThreadQueue> sender;  // woken when done
};

// Whatever adds to `posted` or `sent`, sets `quit` or counts a pending event
// must also clear `idle` (wake() does), or a thread polling with
// PeekMessageA would not look at its queue again.
struct ThreadQueue {
    DWORD thread_id = 0;
    bool alive = true;
    std::condition_variable cv;  // with State::mutex: new posted/sent message, or a reply
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;  // PostQuitMessage called, WM_QUIT not yet retrieved
    int quit_code = 0;
    int dispatch_depth = 0;      // DispatchMessageA calls in progress
    bool retrieved_undispatched = false;  // a window message was removed and not yet dispatched
    uint64_t pending_events = 0;  // backend events whose messages are not yet all dispatched
    int handling_sent = 0;        // InSendMessage
    bool blocked_in_get = false;  // the thread waits in GetMessageA
    // Set by the owner when a PeekMessageA found nothing to do (nothing
    // posted or sent, no quit, no events left to settle); cleared, under
    // State::mutex, by everything that gives the thread work (wake()). Lets
    // the idle PeekMessageA of a polling loop return without the lock.
    std::atomic<bool> idle{false};
    std::vector<Timer> timers;
    // The earliest due time of `timers` (UINT64_MAX without timers); read
    // without the lock by the idle PeekMessageA.
    std::atomic<uint64_t> next_timer{UINT64_MAX};
};

struct Window {
    HWND hwnd = nullptr;
    DWORD thread_id = 0;
    std::shared_ptr<ThreadQueue> queue;
    std::string class_key;
    WNDPROC proc = nullptr;
    UINT class_style = 0;
    DWORD style = 0;
    DWORD ex_style = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR user_data = 0;
    LONG_PTR id = 0;
    std::string title;  // code page 936
    HWND parent = nullptr;  // child windows (WS_CHILD) only
    HWND owner = nullptr;   // top-level windows created with a parent handle: the window that owns them
    RECT outer{};       // screen coordinates; a child's: relative to its parent's client area
    RECT insets{};      // frame thickness on each side
    int client_w = 0, client_h = 0;
    bool visible = false;
    bool shown_once = false;
    bool destroying = false;
    uint32_t backend_id = 0;  // 0: a child, or a window kept off the screen

    // The client surface: 0x00RRGGBB, top-down, surf_w x surf_h.
    std::recursive_mutex surface_mutex;
    std::vector<uint32_t> pixels;
    int surf_w = 0, surf_h = 0;
};

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDCLASSEXA wc{};  // lpszClassName/lpszMenuName point into name / nowhere
    int windows = 0;
    bool offscreen = false;  // its top-level windows have no backend window (the console's)
};

struct State {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<Window>> windows;
    std::unordered_map<uint32_t, HWND> by_backend_id;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
    std::map<std::string, WindowClass> classes;  // key: lower-case name
    ATOM next_atom = 0xC000;
    uintptr_t next_hwnd = 0x10010;
    HWND capture = nullptr;
    HWND focus = nullptr;
    HWND active = nullptr;
    uint64_t pending_events = 0;  // sum of ThreadQueue::pending_events
    // The pointer (one for the process): where it is in screen coordinates,
    // ShowCursor's display count, and ClipCursor's rectangle.
    POINT cursor{};
    int cursor_count = 0;
    bool cursor_clipped = false;
    RECT cursor_clip{};
};

// ---- the window table (window_table.cpp) ----
State& state();
// With State::mutex held.
std::shared_ptr<Window> find_window(State& st, HWND hwnd);

// A window looked up under State::mutex, which it holds while it lives
// (unlock() ends that early). Empty for a handle that names no window; then,
// unless asked to stay quiet, the last error is ERROR_INVALID_WINDOW_HANDLE.
// This is how a USER call starts that works on one window.
class LockedWindow {
public:
    enum Missing { Report, Quiet };
    explicit LockedWindow(HWND hwnd, Missing missing = Report);
    explicit operator bool() const { return window_ != nullptr; }
    Window* operator->() const { return window_.get(); }
    Window& operator*() const { return *window_; }
    const std::shared_ptr<Window>& ptr() const { return window_; }
    State& st;
    void unlock() { lock_.unlock(); }

private:
    std::unique_lock<std::mutex> lock_;
    std::shared_ptr<Window> window_;
};

// Screen position of a window's client area / outer rectangle (children
// are stored relative to their parent). With State::mutex held, as are the
// helpers below.
POINT client_origin(const Window& w);
POINT screen_client_origin(State& st, const Window& w);
RECT screen_outer(State& st, const Window& w);
// The top-level window a window belongs to (itself if top-level).
std::shared_ptr<Window> top_level_of(State& st, std::shared_ptr<Window> w);
bool is_descendant(State& st, HWND hwnd, HWND ancestor);
// Backend id of a visible, enabled top-level window owned by `owner`, or 0.
uint32_t enabled_owned_window(State& st, HWND owner);

// A new outer rectangle: what changed, and what WM_SIZE / WM_MOVE report.
struct GeometryChange {
    bool moved = false;
    bool resized = false;
};
GeometryChange set_outer(Window& w, const RECT& outer);
struct ClientGeometry {
    int client_w = 0, client_h = 0;
    POINT origin{};
};
ClientGeometry geometry_of(const Window& w);

// Takes a window out of the table, the class's count, the backend-id map and
// the capture / focus / active slots. Returns its backend id. Its queue is
// left as it is (window_lifecycle.cpp clears what is queued for it).
uint32_t erase_window(State& st, Window& w);

// Where the pointer is now that it was seen or put at `screen`: inside the
// ClipCursor rectangle, if there is one.
void track_cursor(State& st, POINT screen);

// A window's frame on the screen: a title bar and border, or none.
inline bool decorated_style(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

// The window text in UTF-8 (titles go to the backend as UTF-8).
std::string title_utf8(const std::string& cp936);

// ---- window classes (classes.cpp), with State::mutex held ----
// A class by name (case-insensitive) or atom (MAKEINTATOM); null if none.
WindowClass* find_class(State& st, LPCSTR name);
std::string lower_name(LPCSTR s);

// ---- timer lists (timer_list.cpp), on a queue, with State::mutex held ----
// take_timer makes the WM_TIMER of a due timer that matches the filter, and
// with `remove` restarts its period.
bool take_timer(ThreadQueue& q, LPMSG out, HWND hwnd, UINT first, UINT last, bool remove);
// When the earliest timer that the filter lets through is due (UINT64_MAX: none).
uint64_t timer_due(const ThreadQueue& q, HWND hwnd, UINT first, UINT last);
// Sets (or restarts) a timer; returns the id SetTimer reports.
UINT_PTR add_timer(ThreadQueue& q, HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
bool kill_timer(ThreadQueue& q, HWND hwnd, UINT_PTR id);  // false if there was none
void remove_window_timers(ThreadQueue& q, HWND hwnd);
void drop_timers(ThreadQueue& q);  // the thread ends
// Whether a WM_TIMER's lParam is the procedure of one of this queue's timers.
bool is_timer_proc(const ThreadQueue& q, TIMERPROC proc);
// Whether any queue holds a timer (read without the lock).
bool any_timers();

// ---- message queues (messages.cpp), with State::mutex held ----
// The calling thread's queue, created on first use.
std::shared_ptr<ThreadQueue> own_queue(State& st);
// Marks the queue's pending backend events dispatched if nothing of theirs
// can still be waiting (queue empty, nothing being dispatched).
void settle_events(State& st, ThreadQueue& q);
// Replies 0 to every message sent to hwnd that its thread has not taken yet.
void abandon_sent_messages(State& st, ThreadQueue& q, HWND hwnd);
void post_locked(ThreadQueue& q, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Wakes the queue's thread if it waits in GetMessageA or SendMessageA.
void wake(ThreadQueue& q);
// Without the lock: sends on the owner thread, posts from any other (used
// for notifications such as WM_SIZE that must not block the caller).
void notify(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// ---- window lifecycle (window_lifecycle.cpp), without the lock ----
// WM_SIZE / WM_MOVE for what changed.
void send_geometry_notifications(HWND hwnd, const ClientGeometry& g, GeometryChange c);

// ---- window text (window_properties.cpp) ----
// DefWindowProcA's WM_SETTEXT: stores the window text.
BOOL store_window_text(HWND hwnd, LPCSTR text);

// ---- surfaces and painting (painting.cpp), without the lock ----
// Brings the surface to the window's client size, keeping the pixels of the
// overlap. Takes the surface lock, then the state lock.
void sync_surface(Window& w);
// Paints a window's background with its class brush (top-level windows, at
// the first show) and copies a child's surface into its top-level window's.
void paint_class_background(HWND hwnd);
void compose_child(HWND child, const RECT& dirty);
// Composes every visible descendant of a window, parents before children.
void compose_children(HWND parent);

// ---- built-in controls (controls.cpp, edit_control.cpp) ----
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);

}  // namespace plat::user
