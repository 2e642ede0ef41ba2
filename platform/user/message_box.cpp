// message_box.cpp — MessageBoxA: a modal dialog with a message, an icon and
// one to three buttons, returning the ID* value of the button chosen.
//
// Built on USER's public calls only. The dialog is a top-level popup of the
// dialog class "#32770" with a "Static" child for the text and "Button"
// children, created and run by a message loop on the calling thread. Its
// owner is the top-level window of hWnd (none for NULL): the owner is
// disabled while the box shows, then enabled again (unless it was disabled
// before) and brought to the front before the box goes.
//
// Keys, filtered before translation as a dialog does:
//   Enter        the button with the focus (the default one when the box opens);
//   Esc          Cancel where there is a Cancel button, OK for a box with OK
//                alone, nothing otherwise (the close box follows the same rule
//                and is only shown where Esc works);
//   a letter     the button whose label marks it (Y/N, A/R/I, T/C), with or
//                without Alt;
//   Tab, arrows  move the focus, and the default frame with it, between the
//                buttons (Shift+Tab, Left and Up backwards);
//   Space        goes to the focused button, which clicks itself.
// The text is word-wrapped at a width of at most kMaxTextWidth and the box is
// sized to it, as measured by DrawTextA with the flags the Static draws with.
// A WM_QUIT retrieved while the box shows ends it (returning 0) and is posted
// again for the caller's own loop. MB_TOPMOST and MB_SYSTEMMODAL make the box
// topmost; every box comes to the front (MB_SETFOREGROUND); MB_TASKMODAL,
// MB_HELP (no Help button), MB_RIGHT and MB_RTLREADING change nothing.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "user/input/key_state.h"
#include "windows.h"

namespace {

const char kDialogClass[] = "#32770";
const char kDefaultCaption[] = "\xB4\xED\xCE\xF3";  // "错误" in GBK

// Layout, in pixels of the dialog's client area.
constexpr int kMargin = 12;           // around the icon and text
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;          // between the icon and the text
constexpr int kMaxTextWidth = 480;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;
constexpr int kButtonsTop = 16;       // between the text (or icon) and the buttons
constexpr int kBottomMargin = 11;
constexpr int kCaptionSpare = 48;     // room beside a caption for the close box
constexpr int kTextId = 0xFFFF;       // the Static's identifier (as a dialog's static text)
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

struct ButtonSpec {
    int id;
    const char* label;  // GBK; "(&X)" marks the accelerator
    char accel;         // 0: none
};

const ButtonSpec kOk{IDOK, "\xC8\xB7\xB6\xA8", 0};                   // 确定
const ButtonSpec kCancel{IDCANCEL, "\xC8\xA1\xCF\xFB", 0};           // 取消
const ButtonSpec kYes{IDYES, "\xCA\xC7(&Y)", 'Y'};                   // 是
const ButtonSpec kNo{IDNO, "\xB7\xF1(&N)", 'N'};                     // 否
const ButtonSpec kAbort{IDABORT, "\xD6\xD0\xD6\xB9(&A)", 'A'};       // 中止
const ButtonSpec kRetry{IDRETRY, "\xD6\xD8\xCA\xD4(&R)", 'R'};       // 重试
const ButtonSpec kIgnore{IDIGNORE, "\xBA\xF6\xC2\xD4(&I)", 'I'};     // 忽略
const ButtonSpec kTryAgain{IDTRYAGAIN, "\xD6\xD8\xCA\xD4(&T)", 'T'}; // 重试
const ButtonSpec kContinue{IDCONTINUE, "\xBC\xCC\xD0\xF8(&C)", 'C'}; // 继续

// The buttons of a box type, left to right; empty for an unknown type.
std::vector<ButtonSpec> buttons_of(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OK: return {kOk};
        case MB_OKCANCEL: return {kOk, kCancel};
        case MB_ABORTRETRYIGNORE: return {kAbort, kRetry, kIgnore};
        case MB_YESNOCANCEL: return {kYes, kNo, kCancel};
        case MB_YESNO: return {kYes, kNo};
        case MB_RETRYCANCEL: return {kRetry, kCancel};
        case MB_CANCELTRYCONTINUE: return {kCancel, kTryAgain, kContinue};
        default: return {};
    }
}

struct Button {
    ButtonSpec kind;
    HWND hwnd = nullptr;
};

struct Box {
    UINT type = 0;
    std::vector<Button> buttons;
    int escape_result = 0;  // what Esc and the close box answer; 0: they do nothing
    HFONT font = nullptr;
    RECT icon{};             // client rectangle of the icon (empty without one)
    HWND dlg = nullptr;
    bool done = false;
    int result = 0;

    int index_of(HWND h) const {
        for (size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i].hwnd == h) return int(i);
        return -1;
    }
    bool has(int id) const {
        for (const Button& b : buttons)
            if (b.kind.id == id) return true;
        return false;
    }
    void end(int id) {
        if (done) return;
        done = true;
        result = id;
    }
    // Gives button i the focus and the default frame.
    void focus(int i) {
        for (size_t k = 0; k < buttons.size(); ++k) {
            LONG_PTR style = GetWindowLongPtrA(buttons[k].hwnd, GWL_STYLE) & ~LONG_PTR(0xF);
            SetWindowLongPtrA(buttons[k].hwnd, GWL_STYLE, style | (int(k) == i ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
        }
        SetFocus(buttons[size_t(i)].hwnd);
    }
    void click(int i) {
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(buttons[size_t(i)].kind.id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(buttons[size_t(i)].hwnd));
    }
};

// ---- the icons: 32 x 32, drawn with GDI ----

struct GdiObjects {
    HDC hdc;
    std::vector<HGDIOBJ> made;
    explicit GdiObjects(HDC dc) : hdc(dc) {}
    void use(HGDIOBJ pen, HGDIOBJ brush) {
        SelectObject(hdc, pen);
        SelectObject(hdc, brush);
        made.push_back(pen);
        made.push_back(brush);
    }
    ~GdiObjects() {
        SelectObject(hdc, GetStockObject(BLACK_PEN));
        SelectObject(hdc, GetStockObject(WHITE_BRUSH));
        for (HGDIOBJ o : made) DeleteObject(o);
    }
};

void solid(GdiObjects& g, COLORREF fill, COLORREF outline) { g.use(CreatePen(PS_SOLID, 1, outline), CreateSolidBrush(fill)); }

// A white (or black) "i" or "!" made of a dot and a stem; the dot is above the
// stem for "i" and below it for "!".
void dot_and_stem(GdiObjects& g, int x, int y, COLORREF c, bool dot_first) {
    solid(g, c, c);
    int cx = x + 16;
    if (dot_first) {
        Ellipse(g.hdc, cx - 2, y + 7, cx + 2, y + 11);
        Rectangle(g.hdc, cx - 2, y + 13, cx + 2, y + 25);
    } else {
        Rectangle(g.hdc, cx - 2, y + 10, cx + 2, y + 21);
        Ellipse(g.hdc, cx - 2, y + 23, cx + 2, y + 27);
    }
}

void draw_icon(HDC hdc, UINT icon, int x, int y) {
    GdiObjects g(hdc);
    const COLORREF white = RGB(255, 255, 255), blue = RGB(0, 90, 200);
    switch (icon) {
        case MB_ICONASTERISK:  // information: a white "i" on a blue disc
            solid(g, blue, blue);
            Ellipse(hdc, x, y, x + kIconSize, y + kIconSize);
            dot_and_stem(g, x, y, white, true);
            break;
        case MB_ICONQUESTION: {  // a white "?" on a blue disc
            solid(g, blue, blue);
            Ellipse(hdc, x, y, x + kIconSize, y + kIconSize);
            HFONT font = CreateFontA(26, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
            HGDIOBJ old = SelectObject(hdc, font);
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, white);
            RECT r{x, y, x + kIconSize, y + kIconSize};
            DrawTextA(hdc, "?", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(hdc, old);
            DeleteObject(font);
            break;
        }
        case MB_ICONEXCLAMATION: {  // a black "!" on a yellow triangle
            solid(g, RGB(255, 200, 0), RGB(150, 110, 0));
            POINT tri[3] = {{x + 16, y + 1}, {x + 31, y + 30}, {x + 1, y + 30}};
            Polygon(hdc, tri, 3);
            dot_and_stem(g, x, y + 1, RGB(0, 0, 0), false);
            break;
        }
        case MB_ICONHAND: {  // a white cross on a red disc
            solid(g, RGB(210, 30, 30), RGB(210, 30, 30));
            Ellipse(hdc, x, y, x + kIconSize, y + kIconSize);
            g.use(CreatePen(PS_SOLID, 3, white), CreateSolidBrush(white));
            MoveToEx(hdc, x + 10, y + 10, nullptr);
            LineTo(hdc, x + 22, y + 22);
            MoveToEx(hdc, x + 22, y + 10, nullptr);
            LineTo(hdc, x + 10, y + 22);
            break;
        }
        default: break;
    }
}

LRESULT CALLBACK DialogProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    Box* box = reinterpret_cast<Box*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    switch (m) {
        case WM_NCCREATE:
            SetWindowLongPtrA(h, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
            break;
        case WM_COMMAND:
            if (!box) break;
            if (LOWORD(wp) == IDCANCEL && !box->has(IDCANCEL)) {
                // Esc, or IDCANCEL sent by a program: only where Windows lets a box be dismissed.
                if (box->escape_result) box->end(box->escape_result);
            } else if (box->has(LOWORD(wp))) {
                box->end(LOWORD(wp));
            }
            return 0;
        case WM_CLOSE:
            if (box && box->escape_result) box->end(box->escape_result);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(h, &ps);
            if (hdc && box && box->icon.right > box->icon.left)
                draw_icon(hdc, box->type & MB_ICONMASK, box->icon.left, box->icon.top);
            EndPaint(h, &ps);
            return 0;
        }
        case WM_DESTROY:
            // Destroyed by some other path: the box ends without an answer.
            if (box) box->end(0);
            return 0;
        default: break;
    }
    return DefWindowProcA(h, m, wp, lp);
}

void register_dialog_class() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(nullptr, kDialogClass, &wc)) return;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = DialogProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kDialogClass;
    RegisterClassExA(&wc);  // may lose a race with another thread: the class is there all the same
}

// The size DrawTextA gives the text word-wrapped at most `max_width` wide.
SIZE measure(HFONT font, LPCSTR text, int max_width, UINT format) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, max_width, 0};
    DrawTextA(dc, text, -1, &r, format | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

HWND top_level_of(HWND h) {
    while (h && (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) h = GetParent(h);
    return h;
}

bool is_box_window(HWND h, HWND dlg) { return h == dlg || (h && GetParent(h) == dlg); }

// The dialog's own keys (see the banner); true when the message is used up.
bool filter_key(Box& box, const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (!is_box_window(msg.hwnd, box.dlg)) return false;
    const int n = int(box.buttons.size());
    int focused = box.index_of(GetFocus());
    switch (msg.wParam) {
        case VK_RETURN:
            box.click(focused >= 0 ? focused : 0);
            return true;
        case VK_ESCAPE:
            SendMessageA(box.dlg, WM_COMMAND, IDCANCEL, 0);
            return true;
        case VK_TAB:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            bool back = msg.wParam == VK_LEFT || msg.wParam == VK_UP ||
                        (msg.wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
            int from = focused >= 0 ? focused : 0;
            box.focus(back ? (from + n - 1) % n : (from + 1) % n);
            return true;
        }
        default: break;
    }
    if (GetKeyState(VK_CONTROL) < 0) return false;
    for (int i = 0; i < n; ++i)
        if (box.buttons[size_t(i)].kind.accel && WPARAM(box.buttons[size_t(i)].kind.accel) == msg.wParam) {
            box.click(i);
            return true;
        }
    return false;
}

}  // namespace

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    Box box;
    box.type = uType;
    for (const ButtonSpec& s : buttons_of(uType)) box.buttons.push_back(Button{s});
    if (box.buttons.empty() || (hWnd && !IsWindow(hWnd))) {
        SetLastError(hWnd && !IsWindow(hWnd) ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    if (box.has(IDCANCEL))
        box.escape_result = IDCANCEL;
    else if ((uType & MB_TYPEMASK) == MB_OK)
        box.escape_result = IDOK;
    const char* text = lpText ? lpText : "";
    const char* caption = lpCaption ? lpCaption : kDefaultCaption;
    const UINT icon = uType & MB_ICONMASK;
    const bool has_icon = icon == MB_ICONHAND || icon == MB_ICONQUESTION || icon == MB_ICONEXCLAMATION ||
                          icon == MB_ICONASTERISK;
    HWND owner = top_level_of(hWnd);

    LOGFONTA lf{};
    lf.lfHeight = 14;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::string("Arial").copy(lf.lfFaceName, sizeof lf.lfFaceName - 1);
    box.font = CreateFontIndirectA(&lf);

    // Layout: icon at the top left, the text beside it (centred on the icon
    // when shorter), the buttons centred in a row below.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int text_x = kMargin + (has_icon ? kIconSize + kIconGap : 0);
    const int max_text = std::max(1, std::min<int>(kMaxTextWidth, (work.right - work.left) - text_x - kMargin - 16));
    SIZE ts = measure(box.font, text, max_text, kTextFormat);
    SIZE cs = measure(box.font, caption, 0x7FFF, DT_SINGLELINE | DT_NOPREFIX);
    const int content_h = std::max<int>(ts.cy, has_icon ? kIconSize : 0);
    const int n = int(box.buttons.size());
    const int row_w = n * kButtonWidth + (n - 1) * kButtonGap;
    int client_w = std::max({text_x + int(ts.cx) + kMargin, row_w + 2 * kMargin, int(cs.cx) + kCaptionSpare});
    client_w = std::min<int>(client_w, work.right - work.left);
    const int buttons_y = kMargin + content_h + kButtonsTop;
    const int client_h = buttons_y + kButtonHeight + kBottomMargin;
    const int text_y = kMargin + (has_icon && ts.cy < kIconSize ? (kIconSize - ts.cy) / 2 : 0);
    if (has_icon) box.icon = RECT{kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize};

    // Centred on the owner (on the work area without one), kept on the work area.
    DWORD style = WS_POPUP | WS_CAPTION | (box.escape_result ? WS_SYSMENU : 0);
    // A system-modal box is a topmost one, as on Windows.
    DWORD ex_style = WS_EX_DLGMODALFRAME | ((uType & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0);
    RECT frame{0, 0, client_w, client_h};
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
    const int outer_w = frame.right - frame.left, outer_h = frame.bottom - frame.top;
    RECT ref = work;
    if (owner) GetWindowRect(owner, &ref);
    int x = ref.left + (ref.right - ref.left - outer_w) / 2;
    int y = ref.top + (ref.bottom - ref.top - outer_h) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - outer_w));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - outer_h));

    register_dialog_class();
    box.dlg = CreateWindowExA(ex_style, kDialogClass, caption, style, x, y, outer_w, outer_h, owner, nullptr,
                              nullptr, &box);
    if (!box.dlg) {
        DeleteObject(box.font);
        return 0;
    }
    HWND label = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE, text_x, text_y, ts.cx, ts.cy, box.dlg,
                                 reinterpret_cast<HMENU>(INT_PTR(kTextId)), nullptr, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);
    int bx = (client_w - row_w) / 2;
    for (Button& b : box.buttons) {
        b.hwnd = CreateWindowExA(0, "Button", b.kind.label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, bx,
                                 buttons_y, kButtonWidth, kButtonHeight, box.dlg,
                                 reinterpret_cast<HMENU>(INT_PTR(b.kind.id)), nullptr, nullptr);
        SendMessageA(b.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);
        bx += kButtonWidth + kButtonGap;
    }
    // MB_DEFBUTTONn beyond the last button means the first, as on Windows.
    int def = int((uType & MB_DEFMASK) >> 8);
    box.focus(def < n ? def : 0);

    SetForegroundWindow(box.dlg);  // MB_SETFOREGROUND: every box comes to the front
    const bool disabled_owner = owner && !EnableWindow(owner, FALSE);
    ShowWindow(box.dlg, SW_SHOW);
    SendMessageA(box.dlg, WM_PAINT, 0, 0);  // the icon, over the background painted at the first show
    UpdateWindow(box.dlg);

    bool quit = false;
    WPARAM quit_code = 0;
    MSG msg{};
    while (!box.done) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quit_code = msg.wParam;
            box.end(0);
            break;
        }
        if (got < 0) {
            box.end(0);
            break;
        }
        if (filter_key(box, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    // What is still queued for the box (the release of the key that closed
    // it) goes with it, as a destroyed window's messages do.
    std::vector<HWND> windows{box.dlg, label};
    for (const Button& b : box.buttons) windows.push_back(b.hwnd);
    for (HWND h : windows) {
        MSG left;
        while (IsWindow(h) && PeekMessageA(&left, h, 0, 0, PM_REMOVE)) {
            if (left.message == WM_QUIT) {
                quit = true;
                quit_code = left.wParam;
                break;
            }
        }
    }
    // The owner gets its input back before the box goes, so that it is the
    // window that becomes active.
    if (disabled_owner) EnableWindow(owner, TRUE);
    if (owner) SetForegroundWindow(owner);
    if (IsWindow(box.dlg)) DestroyWindow(box.dlg);
    DeleteObject(box.font);
    // The thread's window lost the keyboard: GetKeyState reads the shared
    // key table again rather than the state of the box's last key.
    plat::input::keys_note_retrieved(WM_KILLFOCUS, 0, 0);
    if (quit) PostQuitMessage(int(quit_code));
    return box.result;
}

int WINAPI MessageBoxExA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType, WORD) {
    return MessageBoxA(hWnd, lpText, lpCaption, uType);
}
