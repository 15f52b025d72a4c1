// Stand-in for the system's SAPI 5 voice (SpVoice): an in-process server
// registered under SpVoice's class id in the test prefix, in place of Wine's
// own, which speaks nothing. It logs what it is asked to say and with which
// voice token, and takes a phrase a while to say.
//
// A DLL has no command line: its settings come from the environment, which
// the program that loads it inherits from whoever started it.
//   SAPISTUB_LOG     log file path; without it no voice is created, so that
//                    only the tests that ask for it find a SAPI voice
//   SAPISTUB_FAIL    "speak": Speak fails at once; "later": each phrase
//                    ends in failure after it was queued (neither)
//   SAPISTUB_BUSY    1: a phrase never ends (0)
//   SAPISTUB_SPEAKMS how long a phrase takes to say (400)
#include <windows.h>
#include <sapi.h>

#include <cstdlib>
#include <string>

#include "in_process_server.h"
#include "stub.h"

namespace {

std::string setting(const char* name) {
  char buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

std::string shiftJis(const wchar_t* text) {
  if (!text) return "";
  int size = WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(932, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

// The token's key name: the last part of its id.
std::string tokenKey(ISpObjectToken* token) {
  if (!token) return "(default)";
  wchar_t* id = nullptr;
  if (FAILED(token->GetId(&id)) || !id) return "(no id)";
  std::string text = shiftJis(id);
  CoTaskMemFree(id);
  return text.substr(text.find_last_of('\\') + 1);
}

class Voice final : public ISpVoice {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISpVoice) ||
        IsEqualIID(iid, IID_ISpEventSource) || IsEqualIID(iid, IID_ISpNotifySource)) {
      *out = static_cast<ISpVoice*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    InterlockedIncrement(&stub::g_serverLocks);
    return InterlockedIncrement(&refs_);
  }
  ULONG STDMETHODCALLTYPE Release() override {
    InterlockedDecrement(&stub::g_serverLocks);
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
      stub::logEvent("speech", "release");
      delete this;
    }
    return left;
  }

  // ISpNotifySource, ISpEventSource: nothing is notified.
  HRESULT STDMETHODCALLTYPE SetNotifySink(ISpNotifySink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNotifyCallbackFunction(SPNOTIFYCALLBACK*, WPARAM, LPARAM) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetNotifyCallbackInterface(ISpNotifyCallback*, WPARAM, LPARAM) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetNotifyWin32Event() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE WaitForNotifyEvent(DWORD) override { return E_NOTIMPL; }
  HANDLE STDMETHODCALLTYPE GetNotifyEventHandle() override { return nullptr; }
  HRESULT STDMETHODCALLTYPE SetInterest(ULONGLONG, ULONGLONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEvents(ULONG, SPEVENT*, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInfo(SPEVENTSOURCEINFO*) override { return E_NOTIMPL; }

  // ISpVoice
  HRESULT STDMETHODCALLTYPE SetOutput(IUnknown*, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputObjectToken(ISpObjectToken**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputStream(ISpStreamFormat**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Resume() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVoice(ISpObjectToken* token) override {
    voice_ = tokenKey(token);
    stub::logEvent("speech", "voice %s", voice_.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVoice(ISpObjectToken**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG* number) override {
    if (number) *number = 0;
    if (!text) {
      if (flags & SPF_PURGEBEFORESPEAK) {
        stub::logEvent("speech", "purge");
        endsAt_ = 0;
      }
      return S_OK;
    }
    const std::string said = shiftJis(text);
    const std::string fail = setting("SAPISTUB_FAIL");
    if (fail == "speak") {
      stub::logEvent("speech", "refused %s %s", voice_.c_str(), said.c_str());
      return E_FAIL;
    }
    stub::logEvent("speech", "speak %s %s", voice_.c_str(), said.c_str());
    const std::string ms = setting("SAPISTUB_SPEAKMS");
    endsAt_ = GetTickCount64() + (ms.empty() ? 400 : std::strtoul(ms.c_str(), nullptr, 10));
    busy_ = setting("SAPISTUB_BUSY") == "1";
    lastResult_ = fail == "later" ? E_FAIL : S_OK;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SpeakStream(IStream*, DWORD, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStatus(SPVOICESTATUS* status, LPWSTR* bookmark) override {
    if (bookmark) *bookmark = nullptr;
    if (!status) return E_POINTER;
    *status = SPVOICESTATUS{};
    status->dwRunningState = speaking() ? SPRS_IS_SPEAKING : SPRS_DONE;
    status->hrLastResult = speaking() ? S_OK : lastResult_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Skip(LPCWSTR, LONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPriority(SPVPRIORITY) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPriority(SPVPRIORITY*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAlertBoundary(SPEVENTENUM) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAlertBoundary(SPEVENTENUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRate(LONG rate) override {
    stub::logEvent("speech", "rate %ld", rate);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRate(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVolume(USHORT volume) override {
    stub::logEvent("speech", "volume %u", volume);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVolume(USHORT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE WaitUntilDone(ULONG timeoutMs) override {
    const ULONGLONG until = GetTickCount64() + timeoutMs;
    while (speaking()) {
      if (timeoutMs != INFINITE && GetTickCount64() >= until) return S_FALSE;
      Sleep(10);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSyncSpeakTimeout(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSyncSpeakTimeout(ULONG*) override { return E_NOTIMPL; }
  HANDLE STDMETHODCALLTYPE SpeakCompleteEvent() override { return nullptr; }
  HRESULT STDMETHODCALLTYPE IsUISupported(LPCWSTR, void*, ULONG, WINBOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DisplayUI(HWND, LPCWSTR, LPCWSTR, void*, ULONG) override { return E_NOTIMPL; }

 private:
  bool speaking() const { return endsAt_ != 0 && (busy_ || GetTickCount64() < endsAt_); }

  LONG refs_ = 1;
  std::string voice_ = "(default)";
  ULONGLONG endsAt_ = 0;
  bool busy_ = false;
  HRESULT lastResult_ = S_OK;
};

}  // namespace

const CLSID& stub::servedClassId() { return CLSID_SpVoice; }

HRESULT stub::makeServedObject(REFIID iid, void** out) {
  const std::string log = setting("SAPISTUB_LOG");
  if (log.empty()) return REGDB_E_CLASSNOTREG;
  stub::openLog(log);
  stub::logEvent("speech", "create");
  Voice* voice = new Voice;
  InterlockedIncrement(&stub::g_serverLocks);
  HRESULT hr = voice->QueryInterface(iid, out);
  voice->Release();
  return hr;
}
