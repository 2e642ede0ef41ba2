// glint_private.h — Glint's internal classes and globals.
//
// GraphWnd (the window object and back buffer), the two drawing targets
// DrawOnImg / DrawOnWnd, the input queue, the layer's globals and the tables of
// GDI, GDI+ and OLE entry points looked up by name at start-up.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "glint.h"

// The GDI+ flat API's types, from the system's header (the stand-in's on
// Linux); the functions themselves are looked up by name.
#include <gdiplus.h>

// The library is built narrow; the wide forms that a program built with
// UNICODE sees are declared in wide_forms.h.
#ifdef UNICODE
#error "the graphics layer is built without UNICODE; it serves wide programs through wide_forms.h"
#endif

namespace Glint {

// ---------------------------------------------------------------------------
// Entry-point tables. Glint reaches GDI, GDI+ and OLE only through these
// pointers, looked up by name with LoadLibraryA / GetProcAddress when the
// layer starts (the program does not import them). Window and kernel services
// are called directly.
// ---------------------------------------------------------------------------
namespace _Gdi {
#define GLINT_GDI_FUNCTIONS(X)                                                                                   \
    X(Arc) X(BitBlt) X(CreateBitmap) X(CreateBrushIndirect) X(CreateCompatibleDC) X(CreateDIBSection)         \
    X(CreatePen) X(CreateRectRgn) X(CreateSolidBrush) X(DeleteDC) X(DeleteObject) X(Ellipse) X(ExtCreatePen) \
    X(ExtFloodFill) X(FillRgn) X(GdiSetBatchLimit) X(GetBkMode) X(GetClipRgn) X(GetCurrentObject)            \
    X(GetDIBits) X(GetPixel) X(GetPolyFillMode) X(GetROP2) X(GetStockObject) X(LineTo) X(MoveToEx) X(Pie)    \
    X(PolyBezier) X(Polygon) X(Polyline) X(RealizePalette) X(Rectangle) X(RoundRect) X(SelectClipRgn)        \
    X(SelectObject) X(SelectPalette) X(SetBkColor) X(SetBkMode) X(SetGraphicsMode) X(SetPixelV)              \
    X(SetPolyFillMode) X(SetROP2) X(SetTextColor) X(SetWorldTransform) X(CreateFontIndirectA) X(GetObjectA)  \
    X(GetTextExtentPoint32A) X(TextOutA) X(CreateFontIndirectW) X(GetObjectW) X(GetTextExtentPoint32W)       \
    X(TextOutW)
#define GLINT_DECLARE_ENTRY(name) extern decltype(&::name) name;
GLINT_GDI_FUNCTIONS(GLINT_DECLARE_ENTRY)
void Init();
}  // namespace _Gdi

namespace _GdiPlus {
#define GLINT_GDIPLUS_FUNCTIONS(X)                                                       \
    X(GdiplusStartup) X(GdiplusShutdown) X(GdipLoadImageFromStream) X(GdipGetImageWidth) \
    X(GdipGetImageHeight) X(GdipCreateFromHDC) X(GdipDrawImageRectI) X(GdipDisposeImage) \
    X(GdipDeleteGraphics) X(GdipGetImageEncodersSize) X(GdipGetImageEncoders)            \
    X(GdipCreateBitmapFromGdiDib) X(GdipSaveImageToFile)
// Where the Windows header declares them: GdiplusStartup and GdiplusShutdown
// in Gdiplus, the Gdip* functions in Gdiplus::DllExports.
namespace Declared {
using namespace Gdiplus;
using namespace Gdiplus::DllExports;
}  // namespace Declared
#define GLINT_DECLARE_GDIPLUS_ENTRY(name) extern decltype(&Declared::name) name;
extern HMODULE gdiplusDll;
extern ULONG_PTR gdiplusToken;
GLINT_GDIPLUS_FUNCTIONS(GLINT_DECLARE_GDIPLUS_ENTRY)
void Init();
void Release();
}  // namespace _GdiPlus

namespace _Ole {
#define GLINT_OLE_FUNCTIONS(X) X(CreateStreamOnHGlobal) X(CoInitialize) X(CoUninitialize)
GLINT_OLE_FUNCTIONS(GLINT_DECLARE_ENTRY)
void Init();
void Release();
}  // namespace _Ole

void _Init();
void _Release();

// Whether the line style's pen is one pixel wide under the transform `xf`;
// such a pen is made cosmetic (styles.cpp).
bool PenStaysOnePixel(int thickness, const XFORM& xf);

namespace Common {
namespace Memory {
// Fills `count` pixels from `dst` with `value`; a value whose three low bytes
// are equal becomes one byte-wise fill (the top byte then takes that byte too).
void FillMemory4(DWORD* dst, size_t count, DWORD value);
}  // namespace Memory

namespace Math {
// Rounds halves away from zero. Results beyond int saturate at INT_MIN or
// INT_MAX; NaN gives 0.
int Round(double x);
}  // namespace Math

namespace Collections {

// Bounded single-producer / single-consumer ring of 64 slots holding at most
// 63 elements. The indices are atomic 6-bit values: the producer owns m_tail,
// the consumer owns m_head. A record is completely written before m_tail
// moves past it (release), and a slot is reused only after the consumer moved
// m_head past it (release/acquire), so neither side sees a half-written record
// or loses the other side's index update.
//
// Clear() moves the head to the tail and never touches the tail, so the
// producer's concurrent appends are neither lost nor replayed. Operations that
// append from the consumer's side (the filtered flush) hold m_appendLock, which
// the producer also takes around each append: the only two writers of m_tail
// never interleave.
template <typename T>
class FixedQueue {
public:
    static constexpr uint8_t kMask = 63;

    FixedQueue() : m_head(0), m_tail(0) {}

    bool IsEmpty() const {
        return m_head.load(std::memory_order_relaxed) == m_tail.load(std::memory_order_acquire);
    }
    bool IsFull() const {
        return ((m_tail.load(std::memory_order_relaxed) - m_head.load(std::memory_order_acquire)) & kMask) == kMask;
    }
    unsigned Size() const {
        return (m_tail.load(std::memory_order_acquire) - m_head.load(std::memory_order_acquire)) & kMask;
    }
    // The front element; only valid while the queue is not empty.
    const T& Front() const { return m_data[m_head.load(std::memory_order_relaxed)]; }

    // Appends at the tail; does nothing on a full queue. Callers hold the
    // append lock (AppendGuard).
    void Enqueue(const T& value) {
        uint8_t t = m_tail.load(std::memory_order_relaxed);
        uint8_t h = m_head.load(std::memory_order_acquire);
        if (((t - h) & kMask) == kMask) return;
        m_data[t] = value;
        m_tail.store((t + 1) & kMask, std::memory_order_release);
    }

    // Removes the front element; throws ERROR_EMPTY (4306) on an empty queue.
    void Dequeue() {
        uint8_t h = m_head.load(std::memory_order_relaxed);
        if (h == m_tail.load(std::memory_order_acquire)) throw 4306L;
        m_head.store((h + 1) & kMask, std::memory_order_release);
    }

    // Empties the queue from the consumer's side: the head jumps to the tail.
    void Clear() { m_head.store(m_tail.load(std::memory_order_acquire), std::memory_order_release); }

    // Both indices to 0; only while no other thread uses the queue.
    void Reset() {
        m_head.store(0, std::memory_order_relaxed);
        m_tail.store(0, std::memory_order_relaxed);
    }

    // Short lock serialising appends of the producer with the consumer's
    // rare re-appending flush. Held only for a few copies of a record.
    void LockAppend() {
        while (m_appendLock.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    }
    void UnlockAppend() { m_appendLock.clear(std::memory_order_release); }

    T m_data[64];
    std::atomic<uint8_t> m_head;
    std::atomic<uint8_t> m_tail;

private:
    std::atomic_flag m_appendLock = ATOMIC_FLAG_INIT;
};

}  // namespace Collections
}  // namespace Common

// Category bit of a message number (EX_MOUSE, EX_KEY, EX_CHAR, EX_WINDOW), or 0.
BYTE GetMsgType(USHORT message);

// One queued input record, read by narrow and wide programs alike. The
// narrow view has one record per byte of text, as the window receives it;
// the wide view has one per character: the record of a double-byte
// character's second byte carries the whole character and the one of its
// first byte (`lead`) is skipped.
struct QueuedMessage {
    ExMessage msg;  // what a narrow program reads
    WCHAR wch;      // EX_CHAR: the character of a wide program
    bool lead;      // EX_CHAR: the first byte of a double-byte character
};

// Private window messages handled by the window thread.
#define MSG_WAITMSG (WM_USER + 1)         // arm the reader wake-up; filter in LOBYTE(wParam)
#define MSG_SETCAPTURE (WM_USER + 2)      // SetCapture on the window
#define MSG_RELEASECAPTURE (WM_USER + 3)  // ReleaseCapture
#define MSG_CLOSEWND (WM_USER + 4)        // the program closes the window: destroy it and end the loop

// ---------------------------------------------------------------------------
// The window object; it is itself the back buffer.
// ---------------------------------------------------------------------------
class GraphWnd : public IMAGE {
public:
    GraphWnd();
    ~GraphWnd() override;
    void Resize(int width, int height) override;

    HWND InitGraphWnd(int width, int height, char* title, bool showConsole, bool noClose, bool noMinimize,
                      bool dblClks);
    void CloseGraphWnd();

    static DWORD WINAPI ThreadFunc(void* param);
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Msg is ExMessage (narrow programs) or ExMessageW (wide programs).
    template <typename Msg>
    void GetExMessage(Msg* msg, BYTE filter);
    template <typename Msg>
    bool PeekExMessage(Msg* msg, BYTE filter, bool removemsg);
    void FlushExMessage(BYTE filter);
    void SetCapture();
    void ReleaseCapture();

    // Window thread: records one message of the four categories.
    void RecordMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Window thread: MSG_WAITMSG. Returns 1 when a message of the filter is
    // already queued (nothing armed), 0 when the wake-up is armed.
    LRESULT ArmWaitMsg(BYTE filter);
    // Drops front elements whose category is not in the filter.
    void PurgeFront(BYTE filter);
    // Program's thread: the first record of the filter, with the ones in
    // front of it dropped; false when none is queued.
    template <typename Msg>
    bool TakeFront(Msg* msg, BYTE filter, bool remove);
    // Window thread, when the program closes the window: a wake-up still
    // armed is dropped and every category is recorded again.
    void DisarmWaitMsg();
    // Closing thread, with the wait lock held, after the window thread has
    // ended: wakes every reader still waiting and returns once none is left
    // in the wait; m_hEvent is then non-signalled for the next opening.
    void ReleaseWaitingReaders();

    bool m_bHadConsole;
    HANDLE m_hEvent;      // start-up handshake and reader wake-up (auto-reset)
    HANDLE m_hStopEvent;  // the window thread has ended after the program's close (auto-reset)
    std::atomic<int> m_nWaitingReaders;  // readers inside their wait on m_hEvent
    unsigned m_nClosed;                  // windows closed by the program so far; under the wait lock
    Common::Collections::FixedQueue<QueuedMessage> m_MsgQueue;
    BYTE m_charLead;  // window thread: the first byte of a double-byte WM_CHAR pair, or 0
    FILE* m_pConOut;
    FILE* m_pConIn;
    std::atomic<HWND> m_hWnd;  // written by both threads (open, user close)
    HDC m_hWndDC;
    std::atomic<bool> m_bBatchDraw;  // read by the window thread's refresh

    static GraphWnd* pthis;
};

struct ThreadParam {
    int x;
    int y;
    bool noClose;
    bool noMinimize;
    bool dblClks;
    const char* title;
};

// ---------------------------------------------------------------------------
// Drawing targets. DrawOnImg draws into the working image; DrawOnWnd, the
// target while the window's back buffer is the working image, holds
// g_csGDILock around every operation that reaches the platform, because the
// window thread copies the back buffer concurrently. The virtual slot order
// below is part of the layer's contract.
// ---------------------------------------------------------------------------
class DrawOnImg {
public:
    virtual ~DrawOnImg();
    virtual void cleardevice();
    virtual COLORREF getlinecolor();
    virtual void setlinecolor(COLORREF color);
    virtual COLORREF gettextcolor();
    virtual void settextcolor(COLORREF color);
    virtual COLORREF getbkcolor();
    virtual void setbkcolor(COLORREF color);
    virtual int getbkmode();
    virtual void setbkmode(int mode);
    virtual void setorigin(int x, int y);
    virtual void setcliprgn(HRGN hrgn);
    virtual void clearcliprgn();
    virtual void getlinestyle(LINESTYLE* pstyle);
    virtual void setlinestyle(const LINESTYLE* pstyle);
    virtual void setlinestyle(int style, int thickness, const DWORD* puserstyle, DWORD userstylecount);
    virtual void getfillstyle(FILLSTYLE* pstyle);
    virtual void setfillstyle(const FILLSTYLE* pstyle);
    virtual void setfillstyle(BYTE* ppattern8x8);
    virtual void setfillstyle(int style, long hatch, IMAGE* ppattern);
    virtual COLORREF getfillcolor();
    virtual void setfillcolor(COLORREF color);
    virtual void getaspectratio(float* pxasp, float* pyasp);
    virtual void setaspectratio(float xasp, float yasp);
    virtual int getrop2();
    virtual void setrop2(int mode);
    virtual int getpolyfillmode();
    virtual void setpolyfillmode(int mode);
    virtual void graphdefaults();
    virtual COLORREF getpixel(int x, int y);
    virtual void putpixel(int x, int y, COLORREF color);
    virtual void line(int x1, int y1, int x2, int y2);
    virtual void rectangle(int left, int top, int right, int bottom);
    virtual void fillrectangle(int left, int top, int right, int bottom);
    virtual void solidrectangle(int left, int top, int right, int bottom);
    virtual void clearrectangle(int left, int top, int right, int bottom);
    virtual void arcpiecore(int left, int top, int right, int bottom, double stangle, double endangle, int& xs,
                            int& ys, int& xe, int& ye);
    virtual void circle(int x, int y, int radius);
    virtual void fillcircle(int x, int y, int radius);
    virtual void solidcircle(int x, int y, int radius);
    virtual void clearcircle(int x, int y, int radius);
    virtual void ellipse(int left, int top, int right, int bottom);
    virtual void fillellipse(int left, int top, int right, int bottom);
    virtual void solidellipse(int left, int top, int right, int bottom);
    virtual void clearellipse(int left, int top, int right, int bottom);
    virtual void roundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
    virtual void fillroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
    virtual void solidroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
    virtual void clearroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight);
    virtual void arc(int left, int top, int right, int bottom, double stangle, double endangle);
    virtual void pie(int left, int top, int right, int bottom, double stangle, double endangle);
    virtual void fillpie(int left, int top, int right, int bottom, double stangle, double endangle);
    virtual void solidpie(int left, int top, int right, int bottom, double stangle, double endangle);
    virtual void clearpie(int left, int top, int right, int bottom, double stangle, double endangle);
    virtual void polyline(const POINT* points, int num);
    virtual void polygon(const POINT* points, int num);
    virtual void fillpolygon(const POINT* points, int num);
    virtual void solidpolygon(const POINT* points, int num);
    virtual void clearpolygon(const POINT* points, int num);
    virtual void polybezier(const POINT* points, int num);
    virtual void floodfill(int x, int y, COLORREF color, int filltype);
    virtual void outtextxy(int x, int y, LPCTSTR str);
    virtual int drawtext(LPCTSTR str, RECT* pRect, UINT uFormat);
    virtual int textwidth(LPCTSTR str);
    virtual int textheight(LPCTSTR str);
    virtual void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace);
    virtual void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation,
                              int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut);
    virtual void settextstyle(int nHeight, int nWidth, LPCTSTR lpszFace, int nEscapement, int nOrientation,
                              int nWeight, bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet,
                              BYTE fbOutPrecision, BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily);
    virtual void settextstyle(const LOGFONTA* font);
    virtual void gettextstyle(LOGFONTA* font);
    virtual int getwidth();
    virtual int getheight();

    // Packs an image's bitmap as a device-independent bitmap in one global
    // memory block (header, colour table, rows), or returns NULL.
    HGLOBAL DDBToDIB(IMAGE* img, DWORD dwCompression, HPALETTE hPal);
};

// The wide-character forms of the text operations (programs built with
// UNICODE), on the working image's DC. The public calls reach them holding
// the drawing lock, as they hold it for the narrow forms on either target;
// they are kept apart from DrawOnImg so that its members stay as they are.
namespace WideText {
void outtextxy(int x, int y, LPCWSTR str);
int drawtext(LPCWSTR str, RECT* pRect, UINT uFormat);
int textwidth(LPCWSTR str);
int textheight(LPCWSTR str);
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace);
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut);
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet, BYTE fbOutPrecision,
                  BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily);
void settextstyle(const LOGFONTW* font);
void gettextstyle(LOGFONTW* font);
}  // namespace WideText

class DrawOnWnd : public DrawOnImg {
public:
    using DrawOnImg::setfillstyle;
    using DrawOnImg::setlinestyle;
    using DrawOnImg::settextstyle;

    ~DrawOnWnd() override;
    void cleardevice() override;
    void settextcolor(COLORREF color) override;
    void setbkcolor(COLORREF color) override;
    int getbkmode() override;
    void setbkmode(int mode) override;
    void setorigin(int x, int y) override;
    void setcliprgn(HRGN hrgn) override;
    void clearcliprgn() override;
    void setlinestyle(const LINESTYLE* pstyle) override;
    void setfillstyle(const FILLSTYLE* pstyle) override;
    void setfillcolor(COLORREF color) override;
    void setaspectratio(float xasp, float yasp) override;
    int getrop2() override;
    void setrop2(int mode) override;
    int getpolyfillmode() override;
    void setpolyfillmode(int mode) override;
    COLORREF getpixel(int x, int y) override;
    void putpixel(int x, int y, COLORREF color) override;
    void line(int x1, int y1, int x2, int y2) override;
    void fillrectangle(int left, int top, int right, int bottom) override;
    void fillcircle(int x, int y, int radius) override;
    void fillellipse(int left, int top, int right, int bottom) override;
    void fillroundrect(int left, int top, int right, int bottom, int ellipsewidth, int ellipseheight) override;
    void arc(int left, int top, int right, int bottom, double stangle, double endangle) override;
    void fillpie(int left, int top, int right, int bottom, double stangle, double endangle) override;
    void polyline(const POINT* points, int num) override;
    void fillpolygon(const POINT* points, int num) override;
    void polybezier(const POINT* points, int num) override;
    void floodfill(int x, int y, COLORREF color, int filltype) override;
    void outtextxy(int x, int y, LPCTSTR str) override;
    int drawtext(LPCTSTR str, RECT* pRect, UINT uFormat) override;
    int textwidth(LPCTSTR str) override;
    int textheight(LPCTSTR str) override;
    void settextstyle(const LOGFONTA* font) override;
    void gettextstyle(LOGFONTA* font) override;

    virtual HWND initgraph(int width, int height, int flag);
    virtual void closegraph();
    virtual void BeginBatchDraw();
    virtual void FlushBatchDraw();
    virtual void FlushBatchDraw(int left, int top, int right, int bottom);
    virtual void EndBatchDraw();
    virtual void EndBatchDraw(int left, int top, int right, int bottom);
};

// ---------------------------------------------------------------------------
// Globals of the layer.
// ---------------------------------------------------------------------------
extern int g_iDeviceCount;
extern GraphWnd* g_pGraphWnd;
extern DrawOnWnd* g_pDrawOnWnd;
extern DrawOnImg* g_pDrawOnImg;
extern DrawOnImg* g_pDraw;
extern IMAGE* g_pCurImg;
extern CRITICAL_SECTION g_csGDILock;
extern HDC g_hWndDC;
extern HDC g_hMemDC;
extern HWND g_hConWnd;
extern const XFORM g_StdxForm;

// Device counting: a new device starts the layer when it is the first, a
// device going away stops it when only the back buffer is left. The count,
// the start and the stop are kept under g_csGDILock, so images may be made
// and destroyed on several threads at once.
void AddDevice();
// `dying` is the image whose destructor gives its count back, if any.
void RemoveDevice(const IMAGE* dying = nullptr);

// The message calls (getmessage, peekmessage, flushmessage, setcapture,
// releasecapture) may use the window object from the layer's start until the
// stop retires it: OpenReaders publishes it (at start), RetireReaders
// withdraws it and returns once no thread is inside one of them any more (at
// stop, after the window was closed, so that every reader there is on its way
// out).
void OpenReaders(GraphWnd* wnd);
void RetireReaders();

// Scoped hold of the wait lock, a recursive lock that lives as long as the
// process. It makes a reader's arming of its wake-up (the emptiness test, the
// event reset and MSG_WAITMSG) one step with respect to opening the window
// (which waits on m_hEvent for the start-up handshake) and closing it (which
// wakes the waiting readers), so none of them takes another's signal. The
// window thread never takes it; a reader never holds it while it waits.
class WaitLock {
public:
    WaitLock() { EnterCriticalSection(&Section()); }
    ~WaitLock() { LeaveCriticalSection(&Section()); }
    WaitLock(const WaitLock&) = delete;
    WaitLock& operator=(const WaitLock&) = delete;

private:
    static CRITICAL_SECTION& Section();
};

// Scoped hold of g_csGDILock (recursive).
class GdiLock {
public:
    GdiLock() { EnterCriticalSection(&g_csGDILock); }
    ~GdiLock() { LeaveCriticalSection(&g_csGDILock); }
    GdiLock(const GdiLock&) = delete;
    GdiLock& operator=(const GdiLock&) = delete;
};

// A drawing target read under g_csGDILock and held for the rest of the
// caller's scope: the lock is taken first (members are built in declaration
// order), then the current target is read, so a stop on another thread cannot
// free it before the call through it ends. False when there is no target (the
// layer stopped). `Current` is the global holding the target.
template <typename Target, Target* const& Current>
class LockedTarget {
public:
    LockedTarget() : m_target(Current) {}
    LockedTarget(const LockedTarget&) = delete;
    LockedTarget& operator=(const LockedTarget&) = delete;

    explicit operator bool() const { return m_target != nullptr; }
    Target* operator->() const { return m_target; }

private:
    GdiLock m_lock;
    Target* const m_target;
};

// The working image's target (an image or the window).
using CurrentTarget = LockedTarget<DrawOnImg, g_pDraw>;
// The window's target, for the calls that exist on the window only.
using WindowTarget = LockedTarget<DrawOnWnd, g_pDrawOnWnd>;

}  // namespace Glint
