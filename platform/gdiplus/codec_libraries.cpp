// codec_libraries.cpp — opening the picture codec libraries on first use, and
// the library functions the codecs call, each forwarding to the library's own.
//
// The platform does not link libpng, libjpeg, libtiff or giflib: their names
// are defined here, with the signatures of the libraries' headers (the
// compiler checks each against its declaration), and each looks its
// function up once, in the library opened by its file name (the name the
// build was configured with, PLAT_*_SONAME). A test or benchmark that links a
// library itself gets the same loaded copy.
//
// Locks: function-local statics only (one per library and per function).
#include "gdiplus/codec_libraries.h"

#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>

#include <png.h>

#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t

#include <gif_lib.h>
#include <tiffio.h>

namespace plat::gdiplus {

namespace {

struct LibraryName {
    CodecLibrary lib;
    const char* file;
};

const LibraryName kLibraries[] = {
    {CodecLibrary::Png, PLAT_PNG_SONAME},
    {CodecLibrary::Jpeg, PLAT_JPEG_SONAME},
    {CodecLibrary::Tiff, PLAT_TIFF_SONAME},
    {CodecLibrary::Gif, PLAT_GIF_SONAME},
};

const char* file_of(CodecLibrary lib) {
    for (const LibraryName& l : kLibraries)
        if (l.lib == lib) return l.file;
    return nullptr;
}

// Opened once, kept for the life of the process; null when missing.
void* handle_of(CodecLibrary lib) {
    static std::once_flag once[std::size(kLibraries)];
    static void* handles[std::size(kLibraries)];
    const size_t i = static_cast<size_t>(lib);
    std::call_once(once[i], [&] { handles[i] = dlopen(file_of(lib), RTLD_NOW | RTLD_LOCAL); });
    return handles[i];
}

}  // namespace

bool codec_library_available(CodecLibrary lib) { return handle_of(lib) != nullptr; }

void* codec_library_symbol(CodecLibrary lib, const char* name) {
    void* h = handle_of(lib);
    void* fn = h ? dlsym(h, name) : nullptr;
    if (!fn) {
        std::fprintf(stderr, "platform: %s not found in %s\n", name, file_of(lib));
        std::abort();
    }
    return fn;
}

}  // namespace plat::gdiplus

using plat::gdiplus::codec_import;
using plat::gdiplus::CodecLibrary;

// ---------------------------------------------------------------- Png
extern "C" png_infop png_create_info_struct(png_const_structrp png_ptr) {
    static const auto real = codec_import<decltype(&png_create_info_struct)>(CodecLibrary::Png, "png_create_info_struct");
    return real(png_ptr);
}
extern "C" png_structp png_create_write_struct(png_const_charp user_png_ver, png_voidp error_ptr, png_error_ptr error_fn, png_error_ptr warn_fn) {
    static const auto real = codec_import<decltype(&png_create_write_struct)>(CodecLibrary::Png, "png_create_write_struct");
    return real(user_png_ver, error_ptr, error_fn, warn_fn);
}
extern "C" void png_destroy_write_struct(png_structpp png_ptr_ptr, png_infopp info_ptr_ptr) {
    static const auto real = codec_import<decltype(&png_destroy_write_struct)>(CodecLibrary::Png, "png_destroy_write_struct");
    real(png_ptr_ptr, info_ptr_ptr);
}
extern "C" png_voidp png_get_io_ptr(png_const_structrp png_ptr) {
    static const auto real = codec_import<decltype(&png_get_io_ptr)>(CodecLibrary::Png, "png_get_io_ptr");
    return real(png_ptr);
}
extern "C" int png_image_begin_read_from_memory(png_imagep image, png_const_voidp memory, size_t size) {
    static const auto real = codec_import<decltype(&png_image_begin_read_from_memory)>(CodecLibrary::Png, "png_image_begin_read_from_memory");
    return real(image, memory, size);
}
extern "C" int png_image_finish_read(png_imagep image, png_const_colorp background, void *buffer, png_int_32 row_stride, void *colormap) {
    static const auto real = codec_import<decltype(&png_image_finish_read)>(CodecLibrary::Png, "png_image_finish_read");
    return real(image, background, buffer, row_stride, colormap);
}
extern "C" void png_image_free(png_imagep image) {
    static const auto real = codec_import<decltype(&png_image_free)>(CodecLibrary::Png, "png_image_free");
    real(image);
}
extern "C" void png_longjmp(png_const_structrp png_ptr, int val) {
    static const auto real = codec_import<decltype(&png_longjmp)>(CodecLibrary::Png, "png_longjmp");
    real(png_ptr, val);
    std::abort();  // the library never returns from here
}
extern "C" void png_set_IHDR(png_const_structrp png_ptr, png_inforp info_ptr, png_uint_32 width, png_uint_32 height, int bit_depth, int color_type, int interlace_method, int compression_method, int filter_method) {
    static const auto real = codec_import<decltype(&png_set_IHDR)>(CodecLibrary::Png, "png_set_IHDR");
    real(png_ptr, info_ptr, width, height, bit_depth, color_type, interlace_method, compression_method, filter_method);
}
extern "C" void png_set_bgr(png_structrp png_ptr) {
    static const auto real = codec_import<decltype(&png_set_bgr)>(CodecLibrary::Png, "png_set_bgr");
    real(png_ptr);
}
extern "C" void png_set_filler(png_structrp png_ptr, png_uint_32 filler, int flags) {
    static const auto real = codec_import<decltype(&png_set_filler)>(CodecLibrary::Png, "png_set_filler");
    real(png_ptr, filler, flags);
}
extern "C" jmp_buf* png_set_longjmp_fn(png_structrp png_ptr, png_longjmp_ptr longjmp_fn, size_t jmp_buf_size) {
    static const auto real = codec_import<decltype(&png_set_longjmp_fn)>(CodecLibrary::Png, "png_set_longjmp_fn");
    return real(png_ptr, longjmp_fn, jmp_buf_size);
}
extern "C" void png_set_write_fn(png_structrp png_ptr, png_voidp io_ptr, png_rw_ptr write_data_fn, png_flush_ptr output_flush_fn) {
    static const auto real = codec_import<decltype(&png_set_write_fn)>(CodecLibrary::Png, "png_set_write_fn");
    real(png_ptr, io_ptr, write_data_fn, output_flush_fn);
}
extern "C" void png_write_end(png_structrp png_ptr, png_inforp info_ptr) {
    static const auto real = codec_import<decltype(&png_write_end)>(CodecLibrary::Png, "png_write_end");
    real(png_ptr, info_ptr);
}
extern "C" void png_write_info(png_structrp png_ptr, png_const_inforp info_ptr) {
    static const auto real = codec_import<decltype(&png_write_info)>(CodecLibrary::Png, "png_write_info");
    real(png_ptr, info_ptr);
}
extern "C" void png_write_row(png_structrp png_ptr, png_const_bytep row) {
    static const auto real = codec_import<decltype(&png_write_row)>(CodecLibrary::Png, "png_write_row");
    real(png_ptr, row);
}
// ---------------------------------------------------------------- Jpeg
extern "C" void jpeg_CreateCompress(j_compress_ptr cinfo, int version, size_t structsize) {
    static const auto real = codec_import<decltype(&jpeg_CreateCompress)>(CodecLibrary::Jpeg, "jpeg_CreateCompress");
    real(cinfo, version, structsize);
}
extern "C" void jpeg_CreateDecompress(j_decompress_ptr cinfo, int version, size_t structsize) {
    static const auto real = codec_import<decltype(&jpeg_CreateDecompress)>(CodecLibrary::Jpeg, "jpeg_CreateDecompress");
    real(cinfo, version, structsize);
}
extern "C" void jpeg_destroy_compress(j_compress_ptr cinfo) {
    static const auto real = codec_import<decltype(&jpeg_destroy_compress)>(CodecLibrary::Jpeg, "jpeg_destroy_compress");
    real(cinfo);
}
extern "C" void jpeg_destroy_decompress(j_decompress_ptr cinfo) {
    static const auto real = codec_import<decltype(&jpeg_destroy_decompress)>(CodecLibrary::Jpeg, "jpeg_destroy_decompress");
    real(cinfo);
}
extern "C" void jpeg_finish_compress(j_compress_ptr cinfo) {
    static const auto real = codec_import<decltype(&jpeg_finish_compress)>(CodecLibrary::Jpeg, "jpeg_finish_compress");
    real(cinfo);
}
extern "C" boolean jpeg_finish_decompress(j_decompress_ptr cinfo) {
    static const auto real = codec_import<decltype(&jpeg_finish_decompress)>(CodecLibrary::Jpeg, "jpeg_finish_decompress");
    return real(cinfo);
}
extern "C" void jpeg_mem_dest(j_compress_ptr cinfo, unsigned char **outbuffer, unsigned long *outsize) {
    static const auto real = codec_import<decltype(&jpeg_mem_dest)>(CodecLibrary::Jpeg, "jpeg_mem_dest");
    real(cinfo, outbuffer, outsize);
}
extern "C" void jpeg_mem_src(j_decompress_ptr cinfo, const unsigned char *inbuffer, unsigned long insize) {
    static const auto real = codec_import<decltype(&jpeg_mem_src)>(CodecLibrary::Jpeg, "jpeg_mem_src");
    real(cinfo, inbuffer, insize);
}
extern "C" int jpeg_read_header(j_decompress_ptr cinfo, boolean require_image) {
    static const auto real = codec_import<decltype(&jpeg_read_header)>(CodecLibrary::Jpeg, "jpeg_read_header");
    return real(cinfo, require_image);
}
extern "C" JDIMENSION jpeg_read_scanlines(j_decompress_ptr cinfo, JSAMPARRAY scanlines, JDIMENSION max_lines) {
    static const auto real = codec_import<decltype(&jpeg_read_scanlines)>(CodecLibrary::Jpeg, "jpeg_read_scanlines");
    return real(cinfo, scanlines, max_lines);
}
extern "C" void jpeg_set_defaults(j_compress_ptr cinfo) {
    static const auto real = codec_import<decltype(&jpeg_set_defaults)>(CodecLibrary::Jpeg, "jpeg_set_defaults");
    real(cinfo);
}
extern "C" void jpeg_set_quality(j_compress_ptr cinfo, int quality, boolean force_baseline) {
    static const auto real = codec_import<decltype(&jpeg_set_quality)>(CodecLibrary::Jpeg, "jpeg_set_quality");
    real(cinfo, quality, force_baseline);
}
extern "C" void jpeg_start_compress(j_compress_ptr cinfo, boolean write_all_tables) {
    static const auto real = codec_import<decltype(&jpeg_start_compress)>(CodecLibrary::Jpeg, "jpeg_start_compress");
    real(cinfo, write_all_tables);
}
extern "C" boolean jpeg_start_decompress(j_decompress_ptr cinfo) {
    static const auto real = codec_import<decltype(&jpeg_start_decompress)>(CodecLibrary::Jpeg, "jpeg_start_decompress");
    return real(cinfo);
}
extern "C" struct jpeg_error_mgr * jpeg_std_error(struct jpeg_error_mgr *err) {
    static const auto real = codec_import<decltype(&jpeg_std_error)>(CodecLibrary::Jpeg, "jpeg_std_error");
    return real(err);
}
extern "C" JDIMENSION jpeg_write_scanlines(j_compress_ptr cinfo, JSAMPARRAY scanlines, JDIMENSION num_lines) {
    static const auto real = codec_import<decltype(&jpeg_write_scanlines)>(CodecLibrary::Jpeg, "jpeg_write_scanlines");
    return real(cinfo, scanlines, num_lines);
}
// ---------------------------------------------------------------- Tiff
extern "C" TIFF * TIFFClientOpenExt(const char * a0, const char * a1, thandle_t a2, TIFFReadWriteProc a3, TIFFReadWriteProc a4, TIFFSeekProc a5, TIFFCloseProc a6, TIFFSizeProc a7, TIFFMapFileProc a8, TIFFUnmapFileProc a9, TIFFOpenOptions *opts) {
    static const auto real = codec_import<decltype(&TIFFClientOpenExt)>(CodecLibrary::Tiff, "TIFFClientOpenExt");
    return real(a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, opts);
}
extern "C" void TIFFClose(TIFF *tif) {
    static const auto real = codec_import<decltype(&TIFFClose)>(CodecLibrary::Tiff, "TIFFClose");
    real(tif);
}
extern "C" uint32_t TIFFDefaultStripSize(TIFF *tif, uint32_t request) {
    static const auto real = codec_import<decltype(&TIFFDefaultStripSize)>(CodecLibrary::Tiff, "TIFFDefaultStripSize");
    return real(tif, request);
}
extern "C" TIFFOpenOptions * TIFFOpenOptionsAlloc() {
    static const auto real = codec_import<decltype(&TIFFOpenOptionsAlloc)>(CodecLibrary::Tiff, "TIFFOpenOptionsAlloc");
    return real();
}
extern "C" void TIFFOpenOptionsFree(TIFFOpenOptions * a0) {
    static const auto real = codec_import<decltype(&TIFFOpenOptionsFree)>(CodecLibrary::Tiff, "TIFFOpenOptionsFree");
    real(a0);
}
extern "C" void TIFFOpenOptionsSetErrorHandlerExtR(TIFFOpenOptions *opts, TIFFErrorHandlerExtR handler, void *errorhandler_user_data) {
    static const auto real = codec_import<decltype(&TIFFOpenOptionsSetErrorHandlerExtR)>(CodecLibrary::Tiff, "TIFFOpenOptionsSetErrorHandlerExtR");
    real(opts, handler, errorhandler_user_data);
}
extern "C" void TIFFOpenOptionsSetMaxSingleMemAlloc(TIFFOpenOptions *opts, tmsize_t max_single_mem_alloc) {
    static const auto real = codec_import<decltype(&TIFFOpenOptionsSetMaxSingleMemAlloc)>(CodecLibrary::Tiff, "TIFFOpenOptionsSetMaxSingleMemAlloc");
    real(opts, max_single_mem_alloc);
}
extern "C" void TIFFOpenOptionsSetWarningHandlerExtR(TIFFOpenOptions *opts, TIFFErrorHandlerExtR handler, void *warnhandler_user_data) {
    static const auto real = codec_import<decltype(&TIFFOpenOptionsSetWarningHandlerExtR)>(CodecLibrary::Tiff, "TIFFOpenOptionsSetWarningHandlerExtR");
    real(opts, handler, warnhandler_user_data);
}
extern "C" int TIFFRGBAImageOK(TIFF* tif, char emsg[1024]) {
    static const auto real = codec_import<decltype(&TIFFRGBAImageOK)>(CodecLibrary::Tiff, "TIFFRGBAImageOK");
    return real(tif, emsg);
}
extern "C" int TIFFReadRGBAImageOriented(TIFF * a0, uint32_t a1, uint32_t a2, uint32_t * a3, int a4, int a5) {
    static const auto real = codec_import<decltype(&TIFFReadRGBAImageOriented)>(CodecLibrary::Tiff, "TIFFReadRGBAImageOriented");
    return real(a0, a1, a2, a3, a4, a5);
}
extern "C" int TIFFWriteDirectory(TIFF * a0) {
    static const auto real = codec_import<decltype(&TIFFWriteDirectory)>(CodecLibrary::Tiff, "TIFFWriteDirectory");
    return real(a0);
}
extern "C" int TIFFWriteScanline(TIFF *tif, void *buf, uint32_t row, uint16_t sample) {
    static const auto real = codec_import<decltype(&TIFFWriteScanline)>(CodecLibrary::Tiff, "TIFFWriteScanline");
    return real(tif, buf, row, sample);
}
// The two variadic calls go through their va_list forms.
extern "C" int TIFFGetField(TIFF* tif, uint32_t tag, ...) {
    static const auto real = codec_import<decltype(&TIFFVGetField)>(CodecLibrary::Tiff, "TIFFVGetField");
    va_list ap;
    va_start(ap, tag);
    const int r = real(tif, tag, ap);
    va_end(ap);
    return r;
}
extern "C" int TIFFSetField(TIFF* tif, uint32_t tag, ...) {
    static const auto real = codec_import<decltype(&TIFFVSetField)>(CodecLibrary::Tiff, "TIFFVSetField");
    va_list ap;
    va_start(ap, tag);
    const int r = real(tif, tag, ap);
    va_end(ap);
    return r;
}
// ---------------------------------------------------------------- Gif
extern "C" int DGifCloseFile(GifFileType * GifFile, int *ErrorCode) {
    static const auto real = codec_import<decltype(&DGifCloseFile)>(CodecLibrary::Gif, "DGifCloseFile");
    return real(GifFile, ErrorCode);
}
extern "C" int DGifGetExtension(GifFileType *GifFile, int *GifExtCode, GifByteType **GifExtension) {
    static const auto real = codec_import<decltype(&DGifGetExtension)>(CodecLibrary::Gif, "DGifGetExtension");
    return real(GifFile, GifExtCode, GifExtension);
}
extern "C" int DGifGetExtensionNext(GifFileType *GifFile, GifByteType **GifExtension) {
    static const auto real = codec_import<decltype(&DGifGetExtensionNext)>(CodecLibrary::Gif, "DGifGetExtensionNext");
    return real(GifFile, GifExtension);
}
extern "C" int DGifGetImageDesc(GifFileType *GifFile) {
    static const auto real = codec_import<decltype(&DGifGetImageDesc)>(CodecLibrary::Gif, "DGifGetImageDesc");
    return real(GifFile);
}
extern "C" int DGifGetLine(GifFileType *GifFile, GifPixelType *GifLine, int GifLineLen) {
    static const auto real = codec_import<decltype(&DGifGetLine)>(CodecLibrary::Gif, "DGifGetLine");
    return real(GifFile, GifLine, GifLineLen);
}
extern "C" int DGifGetRecordType(GifFileType *GifFile, GifRecordType *GifType) {
    static const auto real = codec_import<decltype(&DGifGetRecordType)>(CodecLibrary::Gif, "DGifGetRecordType");
    return real(GifFile, GifType);
}
extern "C" GifFileType * DGifOpen(void *userPtr, InputFunc readFunc, int *Error) {
    static const auto real = codec_import<decltype(&DGifOpen)>(CodecLibrary::Gif, "DGifOpen");
    return real(userPtr, readFunc, Error);
}
extern "C" int EGifCloseFile(GifFileType *GifFile, int *ErrorCode) {
    static const auto real = codec_import<decltype(&EGifCloseFile)>(CodecLibrary::Gif, "EGifCloseFile");
    return real(GifFile, ErrorCode);
}
extern "C" GifFileType * EGifOpen(void *userPtr, OutputFunc writeFunc, int *Error) {
    static const auto real = codec_import<decltype(&EGifOpen)>(CodecLibrary::Gif, "EGifOpen");
    return real(userPtr, writeFunc, Error);
}
extern "C" int EGifPutExtension(GifFileType *GifFile, const int GifExtCode, const int GifExtLen, const void *GifExtension) {
    static const auto real = codec_import<decltype(&EGifPutExtension)>(CodecLibrary::Gif, "EGifPutExtension");
    return real(GifFile, GifExtCode, GifExtLen, GifExtension);
}
extern "C" int EGifPutImageDesc(GifFileType *GifFile, const int GifLeft, const int GifTop, const int GifWidth, const int GifHeight, const bool GifInterlace, const ColorMapObject *GifColorMap) {
    static const auto real = codec_import<decltype(&EGifPutImageDesc)>(CodecLibrary::Gif, "EGifPutImageDesc");
    return real(GifFile, GifLeft, GifTop, GifWidth, GifHeight, GifInterlace, GifColorMap);
}
extern "C" int EGifPutLine(GifFileType *GifFile, GifPixelType *GifLine, int GifLineLen) {
    static const auto real = codec_import<decltype(&EGifPutLine)>(CodecLibrary::Gif, "EGifPutLine");
    return real(GifFile, GifLine, GifLineLen);
}
extern "C" int EGifPutScreenDesc(GifFileType *GifFile, const int GifWidth, const int GifHeight, const int GifColorRes, const int GifBackGround, const ColorMapObject *GifColorMap) {
    static const auto real = codec_import<decltype(&EGifPutScreenDesc)>(CodecLibrary::Gif, "EGifPutScreenDesc");
    return real(GifFile, GifWidth, GifHeight, GifColorRes, GifBackGround, GifColorMap);
}
extern "C" void EGifSetGifVersion(GifFileType *GifFile, const bool gif89) {
    static const auto real = codec_import<decltype(&EGifSetGifVersion)>(CodecLibrary::Gif, "EGifSetGifVersion");
    real(GifFile, gif89);
}
extern "C" void GifFreeMapObject(ColorMapObject *Object) {
    static const auto real = codec_import<decltype(&GifFreeMapObject)>(CodecLibrary::Gif, "GifFreeMapObject");
    real(Object);
}
extern "C" ColorMapObject * GifMakeMapObject(int ColorCount, const GifColorType *ColorMap) {
    static const auto real = codec_import<decltype(&GifMakeMapObject)>(CodecLibrary::Gif, "GifMakeMapObject");
    return real(ColorCount, ColorMap);
}
extern "C" int GifQuantizeBuffer(unsigned int Width, unsigned int Height, int *ColorMapSize, GifByteType * RedInput, GifByteType * GreenInput, GifByteType * BlueInput, GifByteType * OutputBuffer, GifColorType * OutputColorMap) {
    static const auto real = codec_import<decltype(&GifQuantizeBuffer)>(CodecLibrary::Gif, "GifQuantizeBuffer");
    return real(Width, Height, ColorMapSize, RedInput, GreenInput, BlueInput, OutputBuffer, OutputColorMap);
}
