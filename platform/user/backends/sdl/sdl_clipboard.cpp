// The SDL driver's clipboard (SDL's, UTF-8): setting it is one more command;
// reading it is a command whose answer the caller waits for (at most 2 s: on
// X11 the owner of the selection is another program, which may not answer).
#include <chrono>

#include "user/backends/sdl/sdl_internal.h"

namespace plat::sdl {
namespace {

// SDL thread only. No text and empty text are alike to a paste.
bool read_clipboard(std::string* out) {
    char* text = SDL_GetClipboardText();
    bool ok = text && *text;
    if (ok) *out = text;
    SDL_free(text);
    return ok;
}

}  // namespace

void set_clipboard_text(Shared* s, const std::string& utf8) {
    post(s, [utf8] { SDL_SetClipboardText(utf8.c_str()); });
}

bool get_clipboard_text(Shared* s, std::string* utf8) {
    if (!utf8) return false;
    if (on_sdl_thread()) return read_clipboard(utf8);
    struct Reply {
        std::mutex mu;
        std::condition_variable cv;
        bool done = false, ok = false;
        std::string text;
    };
    auto reply = std::make_shared<Reply>();
    {
        std::lock_guard<std::mutex> lock(s->mu);
        if (s->init != Shared::Init::Ready && s->init != Shared::Init::Starting) return false;
    }
    post(s, [reply] {
        std::string text;
        bool ok = read_clipboard(&text);
        {
            std::lock_guard<std::mutex> lock(reply->mu);
            reply->text = std::move(text);
            reply->ok = ok;
            reply->done = true;
        }
        reply->cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(reply->mu);
    if (!reply->cv.wait_for(lock, std::chrono::seconds(2), [&] { return reply->done; }) || !reply->ok)
        return false;
    *utf8 = std::move(reply->text);
    return true;
}

}  // namespace plat::sdl
