// frame_shadow.h — what a window last handed to the screen, to skip frames
// that did not change.
//
// The graphics layer copies its whole back buffer to the window about sixty
// times a second whether or not anything was drawn. Comparing each reported
// rectangle with a copy of the pixels reported before narrows it to the part
// that really differs, and an identical frame sends nothing to the display.
#pragma once

#include <cstdint>
#include <vector>

#include "windef.h"

namespace plat {

class FrameShadow {
public:
    // Compares rectangle r (clipped to the surface) of a width x height
    // surface with the copy, takes the new pixels into the copy and returns
    // the bounding box of the pixels that differ (empty when none do). The
    // first call and a change of size count the whole surface as changed.
    RECT update(const uint32_t* pixels, int width, int height, RECT r);

private:
    std::vector<uint32_t> copy_;
    int width_ = 0, height_ = 0;
};

}  // namespace plat
