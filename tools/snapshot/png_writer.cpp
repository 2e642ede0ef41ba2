// png_writer.cpp — PNG chunks, row filters, zlib framing and a fixed-Huffman
// deflate block with byte runs as the only matches.
#include "png_writer.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace snapshot {
namespace {

uint32_t Crc32(const unsigned char* data, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const std::vector<unsigned char>& data) {
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void Put32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
}

void Chunk(std::string& out, const char* type, const std::string& body) {
    Put32(out, uint32_t(body.size()));
    std::string typed = std::string(type, 4) + body;
    out += typed;
    Put32(out, Crc32(reinterpret_cast<const unsigned char*>(typed.data()), typed.size()));
}

// Deflate's bit order: values go in least significant bit first, Huffman
// codes most significant bit first.
class BitWriter {
public:
    void Bits(uint32_t value, int n) {
        for (int i = 0; i < n; ++i) Bit((value >> i) & 1);
    }
    void Code(uint32_t code, int n) {
        for (int i = n - 1; i >= 0; --i) Bit((code >> i) & 1);
    }
    std::vector<unsigned char> Finish() { return bytes_; }

private:
    void Bit(uint32_t b) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() |= (unsigned char)(b << used_);
        used_ = (used_ + 1) & 7;
    }
    std::vector<unsigned char> bytes_;
    int used_ = 0;
};

// A literal/length symbol in the fixed Huffman code.
void Symbol(BitWriter& w, int sym) {
    if (sym < 144) w.Code(0x30 + sym, 8);
    else if (sym < 256) w.Code(0x190 + sym - 144, 9);
    else if (sym < 280) w.Code(sym - 256, 7);
    else w.Code(0xC0 + sym - 280, 8);
}

// A match of `len` bytes (3..258) at distance 1: the previous byte repeated.
void Run(BitWriter& w, int len) {
    static const int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int i = 28;
    while (base[i] > len) --i;
    Symbol(w, 257 + i);
    w.Bits(uint32_t(len - base[i]), extra[i]);
    w.Code(0, 5);  // distance code 0: distance 1
}

std::vector<unsigned char> Deflate(const std::vector<unsigned char>& in) {
    BitWriter w;
    w.Bits(1, 1);  // the last block
    w.Bits(1, 2);  // fixed Huffman codes
    for (size_t i = 0; i < in.size();) {
        size_t run = 0;
        if (i > 0)
            while (run < 258 && i + run < in.size() && in[i + run] == in[i - 1]) ++run;
        if (run >= 3) {
            Run(w, int(run));
            i += run;
        } else {
            Symbol(w, in[i++]);
        }
    }
    Symbol(w, 256);  // end of block
    return w.Finish();
}

}  // namespace

std::string EncodePng(const uint32_t* pixels, int width, int height) {
    if (width < 1 || height < 1) return std::string();
    const size_t stride = size_t(width) * 3;
    std::vector<unsigned char> rows, prev(stride, 0), cur(stride), best, trial(stride);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
            cur[size_t(x) * 3] = (unsigned char)(p >> 16);
            cur[size_t(x) * 3 + 1] = (unsigned char)(p >> 8);
            cur[size_t(x) * 3 + 2] = (unsigned char)p;
        }
        // Filter 0 keeps the bytes, 1 subtracts the pixel on the left, 2 the pixel above.
        long bestCost = -1;
        int bestFilter = 0;
        for (int filter = 0; filter < 3; ++filter) {
            long cost = 0;
            for (size_t i = 0; i < stride; ++i) {
                unsigned char ref = filter == 1 ? (i >= 3 ? cur[i - 3] : 0) : filter == 2 ? prev[i] : 0;
                trial[i] = (unsigned char)(cur[i] - ref);
                cost += std::abs(int((signed char)trial[i]));
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                bestFilter = filter;
                best = trial;
            }
        }
        rows.push_back((unsigned char)bestFilter);
        rows.insert(rows.end(), best.begin(), best.end());
        prev = cur;
    }

    std::string zlib("\x78\x01", 2);  // deflate, 32 KiB window, no dictionary
    std::vector<unsigned char> deflated = Deflate(rows);
    zlib.append(reinterpret_cast<const char*>(deflated.data()), deflated.size());
    Put32(zlib, Adler32(rows));

    std::string header;
    Put32(header, uint32_t(width));
    Put32(header, uint32_t(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits per channel, RGB, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", zlib);
    Chunk(png, "IEND", std::string());
    return png;
}

bool WritePng(const char* path, const uint32_t* pixels, int width, int height) {
    std::string png = EncodePng(pixels, width, height);
    FILE* f = png.empty() ? nullptr : std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace snapshot
