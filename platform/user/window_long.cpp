// window_long.cpp — GetWindowLongA and SetWindowLongA, the 32-bit forms of
// GetWindowLongPtrA and SetWindowLongPtrA that programs written for 32-bit
// Windows call. A value wider than a LONG comes back cut to its low 32 bits,
// as it does on 64-bit Windows.
#include "windows.h"

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) { return LONG(GetWindowLongPtrA(hWnd, nIndex)); }

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    return LONG(SetWindowLongPtrA(hWnd, nIndex, LONG_PTR(dwNewLong)));
}
