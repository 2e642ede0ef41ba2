// mci_parse.cpp — splitting MCI command strings into words and reading the
// keywords each verb takes, from one table of keywords per verb and device
// type. Keywords may be several words ("time format"); the longest that
// matches is taken. No locks.
#include "winmm/mci_parse.h"

#include <cctype>

namespace plat::winmm {
namespace {

enum class Arg { Flag, Integer, String, Constant };

constexpr unsigned kWave = 1, kMpeg = 2, kSeq = 4, kAll = 7;

struct Keyword {
    Verb verb;
    const char* name;       // one or more words, lower case
    Arg arg;
    unsigned kinds;         // device kinds that take it
    const char* constants;  // for Arg::Constant: "a|b|c"; the canonical value comes first in each "a=b"
    const char* key;        // the Params key (defaults to name)
};

// What each verb takes. "wait" and "notify" are every command's.
const Keyword kKeywords[] = {
    {Verb::Open, "type", Arg::String, kAll, nullptr, nullptr},
    {Verb::Open, "alias", Arg::String, kAll, nullptr, nullptr},
    {Verb::Open, "shareable", Arg::Flag, kAll, nullptr, nullptr},
    {Verb::Open, "style", Arg::String, kMpeg, nullptr, nullptr},
    {Verb::Open, "parent", Arg::Integer, kMpeg, nullptr, nullptr},
    {Verb::Play, "from", Arg::Integer, kAll, nullptr, nullptr},
    {Verb::Play, "to", Arg::Integer, kAll, nullptr, nullptr},
    {Verb::Play, "repeat", Arg::Flag, kMpeg, nullptr, nullptr},
    {Verb::Play, "fullscreen", Arg::Flag, kMpeg, nullptr, nullptr},
    {Verb::Play, "window", Arg::Flag, kMpeg, nullptr, nullptr},
    {Verb::Seek, "to start", Arg::Flag, kAll, nullptr, nullptr},
    {Verb::Seek, "to end", Arg::Flag, kAll, nullptr, nullptr},
    {Verb::Seek, "to", Arg::Integer, kAll, nullptr, nullptr},
    {Verb::Status, "mode", Arg::Flag, kAll, nullptr, "item"},
    {Verb::Status, "length", Arg::Flag, kAll, nullptr, "item"},
    {Verb::Status, "position", Arg::Flag, kAll, nullptr, "item"},
    {Verb::Status, "ready", Arg::Flag, kAll, nullptr, "item"},
    {Verb::Status, "time format", Arg::Flag, kAll, nullptr, "item"},
    {Verb::Status, "volume", Arg::Flag, kMpeg, nullptr, "item"},
    {Verb::Status, "number of tracks", Arg::Flag, kAll, nullptr, "item"},
    {Verb::Set, "time format", Arg::Constant, kAll, "milliseconds|ms=milliseconds", nullptr},
    {Verb::SetAudio, "volume to", Arg::Integer, kMpeg, nullptr, nullptr},
    {Verb::SetAudio, "volume", Arg::Integer, kMpeg, nullptr, "volume to"},
    {Verb::SetAudio, "on", Arg::Flag, kMpeg, nullptr, nullptr},
    {Verb::SetAudio, "off", Arg::Flag, kMpeg, nullptr, nullptr},
};

unsigned bit_of(DeviceKind k) { return k == DeviceKind::Wave ? kWave : k == DeviceKind::Mpeg ? kMpeg : kSeq; }

// Number of words of name matching words[at..], or 0.
size_t match(const char* name, const std::vector<std::string>& words, size_t at) {
    size_t n = 0;
    const std::string s(name);
    size_t start = 0;
    while (start <= s.size()) {
        size_t space = s.find(' ', start);
        if (space == std::string::npos) space = s.size();
        if (at + n >= words.size() || lower(words[at + n]) != s.substr(start, space - start)) return 0;
        ++n;
        start = space + 1;
    }
    return n;
}

bool all_digits(const std::string& w) {
    if (w.empty() || w.size() > 10) return false;
    for (char c : w)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return std::stoull(w) <= 0xFFFFFFFFull;
}

// The canonical form of a constant, or "" when it is not one of the list.
std::string constant_of(const char* list, const std::string& word) {
    const std::string l(list), w = lower(word);
    size_t start = 0;
    while (start <= l.size()) {
        size_t bar = l.find('|', start);
        if (bar == std::string::npos) bar = l.size();
        std::string item = l.substr(start, bar - start);
        const size_t eq = item.find('=');
        const std::string spelled = item.substr(0, eq), canon = eq == std::string::npos ? spelled : item.substr(eq + 1);
        if (spelled == w) return canon;
        start = bar + 1;
    }
    return {};
}

}  // namespace

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

MCIERROR split_words(const std::string& command, std::vector<std::string>* words) {
    words->clear();
    size_t i = 0;
    const size_t n = command.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (i < n) {
        while (i < n && blank(command[i])) ++i;
        if (i >= n) break;
        if (command[i] == '"') {
            const size_t close = command.find('"', i + 1);
            if (close == std::string::npos) return MCIERR_NO_CLOSING_QUOTE;
            words->push_back(command.substr(i + 1, close - i - 1));
            i = close + 1;
            if (i < n && !blank(command[i])) return MCIERR_EXTRA_CHARACTERS;
        } else {
            const size_t start = i;
            while (i < n && !blank(command[i])) ++i;
            words->push_back(command.substr(start, i - start));
        }
    }
    return 0;
}

bool verb_of(const std::string& word, Verb* verb) {
    static const struct {
        const char* name;
        Verb verb;
    } kVerbs[] = {{"open", Verb::Open},   {"play", Verb::Play},     {"pause", Verb::Pause},
                  {"resume", Verb::Resume}, {"stop", Verb::Stop},   {"seek", Verb::Seek},
                  {"close", Verb::Close}, {"status", Verb::Status}, {"set", Verb::Set},
                  {"setaudio", Verb::SetAudio}};
    const std::string w = lower(word);
    for (const auto& v : kVerbs)
        if (w == v.name) {
            *verb = v.verb;
            return true;
        }
    return false;
}

MCIERROR parse_params(Verb verb, DeviceKind kind, bool any_kind, const std::vector<std::string>& words,
                      size_t first, Params* out) {
    out->clear();
    const unsigned kbit = any_kind ? kAll : bit_of(kind);
    for (size_t at = first; at < words.size();) {
        const Keyword* best = nullptr;
        size_t best_len = 0;
        for (const Keyword& k : kKeywords) {
            if (k.verb != verb || !(k.kinds & kbit)) continue;
            const size_t len = match(k.name, words, at);
            if (len > best_len) best = &k, best_len = len;
        }
        std::string key, value;
        if (!best) {
            const std::string w = lower(words[at]);
            // Windows' MCI (as Wine answers) reports a keyword the device does
            // not take as an unrecognised command.
            if (w != "wait" && w != "notify") return MCIERR_UNRECOGNIZED_COMMAND;
            key = w;
            at += 1;
        } else {
            key = best->key ? best->key : best->name;
            at += best_len;
            if (best->arg != Arg::Flag) {
                if (at >= words.size()) {
                    return best->arg == Arg::Integer  ? MCIERR_NO_INTEGER
                           : best->arg == Arg::String ? MCIERR_MISSING_STRING_ARGUMENT
                                                      : MCIERR_MISSING_PARAMETER;
                }
                const std::string& v = words[at++];
                if (best->arg == Arg::Integer) {
                    if (!all_digits(v)) return MCIERR_BAD_INTEGER;
                    value = std::to_string(std::stoull(v));
                } else if (best->arg == Arg::Constant) {
                    value = constant_of(best->constants, v);
                    if (value.empty()) return key == "time format" ? MCIERR_BAD_TIME_FORMAT : MCIERR_BAD_CONSTANT;
                } else {
                    value = v;
                }
            } else if (key == "item") {
                value = best->name;
            }
        }
        if (out->count(key)) return key == "item" ? MCIERR_FLAGS_NOT_COMPATIBLE : MCIERR_DUPLICATE_FLAGS;
        (*out)[key] = value;
    }
    return 0;
}

bool kind_of_extension(const std::string& path, DeviceKind* kind) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const std::string ext = lower(path.substr(dot + 1));
    if (ext == "wav") {
        *kind = DeviceKind::Wave;
    } else if (ext == "mid" || ext == "midi" || ext == "rmi") {
        *kind = DeviceKind::Sequencer;
    } else if (ext == "mp3" || ext == "mp2" || ext == "mpa" || ext == "ogg" || ext == "wma" || ext == "aac" ||
               ext == "m4a" || ext == "flac" || ext == "snd" || ext == "au" || ext == "aif" || ext == "aiff") {
        *kind = DeviceKind::Mpeg;
    } else {
        return false;
    }
    return true;
}

bool kind_of_type(const std::string& type, DeviceKind* kind) {
    const std::string t = lower(type);
    if (t == "waveaudio") {
        *kind = DeviceKind::Wave;
    } else if (t == "mpegvideo" || t == "mpegvideo2") {
        *kind = DeviceKind::Mpeg;
    } else if (t == "sequencer") {
        *kind = DeviceKind::Sequencer;
    } else {
        return false;
    }
    return true;
}

}  // namespace plat::winmm
