#include "HelperArguments.h"

#include <algorithm>
#include <string>

#include "DispatchSupport.h"

HRESULT AnsiText::Make(BSTR text, size_t minimumLength, size_t spare) {
  int characters = static_cast<int>(SysStringLen(text));
  length_ = 0;
  if (characters > 0) {
    length_ = WideCharToMultiByte(CP_ACP, 0, text, characters, nullptr, 0, nullptr, nullptr);
    if (length_ <= 0) return HRESULT_FROM_WIN32(GetLastError());
  }
  bytes_.assign(std::max(static_cast<size_t>(length_), minimumLength) + spare + 1, '\0');
  if (length_ > 0) WideCharToMultiByte(CP_ACP, 0, text, characters, bytes_.data(), length_, nullptr, nullptr);
  return S_OK;
}

HRESULT AnsiText::CopyBackFullLength(BSTR* text) const {
  if (length_ == 0) return S_OK;
  int characters = MultiByteToWideChar(CP_ACP, 0, bytes_.data(), length_, nullptr, 0);
  BSTR copy = SysAllocStringLen(nullptr, characters);
  if (!copy) return E_OUTOFMEMORY;
  MultiByteToWideChar(CP_ACP, 0, bytes_.data(), length_, copy, characters);
  SysFreeString(*text);
  *text = copy;
  return S_OK;
}

ArrayArgument::~ArrayArgument() {
  if (locked_) SafeArrayUnlock(locked_);
}

HRESULT ArrayArgument::Check(SAFEARRAY** argument, VARTYPE element, LONG highestIndexRead, const wchar_t* name,
                             REFIID iid) {
  std::wstring prefix = std::wstring(L"The array ") + name;
  SAFEARRAY* array = argument ? *argument : nullptr;
  if (!array)
    return Dispatch_RaiseError(kSubscriptOutOfRange, (L"Subscript out of range: " + prefix + L" is not allocated.").c_str(),
                               kHelperErrorSource, iid);
  if (SafeArrayGetDim(array) != 1)
    return Dispatch_RaiseError(kSubscriptOutOfRange,
                               (L"Subscript out of range: " + prefix + L" must have exactly one dimension.").c_str(),
                               kHelperErrorSource, iid);
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  LONG highest = std::max<LONG>(highestIndexRead, 0);
  if (lower > 0 || upper < highest)
    return Dispatch_RaiseError(
        kSubscriptOutOfRange,
        (L"Subscript out of range: " + prefix + L" must hold the indices 0 to " + std::to_wstring(highest) + L".").c_str(),
        kHelperErrorSource, iid);
  VARTYPE type = VT_EMPTY;
  bool typeMatches = SUCCEEDED(SafeArrayGetVartype(array, &type))
                         ? type == element
                         : SafeArrayGetElemsize(array) == (element == VT_R8 ? sizeof(double) : sizeof(short));
  if (!typeMatches)
    return Dispatch_RaiseError(
        kTypeMismatch,
        (L"Type mismatch: " + prefix + (element == VT_R8 ? L" must hold Double values." : L" must hold Integer values."))
            .c_str(),
        kHelperErrorSource, iid);
  HRESULT hr = SafeArrayLock(array);
  if (FAILED(hr)) return hr;
  locked_ = array;
  element0_ = static_cast<char*>(array->pvData) + static_cast<size_t>(-lower) * SafeArrayGetElemsize(array);
  return S_OK;
}
