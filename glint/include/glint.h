// glint.h — public interface of Glint, an immediate-mode graphics layer.
//
// One graphics window with an off-screen back buffer, a bounded queue of input
// messages, off-screen images with their own drawing state, text output and
// the line and fill styles. Everything is written against the Win32 API and
// builds unchanged with the system's <windows.h>.
//
// Drawing goes to the working image (the window's back buffer after
// initgraph, or an image chosen with SetWorkingImage). The window shows the
// back buffer at its next periodic refresh (at most every 17 ms), or at
// FlushBatchDraw / EndBatchDraw while batch drawing is on.
#pragma once

#include <windows.h>

// ---------------------------------------------------------------------------
// Colours. COLORREF is 0x00BBGGRR; pixels in image buffers are 0x00RRGGBB.
// ---------------------------------------------------------------------------
#define BGR(color) \
    ((COLORREF)((((COLORREF)(color) & 0xFF) << 16) | ((COLORREF)(color) & 0xFF00FF00u) | \
                (((COLORREF)(color) & 0xFF0000) >> 16)))

constexpr COLORREF BLACK = 0x000000;
constexpr COLORREF BLUE = 0xAA0000;
constexpr COLORREF GREEN = 0x00AA00;
constexpr COLORREF CYAN = 0xAAAA00;
constexpr COLORREF RED = 0x0000AA;
constexpr COLORREF MAGENTA = 0xAA00AA;
constexpr COLORREF BROWN = 0x0055AA;
constexpr COLORREF LIGHTGRAY = 0xAAAAAA;
constexpr COLORREF DARKGRAY = 0x555555;
constexpr COLORREF LIGHTBLUE = 0xFF5555;
constexpr COLORREF LIGHTGREEN = 0x55FF55;
constexpr COLORREF LIGHTCYAN = 0xFFFF55;
constexpr COLORREF LIGHTRED = 0x5555FF;
constexpr COLORREF LIGHTMAGENTA = 0xFF55FF;
constexpr COLORREF YELLOW = 0x55FFFF;
constexpr COLORREF WHITE = 0xFFFFFF;

// ---------------------------------------------------------------------------
// initgraph flags (graphics.h repeats them under older names).
// ---------------------------------------------------------------------------
#define EX_SHOWCONSOLE 1  // keep (or create) a visible console window
#define EX_NOCLOSE 2      // the window has no working close command
#define EX_NOMINIMIZE 4   // no minimise button
#define EX_DBLCLKS 8      // double-clicks arrive as double-click messages

// ---------------------------------------------------------------------------
// Input messages.
// ---------------------------------------------------------------------------
// Category filters (a byte; 0x0F or 0xFF means every category).
#define EX_MOUSE 1   // WM_MOUSEMOVE .. WM_MOUSEWHEEL (0x0200 .. 0x020A)
#define EX_KEY 2     // WM_KEYDOWN, WM_KEYUP (system keys are recorded as these)
#define EX_CHAR 4    // WM_CHAR
#define EX_WINDOW 8  // WM_MOVE, WM_SIZE, WM_ACTIVATE

#ifndef UNICODE
struct ExMessage {
    USHORT message;  // the message number; its category tells which view is valid
    union {
        // EX_MOUSE
        struct {
            bool ctrl : 1;     // MK_CONTROL
            bool shift : 1;    // MK_SHIFT
            bool lbutton : 1;  // MK_LBUTTON
            bool mbutton : 1;  // MK_MBUTTON
            bool rbutton : 1;  // MK_RBUTTON
            short x;           // client coordinates
            short y;
            short wheel;       // wheel delta of WM_MOUSEWHEEL (120 per notch), else 0
        };
        // EX_KEY
        struct {
            BYTE vkcode;        // virtual-key code
            BYTE scancode;      // bits 16-23 of lParam
            bool extended : 1;  // bit 24 of lParam
            bool prevdown : 1;  // bit 30 of lParam: the key was down before
        };
        // EX_CHAR
        CHAR ch;  // one byte of text in the window's code page
        // EX_WINDOW
        struct {
            WPARAM wParam;  // the platform message's parameters unchanged
            LPARAM lParam;
        };
    };
};
#endif

// The record of a program built with UNICODE (ExMessage is then this type):
// the same fields, but the EX_CHAR view holds one whole wide character, so a
// double-byte character of the window's code page arrives as one record, not
// as its two bytes. A distinct type keeps the narrow and wide forms of the
// message calls apart in one library; keep its fields in step with ExMessage.
struct ExMessageW {
    USHORT message;  // the message number; its category tells which view is valid
    union {
        // EX_MOUSE
        struct {
            bool ctrl : 1;     // MK_CONTROL
            bool shift : 1;    // MK_SHIFT
            bool lbutton : 1;  // MK_LBUTTON
            bool mbutton : 1;  // MK_MBUTTON
            bool rbutton : 1;  // MK_RBUTTON
            short x;           // client coordinates
            short y;
            short wheel;       // wheel delta of WM_MOUSEWHEEL (120 per notch), else 0
        };
        // EX_KEY
        struct {
            BYTE vkcode;        // virtual-key code
            BYTE scancode;      // bits 16-23 of lParam
            bool extended : 1;  // bit 24 of lParam
            bool prevdown : 1;  // bit 30 of lParam: the key was down before
        };
        // EX_CHAR
        WCHAR ch;  // one whole character (UTF-16 on Windows, a code point here)
        // EX_WINDOW
        struct {
            WPARAM wParam;  // the platform message's parameters unchanged
            LPARAM lParam;
        };
    };
};
#ifdef UNICODE
typedef ExMessageW ExMessage;
#endif

// ---------------------------------------------------------------------------
// Fill-style constants: a (style, hatch) pair or an 8 x 8 pattern of eight
// bytes, top row first, most significant bit leftmost. Use as
// setfillstyle(HORIZONTAL_FILL) or setfillstyle(DOT_FILL).
// ---------------------------------------------------------------------------
#define NULL_FILL BS_NULL
#define EMPTY_FILL BS_NULL
#define SOLID_FILL BS_SOLID
#define BDIAGONAL_FILL BS_HATCHED, HS_BDIAGONAL
#define CROSS_FILL BS_HATCHED, HS_CROSS
#define DIAGCROSS_FILL BS_HATCHED, HS_DIAGCROSS
#define FDIAGONAL_FILL BS_HATCHED, HS_FDIAGONAL
#define HORIZONTAL_FILL BS_HATCHED, HS_HORIZONTAL
#define VERTICAL_FILL BS_HATCHED, HS_VERTICAL
#define DOT_FILL ((BYTE*)"\x80\x00\x08\x00\x80\x00\x08\x00")
#define BDIAGONAL2_FILL ((BYTE*)"\x44\x88\x11\x22\x44\x88\x11\x22")
#define CROSS2_FILL ((BYTE*)"\xff\x11\x11\x11\xff\x11\x11\x11")
#define DIAGCROSS2_FILL ((BYTE*)"\x55\x88\x55\x22\x55\x88\x55\x22")
#define DOT2_FILL ((BYTE*)"\x88\x00\x22\x00\x88\x00\x22\x00")
#define FDIAGONAL2_FILL ((BYTE*)"\x22\x11\x88\x44\x22\x11\x88\x44")
#define HORIZONTAL2_FILL ((BYTE*)"\x00\x00\xff\x00\x00\x00\xff\x00")
#define VERTICAL2_FILL ((BYTE*)"\x11\x11\x11\x11\x11\x11\x11\x11")
#define BDIAGONAL3_FILL ((BYTE*)"\xe0\xc1\x83\x07\x0e\x1c\x38\x70")
#define CROSS3_FILL ((BYTE*)"\x30\x30\x30\x30\x30\x30\xff\xff")
#define DIAGCROSS3_FILL ((BYTE*)"\xc7\x83\xc7\xee\x7c\x38\x7c\xee")
#define DOT3_FILL ((BYTE*)"\xc0\xc0\x0c\x0c\xc0\xc0\x0c\x0c")
#define FDIAGONAL3_FILL ((BYTE*)"\x07\x83\xc1\xe0\x70\x38\x1c\x0e")
#define HORIZONTAL3_FILL ((BYTE*)"\xff\xff\x00\x00\xff\xff\x00\x00")
#define VERTICAL3_FILL ((BYTE*)"\x33\x33\x33\x33\x33\x33\x33\x33")
#define INTERLEAVE_FILL ((BYTE*)"\xcc\x33\xcc\x33\xcc\x33\xcc\x33")

class IMAGE;

// ---------------------------------------------------------------------------
// Line style: the pen of outlines and lines. `style` is a pen style word:
// bits 0-3 the dash kind (PS_SOLID .. PS_ALTERNATE), bits 8-11 the end cap,
// bits 12-15 the join. `dashes` is owned and present only for PS_USERSTYLE.
// ---------------------------------------------------------------------------
class LINESTYLE {
public:
    LINESTYLE();
    LINESTYLE(const LINESTYLE& other);
    LINESTYLE& operator=(const LINESTYLE& other);
    virtual ~LINESTYLE();

    int style;
    int thickness;
    DWORD* dashes;
    DWORD dashcount;
};

// ---------------------------------------------------------------------------
// Fill style: the brush of filled shapes. `style` is BS_SOLID, BS_NULL,
// BS_HATCHED (with `hatch`), BS_PATTERN or BS_DIBPATTERN (with the owned
// `pattern` image).
// ---------------------------------------------------------------------------
class FILLSTYLE {
public:
    FILLSTYLE();
    FILLSTYLE(const FILLSTYLE& other);
    FILLSTYLE& operator=(const FILLSTYLE& other);
    virtual ~FILLSTYLE();

    LONG style;
    LONG hatch;
    IMAGE* pattern;
};

// ---------------------------------------------------------------------------
// IMAGE: a 32-bit top-down pixel surface with its own drawing context and
// drawing state. The window's back buffer is one too.
// ---------------------------------------------------------------------------
class IMAGE {
public:
    IMAGE(int width = 0, int height = 0);
    IMAGE(const IMAGE& img);
    IMAGE& operator=(const IMAGE& img);

    virtual void SetDefault();
    virtual ~IMAGE();
    virtual void Resize(int width, int height);

    int getwidth() const { return m_width; }
    int getheight() const { return m_height; }

    int m_width, m_height;
    HBITMAP m_hBmp;
    HDC m_hDC;
    XFORM m_xform;         // eM11/eM22 aspect ratio, eDx/eDy origin
    COLORREF m_linecolor;
    COLORREF m_fillcolor;
    COLORREF m_textcolor;
    COLORREF m_bkcolor;
    DWORD* m_pBuffer;      // m_width * m_height pixels, 0x00RRGGBB, top row first
    LINESTYLE m_linestyle;
    FILLSTYLE m_fillstyle;
};

// ---------------------------------------------------------------------------
// Window.
// ---------------------------------------------------------------------------
HWND initgraph(int width, int height, int flag = 0);
void closegraph();
HWND GetHWnd();
const char* GetGlintVer();

// ---------------------------------------------------------------------------
// Input messages. A null `msg` takes (or, for a peek, looks at) a message
// without copying it. Messages of other categories in front of the wanted one
// are discarded. The queue outlives a closed window: with no window open,
// peekmessage and flushmessage work on what is left in it, and getmessage
// takes a queued message or answers at once with an all-zero record.
// ---------------------------------------------------------------------------
#ifndef UNICODE
ExMessage getmessage(BYTE filter = 0xFF);
#endif
void getmessage(ExMessage* msg, BYTE filter = 0xFF);
bool peekmessage(ExMessage* msg, BYTE filter = 0xFF, bool removemsg = true);
#ifdef UNICODE
// A function's return type does not tell overloads apart: the wide by-value
// form is a template, so its name differs from the narrow one's in the library.
template <typename = void>
inline ExMessageW getmessage(BYTE filter = 0xFF) {
    ExMessageW msg = {};
    getmessage(&msg, filter);
    return msg;
}
#endif
void flushmessage(BYTE filter = 0xFF);
void setcapture();
void releasecapture();

// ---------------------------------------------------------------------------
// Images and the working image. A null image means the window's back buffer.
// ---------------------------------------------------------------------------
void Resize(IMAGE* img, int width, int height);
HDC GetImageHDC(IMAGE* img = NULL);
DWORD* GetImageBuffer(IMAGE* img = NULL);
void SetWorkingImage(IMAGE* img = NULL);
IMAGE* GetWorkingImage();
int getwidth();
int getheight();

// Batch drawing (window only): no periodic refresh until EndBatchDraw.
void BeginBatchDraw();
void FlushBatchDraw();
void FlushBatchDraw(int left, int top, int right, int bottom);
void EndBatchDraw();
void EndBatchDraw(int left, int top, int right, int bottom);

// ---------------------------------------------------------------------------
// Drawing state of the working image.
// ---------------------------------------------------------------------------
void cleardevice();
COLORREF getlinecolor();
void setlinecolor(COLORREF color);
COLORREF gettextcolor();
void settextcolor(COLORREF color);
COLORREF getbkcolor();
void setbkcolor(COLORREF color);
COLORREF getfillcolor();
void setfillcolor(COLORREF color);
int getbkmode();
void setbkmode(int mode);
void setcliprgn(HRGN hrgn);
void clearcliprgn();
void setorigin(int x, int y);
void getaspectratio(float* pxasp, float* pyasp);
void setaspectratio(float xasp, float yasp);
int getrop2();
void setrop2(int mode);
int getpolyfillmode();
void setpolyfillmode(int mode);
void graphdefaults();

// Line and fill styles.
void getlinestyle(LINESTYLE* pstyle);
void setlinestyle(const LINESTYLE* pstyle);
void setlinestyle(int style, int thickness = 1, const DWORD* puserstyle = NULL, DWORD userstylecount = 0);
void getfillstyle(FILLSTYLE* pstyle);
void setfillstyle(const FILLSTYLE* pstyle);
void setfillstyle(int style, long hatch = 0, IMAGE* ppattern = NULL);
void setfillstyle(BYTE* ppattern8x8);

// ---------------------------------------------------------------------------
// Text: narrow strings in the window's code page (GBK for Chinese), or wide
// strings in a program built with UNICODE. The library holds both forms.
// ---------------------------------------------------------------------------
void outtextxy(int x, int y, LPCTSTR str);
void outtextxy(int x, int y, TCHAR c);
int textwidth(LPCTSTR str);
int textwidth(TCHAR c);
int textheight(LPCTSTR str);
int textheight(TCHAR c);
int drawtext(LPCTSTR str, RECT* pRect, UINT uFormat);
int drawtext(TCHAR c, RECT* pRect, UINT uFormat);
void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace);
void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut);
void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet, BYTE fbOutPrecision,
                  BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily);
void settextstyle(const LOGFONT* font);
void gettextstyle(LOGFONT* font);

// ---------------------------------------------------------------------------
// Shapes. Logical coordinates of the working image. "fill" draws outline and
// inside, "solid" the inside only, "clear" the inside in the background colour.
// ---------------------------------------------------------------------------
COLORREF getpixel(int x, int y);
void putpixel(int x, int y, COLORREF color);
void line(int x1, int y1, int x2, int y2);
void rectangle(int left, int top, int right, int bottom);
void fillrectangle(int left, int top, int right, int bottom);
void solidrectangle(int left, int top, int right, int bottom);
void clearrectangle(int left, int top, int right, int bottom);
void circle(int x, int y, int radius);
void fillcircle(int x, int y, int radius);
void solidcircle(int x, int y, int radius);
void clearcircle(int x, int y, int radius);
void ellipse(int left, int top, int right, int bottom);
void fillellipse(int left, int top, int right, int bottom);
void solidellipse(int left, int top, int right, int bottom);
void clearellipse(int left, int top, int right, int bottom);
void roundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
void fillroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
void solidroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
void clearroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
void arc(int left, int top, int right, int bottom, double stangle, double endangle);
void pie(int left, int top, int right, int bottom, double stangle, double endangle);
void fillpie(int left, int top, int right, int bottom, double stangle, double endangle);
void solidpie(int left, int top, int right, int bottom, double stangle, double endangle);
void clearpie(int left, int top, int right, int bottom, double stangle, double endangle);
void polyline(const POINT* points, int num);
void polygon(const POINT* points, int num);
void fillpolygon(const POINT* points, int num);
void solidpolygon(const POINT* points, int num);
void clearpolygon(const POINT* points, int num);
void polybezier(const POINT* points, int num);
void floodfill(int x, int y, COLORREF color, int filltype = 0);

#define FLOODFILLBORDER 0
#define FLOODFILLSURFACE 1

// ---------------------------------------------------------------------------
// Input box: a modal dialog owned by the graphics window (or the console
// window before it exists) asking for a line of text, or several lines when
// `height` > 0 (Ctrl+Enter confirms then). Client width 357 for `width` 0,
// else at least 200; client height at least 93, more for a long prompt.
// Returns true when confirmed with OK (or Enter); the text, at most
// `nMaxCount` - 1 bytes plus a terminating zero, is then in `pString`. In a
// program built with UNICODE the strings are wide: the text is at most
// `nMaxCount` - 1 bytes in the window's code page (so at most that many
// characters) and arrives as wide characters.
// Cancel, Esc and the close box return false and leave `pString` untouched.
// Without a title the dialog shows the owner window's title. One input box
// at a time in a process.
// ---------------------------------------------------------------------------
bool InputBox(LPTSTR pString, int nMaxCount, LPCTSTR pPrompt = NULL, LPCTSTR pTitle = NULL, LPCTSTR pDefault = NULL,
              int width = 0, int height = 0, bool bOnlyOK = true);

// ---------------------------------------------------------------------------
// Colour models. Hue in degrees (0 <= H < 360 from the forward conversions),
// saturation, lightness and value as fractions 0..1. Single precision; inputs
// are not clamped and output channels keep the low 8 bits of their value.
// ---------------------------------------------------------------------------
COLORREF RGBtoGRAY(COLORREF rgb);
void RGBtoHSL(COLORREF rgb, float* H, float* S, float* L);
void RGBtoHSV(COLORREF rgb, float* H, float* S, float* V);
COLORREF HSLtoRGB(float H, float S, float L);
COLORREF HSVtoRGB(float H, float S, float V);

// ---------------------------------------------------------------------------
// Pictures. putimage blits onto the working image with a ternary raster
// operation (SRCCOPY, SRCINVERT, ...; P is the fill style's brush).
// rotateimage turns counter-clockwise by `radian` about the centre.
// loadimage reads BMP, PNG, JPEG, GIF (first frame) or TIFF (first page);
// width/height 0 mean the picture's own; it returns false when there was no
// picture. saveimage chooses the format by extension (.bmp .dib .rle .jpg
// .jpeg .jpe .jfif .gif .tif .tiff .png, any case).
// ---------------------------------------------------------------------------
void getimage(IMAGE* pDstImg, int srcX, int srcY, int srcWidth, int srcHeight);
void putimage(int dstX, int dstY, const IMAGE* pSrcImg, DWORD dwRop = SRCCOPY);
void putimage(int dstX, int dstY, int dstWidth, int dstHeight, const IMAGE* pSrcImg, int srcX, int srcY,
              DWORD dwRop = SRCCOPY);
void rotateimage(IMAGE* dstimg, IMAGE* srcimg, double radian, COLORREF bkcolor = BLACK, bool autosize = false,
                 bool highquality = true);
bool loadimage(IMAGE* pDstImg, LPCTSTR pImgFile, int nWidth = 0, int nHeight = 0, bool bResize = false);
bool loadimage(IMAGE* pDstImg, LPCTSTR pResType, LPCTSTR pResName, int nWidth = 0, int nHeight = 0,
               bool bResize = false);
void saveimage(LPCTSTR pImgFile, IMAGE* pImg = NULL);

#ifdef UNICODE
// ---------------------------------------------------------------------------
// A program built with UNICODE may still hand narrow strings (in the window's
// code page) and LOGFONTA to the text, font, input-box and picture calls; the
// library holds both forms. The narrow ones are templates that take only char
// (or LOGFONTA), so a null pointer or a number still picks the wide form as it
// would with the wide form alone. Each reaches the library's narrow function
// through a declaration inside its body.
// ---------------------------------------------------------------------------
#include <type_traits>

namespace glint_narrow {
template <typename T, typename Narrow>
using only = typename std::enable_if<std::is_same<T, Narrow>::value>::type;
}  // namespace glint_narrow

template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline void outtextxy(int x, int y, const Ch* str) {
    void outtextxy(int, int, const char*);
    outtextxy(x, y, str);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline void outtextxy(int x, int y, Ch c) {
    void outtextxy(int, int, char);
    outtextxy(x, y, c);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline int textwidth(const Ch* str) {
    int textwidth(const char*);
    return textwidth(str);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline int textwidth(Ch c) {
    int textwidth(char);
    return textwidth(c);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline int textheight(const Ch* str) {
    int textheight(const char*);
    return textheight(str);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline int textheight(Ch c) {
    int textheight(char);
    return textheight(c);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline int drawtext(const Ch* str, RECT* pRect, UINT uFormat) {
    int drawtext(const char*, RECT*, UINT);
    return drawtext(str, pRect, uFormat);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline int drawtext(Ch c, RECT* pRect, UINT uFormat) {
    int drawtext(char, RECT*, UINT);
    return drawtext(c, pRect, uFormat);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline void settextstyle(int nHeight, int nWidth, const Ch* lpszFace) {
    void settextstyle(int, int, const char*);
    settextstyle(nHeight, nWidth, lpszFace);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline void settextstyle(int nHeight, int nWidth, const Ch* lpszFace, int nEscapement, int nOrientation,
                         int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut) {
    void settextstyle(int, int, const char*, int, int, int, bool, bool, bool);
    settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline, bStrikeOut);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline void settextstyle(int nHeight, int nWidth, const Ch* lpszFace, int nEscapement, int nOrientation,
                         int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet,
                         BYTE fbOutPrecision, BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily) {
    void settextstyle(int, int, const char*, int, int, int, bool, bool, bool, BYTE, BYTE, BYTE, BYTE, BYTE);
    settextstyle(nHeight, nWidth, lpszFace, nEscapement, nOrientation, nWeight, bItalic, bUnderline, bStrikeOut,
                 fbCharSet, fbOutPrecision, fbClipPrecision, fbQuality, fbPitchAndFamily);
}
template <typename F, typename = glint_narrow::only<F, LOGFONTA>>
inline void settextstyle(const F* font) {
    void settextstyle(const LOGFONTA*);
    settextstyle(font);
}
template <typename F, typename = glint_narrow::only<F, LOGFONTA>>
inline void gettextstyle(F* font) {
    void gettextstyle(LOGFONTA*);
    gettextstyle(font);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline bool InputBox(Ch* pString, int nMaxCount, const Ch* pPrompt = NULL, const Ch* pTitle = NULL,
                     const Ch* pDefault = NULL, int width = 0, int height = 0, bool bOnlyOK = true) {
    bool InputBox(char*, int, const char*, const char*, const char*, int, int, bool);
    return InputBox(pString, nMaxCount, pPrompt, pTitle, pDefault, width, height, bOnlyOK);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline bool loadimage(IMAGE* pDstImg, const Ch* pImgFile, int nWidth = 0, int nHeight = 0, bool bResize = false) {
    bool loadimage(IMAGE*, const char*, int, int, bool);
    return loadimage(pDstImg, pImgFile, nWidth, nHeight, bResize);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline bool loadimage(IMAGE* pDstImg, const Ch* pResType, const Ch* pResName, int nWidth = 0, int nHeight = 0,
                      bool bResize = false) {
    bool loadimage(IMAGE*, const char*, const char*, int, int, bool);
    return loadimage(pDstImg, pResType, pResName, nWidth, nHeight, bResize);
}
template <typename Ch, typename = glint_narrow::only<Ch, char>>
inline void saveimage(const Ch* pImgFile, IMAGE* pImg = NULL) {
    void saveimage(const char*, IMAGE*);
    saveimage(pImgFile, pImg);
}
#endif
