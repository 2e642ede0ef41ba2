// frame_shadow.h — a window's framebuffer in the SDL driver: what USER last
// handed down, compared with each new report to skip frames that did not
// change.
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
    // A black width x height frame (a new window, before its first report).
    void reset(int width, int height);
    // A new size, keeping the pixels of the overlap and black elsewhere, as
    // USER resizes a window's surface.
    void resize(int width, int height);

    // The pixels as last reported (null before any), width() x height(), top-down.
    const uint32_t* pixels() const { return copy_.empty() ? nullptr : copy_.data(); }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    std::vector<uint32_t> copy_;
    int width_ = 0, height_ = 0;
};

}  // namespace plat
