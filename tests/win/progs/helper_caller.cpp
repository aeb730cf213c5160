// A client process of the helper for its stress tests. With a device number
// and a count of rounds it creates a DLLFcts object and calls it round after
// round, each time checking that the answers are its own: the name and the
// address count of its device, and the figures of its own values. The exit
// code is the number of wrong answers (0: all right). With "leave" as a third
// argument it makes one call and ends without releasing the object.
#include <windows.h>
#include <oaidl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "MERIDAN_HELPER_h.h"

namespace {

HRESULT Invoke(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments, VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  VariantInit(result);
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, &exception, &argumentError);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return hr;
}

VARIANT Short(short value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = value;
  return v;
}
VARIANT Long(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}
VARIANT Double(double value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = value;
  return v;
}
VARIANT ByRef(VARTYPE type, void* at) {
  VARIANT v;
  VariantInit(&v);
  v.vt = static_cast<VARTYPE>(type | VT_BYREF);
  v.byref = at;
  return v;
}

const char* const kNames[] = {"", "TESSAN Caliper C150", "TESSAN Micrometer M25", "TESSAN Dial Indicator D10",
                              "TESSAN Height Gauge H300"};
const short kAddresses[] = {0, 4, 4, 8, 2};

// One round: three calls, each answer checked; returns the number of wrong ones.
int Round(IDispatch* helper, short device, int round, SAFEARRAY*& values, SAFEARRAY*& results,
          const std::vector<double>& own) {
  int wrong = 0;
  BSTR info = SysAllocStringLen(nullptr, 40);
  for (int i = 0; i < 40; ++i) info[i] = L' ';
  BSTR empty = SysAllocString(L"");
  VARIANT fileName;
  VariantInit(&fileName);
  fileName.vt = VT_BSTR;
  fileName.bstrVal = empty;
  VARIANT status;
  HRESULT hr = Invoke(helper, L"GetName", {Short(0), fileName, Short(device), Short(0), Short(0), ByRef(VT_BSTR, &info)},
                      &status);
  std::string name;
  for (UINT i = 0; info && i < SysStringLen(info) && info[i]; ++i) name += static_cast<char>(info[i]);
  if (FAILED(hr) || status.iVal != 0 || name != kNames[device]) ++wrong, std::printf("round %d: name %s\n", round, name.c_str());
  SysFreeString(info);
  SysFreeString(empty);

  short addresses = -1;
  hr = Invoke(helper, L"GetInt", {Long(device), ByRef(VT_I2, &addresses)}, &status);
  if (FAILED(hr) || status.iVal != 0 || addresses != kAddresses[device])
    ++wrong, std::printf("round %d: %d addresses\n", round, addresses);

  const LONG count = static_cast<LONG>(own.size()) - 1;
  hr = Invoke(helper, L"SPCStatistics",
              {Short(11), ByRef(VT_ARRAY | VT_R8, &values), Long(count), Double(own[1]), Double(own[1] + 1),
               Double(own[1] - 1), Short(1), Short(1), Long(5), Short(3), ByRef(VT_ARRAY | VT_R8, &results)},
              &status);
  double* figures = nullptr;
  SafeArrayAccessData(results, reinterpret_cast<void**>(&figures));
  double sum = 0;
  for (LONG i = 1; i <= count; ++i) sum += own[i];
  bool right = SUCCEEDED(hr) && status.iVal == 48 && figures[1] == count && std::fabs(figures[2] - sum / count) < 1e-9;
  if (!right) ++wrong, std::printf("round %d: figures n %g mean %g\n", round, figures[1], figures[2]);
  for (int i = 0; i <= 48; ++i) figures[i] = 0;
  SafeArrayUnaccessData(results);
  return wrong;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 200;
  short device = static_cast<short>(std::atoi(argv[1]));
  int rounds = std::atoi(argv[2]);
  bool leave = argc > 3 && std::string(argv[3]) == "leave";
  if (device < 1 || device > 4) return 201;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 202;
  IDispatch* helper = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DLLFcts, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&helper))))
    return 203;
  // Values of this client only: about a centre of its own.
  std::vector<double> own(1 + 100 * device);
  for (size_t i = 1; i < own.size(); ++i) own[i] = 10.0 * device + 0.01 * std::sin(i * 1.7 + device);
  SAFEARRAYBOUND valueBound{static_cast<ULONG>(own.size()), 0}, resultBound{49, 0};
  SAFEARRAY* values = SafeArrayCreate(VT_R8, 1, &valueBound);
  SAFEARRAY* results = SafeArrayCreate(VT_R8, 1, &resultBound);
  double* data = nullptr;
  SafeArrayAccessData(values, reinterpret_cast<void**>(&data));
  for (size_t i = 0; i < own.size(); ++i) data[i] = own[i];
  SafeArrayUnaccessData(values);
  int wrong = 0;
  for (int round = 0; round < rounds; ++round) wrong += Round(helper, device, round, values, results, own);
  std::printf("device %d: %d rounds, %d wrong answers\n", device, rounds, wrong);
  std::fflush(stdout);
  if (leave) ExitProcess(wrong ? 1 : 0);  // the object is never released
  SafeArrayDestroy(values);
  SafeArrayDestroy(results);
  helper->Release();
  CoUninitialize();
  return wrong > 100 ? 100 : wrong;
}
