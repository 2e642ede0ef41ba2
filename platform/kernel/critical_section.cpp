// Critical sections: recursive locks stored inside the CRITICAL_SECTION itself
// (a std::recursive_mutex placed in its Impl bytes), so one can live in a
// global without any allocation. Owner and recursion count are tracked so
// that leaving a section the caller does not own is ignored instead of
// corrupting the lock.
#include <cstdio>
#include <mutex>
#include <new>

#include "winbase.h"

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::Impl), "Impl too small");
static_assert(alignof(std::recursive_mutex) <= 16, "Impl under-aligned");

bool initialised(const CRITICAL_SECTION* cs) {
    return cs && __atomic_load_n(&cs->LockSemaphore, __ATOMIC_ACQUIRE) == (HANDLE)cs->Impl;
}

std::recursive_mutex* impl(CRITICAL_SECTION* cs) {
    return std::launder(reinterpret_cast<std::recursive_mutex*>(cs->Impl));
}

HANDLE self() { return reinterpret_cast<HANDLE>(uintptr_t(GetCurrentThreadId())); }

void complain(const char* what) {
    std::fprintf(stderr, "platform: %s on an uninitialised critical section ignored\n", what);
}

}  // namespace

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION cs) {
    if (!cs) return;
    cs->DebugInfo = nullptr;
    cs->LockCount = -1;
    cs->RecursionCount = 0;
    cs->OwningThread = nullptr;
    cs->SpinCount = 0;
    new (cs->Impl) std::recursive_mutex;
    __atomic_store_n(&cs->LockSemaphore, (HANDLE)cs->Impl, __ATOMIC_RELEASE);
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION cs) {
    if (!initialised(cs)) {
        complain("EnterCriticalSection");
        return;
    }
    impl(cs)->lock();
    __atomic_store_n(&cs->OwningThread, self(), __ATOMIC_RELAXED);
    ++cs->RecursionCount;
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION cs) {
    if (!initialised(cs)) return FALSE;
    if (!impl(cs)->try_lock()) return FALSE;
    __atomic_store_n(&cs->OwningThread, self(), __ATOMIC_RELAXED);
    ++cs->RecursionCount;
    return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION cs) {
    if (!initialised(cs)) {
        complain("LeaveCriticalSection");
        return;
    }
    // Only the owner may leave; another thread's call would unlock a mutex it
    // does not hold.
    if (__atomic_load_n(&cs->OwningThread, __ATOMIC_RELAXED) != self()) return;
    if (--cs->RecursionCount == 0) __atomic_store_n(&cs->OwningThread, (HANDLE) nullptr, __ATOMIC_RELAXED);
    impl(cs)->unlock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION cs) {
    if (!initialised(cs)) return;
    // A section still held is left in place (destroying a held mutex is
    // undefined); it is only marked unusable.
    bool held = __atomic_load_n(&cs->OwningThread, __ATOMIC_RELAXED) != nullptr;
    __atomic_store_n(&cs->LockSemaphore, (HANDLE) nullptr, __ATOMIC_RELEASE);
    if (!held) impl(cs)->~recursive_mutex();
    cs->RecursionCount = 0;
    cs->OwningThread = nullptr;
}
