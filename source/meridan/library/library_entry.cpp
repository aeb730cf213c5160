#include "library/library_entry.h"

#include "spc/core/spc_table.h"

static HINSTANCE libraryInstance;

HINSTANCE GetLibraryInstance() { return libraryInstance; }

// Every notification records the handle it carries; only the process attach
// loads the constants table. Nothing is undone on detach: the kit and a
// readout window are the caller's to close. Always reports success.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  libraryInstance = instance;
  if (reason == DLL_PROCESS_ATTACH) SPC_LoadTable();
  return TRUE;
}
