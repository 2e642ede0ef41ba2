// codec_tiff_absent.cpp — TIFF in a web page: libtiff is not built for the
// page, so a TIFF file does not load and saving as TIFF fails, as with any
// format the picture calls cannot handle (the caller sees the failure).
#include "gdiplus/picture.h"

namespace plat::gdiplus {

bool decode_tiff(const uint8_t*, size_t, Picture*) { return false; }
bool encode_tiff(const Picture&, std::vector<uint8_t>*) { return false; }

}  // namespace plat::gdiplus
