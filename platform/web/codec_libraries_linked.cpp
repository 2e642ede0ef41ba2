// codec_libraries_linked.cpp — the picture codec libraries in a web page:
// linked into the page (a page opens no shared libraries), so PNG, JPEG and
// GIF are always there; libtiff is not built for pages (codec_tiff_absent.cpp).
#include "gdiplus/codec_libraries.h"

namespace plat::gdiplus {

bool codec_library_available(CodecLibrary lib) { return lib != CodecLibrary::Tiff; }

// Only codec_libraries.cpp's forwarders ask for symbols, and pages do not
// build it: the codecs call the linked libraries directly.
void* codec_library_symbol(CodecLibrary, const char*) { return nullptr; }

}  // namespace plat::gdiplus
