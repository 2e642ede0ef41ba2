// rotate_image.cpp — rotateimage: an image turned about its centre into
// another (or itself), nearest-pixel or bilinear, uncovered pixels in a
// background colour. Pixel buffers are written directly.
#include <cmath>

#include "image_func.h"

namespace Glint {

namespace {

// One colour byte of the bilinear blend, in the documented order of sums.
inline DWORD Mix(double w00, double w10, double w01, double w11, DWORD c00, DWORD c10, DWORD c01, DWORD c11,
                 int shift) {
    const double v = ((w00 * ((c00 >> shift) & 0xFF) + w10 * ((c10 >> shift) & 0xFF)) + w01 * ((c01 >> shift) & 0xFF)) +
                     w11 * ((c11 >> shift) & 0xFF);
    return (DWORD(int(v)) & 0xFF) << shift;
}

}  // namespace

void ImageFunc::rotateimage(IMAGE* dstimg, IMAGE* srcimg, double radian, COLORREF bkcolor, bool autosize,
                            bool highquality) {
    if (!srcimg) return;
    IMAGE* target = dstimg ? dstimg : g_pGraphWnd;
    if (!target) return;
    IMAGE* copy = nullptr;
    if (target == srcimg) {  // rotating in place reads from a copy
        copy = new IMAGE;
        *copy = *srcimg;
        srcimg = copy;
    }
    const double cA = std::cos(radian), sA = std::sin(-radian);
    const int W = srcimg->m_width, H = srcimg->m_height;
    int nw = W, nh = H;
    if (autosize) {
        nw = int(std::fmax(std::fabs(cA * W + sA * H), std::fabs(cA * W - sA * H)) + 0.5);
        nh = int(std::fmax(std::fabs(cA * H - sA * W), std::fabs(cA * H + sA * W)) + 0.5);
    }
    ::Resize(dstimg, nw, nh);
    // The size the destination really has (a zero side leaves it as it was).
    nw = target->m_width;
    nh = target->m_height;
    DWORD* dst = target->m_pBuffer;
    const DWORD* src = srcimg->m_pBuffer;
    if (dst && nw > 0 && nh > 0) {
        const DWORD bk = BGR(bkcolor);
        Common::Memory::FillMemory4(dst, size_t(nw) * size_t(nh), bk);
        const double ox = W / 2.0 - (nw / 2.0) * cA - (nh / 2.0) * sA;
        const double oy = H / 2.0 + (nw / 2.0) * sA - (nh / 2.0) * cA;
        for (int j = 0; src && j < nh; ++j) {
            DWORD* row = dst + size_t(j) * size_t(nw);
            for (int i = 0; i < nw; ++i) {
                const double x = ox + i * cA + j * sA, y = oy - i * sA + j * cA;
                if (!highquality) {
                    const double fx = x + 0.5, fy = y + 0.5;
                    if (!(fx > -1.0 && fx < W && fy > -1.0 && fy < H)) continue;  // also keeps int() defined
                    const int sx = int(fx), sy = int(fy);                            // toward zero
                    if (sx >= 0 && sx < W && sy >= 0 && sy < H) row[i] = src[size_t(sy) * size_t(W) + size_t(sx)];
                    continue;
                }
                const double fx0 = std::floor(x), fy0 = std::floor(y);
                if (!(fx0 >= -1 && fx0 <= W - 1 && fy0 >= -1 && fy0 <= H - 1)) continue;
                const int x0 = int(fx0), y0 = int(fy0);
                const double dx = x - fx0, dy = y - fy0;
                auto at = [&](int px, int py) -> DWORD {
                    if (px < 0 || px >= W || py < 0 || py >= H) return bk;
                    return src[size_t(py) * size_t(W) + size_t(px)];
                };
                const DWORD c00 = at(x0, y0), c10 = at(x0 + 1, y0), c01 = at(x0, y0 + 1), c11 = at(x0 + 1, y0 + 1);
                const double w00 = (1 - dx) * (1 - dy), w10 = dx * (1 - dy), w01 = (1 - dx) * dy, w11 = dx * dy;
                row[i] = Mix(w00, w10, w01, w11, c00, c10, c01, c11, 0) |
                         Mix(w00, w10, w01, w11, c00, c10, c01, c11, 8) |
                         Mix(w00, w10, w01, w11, c00, c10, c01, c11, 16);
            }
        }
    }
    delete copy;
}

}  // namespace Glint
