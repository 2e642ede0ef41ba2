// png_writer.h — a small PNG encoder with no library behind it: 8-bit RGB,
// rows filtered per row (None, Sub or Up, whichever leaves the smallest
// residue), compressed as one fixed-Huffman deflate block whose only
// back-references are runs of a repeated byte. Drawings of flat colours
// shrink well with that; photographs would not.
#pragma once

#include <cstdint>
#include <string>

namespace snapshot {

// The PNG file of width x height pixels 0x00RRGGBB, rows top first (the top
// byte is ignored). Empty for a width or height below 1.
std::string EncodePng(const uint32_t* pixels, int width, int height);

// Writes EncodePng's result to `path`; false if it cannot be written.
bool WritePng(const char* path, const uint32_t* pixels, int width, int height);

}  // namespace snapshot
