// windows.h — the subset of the Win32 API that the Linux stand-in provides.
//
// Same names, types, constants and signatures as the system header, so code
// written against it also builds unchanged with the real <windows.h>. As
// there, the multimedia header comes along unless WIN32_LEAN_AND_MEAN.
#pragma once

// As the Windows header does, it brings in the C library's <stdlib.h> and
// <string.h> (and the C runtime's Windows-only names with them).
#include <stdlib.h>
#include <string.h>

#include "win_crt.h"
#include "windef.h"
#include "winbase.h"
#include "wincon.h"
#include "winuser.h"
#include "wingdi.h"
#include "objbase.h"
#ifndef WIN32_LEAN_AND_MEAN
#include "mmsystem.h"
#endif
