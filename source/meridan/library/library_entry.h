// The library's module handle, recorded by the attach/detach handler.
#pragma once
#include <windows.h>

HINSTANCE GetLibraryInstance();
