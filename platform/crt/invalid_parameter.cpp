// invalid_parameter.cpp — the C runtime's invalid parameter handler.
//
// The default handler ends the program, as the Windows C runtime does in a
// release build, after naming the function and the fault on standard error
// (Windows ends it silently with status 0xC0000409; here abort() ends it, so
// the shell sees SIGABRT). A program may install its own handler; when that
// returns, the function returns its documented error.
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "console.h"
#include "crt/crt_internal.h"
#include "win_crt.h"

namespace {
std::atomic<_invalid_parameter_handler> g_handler{nullptr};
}

extern "C" _invalid_parameter_handler _set_invalid_parameter_handler(_invalid_parameter_handler handler) {
    return g_handler.exchange(handler);
}

extern "C" _invalid_parameter_handler _get_invalid_parameter_handler(void) { return g_handler.load(); }

namespace plat::crt {

void invalid_parameter(const char* function, const char* why) {
    if (_invalid_parameter_handler h = g_handler.load()) {
        // Release builds of the Windows runtime pass no expression, function or file.
        h(nullptr, nullptr, nullptr, 0, 0);
        return;
    }
    std::fflush(stdout);
    std::fprintf(stderr, "Invalid parameter passed to C runtime function %s: %s\n", function, why);
    std::fflush(stderr);
    console::restore_terminal();
    std::abort();
}

}  // namespace plat::crt
