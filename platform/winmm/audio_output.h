// audio_output.h — winmm's one audio output: SDL's audio device with
// SDL2_mixer on it, opened the first time a sound is wanted.
//
// Sounds are decoded whole into Clips (PCM in the output's format) and play
// on voices, the mixer's channels: voice 0 is PlaySound's, voice 1 Beep's,
// the rest are handed to MCI devices. MIDI cannot be decoded ahead; it plays
// as the mixer's one music stream.
//
// Locks: every function here takes winmm's lock (audio_lock) itself unless
// it says "caller holds audio_lock"; SDL2_mixer's own lock is taken inside
// the Mix_* calls, always after ours. The mixer's finish callbacks run under
// the mixer's lock and touch only atomics, the wait lock (a leaf) and
// PostMessageA, never audio_lock.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "windows.h"

namespace plat::winmm {

constexpr int kRate = 44100;      // frames per second of the output
constexpr int kOutChannels = 2;   // stereo
constexpr int kFrameBytes = 4;    // signed 16-bit, two channels
constexpr int kPlaySoundVoice = 0;
constexpr int kBeepVoice = 1;
constexpr int kFullVolume = 128;  // the mixer's volume scale

std::mutex& audio_lock();

// True when an output device is open (opens it on first call). Without one
// every sound call behaves as Windows does on a machine with no sound card.
bool audio_ready();

// PCM in the output's format: interleaved signed 16-bit stereo at kRate.
struct Clip {
    std::vector<uint8_t> pcm;
    size_t frames() const { return pcm.size() / kFrameBytes; }
    DWORD length_ms() const { return DWORD(uint64_t(frames()) * 1000 / kRate); }
};

enum class Decode { Ok, NotFound, Invalid, NoDevice };

// A file name in the program's terms (UTF-8 here, '\' or '/'), as a path
// that exists on this system, or empty. Windows names are case-blind, so a
// name that differs only in case from an existing file is found too.
std::string find_file(const std::string& name);

// Decodes WAV, MP3, OGG (anything SDL2_mixer reads except MIDI).
std::shared_ptr<Clip> decode_file(const std::string& path, Decode* result);
std::shared_ptr<Clip> decode_memory(const void* data, size_t size, Decode* result);
// A sine tone of freq hertz for ms milliseconds with short fades.
std::shared_ptr<Clip> make_tone(DWORD freq, DWORD ms, int amplitude);

// ---- voices (caller holds audio_lock) ----
int acquire_voice();  // -1 when none is free
void release_voice(int voice);

// Who hears of the end of a play: MM_MCINOTIFY to hwnd with lParam device.
struct NotifyTarget {
    HWND hwnd = nullptr;
    UINT device = 0;
};

// Plays frames [from, to) of clip, looping when loop. volume is 0..128.
// Any play on the voice stops first (its notification is the caller's).
bool voice_play(int voice, std::shared_ptr<Clip> clip, size_t from, size_t to, bool loop, int volume);
// Stops the voice; returns the notification that was waiting, if any.
NotifyTarget voice_stop(int voice);
void voice_pause(int voice, bool pause);
void voice_volume(int voice, int volume);
bool voice_playing(int voice);
bool voice_paused(int voice);
// Frames of the clip played since voice_play, loops included.
uint64_t voice_frames_played(int voice);
// Sets (or clears, hwnd null) the notification sent when the current play
// ends by itself; returns the one it replaces.
NotifyTarget voice_arm(int voice, NotifyTarget target);
// A number that changes whenever a play on the voice ends.
uint32_t voice_serial(int voice);

// Waits, without audio_lock, until the play whose serial was taken ends.
void voice_wait(int voice, uint32_t serial);

// ---- the music stream (MIDI); caller holds audio_lock ----
struct Music;  // an opaque loaded piece
std::shared_ptr<Music> load_music(const std::string& path, Decode* result);
// -1 when the length cannot be known
long music_length_ms(const Music& m);
bool music_play(std::shared_ptr<Music> m, double from_s, bool loop, int volume);
NotifyTarget music_stop(const Music& m);  // only if m is the one playing
void music_pause(const Music& m, bool pause);
void music_volume(const Music& m, int volume);
bool music_playing(const Music& m);
NotifyTarget music_arm(const Music& m, NotifyTarget target);
uint32_t music_serial();
void music_wait(uint32_t serial);

// Posts MM_MCINOTIFY with the given flag, when there is a window to post to.
void post_notify(NotifyTarget target, WPARAM flag);

}  // namespace plat::winmm
