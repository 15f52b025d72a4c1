// Stand-in for the Toshiba text-to-speech control: an in-process automation
// object under the control's ProgID. It keeps every property it is given,
// answers by dispatch id only, and appends every call to a log so that
// end-to-end tests can see exactly what the toolbar asked for.
//
// A DLL has no command line: its settings come from the environment, which
// the program that loads it inherits from whoever started it.
//   SPEECHSTUB_LOG          log file path (speechstub.log beside the DLL)
//   SPEECHSTUB_BUSYREADS    reads of Busy that answer true after creation and
//                           after each Speak; negative: always true (3)
//   SPEECHSTUB_ENGINEQUERY  result of EngineQuery (8)
//   SPEECHSTUB_FAILCREATE   1: refuse to create the object (0)
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <cwchar>
#include <cstdlib>
#include <string>

#include "in_process_server.h"

namespace {

// {5E0C3A71-8B2D-4C6F-9A14-2D7B9E3F1C58}
const CLSID kClsid = {0x5e0c3a71, 0x8b2d, 0x4c6f, {0x9a, 0x14, 0x2d, 0x7b, 0x9e, 0x3f, 0x1c, 0x58}};
const char kClsidText[] = "{5E0C3A71-8B2D-4C6F-9A14-2D7B9E3F1C58}";
const char kProgId[] = "TOSTTSX.TOSTTSXCtrl.1";
const char kDescription[] = "TOSTTSX Control (test stand-in)";

constexpr DISPID kBusy = 14;
constexpr DISPID kSpeak = 19;
constexpr DISPID kEngineQuery = 21;

struct Property {
  DISPID id;
  const char* name;
  VARTYPE type;
  LONG initial;  // deliberately unlike the toolbar's defaults
};

const Property kProperties[] = {
    {1, "Character", VT_I4, 3},   {2, "Volume", VT_I4, 1234},  {3, "Kutou", VT_BOOL, 1},
    {4, "Numr", VT_BOOL, 0},      {5, "Novoice", VT_BOOL, 0},  {6, "Bidaku", VT_BOOL, 0},
    {7, "Chouon", VT_BOOL, 0},    {8, "Exkigo", VT_BOOL, 1},   {9, "Exch", VT_BOOL, 0},
    {10, "Eibun", VT_BOOL, 0},    {11, "DateMode", VT_I4, 2},  {12, "Speed", VT_I4, 7},
};
constexpr int kPropertyCount = sizeof kProperties / sizeof kProperties[0];

int propertyIndex(DISPID id) {
  for (int i = 0; i < kPropertyCount; ++i)
    if (kProperties[i].id == id) return i;
  return -1;
}

std::string moduleDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(stub::g_module, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of("\\/") + 1);
}

std::string setting(const char* name, const std::string& fallback) {
  char buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : fallback;
}

long settingLong(const char* name, long fallback) {
  std::string text = setting(name, "");
  return text.empty() ? fallback : std::strtol(text.c_str(), nullptr, 10);
}

// The log named when the latest object was created; a process that creates
// objects under several settings (a test client) gets each one's calls in
// its own file.
std::string g_logPath;

// Lines read like the other stand-ins' events, "time_ms speech event <call>".
// The file is opened per line so that a reader sees every line at once.
void logLine(const std::string& text) {
  if (g_logPath.empty()) return;
  std::string line = std::to_string(GetTickCount64()) + " speech event " + text + "\n";
  HANDLE file = CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

const char* typeName(VARTYPE vt) {
  switch (vt & ~VT_BYREF) {
    case VT_EMPTY: return "VT_EMPTY";
    case VT_I2: return "VT_I2";
    case VT_I4: return "VT_I4";
    case VT_INT: return "VT_INT";
    case VT_UI4: return "VT_UI4";
    case VT_BOOL: return "VT_BOOL";
    case VT_BSTR: return "VT_BSTR";
    case VT_R8: return "VT_R8";
    default: return "VT_OTHER";
  }
}

// Booleans are logged as true/false only when they are canonical
// (VARIANT_TRUE is -1); any other number shows up as itself, so a caller
// that passes 1 for true is caught.
std::string boolText(LONG value) {
  if (value == VARIANT_TRUE) return "true";
  if (value == VARIANT_FALSE) return "false";
  return std::to_string(value);
}

std::string shiftJis(const wchar_t* text, int length) {
  if (!text) return "";
  int size = WideCharToMultiByte(932, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(932, 0, text, length, out.data(), size, nullptr, nullptr);
  std::string escaped;
  for (char c : out) {
    if (c == '\n') escaped += "\\n";
    else if (c == '\r') escaped += "\\r";
    else escaped += c;
  }
  return escaped;
}

class SpeechObject final : public IDispatch {
 public:
  SpeechObject() {
    for (int i = 0; i < kPropertyCount; ++i) {
      const Property& p = kProperties[i];
      values_[i] = p.type == VT_BOOL ? (p.initial ? VARIANT_TRUE : VARIANT_FALSE) : p.initial;
    }
    InterlockedIncrement(&stub::g_serverLocks);
    logLine("create");
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
      logLine("release");
      InterlockedDecrement(&stub::g_serverLocks);
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  // The toolbar must address the control by dispatch id alone.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    logLine("names " + (count ? shiftJis(names[0], static_cast<int>(wcslen(names[0]))) : ""));
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT* argError) override {
    if (!params) return E_POINTER;
    if (result) VariantInit(result);
    int index = propertyIndex(id);
    if (index >= 0) {
      if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        return putProperty(index, *params, argError);
      if (flags & DISPATCH_PROPERTYGET) return getProperty(index, *params, result);
    } else if (id == kBusy && (flags & DISPATCH_PROPERTYGET) && params->cArgs == 0) {
      return getBusy(result);
    } else if ((id == kSpeak || id == kEngineQuery) && (flags & DISPATCH_METHOD)) {
      return callMethod(id, *params, result, argError);
    }
    return fail(id, flags, "member not found", DISP_E_MEMBERNOTFOUND);
  }

 private:
  HRESULT fail(DISPID id, WORD flags, const char* reason, HRESULT hr) {
    logLine("error " + std::to_string(id) + " flags " + std::to_string(flags) + " " + reason);
    return hr;
  }

  // The single argument, converted to the member's type; its original type
  // goes into the log.
  HRESULT argument(DISPID id, WORD flags, const DISPPARAMS& params, VARTYPE type, VARIANT* out,
                   UINT* argError) {
    if (params.cArgs != 1 || !params.rgvarg)
      return fail(id, flags, "bad argument count", DISP_E_BADPARAMCOUNT);
    VariantInit(out);
    if (FAILED(VariantChangeType(out, &params.rgvarg[0], 0, type))) {
      if (argError) *argError = 0;
      return fail(id, flags, "type mismatch", DISP_E_TYPEMISMATCH);
    }
    return S_OK;
  }

  HRESULT putProperty(int index, const DISPPARAMS& params, UINT* argError) {
    const Property& p = kProperties[index];
    WORD flags = DISPATCH_PROPERTYPUT;
    if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      return fail(p.id, flags, "put without DISPID_PROPERTYPUT", DISP_E_PARAMNOTFOUND);
    VARIANT value;
    HRESULT hr = argument(p.id, flags, params, p.type, &value, argError);
    if (FAILED(hr)) return hr;
    values_[index] = p.type == VT_BOOL ? V_BOOL(&value) : V_I4(&value);
    logLine("put " + std::to_string(p.id) + " " + p.name + " " + typeName(V_VT(&params.rgvarg[0])) +
            " " + valueText(index));
    return S_OK;
  }

  std::string valueText(int index) const {
    return kProperties[index].type == VT_BOOL ? boolText(values_[index])
                                               : std::to_string(values_[index]);
  }

  HRESULT getProperty(int index, const DISPPARAMS& params, VARIANT* result) {
    const Property& p = kProperties[index];
    if (params.cArgs != 0)
      return fail(p.id, DISPATCH_PROPERTYGET, "bad argument count", DISP_E_BADPARAMCOUNT);
    if (result) {
      V_VT(result) = p.type;
      if (p.type == VT_BOOL) V_BOOL(result) = static_cast<VARIANT_BOOL>(values_[index]);
      else V_I4(result) = values_[index];
    }
    logLine("get " + std::to_string(p.id) + " " + p.name + " " + valueText(index));
    return S_OK;
  }

  HRESULT getBusy(VARIANT* result) {
    bool busy = busyReadsLeft_ != 0;
    if (busyReadsLeft_ > 0) --busyReadsLeft_;
    if (result) {
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = busy ? VARIANT_TRUE : VARIANT_FALSE;
    }
    logLine(std::string("get 14 Busy ") + (busy ? "true" : "false"));
    return S_OK;
  }

  HRESULT callMethod(DISPID id, const DISPPARAMS& params, VARIANT* result, UINT* argError) {
    VARIANT arg;
    HRESULT hr = argument(id, DISPATCH_METHOD, params, id == kSpeak ? VT_BSTR : VT_I4, &arg, argError);
    if (FAILED(hr)) return hr;
    const char* given = typeName(V_VT(&params.rgvarg[0]));
    LONG answer = 0;
    std::string shown;
    if (id == kSpeak) {
      shown = shiftJis(V_BSTR(&arg), static_cast<int>(SysStringLen(V_BSTR(&arg))));
      busyReadsLeft_ = settingLong("SPEECHSTUB_BUSYREADS", 3);
    } else {
      shown = std::to_string(V_I4(&arg));
      answer = settingLong("SPEECHSTUB_ENGINEQUERY", 8);
    }
    VariantClear(&arg);
    if (result) {
      V_VT(result) = VT_I4;
      V_I4(result) = answer;
    }
    logLine("call " + std::to_string(id) + (id == kSpeak ? " Speak " : " EngineQuery ") + given +
            " " + std::to_string(answer) + " " + shown);
    return S_OK;
  }

  LONG refs_ = 1;
  LONG values_[kPropertyCount];
  long busyReadsLeft_ = settingLong("SPEECHSTUB_BUSYREADS", 3);
};

}  // namespace

const CLSID& stub::servedClassId() { return kClsid; }

HRESULT stub::makeServedObject(REFIID iid, void** out) {
  g_logPath = setting("SPEECHSTUB_LOG", moduleDir() + "speechstub.log");
  if (settingLong("SPEECHSTUB_FAILCREATE", 0) == 1) {
    logLine("refused");
    return E_FAIL;
  }
  SpeechObject* object = new SpeechObject;
  HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

namespace {

bool setValue(const std::string& key, const char* name, const std::string& value) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG status = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

}  // namespace

STDAPI DllRegisterServer() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(stub::g_module, path, MAX_PATH);
  std::string clsidKey = std::string("CLSID\\") + kClsidText;
  bool ok = setValue(kProgId, "", kDescription) &&
            setValue(std::string(kProgId) + "\\CLSID", "", kClsidText) &&
            setValue(clsidKey, "", kDescription) &&
            setValue(clsidKey + "\\InprocServer32", "", path) &&
            setValue(clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment") &&
            setValue(clsidKey + "\\ProgID", "", kProgId);
  return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  std::string clsidKey = std::string("CLSID\\") + kClsidText;
  LONG a = RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
  LONG b = RegDeleteTreeA(HKEY_CLASSES_ROOT, clsidKey.c_str());
  bool ok = (a == ERROR_SUCCESS || a == ERROR_FILE_NOT_FOUND) &&
            (b == ERROR_SUCCESS || b == ERROR_FILE_NOT_FOUND);
  return ok ? S_OK : SELFREG_E_CLASS;
}
