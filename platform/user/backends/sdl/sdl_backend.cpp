// sdl_backend.cpp — real windows through SDL2: the Backend that USER talks
// to. Each call goes to the file of its concern: the SDL thread
// (sdl_thread.cpp) and its command queue (sdl_queue.cpp), windows (sdl_windows.cpp), framebuffers and
// presenting (sdl_framebuffer.cpp), events (sdl_events.cpp), the clipboard
// (sdl_clipboard.cpp) and hints (sdl_hints.cpp); sdl_internal.h holds the
// state they share and its locks.
#include "backends.h"
#include "user/backends/sdl/sdl_internal.h"

namespace plat {
namespace {

class SdlBackend final : public Backend {
public:
    SdlBackend() : s_(new sdl::Shared) {}
    ~SdlBackend() override { sdl::stop_delivery(s_); }

    uint32_t create_window(const BackendWindowDesc& desc) override {
        if (!sdl::start(s_)) return 0;  // waits only where no display is named
        return sdl::create_window(s_, desc);
    }
    void destroy_window(uint32_t id) override { sdl::destroy_window(s_, id); }
    void show_window(uint32_t id, bool show) override { sdl::show_window(s_, id, show); }
    void set_title(uint32_t id, const std::string& title_utf8) override { sdl::set_title(s_, id, title_utf8); }
    void set_client_rect(uint32_t id, int x, int y, int width, int height) override {
        sdl::set_client_rect(s_, id, x, y, width, height);
    }
    bool get_client_origin(uint32_t id, int* x, int* y) override { return sdl::get_client_origin(s_, id, x, y); }
    void set_capture(uint32_t id, bool capture) override { sdl::set_capture(s_, id, capture); }
    void update(uint32_t id, const uint32_t* pixels, int width, int height, const RECT& dirty) override {
        sdl::update(s_, id, pixels, width, height, dirty);
    }
    RECT frame_insets(DWORD style) override { return sdl::frame_insets(s_, style); }
    void activate(uint32_t id) override { sdl::activate(s_, id); }
    void set_text_input_rect(uint32_t id, const RECT& caret) override { sdl::set_text_input_rect(s_, id, caret); }
    void set_clipboard_text(const std::string& utf8) override { sdl::set_clipboard_text(s_, utf8); }
    bool get_clipboard_text(std::string* utf8) override { return sdl::get_clipboard_text(s_, utf8); }
    void set_topmost(uint32_t id, bool topmost) override { sdl::set_topmost(s_, id, topmost); }
    void set_decorated(uint32_t id, bool decorated) override { sdl::set_decorated(s_, id, decorated); }
    void warp_cursor(int x, int y) override { sdl::warp_cursor(s_, x, y); }
    void show_cursor(bool show) override { sdl::show_cursor(s_, show); }
    void clip_cursor(const RECT* screen) override { sdl::clip_cursor(s_, screen); }
    // The display is known once SDL has started: these wait for it.
    RECT screen_rect() override { return display_rect(false); }
    RECT work_area() override { return display_rect(true); }

private:
    RECT display_rect(bool work) {
        sdl::wait_ready(s_);
        std::lock_guard<std::mutex> lock(s_->mu);
        return work ? s_->work : s_->display;
    }

    sdl::Shared* s_;  // intentionally never freed (see sdl::Shared)
};

}  // namespace

std::unique_ptr<Backend> make_sdl_backend() { return std::make_unique<SdlBackend>(); }

}  // namespace plat
