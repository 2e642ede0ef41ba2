// Who the calling thread is: its thread id (given out on first use, or when
// CreateThread starts it) and its last-error value. Thread-local state only;
// calls nothing else of the kernel, so every other kernel file can use it.
#include <atomic>

#include "kernel/kernel_internal.h"
#include "winbase.h"

namespace {

thread_local DWORD t_last_error = 0;
thread_local DWORD t_thread_id = 0;
std::atomic<DWORD> g_next_thread_id{0x104};  // multiples of 4, as on Windows

}  // namespace

namespace plat::kernel {

DWORD allocate_thread_id() { return g_next_thread_id.fetch_add(4); }

void adopt_thread_id(DWORD id) { t_thread_id = id; }

}  // namespace plat::kernel

DWORD WINAPI GetLastError(void) { return t_last_error; }
void WINAPI SetLastError(DWORD dwErrCode) { t_last_error = dwErrCode; }

DWORD WINAPI GetCurrentThreadId(void) {
    if (t_thread_id == 0) t_thread_id = plat::kernel::allocate_thread_id();
    return t_thread_id;
}
