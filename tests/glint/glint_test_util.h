// Helpers of the Glint tests: waiting for the window's refresh, reading the
// window's pixels, and access to the layer's internals.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "../../glint/src/glint_private.h"
#include "platform/headless.h"

namespace glint_test {

// Waits (real time) until the window has been presented more often than
// `after`; returns the new count, or `after` on timeout.
inline uint64_t WaitPresent(HWND hwnd, uint64_t after, int timeout_ms = 5000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        uint64_t n = headless::PresentCount(hwnd);
        if (n > after) return n;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return after;
}

// Waits for the next periodic refresh and returns the window's pixels.
inline std::vector<uint32_t> NextFrame(HWND hwnd, int* w = nullptr, int* h = nullptr) {
    uint64_t n = headless::PresentCount(hwnd);
    EXPECT_GT(WaitPresent(hwnd, n), n) << "the window was not refreshed";
    std::vector<uint32_t> px;
    int ww = 0, hh = 0;
    EXPECT_TRUE(headless::ReadClient(hwnd, &px, &ww, &hh));
    if (w) *w = ww;
    if (h) *h = hh;
    return px;
}

// Lets the window thread dispatch everything injected so far.
inline void Settle(HWND hwnd) {
    ASSERT_TRUE(headless::WaitIdle(GetWindowThreadProcessId(hwnd, nullptr), 10000));
}

inline uint32_t Pixel(IMAGE* img, int x, int y) {
    DWORD* buf = GetImageBuffer(img);
    int w = img ? img->getwidth() : Glint::g_pGraphWnd->getwidth();
    return buf[y * w + x];
}

// Number of pixels of the image's rectangle [x0,x1] x [y0,y1] whose colour (top byte ignored) is `value`.
inline int Count(IMAGE* img, int x0, int y0, int x1, int y1, uint32_t value) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += (Pixel(img, x, y) & 0xFFFFFF) == value;
    return n;
}

}  // namespace glint_test
