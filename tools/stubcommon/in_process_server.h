// What the in-process COM server stand-ins share: the count of their live
// objects and factory locks, the class factory of their one class, and the
// DLL's exports (in_process_server.cpp, compiled into each stand-in).
#pragma once

#include <windows.h>

namespace stub {

inline LONG g_serverLocks = 0;
inline HMODULE g_module = nullptr;  // this DLL, known once it is loaded

// Each stand-in defines these: the one class it serves, and how one object of
// it is made and asked for iid (or its own failure code).
const CLSID& servedClassId();
HRESULT makeServedObject(REFIID iid, void** out);

class InProcessFactory final : public IClassFactory {
 public:
  // Makes the object and answers iid, or fails with its own code.
  using Make = HRESULT (*)(REFIID iid, void** out);
  explicit InProcessFactory(Make make) : make_(make) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // One static factory lives as long as the DLL.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return make_(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&g_serverLocks);
    else InterlockedDecrement(&g_serverLocks);
    return S_OK;
  }

  // DllGetClassObject's answer for the one class served.
  HRESULT classObject(REFCLSID asked, REFCLSID served, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(asked, served)) return CLASS_E_CLASSNOTAVAILABLE;
    return QueryInterface(iid, out);
  }

 private:
  Make make_;
};

inline HRESULT canUnloadNow() { return g_serverLocks == 0 ? S_OK : S_FALSE; }

}  // namespace stub
