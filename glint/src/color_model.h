// color_model.h — conversions between COLORREF and grey, HSL and HSV.
//
// Everything is computed in single precision in a fixed order of operations,
// so results are the same bit for bit on every build; the free functions of
// glint.h forward here unchanged.
#pragma once

#include <windows.h>

namespace Glint {
namespace Drawing {

class ColorModel {
public:
    static COLORREF RGBtoGRAY(COLORREF rgb);
    static void RGBtoHSL(COLORREF rgb, float* H, float* S, float* L);
    static void RGBtoHSV(COLORREF rgb, float* H, float* S, float* V);
    static COLORREF HSLtoRGB(float H, float S, float L);
    static COLORREF HSVtoRGB(float H, float S, float V);
    // One channel of an HSL colour, 0..255 for inputs in range; the caller
    // keeps the low 8 bits.
    static int HSL_HUEtoRGB(float m1, float m2, float hue);
};

}  // namespace Drawing
}  // namespace Glint
