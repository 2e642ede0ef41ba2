// System parameters: the system colours (GetSysColor, and one brush per
// colour), the screen and its work area, and the sizes of what the stand-in
// draws (GetSystemMetrics). Holds no USER state; asks the backend for the
// screen and for the frames it puts around windows.
#include <mutex>

#include "backend.h"
#include "windows.h"

DWORD WINAPI GetSysColor(int nIndex) {
    switch (nIndex) {
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_MENUTEXT:
    case COLOR_CAPTIONTEXT:
    case COLOR_INFOTEXT:
    case COLOR_3DDKSHADOW: return RGB(0, 0, 0);
    case COLOR_BTNFACE:
    case COLOR_MENU: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT: return RGB(160, 160, 160);
    case COLOR_3DLIGHT: return RGB(227, 227, 227);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_INFOBK: return RGB(255, 255, 225);
    case COLOR_ACTIVECAPTION: return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION: return RGB(191, 205, 219);
    case COLOR_APPWORKSPACE: return RGB(171, 171, 171);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    default: return RGB(0, 0, 0);
    }
}

// One solid brush per colour, made on first use and never deleted.
HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    if (nIndex < 0 || nIndex > COLOR_INFOBK) return nullptr;
    static std::mutex mutex;
    static HBRUSH brushes[COLOR_INFOBK + 1] = {};
    std::lock_guard<std::mutex> lock(mutex);
    if (!brushes[nIndex]) brushes[nIndex] = CreateSolidBrush(GetSysColor(nIndex));
    return brushes[nIndex];
}

// The work area is the screen without the panels of the desktop.
BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT, PVOID pvParam, UINT) {
    if (uiAction == SPI_GETWORKAREA && pvParam) {
        *static_cast<RECT*>(pvParam) = plat::backend().work_area();
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// Frame sizes are those the backend puts around a window of each style, as
// AdjustWindowRectEx reports them: a caption window's frame is the fixed
// frame on each side plus the caption above it. Unknown indices give 0.
int WINAPI GetSystemMetrics(int nIndex) {
    plat::Backend& b = plat::backend();
    auto frame = [&](DWORD style) { return b.frame_insets(style); };
    switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN: {
        RECT s = b.screen_rect();
        return s.right - s.left;
    }
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: {
        RECT s = b.screen_rect();
        return s.bottom - s.top;
    }
    case SM_XVIRTUALSCREEN: return b.screen_rect().left;
    case SM_YVIRTUALSCREEN: return b.screen_rect().top;
    case SM_CXFULLSCREEN: {
        RECT w = b.work_area();
        return w.right - w.left;
    }
    case SM_CYFULLSCREEN: {  // the client height of a maximised caption window
        RECT w = b.work_area();
        RECT c = frame(WS_CAPTION);
        return (w.bottom - w.top) - (c.top - c.bottom);
    }
    case SM_CXMAXIMIZED: {
        RECT w = b.work_area();
        return (w.right - w.left) + 2 * frame(WS_CAPTION | WS_THICKFRAME).left;
    }
    case SM_CYMAXIMIZED: {
        RECT w = b.work_area();
        return (w.bottom - w.top) + 2 * frame(WS_CAPTION | WS_THICKFRAME).bottom;
    }
    case SM_CYCAPTION: {
        RECT c = frame(WS_CAPTION);
        return c.top - c.bottom;
    }
    case SM_CXBORDER: return frame(WS_BORDER).left;
    case SM_CYBORDER: return frame(WS_BORDER).top;
    case SM_CXDLGFRAME: return frame(WS_CAPTION).left;
    case SM_CYDLGFRAME: return frame(WS_CAPTION).bottom;
    case SM_CXFRAME: return frame(WS_CAPTION | WS_THICKFRAME).left;
    case SM_CYFRAME: return frame(WS_CAPTION | WS_THICKFRAME).bottom;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;  // the sunken edge drawn for WS_EX_CLIENTEDGE
    case SM_CXVSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYHSCROLL: return 17;  // the edit control's scroll bar
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_MOUSEPRESENT: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CMONITORS: return 1;
    default: return 0;
    }
}
