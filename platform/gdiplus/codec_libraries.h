// codec_libraries.h — the picture codec libraries (libpng, libjpeg, libtiff,
// giflib), loaded when a picture of their format is first decoded or encoded
// rather than when the program starts.
//
// A program that never touches a PNG, JPEG, TIFF or GIF picture does not pay
// for loading these libraries (and the dozen that libtiff brings along) on its
// way to its first window. The codecs call the libraries by their usual names;
// codec_libraries.cpp defines those names and forwards each call to the
// function found in the library, opened on first use.
//
// Locks: the loader's own (a function-local static per library).
#pragma once

namespace plat::gdiplus {

enum class CodecLibrary { Png, Jpeg, Tiff, Gif };

// Opens the library on first use. False when it cannot be opened: the
// format's pictures then fail to decode or encode, as a picture of an
// unknown format does.
bool codec_library_available(CodecLibrary lib);

// The address of `name` in the library, opened first if need be. Ends the
// process with a message on standard error when the library or the name is
// missing: callers check codec_library_available before the first call.
void* codec_library_symbol(CodecLibrary lib, const char* name);

// The symbol as a pointer of the declared function's type.
template <typename Fn>
Fn codec_import(CodecLibrary lib, const char* name) {
    return reinterpret_cast<Fn>(codec_library_symbol(lib, name));
}

}  // namespace plat::gdiplus
