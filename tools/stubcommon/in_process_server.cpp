// The exports of every in-process stand-in, for the one class it serves.
#include "in_process_server.h"

namespace {

stub::InProcessFactory g_factory{&stub::makeServedObject};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    stub::g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return g_factory.classObject(clsid, stub::servedClassId(), iid, out);
}

STDAPI DllCanUnloadNow() { return stub::canUnloadNow(); }
