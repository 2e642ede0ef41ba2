// GlobalAlloc family.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/headless.h"

namespace {

TEST(KernelGlobalMemory, FixedBlockHandleIsItsAddress) {
    HGLOBAL h = GlobalAlloc(GPTR, 64);
    ASSERT_NE(h, nullptr);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(static_cast<void*>(p), h);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(GlobalSize(h), 64u);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_EQ(GlobalHandle(p), h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(KernelGlobalMemory, MoveableBlockCountsLocks) {
    HGLOBAL h = GlobalAlloc(GHND, 16);
    ASSERT_NE(h, nullptr);
    void* p1 = GlobalLock(h);
    void* p2 = GlobalLock(h);
    ASSERT_NE(p1, nullptr);
    EXPECT_NE(p1, static_cast<void*>(h));
    EXPECT_EQ(p1, p2);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(h));  // still locked once
    SetLastError(99);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalHandle(p1), h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(KernelGlobalMemory, ReAllocKeepsContentsAndZeroesGrowth) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(h), "abcd", 4);
    GlobalUnlock(h);
    HGLOBAL h2 = GlobalReAlloc(h, 4096, GMEM_ZEROINIT);
    ASSERT_EQ(h2, h);  // a moveable block keeps its handle
    auto* p = static_cast<char*>(GlobalLock(h));
    EXPECT_EQ(std::memcmp(p, "abcd", 4), 0);
    for (int i = 4; i < 4096; ++i) ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(GlobalSize(h), 4096u);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalReAlloc(h, 2, 0), h);  // shrink in place
    EXPECT_EQ(GlobalSize(h), 2u);
    GlobalFree(h);
}

TEST(KernelGlobalMemory, FixedBlockMovesOnlyWhenAllowed) {
    HGLOBAL h = GlobalAlloc(GMEM_FIXED, 8);
    std::memcpy(h, "12345678", 8);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);  // would have to move
    EXPECT_EQ(GlobalSize(h), 8u);                       // unchanged
    HGLOBAL moved = GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(std::memcmp(moved, "12345678", 8), 0);
    EXPECT_EQ(GlobalSize(moved), size_t(1) << 20);
    if (moved != h) {
        EXPECT_EQ(GlobalSize(h), 0u);  // the old handle died
    }
    EXPECT_EQ(GlobalFree(moved), nullptr);
}

// A locked moveable block keeps its address: it grows only in place (here:
// not at all) until the last unlock, then it may move.
TEST(KernelGlobalMemory, LockedMoveableBlockGrowsOnlyWhenUnlocked) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    void* p = GlobalLock(h);
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abcdefgh", 8);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_EQ(GlobalLock(h), p);
    GlobalUnlock(h);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), h);
    EXPECT_EQ(GlobalSize(h), size_t(1) << 20);
    EXPECT_EQ(std::memcmp(GlobalLock(h), "abcdefgh", 8), 0);
    GlobalUnlock(h);
    GlobalFree(h);
}

TEST(KernelGlobalMemory, BadHandlesAreRefused) {
    HGLOBAL bogus = reinterpret_cast<HGLOBAL>(uintptr_t(0xdead0000));
    EXPECT_EQ(GlobalLock(bogus), nullptr);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalSize(bogus), 0u);
    EXPECT_FALSE(GlobalUnlock(bogus));
    EXPECT_EQ(GlobalReAlloc(bogus, 10, 0), nullptr);
    EXPECT_EQ(GlobalFree(bogus), bogus);  // failure returns the handle
    EXPECT_EQ(GlobalFlags(bogus), UINT(GMEM_INVALID_HANDLE));
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h);  // double free is caught
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_T(-1) / 2), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    HGLOBAL small = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_EQ(GlobalReAlloc(small, SIZE_T(-1) / 2, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(small), 8u);
    GlobalFree(small);
}

}  // namespace
