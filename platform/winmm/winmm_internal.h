// winmm_internal.h — what the winmm files share: the sound PlaySound was
// given, text conversions of the wide entry points, and the MCI core.
#pragma once

#include <string>

#include "windows.h"

namespace plat::winmm {

// One of: a file or alias name (UTF-8), a resource of module, a WAV image.
struct Sound {
    std::string name;
    LPCSTR resource = nullptr;
    const void* memory = nullptr;
    HMODULE module = nullptr;
    bool empty() const { return name.empty() && !resource && !memory; }
};

BOOL play_sound(const Sound& s, DWORD flags);

// UTF-32 wide strings (this system's WCHAR) to and from UTF-8.
std::string utf8_of_wide(const WCHAR* text);
std::wstring wide_of_utf8(const std::string& text);

// The playing time of a Standard MIDI File, from its tempo map; -1 when the
// file is not one.
long midi_length_ms(const std::string& path);

// True when the file starts as a RIFF WAVE file does.
bool is_wav_file(const std::string& path);

// Runs one MCI command string (UTF-8); the answer is UTF-8 too.
MCIERROR mci_send(const std::string& command, std::string* answer, HWND callback);

}  // namespace plat::winmm
