// private_fonts.h — the font files a program adds for itself
// (AddFontResourceEx): their faces are matched by family name before
// fontconfig is asked. Text module internal; GDI reaches it through
// font_engine.h.
#pragma once

#include <string>

namespace plat::text {

struct PrivateFace {
    std::string path;      // as FreeType opens it
    int index = 0;         // face in a collection
    std::string identity;  // the file as added (device, inode, time, size):
                           // a file replaced on disk is a new face
};

// The added face of this family (any of its names, ASCII letters in either
// case) whose weight and slant come closest; false when none is added.
bool find_private_face(const std::string& family_utf8, int weight, bool italic, PrivateFace* out);

// Changes whenever a file is added or removed, so cached fonts matched
// before the change are not handed out after it.
unsigned private_fonts_generation();

}  // namespace plat::text
