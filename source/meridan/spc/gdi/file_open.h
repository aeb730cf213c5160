// Opening files for the SPC routines. Mode bits: 1 read, 2 write, 4 share
// reading, 8 share writing.
#pragma once
#include <windows.h>

#include <cstdint>

HANDLE File_Open(const wchar_t* name, uint16_t mode, DWORD disposition, DWORD flagsAndAttributes);
