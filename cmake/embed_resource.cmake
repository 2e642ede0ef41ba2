# cmake -DIN=file -DOUT=source.cpp -DTYPE=type -DNAME=name -P embed_resource.cmake
# Writes a C++ source holding the file's bytes that registers them as the
# program resource NAME of type TYPE before main runs.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" len)
math(EXPR size "${len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT} "// Generated from ${IN}: do not edit.
#include \"platform/resources.h\"

namespace {
const unsigned char kBytes[] = {
${bytes}0};  // one more byte, so that an empty file makes a valid array
struct Register {
    Register() { plat::add_resource(\"${TYPE}\", \"${NAME}\", kBytes, ${size}); }
} registration;
}  // namespace
")
