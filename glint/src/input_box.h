// input_box.h — the modal text-input dialog behind InputBox.
//
// CInputBox builds a small dialog from the platform's "Static", "Edit" and
// "Button" controls and runs its own message loop on the calling thread.
// The window procedure reaches the object through the static pThis, so only
// one input box can be open in the process at a time.
#pragma once

#include <windows.h>

namespace Glint {

class CInputBox {
public:
    CInputBox(HWND hWndParent, LPSTR pResult, int nMaxCount, LPCSTR pPrompt, LPCSTR pTitle, LPCSTR pDefault,
              int nWidth, int nHeight, bool bOnlyOK);
    virtual ~CInputBox();

    // Creates, shows and runs the dialog; true when it was closed with OK.
    bool DoModal();
    // Creates the controls; runs while the dialog window is being created.
    void OnInitDialog(HWND hDlg);
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hDlg;
    HWND m_hEdit;
    HWND m_hOK;
    HWND m_hCancel;  // null when only OK is offered
    HWND m_hPrompt;
    HFONT m_hFont;   // the font of every control; owned
    int m_nMaxCount; // size of the caller's buffer in bytes, terminating zero included
    LPCSTR m_pPrompt;
    int m_nPromptHeight;
    LPCSTR m_pTitle;
    LPCSTR m_pDefault;
    int m_nWidth;    // client size of the dialog
    int m_nHeight;
    bool m_bOnlyOK;     // no Cancel button, no close box, Esc not handled
    bool m_bMultiline;
    LPSTR m_pResult;    // receives the text on OK

    static CInputBox* pThis;
    static HWND m_hWndParent;
};

// Control identifiers and the class name.
constexpr int kInputBoxPromptId = 1032;
constexpr int kInputBoxEditId = 1028;
extern const char kInputBoxClass[];

}  // namespace Glint
