// Finding and reading TESSAN_SPC.TAB at library attach.
#include <windows.h>

#include "spc/gdi/file_open.h"
#include "spc/core/spc_table.h"

namespace {

void ReportMissingTable() {
  MessageBoxW(nullptr,
              L"The file TESSAN_SPC.TAB was not found. The controlling limits of Control Charts cannot be calculated !",
              nullptr, MB_ICONERROR);
}

HANDLE OpenTable() {
  HANDLE file = File_Open(L"TESSAN_SPC.TAB", 1, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (file != INVALID_HANDLE_VALUE) return file;
  char directory[MAX_PATH + 1] = "";
  UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  static const char kName[] = "\\TESSAN_SPC.TAB";
  wchar_t path[MAX_PATH + sizeof kName];
  UINT i = 0;
  for (; i < length; ++i) path[i] = static_cast<unsigned char>(directory[i]);  // byte by byte, as stored
  for (const char* c = kName; *c; ++c) path[i++] = static_cast<unsigned char>(*c);
  path[i] = L'\0';
  return File_Open(path, 1, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

void SPC_LoadTable() {
  if (SPC_TableLoaded()) return;
  HANDLE file = OpenTable();
  if (file == INVALID_HANDLE_VALUE) {
    ReportMissingTable();
    return;
  }
  DWORD size = GetFileSize(file, nullptr);
  if (size == 0 || size == INVALID_FILE_SIZE) {
    ReportMissingTable();
    CloseHandle(file);
    return;
  }
  char* data = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1));
  DWORD read = 0;
  bool complete = data && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
                  ReadFile(file, data, size, &read, nullptr) && read == size;
  // A table with bare LF line ends is rejected like an unreadable one.
  if (!complete || !SPC_ParseTable(data, size)) ReportMissingTable();
  CloseHandle(file);
  if (data) HeapFree(GetProcessHeap(), 0, data);
}
