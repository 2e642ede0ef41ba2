// image_func.h — pictures: blits between images and the working image,
// rotation, and loading and saving picture files through GDI+.
#pragma once

#include "glint_private.h"

namespace Glint {

// The bytes of one picture file or resource, in a movable global block, for
// the duration of one load.
class GlobalMemory {
public:
    GlobalMemory() : handle(nullptr), size(0) {}
    virtual ~GlobalMemory() { Clear(); }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;

    // Reads a whole file; false (and no block) when it cannot be opened or read.
    bool LoadFile(LPCSTR fileName);
    bool LoadFile(LPCWSTR fileName);
    bool ReadWhole(HANDLE file);
    // Copies a resource of the program's own module; false when there is none.
    bool LoadFile(LPCSTR type, LPCSTR name);
    void Clear();

    HGLOBAL handle;
    DWORD size;
};

class ImageFunc {
public:
    // A 32-bit top-down DIB section of the given size and its pixel memory.
    static HBITMAP CreateBmp(int width, int height, DWORD** bits);
    static void getimage(IMAGE* dstimg, int srcx, int srcy, int width, int height);
    static void putimage(int dstx, int dsty, int width, int height, const IMAGE* srcimg, int srcx, int srcy,
                         DWORD rop);
    static void rotateimage(IMAGE* dstimg, IMAGE* srcimg, double radian, COLORREF bkcolor, bool autosize,
                            bool highquality);
    static bool loadimage(IMAGE* dstimg, LPCSTR fileName, int width, int height, bool resize);
    static bool loadimage(IMAGE* dstimg, LPCSTR resType, LPCSTR resName, int width, int height, bool resize);
    static bool loadimage(IMAGE* dstimg, LPCWSTR fileName, int width, int height, bool resize);
    static void saveimage(LPCSTR fileName, IMAGE* img);
    static void saveimage(LPCWSTR fileName, IMAGE* img);
    // 0 and the encoder's class identifier when an installed encoder lists
    // the extension (any case), else -1.
    static int GetEncoderClsid(LPCWSTR extension, CLSID* clsid);

private:
    // Decodes the block (and releases it), sizes and clears the destination
    // and draws the picture into it.
    static bool LoadFromMemory(IMAGE* dstimg, GlobalMemory& mem, int width, int height, bool resize);
};

}  // namespace Glint
