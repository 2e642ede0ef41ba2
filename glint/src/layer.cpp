// layer.cpp — the layer's globals, start and stop, and device counting.
//
// The layer starts with its first device (an initgraph call or an IMAGE) and
// stops when only the window's back buffer is left: that buffer is an IMAGE
// holding one count of its own, taken from 1 to 0 by the stop itself.
#include "glint_private.h"

namespace Glint {

int g_iDeviceCount = 0;
GraphWnd* g_pGraphWnd = nullptr;
DrawOnWnd* g_pDrawOnWnd = nullptr;
DrawOnImg* g_pDrawOnImg = nullptr;
DrawOnImg* g_pDraw = nullptr;
IMAGE* g_pCurImg = nullptr;
CRITICAL_SECTION g_csGDILock;
HDC g_hWndDC = nullptr;
HDC g_hMemDC = nullptr;
HWND g_hConWnd = nullptr;
const XFORM g_StdxForm = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

namespace {
// The drawing lock lives as long as the process: a thread may be inside a
// drawing call, or about to enter one, when another thread stops the layer,
// and a lock deleted under it would be undefined. Drawing calls hold it around
// their whole call (including the read of the current target), and the stop
// holds it while it tears the targets down, so a call either completes on a
// live target or finds none and does nothing.
struct DrawingLockInit {
    DrawingLockInit() { InitializeCriticalSection(&g_csGDILock); }
} s_drawingLockInit;
}  // namespace

void _Init() {
    _Ole::Init();
    _Gdi::Init();
    _GdiPlus::Init();
    {
        GdiLock lock;
        g_hWndDC = nullptr;
        g_hMemDC = nullptr;
        g_pDrawOnImg = new DrawOnImg();
        g_pDrawOnWnd = new DrawOnWnd();
        g_pGraphWnd = new GraphWnd();  // its IMAGE part counts itself
    }
    OpenReaders(g_pGraphWnd);
}

void _Release() {
    // A window still open is closed first. The stop runs under the drawing
    // lock (device counting) and closing waits for the window thread, whose
    // refresh takes that lock; but the count reaches the stop only after
    // closegraph has closed the window, so this finds it closed already.
    if (g_pGraphWnd) g_pGraphWnd->CloseGraphWnd();
    // Message calls still inside (readers woken by the close among them) leave
    // before the window object goes.
    RetireReaders();
    {
        // Drawing calls of other threads finish before anything goes away,
        // and later ones find no target.
        GdiLock lock;
        g_pDraw = nullptr;
        g_pCurImg = nullptr;
        g_hWndDC = nullptr;
        g_hMemDC = nullptr;
        if (g_pGraphWnd) {
            GraphWnd* wnd = g_pGraphWnd;
            delete wnd;  // takes the count from 1 to 0
            g_pGraphWnd = nullptr;
        }
        if (g_pDrawOnWnd) {
            delete g_pDrawOnWnd;
            g_pDrawOnWnd = nullptr;
        }
        if (g_pDrawOnImg) {
            delete g_pDrawOnImg;
            g_pDrawOnImg = nullptr;
        }
    }
    _GdiPlus::Release();
    _Ole::Release();  // the drawing lock stays for the next start
}

// Counting, start and stop are one step under the drawing lock: images are
// made and destroyed on any thread, and a count lost between two threads
// would stop the layer under a live image or never stop it, while a start or
// stop seen half-way would hand out a layer that is not (or no longer) there.
// The lock is recursive, so the images that the stop itself destroys (the
// back buffer and its pattern) and a pattern image made inside a drawing call
// count under it too. A window is closed before the count can reach the stop
// (closegraph closes first), so the stop never waits for the window thread
// while holding the lock.
void AddDevice() {
    GdiLock lock;
    if (g_iDeviceCount++ == 0) _Init();
}

namespace {
// True while _Release runs: the images it destroys give their counts back
// without starting a second stop.
bool s_bReleasing = false;

// The pattern image of the back buffer's fill style is a device too, but it
// belongs to the back buffer: it must neither keep the layer alive once every
// other device is gone, nor stop the layer from inside a style change on the
// back buffer (which would destroy the window object under that call).
int DevicesOwnedByBackBuffer() {
    return (g_pGraphWnd && g_pGraphWnd->m_fillstyle.pattern) ? 1 : 0;
}
}  // namespace

void RemoveDevice(const IMAGE* dying) {
    GdiLock lock;
    --g_iDeviceCount;
    if (s_bReleasing || !g_pGraphWnd) return;
    if (dying && dying == g_pGraphWnd->m_fillstyle.pattern) return;
    if (g_iDeviceCount == 1 + DevicesOwnedByBackBuffer()) {
        s_bReleasing = true;
        _Release();
        s_bReleasing = false;
    }
}

}  // namespace Glint

using namespace Glint;

namespace {
// An initgraph not yet matched by closegraph holds one device count. Only
// that call's closegraph gives it back: a further closegraph while images
// keep the layer running must not take a count that belongs to an image
// (that would stop the layer under the image's feet).
bool s_bWindowCounted = false;
}  // namespace

HWND initgraph(int width, int height, int flag) {
    bool hadCount = s_bWindowCounted;
    AddDevice();
    if (hadCount && !g_pGraphWnd->m_hWnd) {
        // The earlier window never opened: its count serves this call.
        s_bWindowCounted = false;
        RemoveDevice();
    }
    // An open window is closed inside, by closegraph, which gives its count back.
    HWND hwnd = g_pDrawOnWnd->initgraph(width, height, flag);
    s_bWindowCounted = true;
    return hwnd;
}

void closegraph() {
    if (!g_pDrawOnWnd) return;
    g_pDrawOnWnd->closegraph();
    if (!s_bWindowCounted) return;
    s_bWindowCounted = false;
    RemoveDevice();
}

HWND GetHWnd() { return g_pGraphWnd ? g_pGraphWnd->m_hWnd.load() : nullptr; }

const char* GetGlintVer() { return "1.0.0"; }
