#include "Declarations.h"

#include <string>

#include "DispatchSupport.h"

namespace {

const char* const kExportNames[] = {
    "MERIDAN_Setup",   "MERIDAN_GetName",        "MERIDAN_Init",       "MERIDAN_DeInit",     "MERIDAN_Trigger",
    "MERIDAN_Value",   "MERIDAN_Collect",        "MERIDAN_PreInit",    "MERIDAN_GetInt",     "MERIDAN_Win_MechAdj",
    "MERIDAN_IsExcelStarted", "Display_Init",    "Display_DeInit",     "Display_ShowValues", "Display_ShowDisplay",
    "Create_SPCBitmap", "Create_SPCStatistics",
};
constexpr int kExportCount = sizeof kExportNames / sizeof kExportNames[0];
static_assert(kExportCount == static_cast<int>(LibraryExport::Create_SPCStatistics) + 1,
              "one export name per declaration");

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
