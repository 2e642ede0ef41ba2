// color_model.cpp — grey, HSL and HSV conversions in single precision.
//
// Inputs are not clamped: out-of-range values go through the same formulas
// and the output channels keep the low 8 bits of their integer value.
#include "color_model.h"

#include <climits>
#include <cmath>

namespace Glint {
namespace Drawing {

namespace {

// Truncation toward zero of a float. A value outside the int range (or NaN)
// gives INT_MIN, the value the processor's own conversion gives, instead of
// undefined behaviour; its low 8 bits are 0, as are those of any float of
// that magnitude (such floats are multiples of 256).
int Trunc(float x) {
    if (!(std::fabs(x) < 2147483648.0f)) return INT_MIN;
    return int(x);
}

// One output channel: x * 255 + 0.5 truncated, low 8 bits.
DWORD To8(float x) { return DWORD(Trunc(x * 255.0f + 0.5f)) & 0xFF; }

COLORREF Pack(DWORD r, DWORD g, DWORD b) { return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16; }

}  // namespace

COLORREF ColorModel::RGBtoGRAY(COLORREF rgb) {
    const float r = float(GetRValue(rgb)), g = float(GetGValue(rgb)), b = float(GetBValue(rgb));
    const float y = (0.299f * r + 0.587f * g) + 0.114f * b;
    const DWORD v = DWORD(Trunc(y + 0.5f)) & 0xFF;
    return v * 0x010101u;
}

void ColorModel::RGBtoHSV(COLORREF rgb, float* H, float* S, float* V) {
    const float r = GetRValue(rgb) / 255.0f, g = GetGValue(rgb) / 255.0f, b = GetBValue(rgb) / 255.0f;
    const float mx = std::fmax(std::fmax(r, g), b), mn = std::fmin(std::fmin(r, g), b);
    const float d = mx - mn;
    float h = 0, s = 0;
    if (d != 0) {
        if (mx == r) {
            h = (g - b) / d;
            if (g < b) h += 6.0f;
        } else if (mx == g) {
            h = (b - r) / d + 2.0f;
        } else {
            h = (r - g) / d + 4.0f;
        }
        h *= 60.0f;
        s = d / mx;
    }
    if (H) *H = h;
    if (S) *S = s;
    if (V) *V = mx;
}

void ColorModel::RGBtoHSL(COLORREF rgb, float* H, float* S, float* L) {
    const float r = GetRValue(rgb) / 255.0f, g = GetGValue(rgb) / 255.0f, b = GetBValue(rgb) / 255.0f;
    const float mx = std::fmax(std::fmax(r, g), b), mn = std::fmin(std::fmin(r, g), b);
    const float l = (mx + mn) * 0.5f;
    float h = 0, s = 0;
    if (mx != mn) {
        const float d = mx - mn;
        s = l <= 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
        if (mx == r) {
            h = (g - b) / d / 6.0f * 360.0f;
            if (g < b) h += 360.0f;
        } else if (mx == g) {
            h = (b - r) / d / 6.0f * 360.0f + 120.0f;
        } else {
            h = (r - g) / d / 6.0f * 360.0f + 240.0f;
        }
    }
    if (H) *H = h;
    if (S) *S = s;
    if (L) *L = l;
}

int ColorModel::HSL_HUEtoRGB(float m1, float m2, float h) {
    if (h < 0) h += 360.0f;
    else if (h >= 360.0f) h -= 360.0f;
    float v;
    if (h < 60.0f) v = m1 + (h * (m2 - m1)) / 60.0f;
    else if (h < 180.0f) v = m2;
    else if (h < 240.0f) v = m1 + ((m2 - m1) * (240.0f - h)) / 60.0f;
    else v = m1;
    return Trunc(v * 255.0f + 0.5f);
}

COLORREF ColorModel::HSLtoRGB(float H, float S, float L) {
    if (S == 0) {
        const DWORD v = To8(L);
        return Pack(v, v, v);
    }
    const float m2 = L <= 0.5f ? S * L + L : (L + S) - S * L;
    const float m1 = (L + L) - m2;
    return Pack(DWORD(HSL_HUEtoRGB(m1, m2, H + 120.0f)), DWORD(HSL_HUEtoRGB(m1, m2, H)),
                DWORD(HSL_HUEtoRGB(m1, m2, H - 120.0f)));
}

COLORREF ColorModel::HSVtoRGB(float H, float S, float V) {
    float r = V, g = V, b = V;
    if (S != 0) {
        const float h = H / 60.0f;
        const float whole = std::trunc(h);  // the sector, toward zero; NaN stays NaN
        const int i = std::fabs(whole) < 8.0f ? int(whole) : -1;  // far sectors all take the last case
        const float f = h - whole;
        const float p = (1.0f - S) * V, q = (1.0f - S * f) * V, t = (1.0f - S * (1.0f - f)) * V;
        switch (i) {
            case 0: r = V, g = t, b = p; break;
            case 1: r = q, g = V, b = p; break;
            case 2: r = p, g = V, b = t; break;
            case 3: r = p, g = q, b = V; break;
            case 4: r = t, g = p, b = V; break;
            default: r = V, g = p, b = q; break;
        }
    }
    return Pack(To8(r), To8(g), To8(b));
}

}  // namespace Drawing
}  // namespace Glint

// The public free functions.
COLORREF RGBtoGRAY(COLORREF rgb) { return Glint::Drawing::ColorModel::RGBtoGRAY(rgb); }
void RGBtoHSL(COLORREF rgb, float* H, float* S, float* L) { Glint::Drawing::ColorModel::RGBtoHSL(rgb, H, S, L); }
void RGBtoHSV(COLORREF rgb, float* H, float* S, float* V) { Glint::Drawing::ColorModel::RGBtoHSV(rgb, H, S, V); }
COLORREF HSLtoRGB(float H, float S, float L) { return Glint::Drawing::ColorModel::HSLtoRGB(H, S, L); }
COLORREF HSVtoRGB(float H, float S, float V) { return Glint::Drawing::ColorModel::HSVtoRGB(H, S, V); }
