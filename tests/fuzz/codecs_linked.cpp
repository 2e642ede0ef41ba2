// codecs_linked.cpp — the fuzzer and the seed maker link the picture codec
// libraries themselves, so every format is there from the start and the
// codecs call the libraries directly (no opening on first use).
#include "gdiplus/codec_libraries.h"

namespace plat::gdiplus {

bool codec_library_available(CodecLibrary) { return true; }

// Only the first-use forwarders (codec_libraries.cpp, not built here) ask for symbols.
void* codec_library_symbol(CodecLibrary, const char*) { return nullptr; }

}  // namespace plat::gdiplus
