// mci_devices.cpp — mciSendStringA/W: the open MCI devices of the process
// and what each verb does to them.
//
// waveaudio and mpegvideo devices decode their file whole when opened and
// play it on a voice of their own, so from/to, seek and the position are
// exact to the frame; repeat (mpegvideo only) loops the range played. A
// sequencer (MIDI) plays on the mixer's music stream and keeps its position
// by the clock. Times are milliseconds, the only time format kept.
//
// Without an output device, open checks the file as usual, play starts
// nothing (the device stays "stopped", as Windows reports it then), and
// lengths are those of the file's header when it is a WAV.
//
// Locks: audio_lock() for the whole of a command, except while "wait" waits.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "codepage.h"
#include "winmm/audio_output.h"
#include "winmm/mci_parse.h"
#include "winmm/winmm_internal.h"

namespace plat::winmm {
namespace {

using Clock = std::chrono::steady_clock;

struct Device {
    UINT id = 0;
    std::string name;  // the alias, or the element as given; compared without case
    DeviceKind kind = DeviceKind::Wave;
    bool auto_opened = false;
    std::shared_ptr<Clip> clip;    // wave and mpeg, with a device
    std::shared_ptr<Music> music;  // sequencer, with a device
    long length_ms = 0;
    int voice = -1;
    int volume = 1000;  // setaudio volume, 0..1000

    // Playing: [from, to) in ms; position when not playing.
    long pos_ms = 0;
    long from_ms = 0, to_ms = 0;
    bool active = false;  // a play was started and not stopped
    bool paused = false;
    bool loop = false;
    // Sequencer clock: time played before the current run, and when it began.
    long seq_played_ms = 0;
    Clock::time_point seq_run_start;
};

// Never freed: a device's sound may still be mixed while the process exits (audio_lock).
std::vector<std::unique_ptr<Device>>& devices() {
    static auto* d = new std::vector<std::unique_ptr<Device>>;
    return *d;
}

int mixer_volume(int v) { return std::clamp(v, 0, 1000) * kFullVolume / 1000; }

Device* find_device(const std::string& name) {
    const std::string n = lower(name);
    for (auto& d : devices())
        if (lower(d->name) == n) return d.get();
    return nullptr;
}

UINT next_id() {
    UINT id = 1;
    for (bool taken = true; taken; ++id) {
        taken = false;
        for (auto& d : devices()) taken = taken || d->id == id;
        if (!taken) return id;
    }
    return id;
}

// The duration of a RIFF WAVE file from its header, for when nothing decodes it.
long wav_header_length_ms(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    unsigned char h[12];
    long result = -1;
    uint32_t bytes_per_sec = 0;
    if (std::fread(h, 1, 12, f) == 12 && !std::memcmp(h, "RIFF", 4) && !std::memcmp(h + 8, "WAVE", 4)) {
        unsigned char c[8];
        while (std::fread(c, 1, 8, f) == 8) {
            const uint32_t size = c[4] | c[5] << 8 | c[6] << 16 | uint32_t(c[7]) << 24;
            if (!std::memcmp(c, "fmt ", 4) && size >= 16) {
                unsigned char fmt[16];
                if (std::fread(fmt, 1, 16, f) != 16) break;
                bytes_per_sec = fmt[8] | fmt[9] << 8 | fmt[10] << 16 | uint32_t(fmt[11]) << 24;
                std::fseek(f, long(size - 16 + (size & 1)), SEEK_CUR);
            } else if (!std::memcmp(c, "data", 4)) {
                if (bytes_per_sec) result = long(uint64_t(size) * 1000 / bytes_per_sec);
                break;
            } else {
                std::fseek(f, long(size + (size & 1)), SEEK_CUR);
            }
        }
    }
    std::fclose(f);
    return result;
}


// ---- playing state ----
long seq_position(const Device& d) {
    long played = d.seq_played_ms;
    if (d.active && !d.paused)
        played += long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - d.seq_run_start).count());
    const long range = std::max(1L, d.to_ms - d.from_ms);
    if (d.loop) played %= range;
    return std::min(d.from_ms + played, d.to_ms);
}

// Brings the state up to date with the output: a play that ended by itself
// leaves the device stopped at the end of what it played.
void refresh(Device& d) {
    if (!d.active) return;
    const bool running = d.music ? music_playing(*d.music) : (d.voice >= 0 && voice_playing(d.voice));
    if (!running) {
        d.active = false;
        d.paused = false;
        d.pos_ms = d.to_ms;
    }
}

long position_ms(Device& d) {
    refresh(d);
    if (!d.active) return d.pos_ms;
    if (d.music) return seq_position(d);
    const uint64_t frames = voice_frames_played(d.voice);
    const uint64_t range = uint64_t(std::max(1L, d.to_ms - d.from_ms)) * kRate / 1000;
    const uint64_t in_range = d.loop ? frames % range : std::min(frames, range);
    return d.from_ms + long(in_range * 1000 / kRate);
}

// Stops playing, keeping the position; the waiting notification gets flag.
void halt(Device& d, WPARAM flag) {
    if (d.active) d.pos_ms = position_ms(d);
    NotifyTarget was{};
    if (d.music)
        was = music_stop(*d.music);
    else if (d.voice >= 0)
        was = voice_stop(d.voice);
    d.active = d.paused = false;
    post_notify(was, flag);
}

void close_device(Device& d) {
    halt(d, MCI_NOTIFY_ABORTED);
    if (d.voice >= 0) release_voice(d.voice);
    d.voice = -1;
    d.music.reset();
    d.clip.reset();
}

void remove_device(Device* d) {
    close_device(*d);
    devices().erase(std::remove_if(devices().begin(), devices().end(), [d](auto& p) { return p.get() == d; }),
                    devices().end());
}

// Auto-opened devices close once their play is over.
void sweep_auto_opened() {
    for (size_t i = 0; i < devices().size();) {
        Device& d = *devices()[i];
        refresh(d);
        if (d.auto_opened && !d.active)
            remove_device(&d);
        else
            ++i;
    }
}

// ---- verbs ----
MCIERROR do_open(const std::string& element, const Params& p, std::string* answer) {
    DeviceKind kind;
    std::string file = element;
    const auto type = p.find("type");
    if (type != p.end()) {
        if (!kind_of_type(type->second, &kind)) return MCIERR_INVALID_DEVICE_NAME;
    } else if (kind_of_type(element, &kind)) {
        return MCIERR_UNSUPPORTED_FUNCTION;  // a bare device ("open waveaudio"): nothing to play
    } else if (!kind_of_extension(element, &kind)) {
        return MCIERR_EXTENSION_NOT_FOUND;
    }
    const auto alias = p.find("alias");
    const std::string name = alias != p.end() ? alias->second : element;
    if (find_device(name)) return alias != p.end() ? MCIERR_DUPLICATE_ALIAS : MCIERR_DEVICE_OPEN;
    const std::string path = find_file(file);
    if (path.empty()) return MCIERR_FILE_NOT_FOUND;

    auto d = std::make_unique<Device>();
    d->kind = kind;
    d->name = name;
    if (audio_ready()) {
        Decode result = Decode::Invalid;
        if (kind == DeviceKind::Sequencer) {
            d->music = load_music(path, &result);
            if (!d->music) return MCIERR_INVALID_FILE;
            d->length_ms = music_length_ms(*d->music);
            if (d->length_ms < 0) d->length_ms = std::max(0L, midi_length_ms(path));
        } else {
            if (kind == DeviceKind::Wave && !is_wav_file(path)) return MCIERR_INVALID_FILE;
            d->clip = decode_file(path, &result);
            if (!d->clip) return MCIERR_INVALID_FILE;
            d->length_ms = long(d->clip->length_ms());
            d->voice = acquire_voice();
            if (d->voice < 0) return MCIERR_WAVE_OUTPUTSINUSE;
        }
    } else {
        if (kind == DeviceKind::Wave && !is_wav_file(path)) return MCIERR_INVALID_FILE;
        d->length_ms = std::max(0L, kind == DeviceKind::Sequencer ? midi_length_ms(path) : wav_header_length_ms(path));
    }
    d->id = next_id();
    *answer = std::to_string(d->id);
    devices().push_back(std::move(d));
    return 0;
}

MCIERROR do_play(Device& d, const Params& p, NotifyTarget notify, bool* wait) {
    const long pos = position_ms(d);
    long from = pos, to = d.length_ms;
    if (p.count("from")) from = long(std::stoul(p.at("from")));
    if (p.count("to")) to = long(std::stoul(p.at("to")));
    if (from > d.length_ms || to > d.length_ms || from > to) return MCIERR_OUTOFRANGE;
    // A new play supersedes the previous one's notification.
    NotifyTarget was{};
    if (d.music)
        was = music_arm(*d.music, NotifyTarget{});
    else if (d.voice >= 0)
        was = voice_arm(d.voice, NotifyTarget{});
    post_notify(was, MCI_NOTIFY_SUPERSEDED);

    d.from_ms = from;
    d.to_ms = to;
    d.loop = p.count("repeat") != 0;
    d.paused = false;
    d.active = false;
    d.pos_ms = from;
    bool started = false;
    if (from < to || d.loop) {
        if (d.music) {
            started = music_play(d.music, from / 1000.0, d.loop, mixer_volume(d.volume));
            d.seq_played_ms = 0;
            d.seq_run_start = Clock::now();
        } else if (d.clip) {
            const size_t f0 = size_t(uint64_t(from) * kRate / 1000);
            const size_t f1 = to >= d.length_ms ? d.clip->frames() : size_t(uint64_t(to) * kRate / 1000);
            started = voice_play(d.voice, d.clip, f0, f1, d.loop, mixer_volume(d.volume));
        }
    }
    if (!started) {
        // Nothing to hear (an empty range, or no output device): the play is
        // over at once, at its end when there is a device to reach it.
        if (audio_ready()) d.pos_ms = to;
        post_notify(notify, MCI_NOTIFY_SUCCESSFUL);
        *wait = false;
        return 0;
    }
    d.active = true;
    if (d.music)
        music_arm(*d.music, notify);
    else
        voice_arm(d.voice, notify);
    return 0;
}

MCIERROR do_status(Device& d, const Params& p, std::string* answer) {
    const auto it = p.find("item");
    if (it == p.end()) return MCIERR_MISSING_PARAMETER;
    const std::string& item = it->second;
    refresh(d);
    if (item == "mode")
        *answer = d.active ? (d.paused ? "paused" : "playing") : "stopped";
    else if (item == "length")
        *answer = std::to_string(d.length_ms);
    else if (item == "position")
        *answer = std::to_string(position_ms(d));
    else if (item == "ready")
        *answer = "true";
    else if (item == "time format")
        *answer = "milliseconds";
    else if (item == "volume")
        *answer = std::to_string(d.volume);
    else if (item == "number of tracks")
        *answer = "1";
    return 0;
}

MCIERROR do_verb(Verb verb, Device& d, const Params& p, NotifyTarget notify, std::string* answer, bool* wait) {
    switch (verb) {
        case Verb::Play: return do_play(d, p, notify, wait);
        case Verb::Pause:
            refresh(d);
            if (d.active && !d.paused) {
                d.pos_ms = position_ms(d);
                if (d.music) {
                    music_pause(*d.music, true);
                    d.seq_played_ms += long(
                        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - d.seq_run_start).count());
                } else {
                    voice_pause(d.voice, true);
                }
                d.paused = true;
            }
            break;
        case Verb::Resume:
            refresh(d);
            if (d.active && d.paused) {
                if (d.music) {
                    music_pause(*d.music, false);
                    d.seq_run_start = Clock::now();
                } else {
                    voice_pause(d.voice, false);
                }
                d.paused = false;
            }
            break;
        case Verb::Stop: halt(d, MCI_NOTIFY_ABORTED); break;
        case Verb::Seek: {
            long to;
            const int given = int(p.count("to start")) + int(p.count("to end")) + int(p.count("to"));
            if (given == 0) return MCIERR_MISSING_PARAMETER;
            if (given > 1) return MCIERR_FLAGS_NOT_COMPATIBLE;
            if (p.count("to start"))
                to = 0;
            else if (p.count("to end"))
                to = d.length_ms;
            else
                to = long(std::stoul(p.at("to")));
            if (to > d.length_ms) return MCIERR_OUTOFRANGE;
            halt(d, MCI_NOTIFY_ABORTED);
            d.pos_ms = to;
            break;
        }
        case Verb::Status: {
            const MCIERROR e = do_status(d, p, answer);
            if (e) return e;
            break;
        }
        case Verb::Set:
            if (p.empty() || (p.size() == p.count("wait") + p.count("notify"))) return MCIERR_MISSING_PARAMETER;
            break;  // milliseconds is the only time format, and it is kept already
        case Verb::SetAudio:
            if (p.count("volume to")) {
                const long v = long(std::stoul(p.at("volume to")));
                if (v > 1000) return MCIERR_OUTOFRANGE;
                d.volume = int(v);
                if (d.music)
                    music_volume(*d.music, mixer_volume(d.volume));
                else if (d.voice >= 0)
                    voice_volume(d.voice, mixer_volume(d.volume));
            } else if (!p.count("on") && !p.count("off")) {
                return MCIERR_MISSING_PARAMETER;
            }
            break;
        case Verb::Close:
        case Verb::Open: break;  // handled by the caller
    }
    if (verb != Verb::Play) post_notify(notify, MCI_NOTIFY_SUCCESSFUL);
    return 0;
}

}  // namespace

bool is_wav_file(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char h[12];
    const bool ok = std::fread(h, 1, 12, f) == 12 && !std::memcmp(h, "RIFF", 4) && !std::memcmp(h + 8, "WAVE", 4);
    std::fclose(f);
    return ok;
}

MCIERROR mci_send(const std::string& command, std::string* answer, HWND callback) {
    answer->clear();
    std::vector<std::string> words;
    if (MCIERROR e = split_words(command, &words)) return e;
    if (words.empty()) return MCIERR_MISSING_COMMAND_STRING;
    Verb verb;
    if (!verb_of(words[0], &verb)) return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
    const std::string& name = words[1];

    std::unique_lock<std::mutex> lock(audio_lock());
    sweep_auto_opened();
    Params p;
    if (verb == Verb::Open) {
        if (MCIERROR e = parse_params(verb, DeviceKind::Wave, true, words, 2, &p)) return e;
        // The keywords must suit the kind the device turns out to be.
        DeviceKind kind = DeviceKind::Wave;
        const auto type = p.find("type");
        if ((type != p.end() && kind_of_type(type->second, &kind)) || kind_of_extension(name, &kind)) {
            if (MCIERROR e = parse_params(verb, kind, false, words, 2, &p)) return e;
        }
        const MCIERROR e = do_open(name, p, answer);
        if (!e && p.count("notify")) post_notify(NotifyTarget{callback, UINT(std::stoul(*answer))}, MCI_NOTIFY_SUCCESSFUL);
        return e;
    }

    if (lower(name) == "all") {
        if (verb != Verb::Close && verb != Verb::Stop && verb != Verb::Pause && verb != Verb::Resume)
            return MCIERR_CANNOT_USE_ALL;
        if (MCIERROR e = parse_params(verb, DeviceKind::Wave, true, words, 2, &p)) return e;
        for (auto& d : devices()) {
            bool wait = false;
            if (verb != Verb::Close) do_verb(verb, *d, p, NotifyTarget{}, answer, &wait);
        }
        if (verb == Verb::Close) {
            while (!devices().empty()) remove_device(devices().back().get());
        }
        if (p.count("notify")) post_notify(NotifyTarget{callback, 0xFFFFFFFFu}, MCI_NOTIFY_SUCCESSFUL);
        return 0;
    }

    Device* d = find_device(name);
    bool auto_open = false;
    if (!d) {
        // A name that is no open device is a file to open by itself ("play
        // file.wav"): its extension must name a device type. The device
        // closes when its play is over, or after any other command.
        DeviceKind kind;
        if (!kind_of_extension(name, &kind)) return MCIERR_EXTENSION_NOT_FOUND;
        if (MCIERROR e = parse_params(verb, kind, false, words, 2, &p)) return e;
        if (p.count("notify")) return MCIERR_NOTIFY_ON_AUTO_OPEN;
        std::string id;
        if (MCIERROR e = do_open(name, Params{}, &id)) return e;
        d = find_device(name);
        d->auto_opened = auto_open = true;
    }
    // Only the digital-video driver (mpegvideo) knows "setaudio".
    if (verb == Verb::SetAudio && d->kind != DeviceKind::Mpeg) {
        if (auto_open) remove_device(d);
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
    if (MCIERROR e = parse_params(verb, d->kind, false, words, 2, &p)) {
        if (auto_open) remove_device(d);
        return e;
    }
    const UINT id = d->id;
    const NotifyTarget notify = p.count("notify") ? NotifyTarget{callback, id} : NotifyTarget{};
    if (verb == Verb::Close) {
        remove_device(d);
        post_notify(notify, MCI_NOTIFY_SUCCESSFUL);
        return 0;
    }
    bool wait = p.count("wait") != 0 && verb == Verb::Play;
    const MCIERROR e = do_verb(verb, *d, p, notify, answer, &wait);
    if (auto_open && verb != Verb::Play) {
        remove_device(d);
        return e;
    }
    if (e || !wait || !d->active) return e;
    // "play ... wait": until the play ends (or another thread stops it).
    const bool music = d->music != nullptr;
    const int voice = d->voice;
    const uint32_t serial = music ? music_serial() : voice_serial(voice);
    const bool running = music ? music_playing(*d->music) : voice_playing(voice);
    lock.unlock();
    if (running) {
        if (music)
            music_wait(serial);
        else
            voice_wait(voice, serial);
    }
    return 0;
}

}  // namespace plat::winmm

namespace {

MCIERROR hand_back(MCIERROR e, const std::string& answer, LPSTR out, UINT size) {
    if (!out || size == 0) return e;
    const std::string gbk = plat::codepage::utf8_to_936(answer);
    if (gbk.size() + 1 > size) return e ? e : MCIERR_PARAM_OVERFLOW;
    std::memcpy(out, gbk.c_str(), gbk.size() + 1);
    return e;
}

}  // namespace

MCIERROR WINAPI mciSendStringA(LPCSTR lpstrCommand, LPSTR lpstrReturnString, UINT uReturnLength, HWND hwndCallback) {
    if (lpstrReturnString && uReturnLength) *lpstrReturnString = '\0';
    if (!lpstrCommand) return MCIERR_NULL_PARAMETER_BLOCK;
    std::string answer;
    const MCIERROR e =
        plat::winmm::mci_send(plat::codepage::cp936_to_utf8(lpstrCommand, -1), &answer, hwndCallback);
    return hand_back(e, answer, lpstrReturnString, uReturnLength);
}

MCIERROR WINAPI mciSendStringW(LPCWSTR lpstrCommand, LPWSTR lpstrReturnString, UINT uReturnLength, HWND hwndCallback) {
    if (lpstrReturnString && uReturnLength) *lpstrReturnString = L'\0';
    if (!lpstrCommand) return MCIERR_NULL_PARAMETER_BLOCK;
    std::string answer;
    const MCIERROR e = plat::winmm::mci_send(plat::winmm::utf8_of_wide(lpstrCommand), &answer, hwndCallback);
    if (!lpstrReturnString || uReturnLength == 0) return e;
    const std::wstring w = plat::winmm::wide_of_utf8(answer);
    if (w.size() + 1 > uReturnLength) return e ? e : MCIERR_PARAM_OVERFLOW;
    std::wmemcpy(lpstrReturnString, w.c_str(), w.size() + 1);
    return e;
}
