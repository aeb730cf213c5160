#include "spc/gdi/file_open.h"

HANDLE File_Open(const wchar_t* name, uint16_t mode, DWORD disposition, DWORD flagsAndAttributes) {
  DWORD access = ((mode & 1) ? GENERIC_READ : 0) | ((mode & 2) ? GENERIC_WRITE : 0);
  DWORD share = ((mode & 4) ? FILE_SHARE_READ : 0) | ((mode & 8) ? FILE_SHARE_WRITE : 0);
  return CreateFileW(name, access, share, nullptr, disposition, flagsAndAttributes, nullptr);
}
