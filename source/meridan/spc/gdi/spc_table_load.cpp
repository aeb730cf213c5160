// Finding and reading TESSAN_SPC.TAB at library attach.
#include <windows.h>

#include "library/library_entry.h"
#include "spc/gdi/file_open.h"
#include "spc/core/spc_table.h"

namespace {

void ReportMissingTable() {
  MessageBoxW(nullptr,
              L"The file TESSAN_SPC.TAB was not found. The controlling limits of Control Charts cannot be calculated !",
              nullptr, MB_ICONERROR);
}

const wchar_t kTableName[] = L"TESSAN_SPC.TAB";

HANDLE OpenTableAt(const wchar_t* path) { return File_Open(path, 1, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL); }

HANDLE OpenInSystemDirectory() {
  char directory[MAX_PATH + 1] = "";
  UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  wchar_t path[MAX_PATH + 1 + sizeof kTableName / sizeof kTableName[0]];
  UINT i = 0;
  for (; i < length; ++i) path[i] = static_cast<unsigned char>(directory[i]);  // byte by byte, as stored
  path[i++] = L'\\';
  for (const wchar_t* c = kTableName; *c; ++c) path[i++] = *c;
  path[i] = L'\0';
  return OpenTableAt(path);
}

// A library loaded by full path from its install folder (a helper started by
// the automation runtime runs in its client's folder) finds the table it was
// installed with.
HANDLE OpenBesideLibrary() {
  wchar_t path[MAX_PATH + 1 + sizeof kTableName / sizeof kTableName[0]];
  DWORD length = GetModuleFileNameW(GetLibraryInstance(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  DWORD folderEnd = length;
  while (folderEnd > 0 && path[folderEnd - 1] != L'\\' && path[folderEnd - 1] != L'/') --folderEnd;
  if (folderEnd == 0) return INVALID_HANDLE_VALUE;
  lstrcpyW(path + folderEnd, kTableName);
  return OpenTableAt(path);
}

// The current folder first, then the system folder, then the library's own.
HANDLE OpenTable() {
  HANDLE file = OpenTableAt(kTableName);
  if (file == INVALID_HANDLE_VALUE) file = OpenInSystemDirectory();
  if (file == INVALID_HANDLE_VALUE) file = OpenBesideLibrary();
  return file;
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
