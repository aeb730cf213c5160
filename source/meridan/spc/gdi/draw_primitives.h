// GDI helpers shared by the SPC drawing routines: bevelled frames, fonts,
// text, UTF-16 strings and the file-open wrapper.
#pragma once
#include <windows.h>

#include <cstdint>

// Fills (left, top, right, bottom) with `brush` and draws the bevel of
// `style`: 0 and 1 plain, 2 sunken, 3 raised.
void Draw_Frame3D(int left, int top, int right, int bottom, HDC dc, HBRUSH brush, int16_t style, HPEN penA,
                  HPEN penB, HPEN darkPen, HPEN lightPen);

// Style bit 0 bold, bit 1 italic, high byte the character set. The caller deletes the font.
HFONT Font_Create(const wchar_t* face, int16_t style, int32_t height, int32_t width, int16_t escapement);

int Text_Draw(HDC dc, const wchar_t* text, int length, RECT* rect, UINT format);

int32_t WStr_Len(const wchar_t* text);
void WStr_Copy(wchar_t* destination, const wchar_t* source);
void WStr_Cat(wchar_t* destination, const wchar_t* source);
// Each byte becomes the UTF-16 code unit of the same value (Latin-1).
void WStr_FromAnsi(wchar_t* destination, const char* source);
