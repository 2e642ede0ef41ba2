// px_dump.h — reads a scenario's pixel dump (the "FPX1" files the reference
// scenarios write: width, height, then 32-bit pixels), for the tests that
// compare the stand-in's dumps with the reference's.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace px_dump {

struct Picture {
    unsigned w = 0, h = 0;
    std::vector<uint32_t> px;
};

inline bool read_px(const std::string& path, Picture* p) {
    std::ifstream f(path, std::ios::binary);
    char head[12];
    if (!f.read(head, 12) || std::memcmp(head, "FPX1", 4) != 0) return false;
    std::memcpy(&p->w, head + 4, 4);
    std::memcpy(&p->h, head + 8, 4);
    p->px.resize(size_t(p->w) * p->h);
    return bool(f.read(reinterpret_cast<char*>(p->px.data()), std::streamsize(p->px.size() * 4)));
}

}  // namespace px_dump
