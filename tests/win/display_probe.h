// Probes for the readout-window tests: counting the drawing objects, device
// contexts and windows MERIDAN.dll makes (its imports from gdi32 and user32
// are routed through counters), arrays fenced by inaccessible pages, and a
// message pump.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <set>

namespace probe {

struct Counts {
  long objectsMade = 0;     // pens and brushes created
  long objectsDeleted = 0;  // of those, deleted successfully
  long failedDeletes = 0;   // DeleteObject calls that failed
  long dcsTaken = 0;        // GetDC
  long dcsReleased = 0;     // ReleaseDC
  long dialogsMade = 0;     // CreateDialogParamW that gave a window
  std::set<HGDIOBJ> live;   // made and not yet deleted
};

inline Counts& TheCounts() {
  static Counts counts;
  return counts;
}

using CreatePenFn = HPEN(WINAPI*)(int, int, COLORREF);
using CreateSolidBrushFn = HBRUSH(WINAPI*)(COLORREF);
using DeleteObjectFn = BOOL(WINAPI*)(HGDIOBJ);
using GetDCFn = HDC(WINAPI*)(HWND);
using ReleaseDCFn = int(WINAPI*)(HWND, HDC);
using CreateDialogParamWFn = HWND(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);

inline CreatePenFn realCreatePen;
inline CreateSolidBrushFn realCreateSolidBrush;
inline DeleteObjectFn realDeleteObject;
inline GetDCFn realGetDC;
inline ReleaseDCFn realReleaseDC;
inline CreateDialogParamWFn realCreateDialogParamW;

inline HPEN WINAPI CountedCreatePen(int style, int width, COLORREF colour) {
  HPEN pen = realCreatePen(style, width, colour);
  if (pen) ++TheCounts().objectsMade, TheCounts().live.insert(pen);
  return pen;
}

inline HBRUSH WINAPI CountedCreateSolidBrush(COLORREF colour) {
  HBRUSH brush = realCreateSolidBrush(colour);
  if (brush) ++TheCounts().objectsMade, TheCounts().live.insert(brush);
  return brush;
}

inline BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
  BOOL deleted = realDeleteObject(object);
  if (!deleted) ++TheCounts().failedDeletes;
  else if (TheCounts().live.erase(object)) ++TheCounts().objectsDeleted;
  return deleted;
}

inline HDC WINAPI CountedGetDC(HWND window) {
  HDC dc = realGetDC(window);
  if (dc) ++TheCounts().dcsTaken;
  return dc;
}

inline int WINAPI CountedReleaseDC(HWND window, HDC dc) {
  int released = realReleaseDC(window, dc);
  if (released) ++TheCounts().dcsReleased;
  return released;
}

// When set, the next dialog the library asks for is refused (and this is cleared).
inline bool failNextDialog;

inline HWND WINAPI CountedCreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC procedure,
                                             LPARAM parameter) {
  if (failNextDialog) {
    failNextDialog = false;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HWND window = realCreateDialogParamW(instance, name, owner, procedure, parameter);
  if (window) ++TheCounts().dialogsMade;
  return window;
}

// Points the import `function` of `module` (imported from `dll`) at
// `replacement`; returns the address it pointed at before, or null.
inline void* RouteImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name;
       ++import) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + import->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
      DWORD protection;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
      void* before = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return before;
    }
  }
  return nullptr;
}

// Routes MERIDAN.dll's calls of the counted functions through the counters;
// false when one of them could not be found.
inline bool CountLibraryCalls() {
  HMODULE library = GetModuleHandleW(L"MERIDAN.dll");
  if (!library) return false;
  if (realCreatePen) return true;
  realCreatePen = reinterpret_cast<CreatePenFn>(
      RouteImport(library, "gdi32.dll", "CreatePen", reinterpret_cast<void*>(&CountedCreatePen)));
  realCreateSolidBrush = reinterpret_cast<CreateSolidBrushFn>(
      RouteImport(library, "gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&CountedCreateSolidBrush)));
  realDeleteObject = reinterpret_cast<DeleteObjectFn>(
      RouteImport(library, "gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&CountedDeleteObject)));
  realGetDC = reinterpret_cast<GetDCFn>(
      RouteImport(library, "user32.dll", "GetDC", reinterpret_cast<void*>(&CountedGetDC)));
  realReleaseDC = reinterpret_cast<ReleaseDCFn>(
      RouteImport(library, "user32.dll", "ReleaseDC", reinterpret_cast<void*>(&CountedReleaseDC)));
  realCreateDialogParamW = reinterpret_cast<CreateDialogParamWFn>(RouteImport(
      library, "user32.dll", "CreateDialogParamW", reinterpret_cast<void*>(&CountedCreateDialogParamW)));
  return realCreatePen && realCreateSolidBrush && realDeleteObject && realGetDC && realReleaseDC &&
         realCreateDialogParamW;
}

// An array of `count` elements of T whose element 0 (kBelow) or whose last
// element (kAbove) touches a page that cannot be read: reading past that
// end faults at once.
enum FenceSide { kBelowFirst, kAboveLast };

template <typename T>
class FencedArray {
 public:
  FencedArray(size_t count, FenceSide side) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    page_ = system.dwPageSize;
    size_t bytes = count * sizeof(T);
    size_t pages = (bytes + page_ - 1) / page_;
    block_ = static_cast<BYTE*>(VirtualAlloc(nullptr, (pages + 2) * page_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(block_, page_, PAGE_NOACCESS, &old);
    VirtualProtect(block_ + (pages + 1) * page_, page_, PAGE_NOACCESS, &old);
    BYTE* usable = block_ + page_;
    BYTE* start = side == kBelowFirst ? usable - sizeof(T) : usable + pages * page_ - bytes;
    elements_ = reinterpret_cast<T*>(start);
    for (size_t i = side == kBelowFirst ? 1 : 0; i < count; ++i) elements_[i] = T{};
  }
  ~FencedArray() { VirtualFree(block_, 0, MEM_RELEASE); }
  FencedArray(const FencedArray&) = delete;
  FencedArray& operator=(const FencedArray&) = delete;
  T& operator[](size_t i) { return elements_[i]; }
  T* data() { return elements_; }

 private:
  size_t page_;
  BYTE* block_;
  T* elements_;
};

// Dispatches the calling thread's messages for `milliseconds`.
inline void PumpFor(DWORD milliseconds) {
  ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

}  // namespace probe
