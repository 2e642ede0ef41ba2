// Writes small valid pictures of every format (made by our own encoders) into
// DIR/<format>/ as the fuzzer's starting corpora. Usage: make_seeds DIR
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gdiplus/picture.h"

using namespace plat::gdiplus;

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string dir = argv[1];
    const struct {
        Format f;
        const char* name;
    } formats[] = {{Format::Bmp, "bmp"}, {Format::Jpeg, "jpeg"}, {Format::Gif, "gif"}, {Format::Tiff, "tiff"},
                   {Format::Png, "png"}};
    const UINT sizes[][2] = {{1, 1}, {7, 5}, {16, 9}};
    for (const auto& fmt : formats) {
        const std::string sub = dir + "/" + fmt.name;
        mkdir(sub.c_str(), 0755);
        int n = 0;
        for (const auto& s : sizes)
            for (int alpha = 0; alpha < 2; ++alpha) {
                Picture p;
                p.width = s[0], p.height = s[1];
                for (UINT i = 0; i < s[0] * s[1]; ++i)
                    p.pixels.push_back((alpha && i % 3 == 0 ? 0x40000000u : 0xFF000000u) | (i * 0x2F1B07u & 0xFFFFFF));
                update_opaque(&p);
                std::vector<uint8_t> bytes;
                if (!encode_picture(fmt.f, p, &bytes)) return 1;
                const std::string path = sub + "/seed" + std::to_string(n++);
                std::FILE* f = std::fopen(path.c_str(), "wb");
                if (!f) return 1;
                std::fwrite(bytes.data(), 1, bytes.size(), f);
                std::fclose(f);
            }
    }
    return 0;
}
