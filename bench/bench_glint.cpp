// Glint micro-benchmarks on the headless backend (real clock): clearing,
// rectangles, a line of GBK text, the input queue and the window refresh copy.
// This file is compiled with -fexec-charset=GBK.
#include <benchmark/benchmark.h>
#include <graphics.h>

#include "platform/headless.h"

namespace {

HWND Window() {
    static HWND hwnd = [] {
        HWND h = initgraph(300, 240, 0);
        flushmessage();
        return h;
    }();
    return hwnd;
}

void BM_cleardevice_white(benchmark::State& state) {
    Window();
    setbkcolor(WHITE);  // equal colour bytes: one byte-wise fill
    for (auto _ : state) cleardevice();
    state.SetItemsProcessed(state.iterations() * 300 * 240);
}
BENCHMARK(BM_cleardevice_white);

void BM_cleardevice_lightblue(benchmark::State& state) {
    Window();
    setbkcolor(LIGHTBLUE);  // a pixel-by-pixel fill
    for (auto _ : state) cleardevice();
    state.SetItemsProcessed(state.iterations() * 300 * 240);
}
BENCHMARK(BM_cleardevice_lightblue);

void BM_solidrectangle_10x10(benchmark::State& state) {
    Window();
    setfillcolor(GREEN);
    for (auto _ : state) solidrectangle(100, 100, 109, 109);
}
BENCHMARK(BM_solidrectangle_10x10);

void BM_solidrectangle_full_window(benchmark::State& state) {
    Window();
    setfillcolor(GREEN);
    for (auto _ : state) solidrectangle(0, 0, 299, 239);
    state.SetItemsProcessed(state.iterations() * 300 * 240);
}
BENCHMARK(BM_solidrectangle_full_window);

void BM_clearrectangle_echo_line(benchmark::State& state) {
    Window();
    setbkcolor(WHITE);
    for (auto _ : state) clearrectangle(0, 20, 300, 40);
}
BENCHMARK(BM_clearrectangle_echo_line);

void BM_outtextxy_16_gbk_characters(benchmark::State& state) {
    Window();
    setbkcolor(WHITE);
    settextcolor(BLACK);
    const char* text = "修炼护盾反弹攻击突破境界灵力消耗";  // 16 characters, 32 GBK bytes
    for (auto _ : state) outtextxy(0, 20, text);
}
BENCHMARK(BM_outtextxy_16_gbk_characters);

void BM_peekmessage_empty(benchmark::State& state) {
    Window();
    ExMessage m;
    for (auto _ : state) benchmark::DoNotOptimize(peekmessage(&m, EX_KEY, true));
}
BENCHMARK(BM_peekmessage_empty);

// A character posted to the window, recorded by the window thread and taken
// by a waiting getmessage: the latency of one key through the layer.
void BM_post_getmessage_round_trip(benchmark::State& state) {
    HWND hwnd = Window();
    for (auto _ : state) {
        PostMessageA(hwnd, WM_CHAR, 'a', 0);
        ExMessage m = getmessage(EX_CHAR);
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_post_getmessage_round_trip)->UseRealTime();

// The same with polling, as the game's text entry does (peek, then Sleep(1)).
void BM_post_peekmessage_poll(benchmark::State& state) {
    HWND hwnd = Window();
    ExMessage m;
    for (auto _ : state) {
        PostMessageA(hwnd, WM_CHAR, 'a', 0);
        while (!peekmessage(&m, EX_CHAR, true)) Sleep(1);
    }
}
BENCHMARK(BM_post_peekmessage_poll)->UseRealTime();

// One refresh: the whole back buffer copied to the window (what the window
// thread does every 17 ms).
void BM_refresh_copy(benchmark::State& state) {
    Window();
    BeginBatchDraw();
    for (auto _ : state) FlushBatchDraw();
    EndBatchDraw();
    state.SetItemsProcessed(state.iterations() * 300 * 240);
}
BENCHMARK(BM_refresh_copy);

}  // namespace

int main(int argc, char** argv) {
    headless::Use(/*virtual_clock=*/false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
