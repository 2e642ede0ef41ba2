// System parameters: the system colours (GetSysColor, and one brush per
// colour), and the screen's work area. Holds no USER state and calls no
// other file of USER.
#include <mutex>

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

// The backends do not report the screen size: the work area is that of a
// fixed 1920 x 1080 screen.
BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT, PVOID pvParam, UINT) {
    if (uiAction == SPI_GETWORKAREA && pvParam) {
        *static_cast<RECT*>(pvParam) = RECT{0, 0, 1920, 1080};
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
