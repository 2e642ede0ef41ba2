// Pictures of the graphics layer next to their floors: loadimage / saveimage
// against libpng and libjpeg-turbo coding the same 640 x 480 picture directly
// in memory, putimage against memcpy, and rotateimage in both modes.
#include <benchmark/benchmark.h>
#include <graphics.h>
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#define XMD_H  // windef.h's INT32, not libjpeg's
#include <jpeglib.h>

#include "platform/headless.h"

namespace {

constexpr int kW = 640, kH = 480;

HWND Window() {
    static HWND hwnd = [] {
        HWND h = initgraph(kW, kH, 0);
        flushmessage();
        return h;
    }();
    return hwnd;
}

// A photo-like picture: smooth gradients with some texture.
IMAGE* Picture() {
    static IMAGE* img = [] {
        Window();
        auto* p = new IMAGE(kW, kH);
        DWORD* b = GetImageBuffer(p);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                int r = int(127 + 100 * std::sin(x * 0.02) + 20 * std::sin(y * 0.3));
                int g = int(127 + 100 * std::cos(y * 0.015) + 15 * std::sin((x + y) * 0.2));
                int bl = (x ^ y) & 0x3F;
                b[y * kW + x] = DWORD(r) << 16 | DWORD(g) << 8 | DWORD(bl + 96);
            }
        return p;
    }();
    return img;
}

std::string Path(const char* ext) { return "/tmp/glint_bench_" + std::to_string(getpid()) + "." + ext; }

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::vector<unsigned char> v;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return v;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
    std::fclose(f);
    return v;
}

const std::string& Saved(const char* ext) {
    static std::string png, jpg;
    std::string& s = std::strcmp(ext, "png") == 0 ? png : jpg;
    if (s.empty()) {
        s = Path(ext);
        saveimage(s.c_str(), Picture());
    }
    return s;
}

void BM_loadimage_png_640x480(benchmark::State& state) {
    const std::string& path = Saved("png");
    IMAGE img;
    for (auto _ : state) benchmark::DoNotOptimize(loadimage(&img, path.c_str()));
}
BENCHMARK(BM_loadimage_png_640x480)->Unit(benchmark::kMillisecond);

void BM_floor_libpng_decode_640x480(benchmark::State& state) {
    std::vector<unsigned char> bytes = ReadAll(Saved("png"));
    std::vector<uint32_t> out(size_t(kW) * kH);
    for (auto _ : state) {
        png_image img;
        std::memset(&img, 0, sizeof img);
        img.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&img, bytes.data(), bytes.size());
        img.format = PNG_FORMAT_BGRA;
        png_image_finish_read(&img, nullptr, out.data(), 0, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_floor_libpng_decode_640x480)->Unit(benchmark::kMillisecond);

void BM_loadimage_jpeg_640x480(benchmark::State& state) {
    const std::string& path = Saved("jpg");
    IMAGE img;
    for (auto _ : state) benchmark::DoNotOptimize(loadimage(&img, path.c_str()));
}
BENCHMARK(BM_loadimage_jpeg_640x480)->Unit(benchmark::kMillisecond);

void BM_floor_libjpeg_decode_640x480(benchmark::State& state) {
    std::vector<unsigned char> bytes = ReadAll(Saved("jpg"));
    std::vector<uint32_t> out(size_t(kW) * kH);
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGRA;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(out.data() + size_t(cinfo.output_scanline) * kW);
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_floor_libjpeg_decode_640x480)->Unit(benchmark::kMillisecond);

void BM_saveimage_png_640x480(benchmark::State& state) {
    const std::string path = Path("save.png");
    for (auto _ : state) saveimage(path.c_str(), Picture());
}
BENCHMARK(BM_saveimage_png_640x480)->Unit(benchmark::kMillisecond);

void AppendPng(png_structp png, png_bytep data, png_size_t n) {
    auto* v = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    v->insert(v->end(), data, data + n);
}

void BM_floor_libpng_encode_640x480(benchmark::State& state) {
    const DWORD* px = GetImageBuffer(Picture());
    std::vector<unsigned char> out;
    for (auto _ : state) {
        out.clear();
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_write_fn(png, &out, AppendPng, nullptr);
        png_set_IHDR(png, info, kW, kH, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        for (int y = 0; y < kH; ++y) png_write_row(png, reinterpret_cast<png_const_bytep>(px + y * kW));
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_floor_libpng_encode_640x480)->Unit(benchmark::kMillisecond);

void BM_saveimage_jpeg_640x480(benchmark::State& state) {
    const std::string path = Path("save.jpg");
    for (auto _ : state) saveimage(path.c_str(), Picture());
}
BENCHMARK(BM_saveimage_jpeg_640x480)->Unit(benchmark::kMillisecond);

void BM_floor_libjpeg_encode_640x480(benchmark::State& state) {
    const DWORD* px = GetImageBuffer(Picture());
    for (auto _ : state) {
        jpeg_compress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        unsigned char* mem = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &mem, &size);
        cinfo.image_width = kW;
        cinfo.image_height = kH;
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 75, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(px + cinfo.next_scanline * kW));
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        benchmark::DoNotOptimize(mem);
        std::free(mem);
    }
}
BENCHMARK(BM_floor_libjpeg_encode_640x480)->Unit(benchmark::kMillisecond);

void BM_putimage_srccopy_640x480(benchmark::State& state) {
    IMAGE* p = Picture();
    BeginBatchDraw();
    for (auto _ : state) putimage(0, 0, p, SRCCOPY);
    EndBatchDraw();
    state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}
BENCHMARK(BM_putimage_srccopy_640x480)->Unit(benchmark::kMicrosecond);

void BM_putimage_srcinvert_640x480(benchmark::State& state) {
    IMAGE* p = Picture();
    BeginBatchDraw();
    for (auto _ : state) putimage(0, 0, p, SRCINVERT);
    EndBatchDraw();
    state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}
BENCHMARK(BM_putimage_srcinvert_640x480)->Unit(benchmark::kMicrosecond);

void BM_floor_memcpy_640x480(benchmark::State& state) {
    IMAGE* p = Picture();
    for (auto _ : state) {
        std::memcpy(GetImageBuffer(NULL), GetImageBuffer(p), size_t(kW) * kH * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}
BENCHMARK(BM_floor_memcpy_640x480)->Unit(benchmark::kMicrosecond);

void BM_rotateimage_30deg_nearest(benchmark::State& state) {
    IMAGE out;
    for (auto _ : state) rotateimage(&out, Picture(), 0.5235987755982988, BLACK, true, false);
}
BENCHMARK(BM_rotateimage_30deg_nearest)->Unit(benchmark::kMillisecond);

void BM_rotateimage_30deg_bilinear(benchmark::State& state) {
    IMAGE out;
    for (auto _ : state) rotateimage(&out, Picture(), 0.5235987755982988, BLACK, true, true);
}
BENCHMARK(BM_rotateimage_30deg_bilinear)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    headless::Use(/*virtual_clock=*/false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* ext : {"png", "jpg", "save.png", "save.jpg"}) std::remove(Path(ext).c_str());
    return 0;
}
