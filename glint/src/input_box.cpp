// input_box.cpp — InputBox and the dialog class behind it.
//
// The dialog is a second top-level window owned by the graphics window (or by
// the console window before the graphics window exists). It is created and
// run by the calling thread, normally the program's, while the window thread
// goes on refreshing the disabled owner. The message loop filters key-downs
// before they are translated: Enter confirms (in a multi-line box only with
// Ctrl), Esc cancels unless only OK is offered, and Tab moves the focus
// edit -> OK -> Cancel -> edit. Any way of closing the dialog re-enables the
// owner and brings it back to the front.
#include "input_box.h"

#include <cstring>
#include <string>

#include "glint_private.h"
#include "wide_forms.h"

namespace Glint {

const char kInputBoxClass[] = "Glint_InputBox";

CInputBox* CInputBox::pThis = nullptr;
HWND CInputBox::m_hWndParent = nullptr;

namespace {

// Set once the loop's end has been posted, so that the destruction which
// follows does not post it a second time.
bool s_bEnded = false;

const char kOK[] = "\xC8\xB7\xB6\xA8";      // "确定" in GBK
const char kCancel[] = "\xC8\xA1\xCF\xFB";  // "取消" in GBK

// The GDI entry points are looked up when the layer starts; an input box
// opened before any window or image exists looks them up itself.
void EnsureGdi() {
    if (!_Gdi::CreateFontIndirectA) _Gdi::Init();
}

// Re-enables the owner, gives it the foreground back, destroys the dialog
// (unless it is being destroyed already) and ends the dialog's message loop
// with `code`.
void EndInputBox(HWND hDlg, int code, bool destroy) {
    if (s_bEnded) return;
    s_bEnded = true;
    if (CInputBox::m_hWndParent) {
        EnableWindow(CInputBox::m_hWndParent, TRUE);
        SetForegroundWindow(CInputBox::m_hWndParent);
    }
    if (destroy) DestroyWindow(hDlg);
    PostQuitMessage(code);
}

}  // namespace

CInputBox::CInputBox(HWND hWndParent, LPSTR pResult, int nMaxCount, LPCSTR pPrompt, LPCSTR pTitle, LPCSTR pDefault,
                     int nWidth, int nHeight, bool bOnlyOK)
    : m_hDlg(nullptr), m_hEdit(nullptr), m_hOK(nullptr), m_hCancel(nullptr), m_hPrompt(nullptr), m_hFont(nullptr),
      m_nMaxCount(nMaxCount), m_pPrompt(pPrompt), m_nPromptHeight(0), m_pTitle(pTitle), m_pDefault(pDefault),
      m_nWidth(0), m_nHeight(0), m_bOnlyOK(bOnlyOK), m_bMultiline(nHeight > 0), m_pResult(pResult) {
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(instance, kInputBoxClass, &wc)) {
        std::memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kInputBoxClass;
        RegisterClassExA(&wc);
    }

    m_nWidth = nWidth == 0 ? 357 : (nWidth > 200 ? nWidth : 200);
    m_nHeight = nHeight > 93 ? nHeight : 93;
    pThis = this;
    m_hWndParent = hWndParent;

    EnsureGdi();
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = 14;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::memcpy(lf.lfFaceName, "Arial", sizeof "Arial");
    m_hFont = _Gdi::CreateFontIndirectA(&lf);

    // Height of the word-wrapped prompt in the prompt's width.
    HDC hdc = _Gdi::CreateCompatibleDC(NULL);
    HGDIOBJ old = _Gdi::SelectObject(hdc, m_hFont);
    RECT rc = {0, 0, m_nWidth - 90, 10};
    DrawTextA(hdc, m_pPrompt ? m_pPrompt : "", m_pPrompt ? -1 : 0, &rc,
              DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    _Gdi::SelectObject(hdc, old);
    _Gdi::DeleteDC(hdc);
    m_nPromptHeight = rc.bottom - rc.top;
    if (m_nPromptHeight < 45) m_nPromptHeight = 45;
    m_nHeight += m_nPromptHeight - 45;
}

CInputBox::~CInputBox() {
    if (m_hFont) _Gdi::DeleteObject(m_hFont);
    if (pThis == this) pThis = nullptr;
}

bool CInputBox::DoModal() {
    RECT ref = {0, 0, 0, 0};
    if (m_hWndParent)
        GetWindowRect(m_hWndParent, &ref);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &ref, 0);

    std::string ownerTitle;
    if (!m_pTitle && m_hWndParent) {
        int n = GetWindowTextLengthA(m_hWndParent);
        ownerTitle.assign(size_t(n > 0 ? n : 0) + 1, '\0');
        GetWindowTextA(m_hWndParent, &ownerTitle[0], n + 1);
    }
    LPCSTR title = m_pTitle ? m_pTitle : ownerTitle.c_str();

    RECT rc;
    rc.left = ref.left + (ref.right - ref.left - m_nWidth) / 2;
    rc.top = ref.top + (ref.bottom - ref.top - m_nHeight) / 2;
    rc.right = rc.left + m_nWidth;
    rc.bottom = rc.top + m_nHeight;
    DWORD style = m_bOnlyOK ? 0x90C00000 : 0x90C80000;  // popup, visible, caption (+ close box)
    AdjustWindowRectEx(&rc, style, FALSE, WS_EX_DLGMODALFRAME);

    s_bEnded = false;
    m_hDlg = CreateWindowExA(WS_EX_DLGMODALFRAME, kInputBoxClass, title, style, rc.left, rc.top,
                             rc.right - rc.left, rc.bottom - rc.top, m_hWndParent, NULL, GetModuleHandleA(NULL),
                             NULL);
    if (!m_hDlg) return false;

    SetForegroundWindow(m_hDlg);
    if (m_hWndParent) EnableWindow(m_hWndParent, FALSE);
    ShowWindow(m_hDlg, SW_SHOW);
    UpdateWindow(m_hDlg);

    MSG msg;
    std::memset(&msg, 0, sizeof msg);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_KEYDOWN) {
            if (msg.wParam == VK_RETURN) {
                if (!m_bMultiline || GetKeyState(VK_CONTROL) < 0) {
                    PostMessageA(m_hDlg, WM_COMMAND, IDOK, 0);
                    continue;
                }
            } else if (msg.wParam == VK_ESCAPE) {
                if (!m_bOnlyOK) {
                    PostMessageA(m_hDlg, WM_COMMAND, IDCANCEL, 0);
                    continue;
                }
            } else if (msg.wParam == VK_TAB) {
                // Shift does not reverse the order.
                HWND focus = GetFocus();
                HWND next = m_hEdit;
                if (focus == m_hEdit)
                    next = m_hOK;
                else if (focus == m_hOK && m_hCancel)
                    next = m_hCancel;
                SetFocus(next);
                continue;
            }
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return msg.message == WM_QUIT && msg.wParam == 1;
}

void CInputBox::OnInitDialog(HWND hDlg) {
    m_hDlg = hDlg;
    HINSTANCE instance = GetModuleHandleA(NULL);
    const int W = m_nWidth, H = m_nHeight, P = m_nPromptHeight;
    m_hPrompt = CreateWindowExA(0, "Static", m_pPrompt ? m_pPrompt : "", WS_CHILD | WS_VISIBLE, 9, 10, W - 90, P,
                                hDlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kInputBoxPromptId)), instance,
                                NULL);
    DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    editStyle |= m_bMultiline ? (ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL) : ES_AUTOHSCROLL;
    m_hEdit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", m_pDefault ? m_pDefault : "", editStyle, 9, P + 20, W - 18,
                              H - P - 30, hDlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kInputBoxEditId)),
                              instance, NULL);
    m_hOK = CreateWindowExA(0, "Button", kOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, W - 69, 10, 60,
                            21, hDlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, NULL);
    m_hCancel = nullptr;
    if (!m_bOnlyOK)
        m_hCancel = CreateWindowExA(0, "Button", kCancel, WS_CHILD | WS_VISIBLE | WS_TABSTOP, W - 69, 34, 60, 21,
                                    hDlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, NULL);

    HWND controls[] = {m_hPrompt, m_hEdit, m_hOK, m_hCancel};
    for (HWND h : controls)
        if (h) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), TRUE);
    SendMessageA(m_hEdit, EM_LIMITTEXT, static_cast<WPARAM>(m_nMaxCount - 1), 0);
    SendMessageA(m_hEdit, EM_SETSEL, 0, -1);
    SetFocus(m_hEdit);
}

LRESULT CALLBACK CInputBox::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            if (pThis) pThis->OnInitDialog(hWnd);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                if (pThis && pThis->m_pResult && pThis->m_nMaxCount > 0)
                    GetWindowTextA(pThis->m_hEdit, pThis->m_pResult, pThis->m_nMaxCount);
                EndInputBox(hWnd, 1, true);
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndInputBox(hWnd, 0, true);
                return 0;
            }
            break;
        case WM_CLOSE:
            // The close box: as Cancel.
            EndInputBox(hWnd, 0, true);
            return 0;
        case WM_DESTROY:
            // Destroyed some other way: the owner gets its input back all the same.
            EndInputBox(hWnd, 0, false);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace Glint

bool InputBox(LPSTR pString, int nMaxCount, LPCSTR pPrompt, LPCSTR pTitle, LPCSTR pDefault, int width, int height,
              bool bOnlyOK) {
    HWND owner = GetHWnd();
    if (!owner) owner = GetConsoleWindow();
    Glint::CInputBox box(owner, pString, nMaxCount, pPrompt, pTitle, pDefault, width, height, bOnlyOK);
    return box.DoModal();
}

// The wide form (programs built with UNICODE) runs the same dialog: its texts
// are converted to the window's code page and the answer back. The edit box
// takes at most nMaxCount - 1 bytes of that code page, so the answer always
// fits the caller's nMaxCount wide characters.
namespace {
std::string Narrow(LPCWSTR text) {
    if (!text) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
    std::string out(n > 0 ? size_t(n) : 1, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, NULL, NULL);
    return out;
}
}  // namespace

bool InputBox(LPWSTR pString, int nMaxCount, LPCWSTR pPrompt, LPCWSTR pTitle, LPCWSTR pDefault, int width,
              int height, bool bOnlyOK) {
    const std::string prompt = Narrow(pPrompt), title = Narrow(pTitle), def = Narrow(pDefault);
    std::string answer(nMaxCount > 0 ? size_t(nMaxCount) : 1, '\0');
    bool ok = InputBox(pString ? &answer[0] : NULL, nMaxCount, pPrompt ? prompt.c_str() : NULL,
                       pTitle ? title.c_str() : NULL, pDefault ? def.c_str() : NULL, width, height, bOnlyOK);
    if (ok && pString && nMaxCount > 0) {
        int n = MultiByteToWideChar(CP_ACP, 0, answer.c_str(), -1, pString, nMaxCount);
        if (n == 0) pString[0] = 0;
    }
    return ok;
}
