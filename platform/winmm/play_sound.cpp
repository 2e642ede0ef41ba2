// play_sound.cpp — PlaySoundA/W and sndPlaySoundA/W: one sound at a time on
// PlaySound's own voice, from a file, a program resource (type WAVE), a WAV
// image in memory, or a system alias (the default sound: no sound scheme
// exists here, so every known alias plays the default "ding").
//
// A new sound stops the previous one; NULL or SND_PURGE stops it;
// SND_NOSTOP keeps it and fails. SND_SYNC returns when the sound has ended
// (or is stopped from another thread); SND_LOOP implies SND_ASYNC, since a
// looped synchronous sound could never return. A sound that cannot be found
// plays the default sound unless SND_NODEFAULT. Without an output device a
// synchronous sound fails at once; an asynchronous one is accepted when it
// can be found, as Windows hands it to a thread that then fails quietly.
//
// Locks: audio_lock while starting or stopping; none while waiting.
#include <cstring>
#include <string>

#include "codepage.h"
#include "winmm/audio_output.h"
#include "winmm/winmm_internal.h"

namespace plat::winmm {
namespace {

bool is_alias(const std::string& name) {
    static const char* const kAliases[] = {".Default",        "SystemDefault", "SystemAsterisk", "SystemExclamation",
                                           "SystemHand",      "SystemQuestion", "SystemStart",   "SystemExit",
                                           "SystemNotification", "MailBeep",  "Notification.Default"};
    for (const char* a : kAliases)
        if (strcasecmp(a, name.c_str()) == 0) return true;
    return false;
}

std::shared_ptr<Clip> default_sound() {
    static auto* ding = new std::shared_ptr<Clip>(make_tone(880, 180, 9000));  // may play while the process exits
    return *ding;
}

// The size of a RIFF image at p (8 bytes of header plus the chunk's size).
size_t riff_size(const void* p) {
    const auto* b = static_cast<const unsigned char*>(p);
    if (std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) return 0;
    return 8 + (size_t(b[4]) | size_t(b[5]) << 8 | size_t(b[6]) << 16 | size_t(b[7]) << 24);
}

struct Found {
    std::shared_ptr<Clip> clip;
    bool exists = false;  // the sound was found (it may still not decode)
};

Found find_sound(const Sound& s, DWORD flags, bool device) {
    Found f;
    Decode d = Decode::Invalid;
    if ((flags & SND_RESOURCE) == SND_RESOURCE) {
        HRSRC r = FindResourceA(s.module, s.resource, "WAVE");
        HGLOBAL g = r ? LoadResource(s.module, r) : nullptr;
        const void* data = g ? LockResource(g) : nullptr;
        f.exists = data != nullptr;
        if (data && device) f.clip = decode_memory(data, SizeofResource(s.module, r), &d);
    } else if (flags & SND_MEMORY) {
        const size_t n = s.memory ? riff_size(s.memory) : 0;
        f.exists = n != 0;
        if (n && device) f.clip = decode_memory(s.memory, n, &d);
    } else if ((flags & SND_ALIAS_ID) == SND_ALIAS_ID) {
        f.exists = true;
        f.clip = device ? default_sound() : nullptr;
    } else {
        // SND_ALIAS looks for an alias only, SND_FILENAME for a file only;
        // with neither, an alias first and then a file.
        if (!(flags & SND_FILENAME) && is_alias(s.name)) {
            f.exists = true;
            f.clip = device ? default_sound() : nullptr;
        } else if (!(flags & SND_ALIAS)) {
            // PlaySound plays WAV files only.
            const std::string path = find_file(s.name);
            f.exists = !path.empty() && is_wav_file(path);
            if (f.exists && device) f.clip = decode_file(path, &d);
        }
    }
    return f;
}

}  // namespace

BOOL play_sound(const Sound& s, DWORD flags) {
    std::unique_lock<std::mutex> lock(audio_lock());
    const bool device = audio_ready();
    if (s.empty() || (flags & SND_PURGE)) {
        voice_stop(kPlaySoundVoice);
        return TRUE;
    }
    if ((flags & SND_NOSTOP) && voice_playing(kPlaySoundVoice)) return FALSE;
    if (flags & SND_LOOP) flags |= SND_ASYNC;
    Found f = find_sound(s, flags, device);
    if (!f.exists || (device && !f.clip)) {
        if (flags & SND_NODEFAULT) return FALSE;
        f.exists = true;
        f.clip = device ? default_sound() : nullptr;
    }
    if (!device) {
        voice_stop(kPlaySoundVoice);
        return (flags & SND_ASYNC) ? TRUE : FALSE;
    }
    const size_t frames = f.clip->frames();
    if (!voice_play(kPlaySoundVoice, f.clip, 0, frames, (flags & SND_LOOP) != 0, kFullVolume)) return FALSE;
    if (flags & SND_ASYNC) return TRUE;
    const uint32_t serial = voice_serial(kPlaySoundVoice);
    lock.unlock();
    // The play may have ended between starting and taking the serial: only
    // wait while the voice still plays this sound.
    if (voice_playing(kPlaySoundVoice)) voice_wait(kPlaySoundVoice, serial);
    return TRUE;
}

}  // namespace plat::winmm

using plat::winmm::Sound;

BOOL WINAPI PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound) {
    Sound s;
    s.module = hmod;
    if (pszSound && (fdwSound & SND_RESOURCE) == SND_RESOURCE) {
        s.resource = pszSound;
    } else if (pszSound && (fdwSound & SND_MEMORY)) {
        s.memory = pszSound;
    } else if (pszSound && (fdwSound & SND_ALIAS_ID) == SND_ALIAS_ID) {
        s.name = "#alias";
    } else if (pszSound) {
        s.name = plat::codepage::cp936_to_utf8(pszSound, -1);
    }
    return plat::winmm::play_sound(s, fdwSound);
}

BOOL WINAPI PlaySoundW(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound) {
    Sound s;
    s.module = hmod;
    std::string narrow;
    if (pszSound && (fdwSound & SND_RESOURCE) == SND_RESOURCE) {
        if (IS_INTRESOURCE(pszSound)) {
            s.resource = reinterpret_cast<LPCSTR>(pszSound);
        } else {
            narrow = plat::codepage::utf8_to_936(plat::winmm::utf8_of_wide(pszSound));
            s.resource = narrow.c_str();
        }
    } else if (pszSound && (fdwSound & SND_MEMORY)) {
        s.memory = pszSound;
    } else if (pszSound && (fdwSound & SND_ALIAS_ID) == SND_ALIAS_ID) {
        s.name = "#alias";
    } else if (pszSound) {
        s.name = plat::winmm::utf8_of_wide(pszSound);
    }
    return plat::winmm::play_sound(s, fdwSound);
}

// The older form: SND_* flags of the same meaning, never a module.
BOOL WINAPI sndPlaySoundA(LPCSTR pszSound, UINT fuSound) {
    return PlaySoundA(pszSound, nullptr, fuSound & ~DWORD(SND_ALIAS | SND_FILENAME | SND_ALIAS_ID));
}

BOOL WINAPI sndPlaySoundW(LPCWSTR pszSound, UINT fuSound) {
    return PlaySoundW(pszSound, nullptr, fuSound & ~DWORD(SND_ALIAS | SND_FILENAME | SND_ALIAS_ID));
}
