// timer_and_devices.cpp — the multimedia timer calls (timeGetTime and the
// timer resolution, which this system always has at 1 ms), the wave output
// count, Beep as a tone on the audio output, and the wide-text helpers of
// the W entry points. Beep holds audio_lock while it starts its tone only.
#include <chrono>
#include <thread>

#include "codepage.h"
#include "winmm/audio_output.h"
#include "winmm/winmm_internal.h"

namespace plat::winmm {

std::string utf8_of_wide(const WCHAR* text) {
    std::string out;
    for (; text && *text; ++text) codepage::append_utf8(out, char32_t(*text));
    return out;
}

std::wstring wide_of_utf8(const std::string& text) {
    const std::u32string cps = codepage::decode_936(codepage::utf8_to_936(text).c_str(), -1);
    return std::wstring(cps.begin(), cps.end());
}

}  // namespace plat::winmm

namespace {
constexpr UINT kPeriodMin = 1, kPeriodMax = 1000000;
}

// Milliseconds since an arbitrary start, the same count as GetTickCount
// (which follows the virtual clock in tests).
DWORD WINAPI timeGetTime(void) { return DWORD(GetTickCount64()); }

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS ptc, UINT cbtc) {
    if (!ptc || cbtc < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
    ptc->wPeriodMin = kPeriodMin;
    ptc->wPeriodMax = kPeriodMax;
    return TIMERR_NOERROR;
}

// Linux's timers already have millisecond resolution: nothing to change.
MMRESULT WINAPI timeBeginPeriod(UINT uPeriod) {
    return uPeriod < kPeriodMin || uPeriod > kPeriodMax ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

MMRESULT WINAPI timeEndPeriod(UINT uPeriod) {
    return uPeriod < kPeriodMin || uPeriod > kPeriodMax ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

UINT WINAPI waveOutGetNumDevs(void) { return plat::winmm::audio_ready() ? 1u : 0u; }

// A sine tone through the same output as every other sound; like Windows,
// Beep returns when the tone is over (it times a melody), device or not.
BOOL WINAPI Beep(DWORD dwFreq, DWORD dwDuration) {
    using namespace plat::winmm;
    if (dwFreq < 37 || dwFreq > 32767) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool started = false;
    uint32_t serial = 0;
    if (dwDuration > 0 && audio_ready()) {
        std::lock_guard<std::mutex> lock(audio_lock());
        auto tone = make_tone(dwFreq, dwDuration, 8000);
        started = voice_play(kBeepVoice, tone, 0, tone->frames(), false, kFullVolume);
        serial = voice_serial(kBeepVoice);
    }
    if (started && voice_playing(kBeepVoice))
        voice_wait(kBeepVoice, serial);
    else if (!started)
        std::this_thread::sleep_for(std::chrono::milliseconds(dwDuration));
    return TRUE;
}
