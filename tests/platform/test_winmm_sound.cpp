// winmm: what PlaySound, MCI and Beep put into the output, read back from
// SDL's disk audio driver (a raw file of the mixed 16-bit stereo samples at
// 44100 Hz), the MCI command grammar and its errors, MM_MCINOTIFY, the timer
// calls, and behaviour without any output device (in a child process).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/resources.h"
#include "user_test_util.h"

namespace {

const std::string kDir = "/tmp/lv-winmm-test-" + std::to_string(getpid());
const std::string kDisk = kDir + "/mixed.raw";
constexpr int kRate = 44100;

void real_sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

long disk_size() {
    FILE* f = std::fopen(kDisk.c_str(), "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    const long n = std::ftell(f);
    std::fclose(f);
    return n;
}

// The samples written from byte offset on, once at least frames more exist.
std::vector<int16_t> mixed_since(long offset, long frames) {
    for (int i = 0; i < 500 && disk_size() < offset + frames * 4; ++i) real_sleep(10);
    std::vector<int16_t> out(size_t(disk_size() - offset) / 2);
    FILE* f = std::fopen(kDisk.c_str(), "rb");
    std::fseek(f, offset, SEEK_SET);
    out.resize(std::fread(out.data(), 2, out.size(), f));
    std::fclose(f);
    return out;
}

// A 44100 Hz 16-bit stereo WAV image whose samples are nonzero and never repeat.
std::vector<int16_t> pattern(int frames) {
    std::vector<int16_t> s;
    for (int i = 0; i < frames; ++i) {
        s.push_back(int16_t(1000 + (i * 37) % 20000));
        s.push_back(int16_t(-3000 - (i * 53) % 20000));
    }
    return s;
}

std::vector<uint8_t> wav_of(const std::vector<int16_t>& s) {
    const uint32_t data = uint32_t(s.size() * 2);
    std::vector<uint8_t> w(44 + data);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&w[at], &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&w[at], &v, 2); };
    std::memcpy(&w[0], "RIFF", 4), put32(4, 36 + data), std::memcpy(&w[8], "WAVEfmt ", 8);
    put32(16, 16), put16(20, 1), put16(22, 2), put32(24, kRate), put32(28, kRate * 4), put16(32, 4), put16(34, 16);
    std::memcpy(&w[36], "data", 4), put32(40, data);
    std::memcpy(&w[44], s.data(), data);
    return w;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Index of the first place where want occurs in got, or -1.
long find(const std::vector<int16_t>& got, const std::vector<int16_t>& want) {
    for (size_t i = 0; i + want.size() <= got.size(); i += 2)
        if (std::equal(want.begin(), want.end(), got.begin() + long(i))) return long(i);
    return -1;
}

std::string mci(const std::string& cmd, MCIERROR* err = nullptr, HWND cb = nullptr) {
    char answer[128] = "x";
    const MCIERROR e = mciSendStringA(cmd.c_str(), answer, sizeof answer, cb);
    if (err) *err = e;
    return answer;
}

class WinmmMixed : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::system(("mkdir -p " + kDir).c_str());
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", kDisk.c_str(), 1);
        ASSERT_EQ(waveOutGetNumDevs(), 1u);  // opens the output
        write_file(kDir + "/t.wav", wav_of(pattern(3000)));
    }
    void TearDown() override { mciSendStringA("close all", nullptr, 0, nullptr); }
};

TEST_F(WinmmMixed, PlaySoundWritesTheSamplesOfEachKindOfSource) {
    const std::vector<int16_t> samples = pattern(3000);
    const std::vector<uint8_t> image = wav_of(samples);
    static std::vector<uint8_t> resource = image;
    plat::add_resource("WAVE", "PATTERN", resource.data(), resource.size());
    const std::string file = kDir + "/t.wav";
    const struct {
        const char* what;
        const char* sound;
        DWORD flags;
    } rows[] = {
        {"file", file.c_str(), SND_FILENAME},
        {"memory", reinterpret_cast<const char*>(image.data()), SND_MEMORY},
        {"resource", "pattern", SND_RESOURCE},
    };
    for (const auto& r : rows) {
        const long at = disk_size();
        EXPECT_TRUE(PlaySoundA(r.sound, nullptr, r.flags | SND_SYNC)) << r.what;
        const std::vector<int16_t> got = mixed_since(at, 3000 + 4096);
        const long start = find(got, std::vector<int16_t>(samples.begin(), samples.begin() + 16));
        ASSERT_GE(start, 0) << r.what;
        ASSERT_LE(size_t(start) + samples.size(), got.size()) << r.what;
        EXPECT_TRUE(std::equal(samples.begin(), samples.end(), got.begin() + start)) << r.what;
        EXPECT_EQ(got[size_t(start) + samples.size()], 0) << r.what << ": silence after the last sample";
    }
    // Missing sounds: the default sound, unless SND_NODEFAULT.
    EXPECT_FALSE(PlaySoundA((kDir + "/none.wav").c_str(), nullptr, SND_FILENAME | SND_NODEFAULT));
    EXPECT_TRUE(PlaySoundA((kDir + "/none.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC));
    EXPECT_FALSE(PlaySoundA("nosuch", nullptr, SND_RESOURCE | SND_NODEFAULT));
    const std::string mp3 = std::string(LV_TEST_DATA_DIR) + "/burst.mp3";
    EXPECT_FALSE(PlaySoundA(mp3.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT)) << "PlaySound plays WAV only";
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
}

// SDL's audio start would install SDL's own quit handlers; whatever handles
// the signals now (the default, or a handler the program or the console
// installed earlier in this process) must not live in SDL.
TEST_F(WinmmMixed, OpeningTheOutputLeavesCtrlCToTheProgram) {
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction sa {};
        sigaction(sig, nullptr, &sa);
        if (sa.sa_handler == SIG_DFL || sa.sa_handler == SIG_IGN) continue;
        Dl_info where{};
        ASSERT_NE(dladdr(reinterpret_cast<void*>(sa.sa_handler), &where), 0) << sig;
        EXPECT_EQ(std::string(where.dli_fname ? where.dli_fname : "").find("SDL2"), std::string::npos)
            << sig << " is handled in " << where.dli_fname;
    }
}

TEST_F(WinmmMixed, LoopedPlaySoundRepeatsUntilStoppedThenSilence) {
    const long at = disk_size();
    ASSERT_TRUE(PlaySoundA((kDir + "/t.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP));
    EXPECT_FALSE(PlaySoundA((kDir + "/t.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NOSTOP));
    mixed_since(at, 3 * 3000 + 4096);
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
    const long stopped = disk_size();
    const std::vector<int16_t> got = mixed_since(at, (stopped - at) / 4 + 8192);
    const std::vector<int16_t> samples = pattern(3000);
    const std::vector<int16_t> head(samples.begin(), samples.begin() + 16);
    const long first = find(got, head);
    ASSERT_GE(first, 0);
    const std::vector<int16_t> rest(got.begin() + first + 2, got.end());
    EXPECT_EQ(find(rest, head) + 2, 3000 * 2) << "the second pass follows the first without a gap";
    for (size_t i = got.size() - 4096; i < got.size(); ++i) ASSERT_EQ(got[i], 0) << "sound after the stop";
}

// Bursts of the 0.1 s tone in the output: the frame each one starts at.
std::vector<long> burst_starts(const std::vector<int16_t>& s) {
    std::vector<long> starts;
    long last_loud = -100000;
    for (size_t i = 0; i < s.size(); i += 2) {
        if (std::abs(s[i]) < 4000) continue;
        const long frame = long(i / 2);
        if (frame - last_loud > kRate / 10) starts.push_back(frame);
        last_loud = frame;
    }
    return starts;
}

TEST_F(WinmmMixed, RepeatLoopsAnMp3AndStopSilencesIt) {
    const std::string mp3 = std::string(LV_TEST_DATA_DIR) + "/burst.mp3";
    MCIERROR e;
    mci("open \"" + mp3 + "\" alias music", &e);
    ASSERT_EQ(e, 0u);
    const long length = std::stol(mci("status music length"));
    EXPECT_NEAR(length, 500, 60);
    const long at = disk_size();
    mci("play music repeat", &e);
    ASSERT_EQ(e, 0u);
    mixed_since(at, kRate * 3 * length / 1000 + 4096);
    EXPECT_EQ(mci("status music mode"), "playing");
    mci("stop music", &e);
    EXPECT_EQ(e, 0u);
    EXPECT_EQ(mci("status music mode"), "stopped");
    const long stopped = disk_size();
    const std::vector<int16_t> got = mixed_since(at, (stopped - at) / 4 + kRate / 4);
    const std::vector<long> starts = burst_starts(got);
    ASSERT_GE(starts.size(), 3u);
    for (size_t i = 1; i + 1 < starts.size(); ++i)
        EXPECT_NEAR(starts[i] - starts[i - 1], kRate * length / 1000, kRate / 100) << "pass " << i;
    for (size_t i = got.size() - kRate / 8; i < got.size(); ++i) ASSERT_EQ(got[i], 0) << "sound after the stop";
}

TEST_F(WinmmMixed, SetAudioVolumeScalesTheSamples) {
    const std::vector<int16_t> samples = pattern(3000);
    MCIERROR e;
    mci("open \"" + kDir + "/t.wav\" type mpegvideo alias v", &e);
    ASSERT_EQ(e, 0u);
    for (int volume : {1000, 500, 250}) {
        mci("setaudio v volume to " + std::to_string(volume), &e);
        EXPECT_EQ(e, 0u);
        EXPECT_EQ(mci("status v volume"), std::to_string(volume));
        const long at = disk_size();
        mci("play v from 0 wait", &e);
        EXPECT_EQ(e, 0u);
        std::vector<int16_t> want;
        for (int16_t s : samples) want.push_back(int16_t(s * (volume * 128 / 1000) / 128));
        const std::vector<int16_t> got = mixed_since(at, 3000 + 4096);
        const long start = find(got, std::vector<int16_t>(want.begin(), want.begin() + 16));
        ASSERT_GE(start, 0) << volume;
        ASSERT_LE(size_t(start) + want.size(), got.size());
        EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin() + start)) << volume;
    }
}

TEST_F(WinmmMixed, CompressedAndMidiFilesOpenWithTheirLengthAndSound) {
    // One note of 1 s at 120 beats a minute (96 ticks a beat), then 0.5 s of rest.
    const unsigned char midi[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                  'M', 'T', 'r', 'k', 0, 0, 0, 16,
                                  0x00, 0xC0, 0x00, 0x00, 0x90, 60, 100, 0x81, 0x40, 0x80, 60, 0, 0x60, 0xFF, 0x2F, 0x00};
    write_file(kDir + "/note.mid", std::vector<uint8_t>(midi, midi + sizeof midi));
    const struct {
        std::string path;
        long length;
    } rows[] = {{std::string(LV_TEST_DATA_DIR) + "/burst.mp3", 500},
                {std::string(LV_TEST_DATA_DIR) + "/burst.ogg", 500},
                {kDir + "/note.mid", 1500}};
    for (const auto& r : rows) {
        MCIERROR e;
        mci("open \"" + r.path + "\" alias piece", &e);
        ASSERT_EQ(e, 0u) << r.path;
        EXPECT_NEAR(std::stol(mci("status piece length")), r.length, 60) << r.path;
        const long at = disk_size();
        mci("play piece wait", &e);
        EXPECT_EQ(e, 0u) << r.path;
        EXPECT_EQ(mci("status piece mode"), "stopped") << r.path;
        int loudest = 0;
        for (int16_t s : mixed_since(at, kRate / 2)) loudest = std::max(loudest, std::abs(int(s)));
        EXPECT_GT(loudest, 1000) << r.path << " made no sound";
        mci("close piece");
    }
}

TEST_F(WinmmMixed, CommandGrammarAnswersAndErrors) {
    const std::string t = "\"" + kDir + "/t.wav\"";
    const struct {
        std::string command;
        MCIERROR error;
        const char* answer;  // nullptr: not checked
    } rows[] = {
        {"", MCIERR_MISSING_COMMAND_STRING, ""},
        {"fly a", MCIERR_UNRECOGNIZED_COMMAND, ""},
        {"play", MCIERR_MISSING_DEVICE_NAME, ""},
        {"status nosuch mode", MCIERR_EXTENSION_NOT_FOUND, ""},  // taken for a file to open
        {"status \"" + kDir + "/none.wav\" mode", MCIERR_FILE_NOT_FOUND, ""},
        {"status " + t + " length", 0, "68"},  // opened for the command, closed after it
        {"open " + t + " alias a", 0, "1"},
        {"open " + t + " alias A", MCIERR_DUPLICATE_ALIAS, ""},
        {"open " + t + " type waveaudio alias b", 0, "2"},
        {"STATUS A LENGTH", 0, "68"},
        {"status a mode", 0, "stopped"},
        {"status a ready", 0, "true"},
        {"status a", MCIERR_MISSING_PARAMETER, ""},
        {"status a loudness", MCIERR_UNRECOGNIZED_COMMAND, ""},
        {"play a repeat", MCIERR_UNRECOGNIZED_COMMAND, ""},  // only mpegvideo repeats
        {"play a from abc", MCIERR_BAD_INTEGER, ""},
        {"play a from", MCIERR_NO_INTEGER, ""},
        {"play a from 69", MCIERR_OUTOFRANGE, ""},
        {"play a from 50 to 20", MCIERR_OUTOFRANGE, ""},
        {"seek a to 30", 0, ""},
        {"status a position", 0, "30"},
        {"seek a to end", 0, ""},
        {"status a position", 0, "68"},
        {"seek a to start wait", 0, ""},
        {"status a position", 0, "0"},
        {"seek a to 69", MCIERR_OUTOFRANGE, ""},
        {"set a time format ms", 0, ""},
        {"set a time format parsecs", MCIERR_BAD_TIME_FORMAT, ""},
        {"status a time format", 0, "milliseconds"},
        {"setaudio a volume to 500", MCIERR_UNRECOGNIZED_COMMAND, ""},
        {"pause a", 0, ""},
        {"resume a", 0, ""},
        {"open \"" + kDir + "/none.wav\"", MCIERR_FILE_NOT_FOUND, ""},
        {"open \"" + kDir + "/t.xyz\"", MCIERR_EXTENSION_NOT_FOUND, ""},
        {"open \"" + kDir + "/t.wav alias c", MCIERR_NO_CLOSING_QUOTE, ""},
        {"play all", MCIERR_CANNOT_USE_ALL, ""},
        {"close all", 0, ""},
        {"status a mode", MCIERR_EXTENSION_NOT_FOUND, ""},
    };
    for (const auto& r : rows) {
        MCIERROR e;
        const std::string answer = mci(r.command, &e);
        EXPECT_EQ(e, r.error) << r.command;
        if (r.answer) {
            EXPECT_EQ(answer, r.answer) << r.command;
        }
    }
    // An answer longer than the buffer.
    mci("open " + t + " alias a");
    char small[2] = "x";
    EXPECT_EQ(mciSendStringA("status a length", small, sizeof small, nullptr), MCIERROR(MCIERR_PARAM_OVERFLOW));
    EXPECT_EQ(mciSendStringA("status a length", nullptr, 0, nullptr), 0u);
    wchar_t wide[16];
    EXPECT_EQ(mciSendStringW(L"status a mode", wide, 16, nullptr), 0u);
    EXPECT_EQ(std::wstring(wide), L"stopped");
}

TEST_F(WinmmMixed, NotifyPostsTheOutcomeToTheCallbackWindow) {
    HWND w = usertest::make_window();
    MCIERROR e;
    const UINT id = UINT(std::stoul(mci("open \"" + kDir + "/t.wav\" alias n", &e)));
    auto wait_notify = [&](size_t count) {
        MSG m;
        for (int i = 0; i < 300 && usertest::received(MM_MCINOTIFY).size() < count; ++i) {
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            real_sleep(10);
        }
        return usertest::received(MM_MCINOTIFY);
    };
    mci("play n notify", &e, w);
    EXPECT_EQ(e, 0u);
    std::vector<usertest::Received> got = wait_notify(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wp, WPARAM(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(got[0].lp, LPARAM(id));
    mci("play n from 0 notify", nullptr, w);
    mci("play n from 0 notify", nullptr, w);  // supersedes the first
    mci("stop n", nullptr, w);                // aborts the second
    got = wait_notify(3);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].wp, WPARAM(MCI_NOTIFY_SUPERSEDED));
    EXPECT_EQ(got[2].wp, WPARAM(MCI_NOTIFY_ABORTED));
}

TEST(WinmmText, ErrorStringsTimerCallsAndBeepLimits) {
    const struct {
        MCIERROR code;
        const char* text;
    } rows[] = {
        {MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not recognized by MCI."},
        {MCIERR_FILE_NOT_FOUND, "Cannot find the specified file. Make sure the path and filename are correct."},
        {MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command."},
        {MCIERR_DUPLICATE_ALIAS, "The specified alias is already being used in this application. Use a unique alias."},
        {MCIERR_EXTENSION_NOT_FOUND, "Cannot determine the device type from the given filename extension."},
    };
    char buf[256];
    for (const auto& r : rows) {
        EXPECT_TRUE(mciGetErrorStringA(r.code, buf, sizeof buf)) << r.code;
        EXPECT_STREQ(buf, r.text);
    }
    EXPECT_TRUE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, buf, 7));
    EXPECT_STREQ(buf, "Cannot");
    EXPECT_FALSE(mciGetErrorStringA(9999, buf, sizeof buf));

    TIMECAPS tc{};
    EXPECT_EQ(timeGetDevCaps(&tc, sizeof tc), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(tc.wPeriodMin, 1u);
    EXPECT_EQ(timeGetDevCaps(nullptr, sizeof tc), MMRESULT(TIMERR_NOCANDO));
    EXPECT_EQ(timeBeginPeriod(0), MMRESULT(TIMERR_NOCANDO));
    EXPECT_EQ(timeBeginPeriod(1), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(1), MMRESULT(TIMERR_NOERROR));
    EXPECT_FALSE(Beep(36, 10));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// A fresh process where SDL finds no audio driver: as a machine without a
// sound card, and nothing blocks.
TEST(WinmmNoDeviceDeathTest, CallsAnswerAsWithoutASoundCard) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "none-such", 1);
            std::system(("mkdir -p " + kDir).c_str());
            write_file(kDir + "/q.wav", wav_of(pattern(441)));
            bool ok = waveOutGetNumDevs() == 0;
            MCIERROR e = 1;
            ok = ok && mci("open \"" + kDir + "/q.wav\" alias q", &e) == "1" && e == 0;
            ok = ok && mci("status q length") == "10";
            mci("play q wait", &e);
            ok = ok && e == 0 && mci("status q mode") == "stopped";
            ok = ok && !PlaySoundA((kDir + "/q.wav").c_str(), nullptr, SND_FILENAME | SND_SYNC);
            ok = ok && PlaySoundA((kDir + "/q.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC);
            ok = ok && Beep(440, 20);
            std::exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
