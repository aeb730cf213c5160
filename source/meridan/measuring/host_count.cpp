// MERIDAN_IsExcelStarted: how many spreadsheet-host processes run, polled by
// the helper every 300 ms. Fixed buffers only; no handle outlives the call.
#include <windows.h>
#include <psapi.h>

#include <cstdint>

#include "core/argument_slot.h"
#include "measuring/core/host_name.h"
#include "meridan_api.h"

namespace {

void PumpPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

extern "C" int32_t WINAPI MERIDAN_IsExcelStarted(uint32_t pumpFirst) {
  if (Low16Signed(pumpFirst) > 0) {
    PumpPendingMessages();
    Sleep(100);
  }
  int16_t count = 0;
  DWORD ids[1024];
  DWORD bytes = 0;
  if (!EnumProcesses(ids, sizeof ids, &bytes)) return 0;
  for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
    if (ids[i] == 0) continue;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
    if (!process) continue;
    char path[500];
    DWORD length = GetModuleFileNameExA(process, nullptr, path, sizeof path);
    if (length == 0) {
      // A 32-bit process cannot read the module list of a 64-bit one (a 64-bit
      // spreadsheet host seen from the 32-bit helper); the image name it can.
      DWORD size = sizeof path;
      length = QueryFullProcessImageNameA(process, 0, path, &size) ? size : 0;
    }
    CloseHandle(process);
    if (length == 0) continue;
    path[length < sizeof path ? length : sizeof path - 1] = '\0';  // a cut path is still terminated
    if (Proc_IsHostPath(path)) ++count;
  }
  return static_cast<uint16_t>(count);
}
