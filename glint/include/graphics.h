// graphics.h — Glint's public interface under its traditional header name.
//
// Everything of glint.h, plus the older names of the initgraph flags and of
// the message categories that earlier programs use.
#pragma once

#include "glint.h"

// initgraph flags.
#define SHOWCONSOLE EX_SHOWCONSOLE
#define NOCLOSE EX_NOCLOSE
#define NOMINIMIZE EX_NOMINIMIZE
#define EW_SHOWCONSOLE EX_SHOWCONSOLE
#define EW_NOCLOSE EX_NOCLOSE
#define EW_NOMINIMIZE EX_NOMINIMIZE
#define EW_DBLCLKS EX_DBLCLKS

// Message categories.
#define EM_MOUSE EX_MOUSE
#define EM_KEY EX_KEY
#define EM_CHAR EX_CHAR
#define EM_WINDOW EX_WINDOW
