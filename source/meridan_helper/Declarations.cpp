#include "Declarations.h"

#include <string>
#include <type_traits>

#include "DispatchSupport.h"
#include "meridan_api.h"

namespace {

const char* const kExportNames[] = {
    "MERIDAN_Setup",   "MERIDAN_GetName",        "MERIDAN_Init",       "MERIDAN_DeInit",     "MERIDAN_Trigger",
    "MERIDAN_Value",   "MERIDAN_Collect",        "MERIDAN_PreInit",    "MERIDAN_GetInt",     "MERIDAN_Win_MechAdj",
    "MERIDAN_IsExcelStarted", "Display_Init",    "Display_DeInit",     "Display_ShowValues", "Display_ShowDisplay",
    "Create_SPCBitmap", "Create_SPCStatistics", "Create_SPCBitmapEx", "Create_SPCStatisticsEx",
    "Create_GaugeStudyStatistics", "Create_GaugeStudyBitmap", "Create_ChartStatistics", "Create_ChartBitmap",
    "Create_CapabilityStatistics", "Create_CapabilityBitmap",
};
constexpr int kExportCount = sizeof kExportNames / sizeof kExportNames[0];
static_assert(kExportCount == static_cast<int>(LibraryExport::Create_CapabilityBitmap) + 1,
              "one export name per declaration");

// The helper calls through its own declarations, never the library's import,
// but each must pass its arguments exactly as the export takes them: the same
// number, each in a slot of the same size and kind (integer or floating point).
struct CallShape {
  int result;
  int count;
  int slots[18];
};

template <typename T>
constexpr int Slot() {
  if constexpr (std::is_void<T>::value) {
    return 0;
  } else {
    return (std::is_floating_point<T>::value ? 100 : 0) + (sizeof(T) <= 4 ? 4 : static_cast<int>(sizeof(T)));
  }
}

template <typename R, typename... A>
constexpr CallShape ShapeOf(R(WINAPI*)(A...)) {
  return CallShape{Slot<R>(), static_cast<int>(sizeof...(A)), {Slot<A>()...}};
}

template <typename Declared, typename Exported>
constexpr bool SameCall() {
  CallShape a = ShapeOf(static_cast<Declared>(nullptr)), b = ShapeOf(static_cast<Exported>(nullptr));
  if (a.result != b.result || a.count != b.count) return false;
  for (int i = 0; i < a.count; ++i)
    if (a.slots[i] != b.slots[i]) return false;
  return true;
}

#define SAME_CALL(name) static_assert(SameCall<name##_Function, decltype(&::name)>(), #name " differs from the export")
SAME_CALL(MERIDAN_Setup);
SAME_CALL(MERIDAN_GetName);
SAME_CALL(MERIDAN_Init);
SAME_CALL(MERIDAN_DeInit);
SAME_CALL(MERIDAN_Trigger);
SAME_CALL(MERIDAN_Value);
SAME_CALL(MERIDAN_Collect);
SAME_CALL(MERIDAN_PreInit);
SAME_CALL(MERIDAN_GetInt);
SAME_CALL(MERIDAN_Win_MechAdj);
SAME_CALL(MERIDAN_IsExcelStarted);
SAME_CALL(Display_Init);
SAME_CALL(Display_DeInit);
SAME_CALL(Display_ShowValues);
SAME_CALL(Display_ShowDisplay);
SAME_CALL(Create_SPCBitmap);
SAME_CALL(Create_SPCStatistics);
SAME_CALL(Create_SPCBitmapEx);
SAME_CALL(Create_SPCStatisticsEx);
SAME_CALL(Create_GaugeStudyStatistics);
SAME_CALL(Create_GaugeStudyBitmap);
SAME_CALL(Create_ChartStatistics);
SAME_CALL(Create_ChartBitmap);
SAME_CALL(Create_CapabilityStatistics);
SAME_CALL(Create_CapabilityBitmap);
#undef SAME_CALL

HMODULE library;
FARPROC addresses[kExportCount];

const wchar_t kLibraryFile[] = L"MERIDAN.DLL";

HRESULT LoadLibraryOnce(REFIID iid) {
  if (library) return S_OK;
  library = LoadLibraryW(kLibraryFile);
  if (library) return S_OK;
  DWORD error = GetLastError();
  if (error == ERROR_MOD_NOT_FOUND)
    return Dispatch_RaiseError(kLibraryNotFound, L"File not found: MERIDAN.DLL", kHelperErrorSource, iid);
  std::wstring text = L"Error in loading DLL: MERIDAN.DLL (system error " + std::to_wstring(error) + L")";
  return Dispatch_RaiseError(kLibraryNotLoadable, text.c_str(), kHelperErrorSource, iid);
}

}  // namespace

HRESULT Library_Bind(LibraryExport which, void (**address)(), REFIID iid) {
  *address = nullptr;
  int index = static_cast<int>(which);
  HRESULT hr = LoadLibraryOnce(iid);
  if (FAILED(hr)) return hr;
  if (!addresses[index]) addresses[index] = GetProcAddress(library, kExportNames[index]);
  if (!addresses[index]) {
    std::string name = kExportNames[index];
    std::wstring text = L"Can't find DLL entry point " + std::wstring(name.begin(), name.end()) + L" in MERIDAN.DLL";
    return Dispatch_RaiseError(kEntryPointNotFound, text.c_str(), kHelperErrorSource, iid);
  }
  *address = reinterpret_cast<void (*)()>(addresses[index]);
  return S_OK;
}
