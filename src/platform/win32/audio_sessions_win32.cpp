#include "platform/win32/audio_sessions_win32.h"

#include <windows.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include <cstdio>
#include <functional>

namespace tabiro {

namespace {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  T** out() { return &p_; }
  void** outVoid() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

// COM on whichever thread announces; a thread that has it already (the
// user-interface thread's OLE) keeps its own.
class ComOnThisThread {
 public:
  ComOnThisThread() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComOnThisThread() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComOnThisThread(const ComOnThisThread&) = delete;
  ComOnThisThread& operator=(const ComOnThisThread&) = delete;

 private:
  HRESULT hr_;
};

std::string utf8(const wchar_t* text) {
  if (!text) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size) - 1);
  return out;
}

std::string failure(const char* step, HRESULT hr) {
  char text[160];
  std::snprintf(text, sizeof text,
                "Tabiro2: other programs are not lowered during announcements: "
                "%s failed (0x%08lX)\n",
                step, static_cast<unsigned long>(hr));
  return text;
}

using SessionVisitor = std::function<void(const AudioSession&, ISimpleAudioVolume&)>;

// Visits every session of the default output device; the reason when there
// is no session list.
std::string walkSessions(const SessionVisitor& visit) {
  const ComOnThisThread com;
  ComPtr<IMMDeviceEnumerator> devices;
  HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator), devices.outVoid());
  if (FAILED(hr)) return failure("the device enumerator", hr);
  ComPtr<IMMDevice> device;
  hr = devices->GetDefaultAudioEndpoint(eRender, eMultimedia, device.out());
  if (FAILED(hr)) return failure("the default output device", hr);
  ComPtr<IAudioSessionManager2> manager;
  hr = device->Activate(__uuidof(IAudioSessionManager2), CLSCTX_ALL, nullptr, manager.outVoid());
  if (FAILED(hr)) return failure("the session manager", hr);
  ComPtr<IAudioSessionEnumerator> sessions;
  hr = manager->GetSessionEnumerator(sessions.out());
  if (FAILED(hr)) return failure("the session list", hr);
  int count = 0;
  if (FAILED(hr = sessions->GetCount(&count))) return failure("the session count", hr);

  for (int i = 0; i < count; ++i) {
    ComPtr<IAudioSessionControl> control;
    ComPtr<IAudioSessionControl2> control2;
    ComPtr<ISimpleAudioVolume> volume;
    if (FAILED(sessions->GetSession(i, control.out())) ||
        FAILED(control->QueryInterface(__uuidof(IAudioSessionControl2), control2.outVoid())) ||
        FAILED(control->QueryInterface(__uuidof(ISimpleAudioVolume), volume.outVoid()))) {
      continue;
    }
    AudioSession s;
    DWORD process = 0;
    control2->GetProcessId(&process);  // 0 for a session of several processes
    s.processId = process;
    LPWSTR id = nullptr;
    if (SUCCEEDED(control2->GetSessionInstanceIdentifier(&id))) {
      s.id = utf8(id);
      CoTaskMemFree(id);
    }
    AudioSessionState state = AudioSessionStateInactive;
    control->GetState(&state);
    s.expired = state == AudioSessionStateExpired;
    BOOL muted = FALSE;
    if (FAILED(volume->GetMasterVolume(&s.volume)) || FAILED(volume->GetMute(&muted))) continue;
    s.muted = muted != FALSE;
    visit(s, *volume);
  }
  return {};
}

}  // namespace

std::optional<std::vector<AudioSession>> Win32AudioSessions::list() {
  std::vector<AudioSession> found;
  const std::string reason =
      walkSessions([&](const AudioSession& s, ISimpleAudioVolume&) { found.push_back(s); });
  if (reason.empty()) return found;
  if (!reasonTold_.exchange(true)) OutputDebugStringA(reason.c_str());
  return std::nullopt;
}

bool Win32AudioSessions::setVolume(std::uint32_t processId, const std::string& id, float volume) {
  bool set = false;
  walkSessions([&](const AudioSession& s, ISimpleAudioVolume& control) {
    if (!set && s.processId == processId && s.id == id) {
      set = SUCCEEDED(control.SetMasterVolume(volume, nullptr));
    }
  });
  return set;
}

std::uint32_t Win32AudioSessions::ownProcessId() { return GetCurrentProcessId(); }

}  // namespace tabiro
