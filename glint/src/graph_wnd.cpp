// graph_wnd.cpp — the window object: opening the window on its own thread,
// the thread's message loop and periodic refresh, the window procedure, and
// closing the window.
//
// Closing: the platform lets only the owning thread destroy a window. When the
// program closes the window (closegraph, or a second initgraph), the request
// travels to the window thread as MSG_CLOSEWND, sent synchronously; that path
// never ends the process: WM_DESTROY only ends the loop, the thread
// unregisters the class, signals m_hStopEvent and ends, and the caller waits
// for that signal so that a following initgraph starts from a clean state.
// The user's close box (WM_CLOSE) closes the window on the window thread and
// WM_DESTROY then ends the process at once with status 0 (ExitProcess).
//
// m_hEvent serves the start-up handshake and the reader wake-up only; the end
// of the thread has an event of its own, so a reader blocked in getmessage can
// neither take the closing call's signal nor lose its own to it. Opening and
// closing hold the wait lock, which a reader takes to arm its wake-up: no
// reader resets or waits on m_hEvent half-way through the start-up handshake,
// and the close wakes every waiting reader (which then finds no window and
// returns an empty record) before the window is marked closed.
#include <cstring>

#include "glint_private.h"

#include <windowsx.h>

namespace Glint {

GraphWnd* GraphWnd::pthis = nullptr;

namespace {
// Set by MSG_CLOSEWND on the window thread, read by WM_DESTROY on the same thread.
bool s_bProgramClose = false;
const char kClassName[] = "GlintWnd";
}  // namespace

GraphWnd::GraphWnd()
    : IMAGE(0, 0), m_bHadConsole(false), m_hEvent(nullptr), m_hStopEvent(nullptr), m_nWaitingReaders(0),
      m_nClosed(0), m_charLead(0), m_pConOut(nullptr), m_pConIn(nullptr), m_hWnd(nullptr), m_hWndDC(nullptr), m_bBatchDraw(false) {
    m_MsgQueue.Reset();
    pthis = this;
    m_hEvent = CreateEventA(NULL, FALSE, FALSE, NULL);
    m_hStopEvent = CreateEventA(NULL, FALSE, FALSE, NULL);
}

GraphWnd::~GraphWnd() {
    CloseGraphWnd();
    CloseHandle(m_hStopEvent);
    CloseHandle(m_hEvent);
    if (pthis == this) pthis = nullptr;
}

HWND GraphWnd::InitGraphWnd(int width, int height, char* title, bool showConsole, bool noClose, bool noMinimize,
                            bool dblClks) {
    if (m_hWnd) {
        ::closegraph();  // also takes back the count that this initgraph added
        m_hWnd = nullptr;
    }
    m_width = width;
    m_height = height;

    g_hConWnd = GetConsoleWindow();
    m_bHadConsole = g_hConWnd != nullptr;
    if (!m_bHadConsole && showConsole) {
        // Standard streams are reopened only on a console that really exists,
        // and only a successful reopening replaces them: a failed one would
        // leave the program without stdout / stdin.
        if (AllocConsole() && GetConsoleWindow()) {
            m_pConOut = std::freopen("CONOUT$", "w+t", stdout);
            m_pConIn = std::freopen("CONIN$", "r+t", stdin);
        }
        g_hConWnd = GetConsoleWindow();
    }
    if (g_hConWnd) SetConsoleCtrlHandler(NULL, TRUE);

    ThreadParam param;
    param.x = param.y = -1;
    if (m_bHadConsole && !showConsole) {
        RECT rc = {0, 0, 0, 0};
        GetWindowRect(g_hConWnd, &rc);
        param.x = rc.left < 0 ? 0 : rc.left;
        param.y = rc.top < 0 ? 0 : rc.top;
    }
    param.noClose = noClose;
    param.noMinimize = noMinimize;
    param.dblClks = dblClks;
    param.title = title;

    {
        // No reader can arm (and so reset or take m_hEvent) until the window
        // thread's start-up signal has been taken here.
        WaitLock waitLock;
        ResetEvent(m_hEvent);
        HANDLE thread = CreateThread(NULL, 0, ThreadFunc, &param, 0, NULL);
        if (thread) {
            CloseHandle(thread);
            WaitForSingleObject(m_hEvent, INFINITE);
        }
    }

    {
        GdiLock lock;
        m_hWndDC = GetDC(m_hWnd);
        IMAGE::Resize(width, height);
    }
    ::SetWorkingImage(NULL);
    return m_hWnd;
}

DWORD WINAPI GraphWnd::ThreadFunc(void* param) {
    const ThreadParam* p = static_cast<const ThreadParam*>(param);
    GraphWnd* self = pthis;
    int x = p->x == -1 ? CW_USEDEFAULT : p->x;
    int y = p->y == -1 ? CW_USEDEFAULT : p->y;
    HINSTANCE instance = GetModuleHandleA(NULL);

    char exe[MAX_PATH + 1] = {0};
    GetModuleFileNameA(NULL, exe, MAX_PATH);

    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = (p->noClose ? CS_NOCLOSE : 0) | (p->dblClks ? CS_DBLCLKS : 0);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = ExtractIconA(instance, exe, 0);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(_Gdi::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);  // fails harmlessly when the class exists already

    DWORD style = p->noMinimize ? (WS_CAPTION | WS_SYSMENU) : (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    RECT rc = {0, 0, self->m_width, self->m_height};
    AdjustWindowRectEx(&rc, style, FALSE, 0);
    HWND hwnd = CreateWindowExA(0, kClassName, p->title, style, x, y, rc.right - rc.left, rc.bottom - rc.top, NULL,
                                NULL, instance, NULL);
    self->m_hWnd = hwnd;
    if (wc.hIcon && wc.hIcon != reinterpret_cast<HICON>(1)) DestroyIcon(wc.hIcon);

    if (x != CW_USEDEFAULT) ShowWindow(g_hConWnd, SW_HIDE);
    ShowWindow(hwnd, SW_SHOW);
    SetEvent(self->m_hEvent);  // from here on `p` is gone

    MSG msg;
    std::memset(&msg, 0, sizeof msg);
    DWORD lastRefresh = GetTickCount();
    for (;;) {
        if (msg.message == WM_QUIT) {
            UnregisterClassA(kClassName, instance);
            break;
        }
        if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (self->m_bBatchDraw.load()) {
            Sleep(1);
            continue;
        }
        DWORD now = GetTickCount();
        if (now - lastRefresh <= 16) {
            Sleep(1);
            continue;
        }
        lastRefresh = now;
        GdiLock lock;
        _Gdi::SetWorldTransform(self->m_hDC, &g_StdxForm);
        _Gdi::BitBlt(self->m_hWndDC, 0, 0, self->m_width, self->m_height, self->m_hDC, 0, 0, SRCCOPY);
        _Gdi::SetWorldTransform(self->m_hDC, &self->m_xform);
    }
    // Only the program's close gets here (the user's close ended the process):
    // tell the waiting CloseGraphWnd that the thread is done.
    SetEvent(self->m_hStopEvent);
    return 0;
}

LRESULT CALLBACK GraphWnd::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            if (s_bProgramClose) {
                s_bProgramClose = false;
                return 0;
            }
            // The user closed the window: the program ends here.
            if (g_hConWnd) SendMessageA(g_hConWnd, WM_CLOSE, 0, 0);
            ExitProcess(0);
            return 0;
        case WM_MOVE:
        case WM_SIZE:
        case WM_ACTIVATE:
            DefWindowProcA(hWnd, message, wParam, lParam);
            pthis->RecordMessage(message, wParam, lParam);
            return 0;
        case WM_PAINT:
            ValidateRect(hWnd, NULL);  // the refresh paints
            return 0;
        case WM_CLOSE:
            pthis->CloseGraphWnd();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (wParam != VK_CANCEL && g_hConWnd) PostMessageA(g_hConWnd, message, wParam, lParam);
            pthis->RecordMessage(message, wParam, lParam);
            return 0;  // never default processing: Alt, F10, Alt+F4 do nothing
        case WM_CHAR:
            pthis->RecordMessage(message, wParam, lParam);
            return 0;
        case MSG_WAITMSG:
            return pthis->ArmWaitMsg(LOBYTE(wParam));
        case MSG_SETCAPTURE:
            ::SetCapture(g_pGraphWnd->m_hWnd);
            return 0;
        case MSG_RELEASECAPTURE:
            ::ReleaseCapture();
            return 0;
        case MSG_CLOSEWND:
            s_bProgramClose = true;
            pthis->DisarmWaitMsg();
            ShowWindow(hWnd, SW_HIDE);
            DestroyWindow(hWnd);
            return 0;
        default:
            break;
    }
    if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL) {
        if (message == WM_MOUSEWHEEL) {
            // The wheel carries screen coordinates; the record holds client ones.
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hWnd, &pt);
            lParam = MAKELPARAM(pt.x, pt.y);
        }
        pthis->RecordMessage(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

void GraphWnd::CloseGraphWnd() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return;
    {
        GdiLock lock;
        ReleaseDC(hwnd, m_hWndDC);
        m_hWndDC = nullptr;
        g_hWndDC = nullptr;
    }

    RECT rc = {0, 0, 0, 0};
    if (m_bHadConsole) {
        if (g_hConWnd && !IsWindowVisible(g_hConWnd)) GetWindowRect(hwnd, &rc);
    } else if (g_hConWnd) {
        if (m_pConOut) std::fclose(m_pConOut);
        if (m_pConIn) std::fclose(m_pConIn);
        m_pConOut = m_pConIn = nullptr;
        FreeConsole();
        g_hConWnd = nullptr;
    }

    if (GetWindowThreadProcessId(hwnd, NULL) == GetCurrentThreadId()) {
        // The user's close, on the window thread: WM_DESTROY ends the process.
        m_hWnd = nullptr;
        ShowWindow(hwnd, SW_HIDE);
        DestroyWindow(hwnd);
    } else {
        WaitLock waitLock;  // no reader arms on a window that is going away
        ResetEvent(m_hStopEvent);
        SendMessageA(hwnd, MSG_CLOSEWND, 0, 0);
        WaitForSingleObject(m_hStopEvent, INFINITE);  // the window thread has ended its loop
        ++m_nClosed;
        ReleaseWaitingReaders();
        m_hWnd = nullptr;
    }

    if (g_hConWnd && !IsWindowVisible(g_hConWnd)) {
        SetWindowPos(g_hConWnd, NULL, rc.left, rc.top, -1, -1, SWP_NOSIZE);
        ShowWindow(g_hConWnd, SW_SHOW);
    }
}

void GraphWnd::Resize(int width, int height) {
    const DWORD style = WS_CAPTION | WS_SYSMENU;
    RECT rc = {0, 0, width, height};
    AdjustWindowRectEx(&rc, style, FALSE, 0);
    IMAGE::Resize(width, height);
    HWND hwnd = m_hWnd;
    if (!hwnd) return;
    RECT old = {0, 0, 0, 0};
    GetWindowRect(hwnd, &old);
    SetWindowPos(hwnd, NULL, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOMOVE);
    if (width > old.right - old.left + 1 || height > old.bottom - old.top + 1) g_pDrawOnWnd->FlushBatchDraw();
}

}  // namespace Glint
