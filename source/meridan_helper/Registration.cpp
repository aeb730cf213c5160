#include "Registration.h"

#include <oleauto.h>

#include <string>

#include "MERIDAN_HELPER_h.h"

namespace {

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* progId;
};

const ClassEntry kClasses[] = {
    {&CLSID_DLLFcts, L"MERIDAN_HELPER.DLLFcts"},
    {&CLSID_XTimer, L"MERIDAN_HELPER.XTimer"},
};

constexpr WORD kLibraryMajor = 3, kLibraryMinor = 0;
constexpr LCID kLibraryLocale = 0x409;
#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
constexpr wchar_t kPlatformKey[] = L"win64";
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
constexpr wchar_t kPlatformKey[] = L"win32";
#endif

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ExecutablePath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// The locale-neutral key of the type library, beside the one of its own
// locale: some marshalers look the library up under locale 0 only.
std::wstring NeutralLocaleKey() {
  return L"TypeLib\\" + GuidText(LIBID_MERIDAN_HELPER) + L"\\3.0\\0";
}

// `view` 0 is the process's own view of the registry; KEY_WOW64_64KEY the
// 64-bit one, which a 32-bit helper also writes for its 64-bit clients.
HRESULT SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value, REGSAM view = 0) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &handle,
                                nullptr);
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }
  return HRESULT_FROM_WIN32(status);
}

HRESULT RegisterOneClass(const ClassEntry& entry, const std::wstring& path) {
  std::wstring clsid = GuidText(*entry.clsid);
  std::wstring key = L"CLSID\\" + clsid;
  HRESULT hr = SetValue(key, nullptr, entry.progId);
  if (SUCCEEDED(hr)) hr = SetValue(key + L"\\LocalServer32", nullptr, L"\"" + path + L"\"");
  if (SUCCEEDED(hr)) hr = SetValue(key + L"\\ProgID", nullptr, entry.progId);
  if (SUCCEEDED(hr)) hr = SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_MERIDAN_HELPER));
  if (SUCCEEDED(hr)) hr = SetValue(key + L"\\VERSION", nullptr, L"3.0");
  if (SUCCEEDED(hr)) hr = SetValue(key + L"\\Programmable", nullptr, L"");
  if (SUCCEEDED(hr)) hr = SetValue(entry.progId, nullptr, entry.progId);
  if (SUCCEEDED(hr)) hr = SetValue(std::wstring(entry.progId) + L"\\CLSID", nullptr, clsid);
  return hr;
}

bool HasSubkeys(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(handle);
  return subkeys > 0;
}

bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// Removes a key that only its own values keep (no other registration below it).
void DeleteIfNoSubkeys(const std::wstring& key) {
  if (KeyExists(key) && !HasSubkeys(key)) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
}

#ifndef _WIN64
// A 64-bit client (a 64-bit spreadsheet host) reaches this 32-bit server through
// its own marshaler, which looks the interfaces up in the 64-bit view of the
// registry and the type library under win64: both are written beside the
// 32-bit entries, naming the same executable (its type library is read as data).
struct InterfaceEntry {
  const IID* iid;
  const wchar_t* name;
  const wchar_t* proxyStub;  // the type library marshaler for dual interfaces, IDispatch's for the event interface
};

const InterfaceEntry kInterfaces[] = {
    {&IID__DLLFcts, L"_DLLFcts", L"{00020424-0000-0000-C000-000000000046}"},
    {&IID__XTimer, L"_XTimer", L"{00020424-0000-0000-C000-000000000046}"},
    {&DIID___XTimer, L"__XTimer", L"{00020420-0000-0000-C000-000000000046}"},
};

std::wstring ValueOf(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return L"";
  wchar_t value[MAX_PATH + 1] = L"";
  DWORD size = MAX_PATH * sizeof(wchar_t);
  LONG status = RegQueryValueExW(handle, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS ? value : L"";
}

std::wstring SixtyFourBitLibraryKey() { return NeutralLocaleKey() + L"\\win64"; }

HRESULT RegisterForSixtyFourBitClients(const std::wstring& path) {
  HRESULT hr = SetValue(SixtyFourBitLibraryKey(), nullptr, path);
  for (const InterfaceEntry& entry : kInterfaces) {
    std::wstring key = L"Interface\\" + GuidText(*entry.iid);
    if (SUCCEEDED(hr)) hr = SetValue(key, nullptr, entry.name, KEY_WOW64_64KEY);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\ProxyStubClsid", nullptr, entry.proxyStub, KEY_WOW64_64KEY);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\ProxyStubClsid32", nullptr, entry.proxyStub, KEY_WOW64_64KEY);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_MERIDAN_HELPER), KEY_WOW64_64KEY);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\TypeLib", L"Version", L"3.0", KEY_WOW64_64KEY);
  }
  return hr;
}

// Only what this executable wrote: a 64-bit helper registered beside it keeps its entries.
void UnregisterForSixtyFourBitClients(const std::wstring& path) {
  std::wstring library = SixtyFourBitLibraryKey();
  if (path.empty() || lstrcmpiW(ValueOf(library).c_str(), path.c_str()) != 0) return;
  RegDeleteTreeW(HKEY_CLASSES_ROOT, library.c_str());
  HKEY interfaces = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Interface", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &interfaces) != ERROR_SUCCESS)
    return;
  for (const InterfaceEntry& entry : kInterfaces) RegDeleteTreeW(interfaces, GuidText(*entry.iid).c_str());
  RegCloseKey(interfaces);
}
#endif

}  // namespace

HRESULT Registration_Register() {
  std::wstring path = ExecutablePath();
  if (path.empty()) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  for (const ClassEntry& entry : kClasses) {
    HRESULT hr = RegisterOneClass(entry, path);
    if (FAILED(hr)) return hr;
  }
  ITypeLib* typeLib = nullptr;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &typeLib);
  if (FAILED(hr)) return hr;
  typeLib->Release();
  hr = SetValue(NeutralLocaleKey() + L"\\" + kPlatformKey, nullptr, path);
#ifndef _WIN64
  if (SUCCEEDED(hr)) hr = RegisterForSixtyFourBitClients(path);
#endif
  return hr;
}

HRESULT Registration_Unregister() {
  for (const ClassEntry& entry : kClasses) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(*entry.clsid)).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, entry.progId);
  }
  // The neutral-locale key goes first: the library's own removal then finds
  // nothing but its own entries and removes the version key with them.
  std::wstring neutral = NeutralLocaleKey();
#ifndef _WIN64
  UnregisterForSixtyFourBitClients(ExecutablePath());
#endif
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (neutral + L"\\" + kPlatformKey).c_str());
  DeleteIfNoSubkeys(neutral);
  // A library that is not registered (any more) is what was asked for.
  HRESULT hr = S_OK;
  std::wstring own = L"TypeLib\\" + GuidText(LIBID_MERIDAN_HELPER) + L"\\3.0\\409\\" + kPlatformKey;
  if (KeyExists(own))
    hr = UnRegisterTypeLib(LIBID_MERIDAN_HELPER, kLibraryMajor, kLibraryMinor, kLibraryLocale, kSysKind);
  DeleteIfNoSubkeys(L"TypeLib\\" + GuidText(LIBID_MERIDAN_HELPER));
  return hr;
}
