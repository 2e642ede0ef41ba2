// midi_length.cpp — the playing time of a Standard MIDI File: the last event
// of any track, converted to milliseconds through the tempo changes (the
// mixer's synthesiser does not report a MIDI piece's length). No locks.
#include <cstdio>
#include <map>
#include <vector>

#include "winmm/winmm_internal.h"

namespace plat::winmm {
namespace {

uint32_t be(const unsigned char* p, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}

}  // namespace

long midi_length_ms(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::vector<unsigned char> b;
    unsigned char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0 && b.size() < (64u << 20);) b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    if (b.size() < 14 || be(&b[0], 4) != 0x4D546864u /* MThd */) return -1;
    const uint32_t division = be(&b[12], 2);
    if (division == 0) return -1;
    std::map<uint64_t, uint32_t> tempo;  // tick -> microseconds per quarter note
    uint64_t last_tick = 0;
    size_t at = 8 + be(&b[4], 4);
    while (at + 8 <= b.size()) {
        const uint32_t len = be(&b[at + 4], 4);
        const bool track = be(&b[at], 4) == 0x4D54726Bu;  // MTrk
        size_t p = at + 8;
        const size_t end = std::min(b.size(), p + len);
        at = p + len;
        if (!track) continue;
        uint64_t tick = 0;
        unsigned char status = 0;
        while (p < end) {
            uint32_t delta = 0;
            for (int i = 0; i < 4 && p < end; ++i) {
                delta = delta << 7 | (b[p] & 0x7F);
                if (!(b[p++] & 0x80)) break;
            }
            tick += delta;
            if (p >= end) break;
            if (b[p] & 0x80) status = b[p++];
            if (status == 0xFF) {  // meta event: type, length, data
                if (p + 1 >= end) break;
                const unsigned char type = b[p++];
                uint32_t mlen = 0;
                for (int i = 0; i < 4 && p < end; ++i) {
                    mlen = mlen << 7 | (b[p] & 0x7F);
                    if (!(b[p++] & 0x80)) break;
                }
                if (type == 0x51 && mlen == 3 && p + 3 <= end) tempo[tick] = be(&b[p], 3);
                p += mlen;
                if (type == 0x2F) {  // end of track: the piece lasts until here
                    last_tick = std::max(last_tick, tick);
                    break;
                }
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t slen = 0;
                for (int i = 0; i < 4 && p < end; ++i) {
                    slen = slen << 7 | (b[p] & 0x7F);
                    if (!(b[p++] & 0x80)) break;
                }
                p += slen;
            } else {
                const unsigned char kind = status & 0xF0;
                p += (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            }
            last_tick = std::max(last_tick, tick);
        }
    }
    if (division & 0x8000) {  // SMPTE: frames per second and ticks per frame
        const int fps = 256 - int(division >> 8);
        const int tpf = int(division & 0xFF);
        return fps > 0 && tpf > 0 ? long(last_tick * 1000 / uint64_t(fps * tpf)) : -1;
    }
    double us = 0, per_quarter = 500000;
    uint64_t from = 0;
    for (const auto& [t, v] : tempo) {
        if (t >= last_tick) break;
        us += double(t - from) * per_quarter / division;
        from = t;
        per_quarter = v;
    }
    us += double(last_tick - from) * per_quarter / division;
    return long(us / 1000 + 0.5);
}

}  // namespace plat::winmm
