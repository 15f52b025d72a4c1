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

std::wstring wide(const std::string& text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 1) return {};
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), size);
  out.resize(static_cast<std::size_t>(size) - 1);
  return out;
}

// The identifier a session call hands out, taken over and freed.
std::string takeIdentifier(HRESULT hr, LPWSTR id) {
  std::string out = SUCCEEDED(hr) ? utf8(id) : std::string();
  CoTaskMemFree(id);
  return out;
}

// The program file of a process; empty for a session of several processes
// (process 0) or one this user may not look into.
std::string programOf(DWORD process) {
  if (process == 0) return {};
  const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (!handle) return {};
  wchar_t path[MAX_PATH * 2];
  DWORD size = MAX_PATH * 2;
  const BOOL found = QueryFullProcessImageNameW(handle, 0, path, &size);
  CloseHandle(handle);
  return found ? utf8(path) : std::string();
}

using SessionVisitor = std::function<void(AudioSession&, ISimpleAudioVolume&)>;

// Visits every session of one output device; a failure when it has no
// session list, with `step` naming what failed.
HRESULT walkDevice(IMMDevice& device, const SessionVisitor& visit, const char*& step) {
  ComPtr<IAudioSessionManager2> manager;
  step = "the session manager";
  HRESULT hr = device.Activate(__uuidof(IAudioSessionManager2), CLSCTX_ALL, nullptr,
                               manager.outVoid());
  if (FAILED(hr)) return hr;
  ComPtr<IAudioSessionEnumerator> sessions;
  step = "the session list";
  if (FAILED(hr = manager->GetSessionEnumerator(sessions.out()))) return hr;
  int count = 0;
  step = "the session count";
  if (FAILED(hr = sessions->GetCount(&count))) return hr;

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
    s.instanceId = takeIdentifier(control2->GetSessionInstanceIdentifier(&id), id);
    id = nullptr;
    s.sessionId = takeIdentifier(control2->GetSessionIdentifier(&id), id);
    s.systemSounds = control2->IsSystemSoundsSession() == S_OK;
    AudioSessionState state = AudioSessionStateInactive;
    control->GetState(&state);
    s.expired = state == AudioSessionStateExpired;
    BOOL muted = FALSE;
    if (FAILED(volume->GetMasterVolume(&s.volume)) || FAILED(volume->GetMute(&muted))) continue;
    s.muted = muted != FALSE;
    visit(s, *volume);
  }
  return S_OK;
}

// Visits every session of every active output device (a program may play
// to a Bluetooth speaker while another device is the default); the reason
// when not one device has a session list.
std::string walkSessions(const SessionVisitor& visit) {
  const ComOnThisThread com;
  ComPtr<IMMDeviceEnumerator> enumerator;
  HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator), enumerator.outVoid());
  if (FAILED(hr)) return failure("the device enumerator", hr);
  ComPtr<IMMDeviceCollection> devices;
  hr = enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, devices.out());
  if (FAILED(hr)) return failure("the output devices", hr);
  UINT count = 0;
  if (FAILED(hr = devices->GetCount(&count))) return failure("the device count", hr);
  if (count == 0) return failure("the output devices (none active)", S_FALSE);

  std::string reason;
  bool anyListed = false;
  for (UINT i = 0; i < count; ++i) {
    ComPtr<IMMDevice> device;
    const char* step = "the output device";
    hr = devices->Item(i, device.out());
    if (SUCCEEDED(hr)) hr = walkDevice(*device, visit, step);
    if (SUCCEEDED(hr)) {
      anyListed = true;
    } else if (reason.empty()) {
      reason = failure(step, hr);
    }
  }
  return anyListed ? std::string() : reason;
}

}  // namespace

std::optional<std::vector<AudioSession>> Win32AudioSessions::list() {
  std::vector<AudioSession> found;
  const std::string reason = walkSessions([&](AudioSession& s, ISimpleAudioVolume&) {
    s.executable = programOf(s.processId);
    found.push_back(std::move(s));
  });
  if (reason.empty()) return found;
  if (!reasonTold_.exchange(true)) OutputDebugStringA(reason.c_str());
  return std::nullopt;
}

std::vector<bool> Win32AudioSessions::setVolumes(const std::vector<VolumeChange>& changes) {
  std::vector<bool> done(changes.size(), false);
  walkSessions([&](const AudioSession& s, ISimpleAudioVolume& control) {
    for (std::size_t i = 0; i < changes.size(); ++i) {
      if (!done[i] && changes[i].instanceId == s.instanceId) {
        done[i] = SUCCEEDED(control.SetMasterVolume(changes[i].volume, nullptr));
      }
    }
  });
  return done;
}

bool Win32AudioSessions::programExists(const std::string& executable) {
  return GetFileAttributesW(wide(executable).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::uint32_t Win32AudioSessions::ownProcessId() { return GetCurrentProcessId(); }

}  // namespace tabiro
