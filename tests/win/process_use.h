// What this process holds, counted the same way on Windows and under Wine:
// GDI objects, USER objects (windows), kernel handles, private bytes and
// heap blocks. Where Wine does not implement the system's count
// (GetGuiResources, GetProcessHandleCount), the handle tables are walked.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace wintest {

// Live GDI objects of this process: GetGuiResources, or where it is not
// implemented (Wine) a walk over the handle table by index.
inline size_t GdiObjects() {
  DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted) return counted;
  size_t n = 0;
  for (uintptr_t index = 1; index < 0x10000; ++index) n += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
  return n;
}

// Windows of this process (top-level, owned, child and message-only ones):
// GetGuiResources, or where it is not implemented (Wine) the windows counted.
inline BOOL CALLBACK CountChildWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<size_t*>(count);
  return TRUE;
}
inline BOOL CALLBACK CountProcessWindow(HWND window, LPARAM count) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<size_t*>(count);
  EnumChildWindows(window, CountChildWindow, count);
  return TRUE;
}
inline size_t UserObjects() {
  DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (counted) return counted;
  size_t n = 0;
  EnumWindows(CountProcessWindow, reinterpret_cast<LPARAM>(&n));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
    CountProcessWindow(window, reinterpret_cast<LPARAM>(&n));
  return n;
}

// Open kernel handles: GetProcessHandleCount, or a walk over the first 4 096
// handle values (multiples of four; the lowest free one is given out first)
// asking each whether it is open.
inline size_t KernelHandles() {
  DWORD counted = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted) return counted;
  size_t n = 0;
  DWORD flags;
  for (uintptr_t value = 4; value < 0x4000; value += 4) n += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != 0;
  return n;
}

// Committed memory of this process that no other process shares.
inline size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters))
    return 0;
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// Blocks and bytes in use on every heap of the process.
inline void HeapUse(size_t* blocks, size_t* bytes) {
  HANDLE heaps[256];
  DWORD count = GetProcessHeaps(256, heaps);
  *blocks = *bytes = 0;
  for (DWORD i = 0; i < count && i < 256; ++i) {
    HeapLock(heaps[i]);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++*blocks, *bytes += entry.cbData;
    HeapUnlock(heaps[i]);
  }
}

struct ProcessUse {
  size_t gdi = 0, user = 0, kernel = 0, privateBytes = 0, heapBlocks = 0, heapBytes = 0;
};

inline ProcessUse MeasureProcessUse() {
  ProcessUse use;
  use.gdi = GdiObjects();
  use.user = UserObjects();
  use.kernel = KernelHandles();
  use.privateBytes = PrivateBytes();
  HeapUse(&use.heapBlocks, &use.heapBytes);
  return use;
}

inline void PrintProcessUse(const char* label, const ProcessUse& use) {
  std::printf("%-14s GDI %4zu  USER %3zu  kernel %4zu  private %7zu KB  heap %6zu blocks %7zu KB\n", label, use.gdi,
              use.user, use.kernel, use.privateBytes / 1024, use.heapBlocks, use.heapBytes / 1024);
  std::fflush(stdout);
}

}  // namespace wintest
