// The headless backend: windows without a display.
//
// Frame: a captioned window (WS_CAPTION) has a 24-pixel title bar (top inset
// 24) and 1-pixel borders left, right and bottom; a window with only a border
// or dialog frame has 1 pixel on each side; a bare popup has none.
// Position: a window created at the default position (CW_USEDEFAULT) gets
// its client area's top-left corner at (101, 124), which puts a captioned
// window's outer corner at (100, 100).
// Focus: showing a window focuses it (the previously focused window loses
// focus), as a window manager does with a newly shown window; hiding or
// destroying the focused window leaves no window focused. Focus changes are
// reported as FocusGained / FocusLost events.
// Presenting: every update USER hands down counts one present of the window.
// Screen: 1920 x 1080, all of it work area. The pointer, topmost and frame
// requests are recorded for tests to read.
// Clipboard: one text in the process, as the system clipboard would hold it
// (UTF-8); tests read and replace it as another program would.
#include <map>
#include <mutex>

#include "backends.h"
#include "user/backends/headless/headless_internal.h"
#include "winuser.h"

namespace plat::headless_backend {
namespace {

constexpr int kDefaultClientX = 101;
constexpr int kDefaultClientY = 124;

struct HeadlessWindow {
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    bool captured = false;
    bool no_close = false;
    bool topmost = false;
    bool decorated = true;
    uint64_t presents = 0;
    RECT text_input{0, 0, 0, 0};
};

class HeadlessBackend final : public Backend {
public:

    uint32_t create_window(const BackendWindowDesc& desc) override {
        std::lock_guard<std::mutex> lock(mutex_);
        HeadlessWindow w;
        w.title = desc.title_utf8;
        w.x = desc.x == kDefaultPos ? kDefaultClientX : desc.x;
        w.y = desc.y == kDefaultPos ? kDefaultClientY : desc.y;
        w.width = desc.width;
        w.height = desc.height;
        w.no_close = desc.no_close;
        w.topmost = desc.topmost;
        w.decorated = desc.decorated;
        uint32_t id = next_id_++;
        windows_.emplace(id, w);
        return id;
    }

    void destroy_window(uint32_t id) override {
        std::lock_guard<std::mutex> lock(mutex_);
        windows_.erase(id);
        if (focused_ == id) focused_ = 0;
    }

    void show_window(uint32_t id, bool show) override {
        uint32_t lost = 0, gained = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = windows_.find(id);
            if (it == windows_.end()) return;
            it->second.visible = show;
            if (show && focused_ != id) {
                lost = focused_;
                gained = focused_ = id;
            } else if (!show && focused_ == id) {
                lost = id;
                focused_ = 0;
            }
        }
        if (lost) deliver_simple(BackendEventKind::FocusLost, lost);
        if (gained) deliver_simple(BackendEventKind::FocusGained, gained);
    }

    void set_title(uint32_t id, const std::string& title_utf8) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it != windows_.end()) it->second.title = title_utf8;
    }

    void set_client_rect(uint32_t id, int x, int y, int width, int height) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it == windows_.end()) return;
        it->second.x = x;
        it->second.y = y;
        it->second.width = width;
        it->second.height = height;
    }

    bool get_client_origin(uint32_t id, int* x, int* y) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it == windows_.end() || !x || !y) return false;
        *x = it->second.x;
        *y = it->second.y;
        return true;
    }

    void set_capture(uint32_t id, bool capture) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it != windows_.end()) it->second.captured = capture;
    }

    void update(uint32_t id, const uint32_t*, int, int, const RECT&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it != windows_.end()) ++it->second.presents;
    }

    RECT frame_insets(DWORD style) override {
        if ((style & WS_CAPTION) == WS_CAPTION) return RECT{1, 24, 1, 1};
        if (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) return RECT{1, 1, 1, 1};
        return RECT{0, 0, 0, 0};
    }

    void activate(uint32_t id) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = windows_.find(id);
            if (it == windows_.end() || !it->second.visible || focused_ == id) return;
        }
        set_focus(id, true);
    }

    void set_text_input_rect(uint32_t id, const RECT& caret) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it != windows_.end()) it->second.text_input = caret;
    }

    void set_clipboard_text(const std::string& utf8) override {
        std::lock_guard<std::mutex> lock(mutex_);
        clipboard_ = utf8;
        has_clipboard_ = true;
    }

    bool get_clipboard_text(std::string* utf8) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!has_clipboard_ || !utf8) return false;
        *utf8 = clipboard_;
        return true;
    }

    // The screen of the work area SystemParametersInfoA always reported here.
    RECT screen_rect() override { return RECT{0, 0, 1920, 1080}; }

    void warp_cursor(int x, int y) override {
        std::lock_guard<std::mutex> lock(mutex_);
        cursor_ = POINT{x, y};
    }

    void show_cursor(bool show) override {
        std::lock_guard<std::mutex> lock(mutex_);
        cursor_shown_ = show;
    }

    void clip_cursor(const RECT* screen) override {
        std::lock_guard<std::mutex> lock(mutex_);
        clipped_ = screen != nullptr;
        if (screen) clip_ = *screen;
    }

    void set_topmost(uint32_t id, bool topmost) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it != windows_.end()) it->second.topmost = topmost;
    }

    void set_decorated(uint32_t id, bool decorated) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it != windows_.end()) it->second.decorated = decorated;
    }

    // ---- test hooks ----
    bool frame(uint32_t id, bool* topmost, bool* decorated) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it == windows_.end()) return false;
        *topmost = it->second.topmost;
        *decorated = it->second.decorated;
        return true;
    }

    PointerState pointer() {
        std::lock_guard<std::mutex> lock(mutex_);
        return PointerState{cursor_, cursor_shown_, clipped_, clip_};
    }

    bool text_input(uint32_t id, RECT* out) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it == windows_.end() || !out) return false;
        *out = it->second.text_input;
        return true;
    }

    uint32_t focused() {
        std::lock_guard<std::mutex> lock(mutex_);
        return focused_;
    }

    void set_focus(uint32_t id, bool focus) {
        uint32_t lost = 0, gained = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!windows_.count(id)) return;
            if (focus) {
                if (focused_ && focused_ != id) lost = focused_;
                focused_ = gained = id;
            } else {
                if (focused_ == id) focused_ = 0;
                lost = id;
            }
        }
        if (lost) deliver_simple(BackendEventKind::FocusLost, lost);
        if (gained) deliver_simple(BackendEventKind::FocusGained, gained);
    }

    bool move_client(uint32_t id, int x, int y) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        if (it == windows_.end()) return false;
        it->second.x = x;
        it->second.y = y;
        return true;
    }

    bool close_enabled(uint32_t id) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        return it != windows_.end() && !it->second.no_close;
    }

    uint64_t presents(uint32_t id) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = windows_.find(id);
        return it == windows_.end() ? 0 : it->second.presents;
    }

private:
    static void deliver_simple(BackendEventKind kind, uint32_t id) {
        BackendEvent ev;
        ev.kind = kind;
        ev.window = id;
        deliver_backend_event(ev);
    }

    std::mutex mutex_;
    std::map<uint32_t, HeadlessWindow> windows_;
    uint32_t next_id_ = 1;
    uint32_t focused_ = 0;
    std::string clipboard_;
    bool has_clipboard_ = false;
    POINT cursor_{0, 0};
    bool cursor_shown_ = true;
    bool clipped_ = false;
    RECT clip_{};
};

std::mutex g_instance_mutex;
HeadlessBackend* g_instance = nullptr;  // the most recent; backends are never destroyed

HeadlessBackend* instance() {
    std::lock_guard<std::mutex> lock(g_instance_mutex);
    return g_instance;
}

}  // namespace

uint32_t focused_window() {
    HeadlessBackend* b = instance();
    return b ? b->focused() : 0;
}
void set_focus(uint32_t id, bool focus) {
    if (HeadlessBackend* b = instance()) b->set_focus(id, focus);
}
bool move_client(uint32_t id, int x, int y) {
    HeadlessBackend* b = instance();
    return b && b->move_client(id, x, y);
}
bool close_enabled(uint32_t id) {
    HeadlessBackend* b = instance();
    return b && b->close_enabled(id);
}
bool text_input_rect(uint32_t id, RECT* out) {
    HeadlessBackend* b = instance();
    return b && b->text_input(id, out);
}
bool window_frame(uint32_t id, bool* topmost, bool* decorated) {
    HeadlessBackend* b = instance();
    return b && topmost && decorated && b->frame(id, topmost, decorated);
}
PointerState pointer_state() {
    HeadlessBackend* b = instance();
    return b ? b->pointer() : PointerState{};
}
uint64_t present_count(uint32_t id) {
    HeadlessBackend* b = instance();
    return b ? b->presents(id) : 0;
}

}  // namespace plat::headless_backend

namespace plat {

std::unique_ptr<Backend> make_headless_backend() {
    auto b = std::make_unique<headless_backend::HeadlessBackend>();
    std::lock_guard<std::mutex> lock(headless_backend::g_instance_mutex);
    headless_backend::g_instance = b.get();
    return b;
}

}  // namespace plat
