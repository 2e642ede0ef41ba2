// png_file.h — writes 0x00RRGGBB pixels (top row first) as an RGB PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);

}  // namespace tools
