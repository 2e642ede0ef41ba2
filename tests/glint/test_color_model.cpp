// Colour models: every documented example, plus round trips of the primaries.
#include <gtest/gtest.h>

#include <cmath>

#include "../../glint/src/color_model.h"
#include "glint.h"

namespace {

TEST(ColorModel, GrayOfPrimariesAndExtremes) {
    const struct { COLORREF in, out; } cases[] = {
        {0x0000FF, 0x4C4C4C}, {0x00FF00, 0x969696}, {0xFF0000, 0x1D1D1D},
        {0xFFFFFF, 0xFFFFFF}, {0x000000, 0x000000}, {0xAB000000, 0x000000},  // top byte ignored
    };
    for (const auto& c : cases) EXPECT_EQ(RGBtoGRAY(c.in), c.out) << std::hex << c.in;
}

TEST(ColorModel, ForwardConversions) {
    struct Case {
        bool hsl;
        COLORREF in;
        float h, s, third;
    };
    const Case cases[] = {
        {false, 0x00FF00, 120.0f, 1.0f, 1.0f},
        {false, 0x000000, 0.0f, 0.0f, 0.0f},
        {true, 0x808080, 0.0f, 0.0f, 128.0f / 255.0f},
        // Red and green both the maximum: the red formula gives 60 in both models.
        {false, 0x00FFFF, 60.0f, 1.0f, 1.0f},
        {true, 0x00FFFF, 1.0f / 6.0f * 360.0f, 1.0f, 0.5f},
        // Blue above green under a red maximum: the hue wraps into 0..360.
        {false, 0x8000FF, 360.0f - 60.0f * (128.0f / 255.0f), 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        float h = -1, s = -1, t = -1;
        if (c.hsl) RGBtoHSL(c.in, &h, &s, &t);
        else RGBtoHSV(c.in, &h, &s, &t);
        EXPECT_FLOAT_EQ(h, c.h) << std::hex << c.in << (c.hsl ? " HSL" : " HSV");
        EXPECT_EQ(s, c.s) << std::hex << c.in;
        EXPECT_EQ(t, c.third) << std::hex << c.in;
    }
    // Green equal to blue under a red maximum (pure red among them): hue 0 in
    // both models, never 360.
    for (COLORREF c : {COLORREF(0x0000FF), COLORREF(0x3232C8), COLORREF(0x7F7F80)}) {
        float hsv = -1, hsl = -1;
        RGBtoHSV(c, &hsv, nullptr, nullptr);
        RGBtoHSL(c, &hsl, nullptr, nullptr);
        EXPECT_EQ(hsv, 0.0f) << std::hex << c;
        EXPECT_EQ(hsl, 0.0f) << std::hex << c;
    }
}

TEST(ColorModel, BackwardConversionsWrapAndTakeTheLastSector) {
    struct Case {
        bool hsl;
        float h, s, third;
        COLORREF out;
    };
    const Case cases[] = {
        {true, 0.0f, 1.0f, 0.5f, 0x0000FF},
        {true, 0.0f, 0.0f, 1.0f, 0xFFFFFF},
        {true, 123.4f, 0.0f, 1.0f, 0xFFFFFF},
        {true, -500.0f, 0.0f, 1.0f, 0xFFFFFF},
        {true, 120.0f, 1.0f, 0.5f, 0x00FF00},
        {true, 240.0f, 1.0f, 0.5f, 0xFF0000},
        {false, 360.0f, 1.0f, 1.0f, 0xFF00FF},
        {false, -60.0f, 1.0f, 1.0f, 0xFF00FF},
        {false, 0.0f, 1.0f, 1.0f, 0x0000FF},
        {false, 0.0f, 0.0f, 2.0f, 0xFEFEFE},  // 510 keeps its low byte
        {false, 120.0f, 1.0f, 1.0f, 0x00FF00},
        {false, 1e20f, 1.0f, 1.0f, 0xFF00FF},  // a far sector; no undefined conversion
    };
    for (const Case& c : cases) {
        COLORREF got = c.hsl ? HSLtoRGB(c.h, c.s, c.third) : HSVtoRGB(c.h, c.s, c.third);
        EXPECT_EQ(got, c.out) << (c.hsl ? "HSL " : "HSV ") << c.h << "," << c.s << "," << c.third;
    }
    // Out-of-range and NaN channels give a defined 0 instead of undefined behaviour.
    EXPECT_EQ(HSVtoRGB(0.0f, 0.0f, 1e30f), 0u);
    EXPECT_EQ(HSVtoRGB(0.0f, 0.0f, NAN), 0u);
    EXPECT_EQ(Glint::Drawing::ColorModel::HSL_HUEtoRGB(0.0f, 1.0f, 90.0f), 255);
}

TEST(ColorModel, PrimaryAndSecondaryColoursSurviveRoundTrips) {
    for (COLORREF c : {0x0000FFu, 0x00FF00u, 0xFF0000u, 0x00FFFFu, 0xFF00FFu, 0xFFFF00u, 0xFFFFFFu, 0u, 0x336699u}) {
        float h, s, v;
        RGBtoHSV(c, &h, &s, &v);
        EXPECT_EQ(HSVtoRGB(h, s, v), c) << std::hex << c;
        RGBtoHSL(c, &h, &s, &v);
        EXPECT_EQ(HSLtoRGB(h, s, v), c) << std::hex << c;
    }
}

}  // namespace
