// A second client of one XTimer for the helper's tests: it unmarshals the
// timer from the file given first, connects a sink of its own to the Tick
// event, creates the file given second when it is ready, and then waits
// (dispatching messages) until it is killed or 60 s have passed.
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "MERIDAN_HELPER_h.h"

namespace {

class QuietSink final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return S_OK;
  }
};

std::vector<char> ReadAll(const char* path) {
  std::vector<char> bytes;
  if (FILE* file = std::fopen(path, "rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  std::vector<char> marshaled = ReadAll(argv[1]);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, marshaled.size());
  if (!memory || marshaled.empty()) return 4;
  std::copy(marshaled.begin(), marshaled.end(), static_cast<char*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  IConnectionPointContainer* container = nullptr;
  IConnectionPoint* point = nullptr;
  DWORD cookie = 0;
  static QuietSink sink;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) return 5;
  if (FAILED(CoUnmarshalInterface(stream, IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
    return 6;
  if (FAILED(container->FindConnectionPoint(DIID___XTimer, &point))) return 7;
  if (FAILED(point->Advise(&sink, &cookie))) return 8;
  if (FILE* ready = std::fopen(argv[2], "w")) std::fclose(ready);
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  point->Unadvise(cookie);
  point->Release();
  container->Release();
  stream->Release();
  CoUninitialize();
  return 0;
}
