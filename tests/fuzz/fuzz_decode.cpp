// libFuzzer target over the picture decoders of the GDI+ stand-in: any bytes
// go through the same signature dispatch as GdipLoadImageFromStream. A
// decoded picture must be consistent (size within the cap, one pixel per
// position); crashes, hangs, leaks and large allocations are found by the
// fuzzer and its sanitizers.
#include <cstdint>
#include <cstdlib>

#include "gdiplus/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::gdiplus::Picture pic;
    if (plat::gdiplus::decode_picture(data, size, &pic)) {
        const uint64_t n = uint64_t(pic.width) * pic.height;
        if (n == 0 || n > plat::gdiplus::kMaxPixels || pic.pixels.size() != n) std::abort();
    } else if (!pic.pixels.empty() || pic.width || pic.height) {
        std::abort();  // a failed decode leaves no picture behind
    }
    return 0;
}
