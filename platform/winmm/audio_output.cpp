// audio_output.cpp — SDL's audio device and SDL2_mixer for winmm: opening
// them once, decoding sounds, voices (mixer channels) and the music stream.
//
// Locks: audio_lock() guards the voices' bookkeeping and every Mix_* call
// made on a program's behalf; the mixer takes its own lock inside those
// calls. The finish callbacks run under the mixer's lock (on SDL's audio
// thread, or on the thread that halts a voice) and take only the wait lock,
// a leaf that is never held across a Mix_* call. Starting SDL's audio holds
// the process-wide SDL start lock, shared with the window backend's thread.
#include "winmm/audio_output.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dirent.h>
#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>

#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>

#include "sdl_init_lock.h"

namespace plat::winmm {
namespace {

constexpr int kVoices = 32;

struct Voice {
    bool in_use = false;         // handed out (audio_lock)
    Mix_Chunk* chunk = nullptr;  // a view into clip's PCM (audio_lock)
    std::shared_ptr<Clip> clip;  // kept alive while the chunk may play
    std::atomic<uint64_t> bytes{0};
    uint32_t serial = 0;         // wait lock
    NotifyTarget armed;          // wait lock
};

struct MusicState {
    Mix_Music* playing = nullptr;  // audio_lock
    std::shared_ptr<Music> owner;  // keeps the playing piece alive
    uint32_t serial = 0;           // wait lock
    NotifyTarget armed;            // wait lock
};

// Never freed: SDL's audio thread may still mix from these while the
// process exits and static objects are destroyed.
struct Shared {
    Voice voices[kVoices];
    std::mutex wait_mu;
    std::condition_variable wait_cv;
    MusicState music;
};
Shared& shared() {
    static Shared* s = new Shared;
    return *s;
}

enum class Open { NotTried, Ready, Failed };
std::mutex g_open_mu;
std::atomic<Open> g_open{Open::NotTried};

bool exists_file(const std::string& p) {
    struct stat st{};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Runs under the mixer's lock: atomics, the wait lock and a post only.
void SDLCALL on_channel_done(int channel) {
    if (channel < 0 || channel >= kVoices) return;
    NotifyTarget target;
    {
        std::lock_guard<std::mutex> lock(shared().wait_mu);
        ++shared().voices[channel].serial;
        target = shared().voices[channel].armed;
        shared().voices[channel].armed = NotifyTarget{};
    }
    shared().wait_cv.notify_all();
    post_notify(target, MCI_NOTIFY_SUCCESSFUL);
}

void SDLCALL on_music_done() {
    NotifyTarget target;
    {
        std::lock_guard<std::mutex> lock(shared().wait_mu);
        ++shared().music.serial;
        target = shared().music.armed;
        shared().music.armed = NotifyTarget{};
    }
    shared().wait_cv.notify_all();
    post_notify(target, MCI_NOTIFY_SUCCESSFUL);
}

void SDLCALL count_bytes(int channel, void*, int len, void*) {
    if (channel >= 0 && channel < kVoices) shared().voices[channel].bytes.fetch_add(uint64_t(len), std::memory_order_relaxed);
}

// The General MIDI sound font for MIDI: SDL_SOUNDFONTS when the user set it,
// else the system's default one (Debian's timgm6mb-soundfont or another).
void choose_sound_font() {
    const char* env = std::getenv("SDL_SOUNDFONTS");
    if (env && *env) return;
    static const char* const kFonts[] = {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                                         "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
    for (const char* f : kFonts)
        if (exists_file(f)) {
            Mix_SetSoundFonts(f);
            return;
        }
}

// ALSA prints a page of errors on standard error when a machine has no
// sound card; a program without sound should start as quietly as it does
// on Windows. Its messages are silenced while SDL looks for a device only.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}
void silence_alsa(bool silent) {
    static void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);  // SDL's own copy when it uses ALSA
    if (!alsa) return;
    using SetHandler = int (*)(AlsaErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(silent ? quiet_alsa : nullptr);
}

bool open_output() {
    std::lock_guard<std::mutex> sdl(sdl_init_mutex());
    // Audio starts SDL's event subsystem, which would take over SIGINT and
    // SIGTERM (as the window backend's thread also forbids): Ctrl+C must
    // still end the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    silence_alsa(true);
    // allowed_changes 0: SDL converts to whatever the device wants, so the
    // mixer's format (and every Clip) is always 16-bit stereo at kRate.
    bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (opened && Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, kOutChannels, 1024, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        opened = false;
    }
    silence_alsa(false);
    if (!opened) return false;
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_MID);
    choose_sound_font();
    Mix_AllocateChannels(kVoices);
    Mix_ReserveChannels(kVoices);  // voices are chosen here, never by the mixer
    Mix_ChannelFinished(on_channel_done);
    Mix_HookMusicFinished(on_music_done);
    return true;
}

std::shared_ptr<Clip> clip_of(Mix_Chunk* chunk, Decode* result) {
    if (!chunk) {
        *result = Decode::Invalid;
        return nullptr;
    }
    auto clip = std::make_shared<Clip>();
    clip->pcm.assign(chunk->abuf, chunk->abuf + (chunk->alen / kFrameBytes) * kFrameBytes);
    Mix_FreeChunk(chunk);
    *result = Decode::Ok;
    return clip;
}

}  // namespace

std::mutex& audio_lock() {
    static std::mutex* m = new std::mutex;  // outlives static destruction (see Shared)
    return *m;
}

bool audio_ready() {
    Open state = g_open.load(std::memory_order_acquire);
    if (state != Open::NotTried) return state == Open::Ready;
    std::lock_guard<std::mutex> lock(g_open_mu);
    if (g_open.load() == Open::NotTried) g_open.store(open_output() ? Open::Ready : Open::Failed);
    return g_open.load() == Open::Ready;
}

std::string find_file(const std::string& name) {
    if (name.empty()) return {};
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (exists_file(path)) return path;
    // Case-blind, one component at a time.
    std::string built = path[0] == '/' ? "/" : "";
    size_t at = path[0] == '/' ? 1 : 0;
    while (at <= path.size()) {
        size_t slash = path.find('/', at);
        if (slash == std::string::npos) slash = path.size();
        const std::string part = path.substr(at, slash - at);
        at = slash + 1;
        if (part.empty()) continue;
        const std::string dir = built.empty() ? "." : built;
        std::string match;
        struct stat st{};
        if (::stat((built + part).c_str(), &st) == 0) {
            match = part;
        } else if (DIR* d = ::opendir(dir.c_str())) {
            while (dirent* e = ::readdir(d))
                if (strcasecmp(e->d_name, part.c_str()) == 0) {
                    match = e->d_name;
                    break;
                }
            ::closedir(d);
        }
        if (match.empty()) return {};
        built += match;
        if (slash < path.size()) built += "/";
    }
    return exists_file(built) ? built : std::string();
}

std::shared_ptr<Clip> decode_file(const std::string& path, Decode* result) {
    if (!audio_ready()) {
        *result = Decode::NoDevice;
        return nullptr;
    }
    SDL_RWops* rw = SDL_RWFromFile(path.c_str(), "rb");
    if (!rw) {
        *result = Decode::NotFound;
        return nullptr;
    }
    return clip_of(Mix_LoadWAV_RW(rw, 1), result);
}

std::shared_ptr<Clip> decode_memory(const void* data, size_t size, Decode* result) {
    if (!audio_ready()) {
        *result = Decode::NoDevice;
        return nullptr;
    }
    if (!data || size == 0 || size > 0x7FFFFFFF) {
        *result = Decode::Invalid;
        return nullptr;
    }
    return clip_of(Mix_LoadWAV_RW(SDL_RWFromConstMem(data, int(size)), 1), result);
}

std::shared_ptr<Clip> make_tone(DWORD freq, DWORD ms, int amplitude) {
    auto clip = std::make_shared<Clip>();
    const size_t frames = size_t(uint64_t(ms) * kRate / 1000);
    const size_t fade = std::min<size_t>(frames / 2, kRate / 200);  // 5 ms: no clicks
    clip->pcm.resize(frames * kFrameBytes);
    int16_t* out = reinterpret_cast<int16_t*>(clip->pcm.data());
    const double step = 2.0 * M_PI * double(freq) / kRate;
    for (size_t i = 0; i < frames; ++i) {
        double gain = 1.0;
        if (i < fade) gain = double(i) / fade;
        if (frames - i <= fade) gain = std::min(gain, double(frames - i - 1) / fade);
        const auto s = int16_t(std::lround(amplitude * gain * std::sin(step * double(i))));
        out[2 * i] = out[2 * i + 1] = s;
    }
    return clip;
}

int acquire_voice() {
    for (int v = kBeepVoice + 1; v < kVoices; ++v)
        if (!shared().voices[v].in_use) {
            shared().voices[v].in_use = true;
            return v;
        }
    return -1;
}

void release_voice(int voice) {
    if (voice <= kBeepVoice || voice >= kVoices) return;
    voice_stop(voice);
    Voice& v = shared().voices[voice];
    if (v.chunk) Mix_FreeChunk(v.chunk);
    v.chunk = nullptr;
    v.clip.reset();
    v.in_use = false;
}

bool voice_play(int voice, std::shared_ptr<Clip> clip, size_t from, size_t to, bool loop, int volume) {
    if (!audio_ready() || voice < 0 || voice >= kVoices || !clip) return false;
    Voice& v = shared().voices[voice];
    Mix_HaltChannel(voice);
    if (v.chunk) Mix_FreeChunk(v.chunk);
    v.chunk = nullptr;
    to = std::min(to, clip->frames());
    if (from >= to) return false;  // nothing to play
    v.clip = std::move(clip);
    v.chunk = Mix_QuickLoad_RAW(v.clip->pcm.data() + from * kFrameBytes, Uint32((to - from) * kFrameBytes));
    if (!v.chunk) return false;
    v.bytes.store(0);
    // The channel is idle here, so the counter stays registered for this play
    // (the mixer drops a channel's effects when a play on it ends).
    Mix_RegisterEffect(voice, count_bytes, nullptr, nullptr);
    Mix_Volume(voice, volume);
    if (Mix_PlayChannel(voice, v.chunk, loop ? -1 : 0) < 0) {
        Mix_UnregisterAllEffects(voice);
        return false;
    }
    return true;
}

NotifyTarget voice_stop(int voice) {
    if (voice < 0 || voice >= kVoices) return {};
    NotifyTarget was = voice_arm(voice, NotifyTarget{});
    if (g_open.load() == Open::Ready) Mix_HaltChannel(voice);
    return was;
}

void voice_pause(int voice, bool pause) {
    if (g_open.load() != Open::Ready) return;
    if (pause)
        Mix_Pause(voice);
    else
        Mix_Resume(voice);
}

void voice_volume(int voice, int volume) {
    if (g_open.load() == Open::Ready) Mix_Volume(voice, volume);
}

bool voice_playing(int voice) { return g_open.load() == Open::Ready && Mix_Playing(voice) != 0; }
bool voice_paused(int voice) { return g_open.load() == Open::Ready && Mix_Paused(voice) != 0; }

uint64_t voice_frames_played(int voice) { return shared().voices[voice].bytes.load() / kFrameBytes; }

NotifyTarget voice_arm(int voice, NotifyTarget target) {
    std::lock_guard<std::mutex> lock(shared().wait_mu);
    NotifyTarget was = shared().voices[voice].armed;
    shared().voices[voice].armed = target;
    return was;
}

uint32_t voice_serial(int voice) {
    std::lock_guard<std::mutex> lock(shared().wait_mu);
    return shared().voices[voice].serial;
}

void voice_wait(int voice, uint32_t serial) {
    std::unique_lock<std::mutex> lock(shared().wait_mu);
    shared().wait_cv.wait(lock, [&] { return shared().voices[voice].serial != serial; });
}

// ---- music ----
struct Music {
    Mix_Music* mus = nullptr;
    ~Music() {
        if (mus) Mix_FreeMusic(mus);  // halts it first if it plays
    }
};

std::shared_ptr<Music> load_music(const std::string& path, Decode* result) {
    if (!audio_ready()) {
        *result = Decode::NoDevice;
        return nullptr;
    }
    Mix_Music* mus = Mix_LoadMUS(path.c_str());
    if (!mus) {
        *result = Decode::Invalid;
        return nullptr;
    }
    auto m = std::make_shared<Music>();
    m->mus = mus;
    *result = Decode::Ok;
    return m;
}

long music_length_ms(const Music& m) {
    const double d = Mix_MusicDuration(m.mus);
    return d < 0 ? -1 : long(std::lround(d * 1000));
}

bool music_play(std::shared_ptr<Music> m, double from_s, bool loop, int volume) {
    if (!audio_ready() || !m) return false;
    // Another piece gives way: its waiting notification is aborted, not successful.
    NotifyTarget was = music_arm(*m, NotifyTarget{});
    Mix_HaltMusic();
    post_notify(was, MCI_NOTIFY_ABORTED);
    shared().music.playing = m->mus;
    shared().music.owner = m;
    Mix_VolumeMusic(volume);
    if (Mix_PlayMusic(m->mus, loop ? -1 : 0) != 0) {
        shared().music.playing = nullptr;
        shared().music.owner.reset();
        return false;
    }
    if (from_s > 0) Mix_SetMusicPosition(from_s);
    return true;
}

NotifyTarget music_stop(const Music& m) {
    if (shared().music.playing != m.mus) return {};
    NotifyTarget was = music_arm(m, NotifyTarget{});
    Mix_HaltMusic();
    shared().music.playing = nullptr;
    shared().music.owner.reset();
    return was;
}

void music_pause(const Music& m, bool pause) {
    if (shared().music.playing != m.mus) return;
    if (pause)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
}

void music_volume(const Music& m, int volume) {
    if (shared().music.playing == m.mus) Mix_VolumeMusic(volume);
}

bool music_playing(const Music& m) { return shared().music.playing == m.mus && Mix_PlayingMusic() != 0; }

NotifyTarget music_arm(const Music&, NotifyTarget target) {
    std::lock_guard<std::mutex> lock(shared().wait_mu);
    NotifyTarget was = shared().music.armed;
    shared().music.armed = target;
    return was;
}

uint32_t music_serial() {
    std::lock_guard<std::mutex> lock(shared().wait_mu);
    return shared().music.serial;
}

void music_wait(uint32_t serial) {
    std::unique_lock<std::mutex> lock(shared().wait_mu);
    shared().wait_cv.wait(lock, [&] { return shared().music.serial != serial; });
}

void post_notify(NotifyTarget target, WPARAM flag) {
    if (target.hwnd) PostMessageA(target.hwnd, MM_MCINOTIFY, flag, LPARAM(target.device));
}

}  // namespace plat::winmm
