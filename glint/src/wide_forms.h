// wide_forms.h — the wide-character forms of the public calls.
//
// The library is built narrow, so glint.h declares the narrow forms of the
// text, input-box, picture and message calls here; a program built with
// UNICODE sees these wide forms in their place (the TCHAR names). Both are
// defined in the library. Only the files defining or calling them include
// this header: seen beside the narrow forms, a call with a null pointer
// would be ambiguous.
#pragma once

#include "glint.h"

void outtextxy(int x, int y, LPCWSTR str);
void outtextxy(int x, int y, WCHAR c);
int textwidth(LPCWSTR str);
int textwidth(WCHAR c);
int textheight(LPCWSTR str);
int textheight(WCHAR c);
int drawtext(LPCWSTR str, RECT* pRect, UINT uFormat);
int drawtext(WCHAR c, RECT* pRect, UINT uFormat);
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace);
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut);
void settextstyle(int nHeight, int nWidth, LPCWSTR lpszFace, int nEscapement, int nOrientation, int nWeight,
                  bool bItalic, bool bUnderline, bool bStrikeOut, BYTE fbCharSet, BYTE fbOutPrecision,
                  BYTE fbClipPrecision, BYTE fbQuality, BYTE fbPitchAndFamily);
void settextstyle(const LOGFONTW* font);
void gettextstyle(LOGFONTW* font);
bool InputBox(LPWSTR pString, int nMaxCount, LPCWSTR pPrompt, LPCWSTR pTitle, LPCWSTR pDefault, int width,
              int height, bool bOnlyOK);
bool loadimage(IMAGE* pDstImg, LPCWSTR pImgFile, int nWidth, int nHeight, bool bResize);
bool loadimage(IMAGE* pDstImg, LPCWSTR pResType, LPCWSTR pResName, int nWidth, int nHeight, bool bResize);
void saveimage(LPCWSTR pImgFile, IMAGE* pImg);
void getmessage(ExMessageW* msg, BYTE filter);
bool peekmessage(ExMessageW* msg, BYTE filter, bool removemsg);
