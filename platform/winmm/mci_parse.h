// mci_parse.h — the grammar of MCI command strings: "verb device
// [keyword [value]]...", with the keywords each verb takes on each device
// type, and the errors Windows gives for what does not parse.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "mmsystem.h"

namespace plat::winmm {

enum class DeviceKind { Wave, Mpeg, Sequencer };

// Words of a command string: separated by blanks, a "quoted string" is one
// word. Fails with MCIERR_NO_CLOSING_QUOTE or MCIERR_EXTRA_CHARACTERS.
MCIERROR split_words(const std::string& command, std::vector<std::string>* words);

enum class Verb { Open, Play, Pause, Resume, Stop, Seek, Close, Status, Set, SetAudio };
// False for a verb this system does not know.
bool verb_of(const std::string& word, Verb* verb);

// The keywords after the device name, as parsed: a flag maps to "", a value
// to its text (integers as decimal digits, constants in lower case). Keys
// are canonical keyword names: "from", "to", "repeat", "wait", "notify",
// "type", "alias", "shareable", "to start", "to end", "time format",
// "volume to", "item" (the thing status asks for), "on", "off".
using Params = std::map<std::string, std::string>;

// Parses words[first..] for the verb on a device of the kind (for open, the
// kind is not known yet: any kind's keywords are taken).
MCIERROR parse_params(Verb verb, DeviceKind kind, bool any_kind, const std::vector<std::string>& words,
                      size_t first, Params* out);

// The kind a file name's extension calls for; false when none does.
bool kind_of_extension(const std::string& path, DeviceKind* kind);
// The kind a "type" value names; false when it names none this system has.
bool kind_of_type(const std::string& type, DeviceKind* kind);

std::string lower(std::string s);

}  // namespace plat::winmm
