// echo_window — a plain Win32 program: a 400 x 120 window that greets in
// Chinese and echoes what is typed into it.
//
// Mouse clicks leave a red mark and wheel turns a green one where they
// happened; both are also reported on standard output (one line each, with
// the wheel's screen coordinates), so a test can check them. Dragging with
// the right button captures the mouse and reports every position, also
// outside the window (negative coordinates left of and above it).
//
// Characters arrive as WM_CHAR bytes in the window's code page (936): a
// Chinese character is two messages, lead byte first. Backspace removes the
// last whole character, Enter clears the line, Esc or the close box quits
// with exit status 0. Everything is drawn into a DIB-section back buffer and
// copied to the window with BitBlt.
//
// This source is compiled with the narrow execution character set GBK, so
// the Chinese literal below is already in code page 936.
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kClientW = 400;
constexpr int kClientH = 120;
constexpr size_t kMaxLine = 90;  // bytes of echoed text kept
const COLORREF kBackground = RGB(24, 40, 72);
const COLORREF kGreetingColor = RGB(255, 220, 120);
const COLORREF kEchoColor = RGB(240, 240, 240);

HDC g_back_dc = nullptr;
HBITMAP g_back_bitmap = nullptr;
HGDIOBJ g_old_bitmap = nullptr;
HBRUSH g_background_brush = nullptr;
struct Mark {
    POINT at;
    COLORREF colour;
};
std::vector<Mark> g_marks;  // cleared with the line
std::string g_line;         // complete characters only (GBK)
int g_pending_lead = -1;  // first byte of a two-byte character still waiting for its second

bool is_lead_byte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Removes the last character, which may be one or two bytes long. The line is
// walked from its start because a trail byte can look like a lead byte.
void erase_last_char(std::string& s) {
    size_t i = 0, last = 0;
    while (i < s.size()) {
        last = i;
        i += (is_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    }
    if (!s.empty()) s.erase(last);
}

bool create_back_buffer() {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = kClientW;
    bmi.bmiHeader.biHeight = -kClientH;  // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    g_back_dc = CreateCompatibleDC(nullptr);
    if (!g_back_dc) return false;
    g_back_bitmap = CreateDIBSection(g_back_dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!g_back_bitmap) return false;
    g_old_bitmap = SelectObject(g_back_dc, g_back_bitmap);
    g_background_brush = CreateSolidBrush(kBackground);
    return g_background_brush != nullptr;
}

void destroy_back_buffer() {
    if (g_back_dc && g_old_bitmap) SelectObject(g_back_dc, g_old_bitmap);
    if (g_back_bitmap) DeleteObject(g_back_bitmap);
    if (g_background_brush) DeleteObject(g_background_brush);
    if (g_back_dc) DeleteDC(g_back_dc);
    g_back_dc = nullptr;
    g_back_bitmap = nullptr;
    g_background_brush = nullptr;
}

void render() {
    HGDIOBJ old_brush = SelectObject(g_back_dc, g_background_brush);
    PatBlt(g_back_dc, 0, 0, kClientW, kClientH, PATCOPY);
    SelectObject(g_back_dc, old_brush);

    SetBkMode(g_back_dc, TRANSPARENT);
    SetTextColor(g_back_dc, kGreetingColor);
    const char greeting[] = "你好，世界！请输入：";
    TextOutA(g_back_dc, 12, 14, greeting, int(sizeof(greeting) - 1));

    SetTextColor(g_back_dc, kEchoColor);
    std::string echo = "> " + g_line;
    TextOutA(g_back_dc, 12, 60, echo.c_str(), int(echo.size()));

    for (const Mark& m : g_marks) {
        HBRUSH brush = CreateSolidBrush(m.colour);
        HGDIOBJ old = SelectObject(g_back_dc, brush);
        PatBlt(g_back_dc, m.at.x - 2, m.at.y - 2, 5, 5, PATCOPY);
        SelectObject(g_back_dc, old);
        DeleteObject(brush);
    }
}

void present(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    BitBlt(dc, 0, 0, kClientW, kClientH, g_back_dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
}

void on_char(HWND hwnd, unsigned char c) {
    if (g_pending_lead >= 0) {
        // Second byte of a two-byte character: keep the pair together.
        if (g_line.size() + 2 <= kMaxLine) {
            g_line.push_back(char(g_pending_lead));
            g_line.push_back(char(c));
        }
        g_pending_lead = -1;
    } else if (c == 0x1B) {
        DestroyWindow(hwnd);
        return;
    } else if (c == 0x08) {
        erase_last_char(g_line);
    } else if (c == 0x0D) {
        g_line.clear();
        g_marks.clear();
    } else if (is_lead_byte(c)) {
        g_pending_lead = c;
        return;  // nothing to show until the character is complete
    } else if (c >= 0x20 && c != 0x7F) {
        if (g_line.size() < kMaxLine) g_line.push_back(char(c));
    } else {
        return;
    }
    render();
    present(hwnd);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CHAR:
            on_char(hwnd, static_cast<unsigned char>(wp));
            return 0;
        case WM_LBUTTONDOWN: {
            POINT p = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            std::printf("click client=%ld,%ld\n", long(p.x), long(p.y));
            std::fflush(stdout);
            g_marks.push_back({p, RGB(255, 0, 0)});
            render();
            present(hwnd);
            return 0;
        }
        case WM_RBUTTONDOWN:
            SetCapture(hwnd);
            return 0;
        case WM_MOUSEMOVE:
            if (wp & MK_RBUTTON) {
                std::printf("drag client=%d,%d\n", GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
                std::fflush(stdout);
            }
            return 0;
        case WM_RBUTTONUP:
            if (GetCapture() == hwnd) ReleaseCapture();
            std::printf("release client=%d,%d\n", GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            std::fflush(stdout);
            return 0;
        case WM_MOUSEWHEEL: {
            POINT screen = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            POINT client = screen;
            ScreenToClient(hwnd, &client);
            std::printf("wheel delta=%d screen=%ld,%ld client=%ld,%ld\n", int(GET_WHEEL_DELTA_WPARAM(wp)),
                        long(screen.x), long(screen.y), long(client.x), long(client.y));
            std::fflush(stdout);
            g_marks.push_back({client, RGB(0, 255, 0)});
            render();
            present(hwnd);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            present(hwnd);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "EchoWindow";
    if (!RegisterClassExA(&wc)) return 1;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r = {0, 0, kClientW, kClientH};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    if (!create_back_buffer()) return 1;
    render();

    HWND hwnd = CreateWindowExA(0, "EchoWindow", "Echo", style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        destroy_back_buffer();
        return 1;
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    present(hwnd);

    MSG msg;
    int status = 0;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            status = int(msg.wParam);
            break;
        }
        if (got == -1) {
            status = 1;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    destroy_back_buffer();
    return status;
}
