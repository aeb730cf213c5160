#include "spc/gdi/draw_primitives.h"

namespace {

LOGFONTW fontRecord;  // overwritten whole by every Font_Create

void Bevel(HDC dc, HPEN pen, int x0, int y0, int x1, int y1, int x2, int y2) {
  POINT points[3] = {{x0, y0}, {x1, y1}, {x2, y2}};
  SelectObject(dc, pen);
  Polyline(dc, points, 3);
}

}  // namespace

void Draw_Frame3D(int left, int top, int right, int bottom, HDC dc, HBRUSH brush, int16_t style, HPEN penA,
                  HPEN penB, HPEN darkPen, HPEN lightPen) {
  SelectObject(dc, style == 0 ? lightPen : style == 1 ? penA : penB);
  SelectObject(dc, brush);
  Rectangle(dc, left, top, right, bottom);
  if (style == 2) {  // sunken
    Bevel(dc, darkPen, left, bottom - 1, left, top, right - 1, top);
    Bevel(dc, lightPen, left + 1, bottom - 2, right - 2, bottom - 2, right - 2, top);
    Bevel(dc, penA, left + 1, bottom - 2, left + 1, top + 1, right - 2, top + 1);
  } else if (style == 3) {  // raised
    Bevel(dc, penA, left, bottom - 1, right - 1, bottom - 1, right - 1, top - 1);
    Bevel(dc, darkPen, left + 1, bottom - 2, right - 2, bottom - 2, right - 2, top);
    Bevel(dc, lightPen, left + 1, bottom - 3, left + 1, top + 1, right - 2, top + 1);
  }
}

HFONT Font_Create(const wchar_t* face, int16_t style, int32_t height, int32_t width, int16_t escapement) {
  fontRecord = LOGFONTW{};
  fontRecord.lfHeight = height;
  fontRecord.lfWidth = width;
  fontRecord.lfEscapement = escapement;
  fontRecord.lfOrientation = escapement;
  fontRecord.lfWeight = (style & 1) ? 700 : 400;
  fontRecord.lfItalic = (style & 2) ? 1 : 0;
  fontRecord.lfCharSet = static_cast<BYTE>(style / 256);
  // Face names longer than the record holds are cut.
  int i = 0;
  for (; face && face[i] && i < LF_FACESIZE - 1; ++i) fontRecord.lfFaceName[i] = face[i];
  fontRecord.lfFaceName[i] = L'\0';
  return CreateFontIndirectW(&fontRecord);
}

int Text_Draw(HDC dc, const wchar_t* text, int length, RECT* rect, UINT format) {
  return DrawTextW(dc, text, length, rect, format);
}

int32_t WStr_Len(const wchar_t* text) {
  int32_t length = 0;
  while (text[length]) ++length;
  return length;
}

void WStr_Copy(wchar_t* destination, const wchar_t* source) {
  *destination = L'\0';
  int i = 0;
  do destination[i] = source[i];
  while (source[i++]);
}

void WStr_Cat(wchar_t* destination, const wchar_t* source) { WStr_Copy(destination + WStr_Len(destination), source); }

void WStr_FromAnsi(wchar_t* destination, const char* source) {
  int i = 0;
  for (; source && source[i]; ++i) destination[i] = static_cast<unsigned char>(source[i]);
  destination[i] = L'\0';
}
