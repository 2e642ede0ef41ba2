// Text services: code page conversion, cached glyph lookup, font creation
// (cache hit) and DrawTextA measuring a wrapped paragraph.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "codepage.h"
#include "font_engine.h"
#include "windows.h"

namespace {

// A typical line of the game: Chinese with some ASCII, in code page 936.
std::string sample_gbk() {
    static const std::string s = plat::codepage::utf8_to_936(u8"第3回合：你的骑士对敌方造成了 12 点伤害，剩余生命 88。");
    return s;
}

LOGFONTA system_font() {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = 16;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(lf.lfFaceName, "System");
    return lf;
}

void BM_Decode936(benchmark::State& state) {
    std::string s = sample_gbk();
    for (auto _ : state) benchmark::DoNotOptimize(plat::codepage::decode_936(s.data(), static_cast<int>(s.size())));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.size()));
}
BENCHMARK(BM_Decode936);

void BM_DecodeAscii(benchmark::State& state) {
    std::string s(64, 'x');
    for (auto _ : state) benchmark::DoNotOptimize(plat::codepage::decode_936(s.data(), static_cast<int>(s.size())));
}
BENCHMARK(BM_DecodeAscii);

void BM_Utf8To936(benchmark::State& state) {
    std::string u = u8"第3回合：你的骑士对敌方造成了 12 点伤害，剩余生命 88。";
    for (auto _ : state) benchmark::DoNotOptimize(plat::codepage::utf8_to_936(u));
}
BENCHMARK(BM_Utf8To936);

void BM_CachedGlyphLine(benchmark::State& state) {
    auto font = plat::text::create_font(system_font());
    std::u32string line = plat::codepage::decode_936(sample_gbk().c_str(), -1);
    for (auto _ : state) benchmark::DoNotOptimize(plat::text::text_width(*font, line));
}
BENCHMARK(BM_CachedGlyphLine);

void BM_CreateFontCacheHit(benchmark::State& state) {
    LOGFONTA lf = system_font();
    plat::text::create_font(lf);
    for (auto _ : state) benchmark::DoNotOptimize(plat::text::create_font(lf));
}
BENCHMARK(BM_CreateFontCacheHit);

void BM_DrawTextCalcWrapped(benchmark::State& state) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA lf = system_font();
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, f);
    std::string text = sample_gbk() + " " + sample_gbk() + " " + sample_gbk();
    for (auto _ : state) {
        RECT r{0, 0, 300, 0};
        benchmark::DoNotOptimize(DrawTextA(dc, text.c_str(), -1, &r, DT_WORDBREAK | DT_CALCRECT));
    }
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
}
BENCHMARK(BM_DrawTextCalcWrapped);

}  // namespace

BENCHMARK_MAIN();
