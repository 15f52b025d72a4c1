#include "speech/win32/sapi_voice_win32.h"

#include <windows.h>

#include <string>

#include "speech/win32/wide_text.h"

namespace tabiro {

namespace {

// The desktop voices' category; voices of the newer speech platform
// (Speech_OneCore) live elsewhere and are not SAPI 5 voices.
constexpr const wchar_t* kVoiceTokens = L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";

std::string stringValue(HKEY key, const wchar_t* name) {
  wchar_t text[256] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return narrow(text);
}

// The token of the key as the system's token object, for SetVoice.
ISpObjectToken* tokenFor(const std::string& tokenKey) {
  ISpObjectToken* token = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpObjectToken, nullptr, CLSCTX_ALL, IID_ISpObjectToken,
                              reinterpret_cast<void**>(&token)))) {
    return nullptr;
  }
  const std::wstring id =
      std::wstring(L"HKEY_LOCAL_MACHINE\\") + kVoiceTokens + L"\\" + widen(tokenKey);
  if (FAILED(token->SetId(nullptr, id.c_str(), FALSE))) {
    token->Release();
    return nullptr;
  }
  return token;
}

}  // namespace

std::vector<SapiVoiceToken> Win32SapiVoice::installedVoices() {
  std::vector<SapiVoiceToken> voices;
  HKEY tokens = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kVoiceTokens, 0, KEY_READ, &tokens) != ERROR_SUCCESS)
    return voices;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(tokens, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    HKEY attributes = nullptr;
    const std::wstring path = std::wstring(name) + L"\\Attributes";
    if (RegOpenKeyExW(tokens, path.c_str(), 0, KEY_READ, &attributes) != ERROR_SUCCESS) continue;
    voices.push_back({narrow(name), stringValue(attributes, L"Name"),
                      stringValue(attributes, L"Language")});
    RegCloseKey(attributes);
  }
  RegCloseKey(tokens);
  return voices;
}

bool Win32SapiVoice::open(const std::string& tokenKey) {
  ISpVoice* voice = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                              reinterpret_cast<void**>(&voice)))) {
    return false;
  }
  ISpObjectToken* token = tokenFor(tokenKey);
  // A voice that cannot take the token, or cannot purge its empty queue,
  // cannot speak: Wine's own SpVoice answers E_NOTIMPL to both.
  const bool speaks = token && SUCCEEDED(voice->SetVoice(token)) &&
                      SUCCEEDED(voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr));
  if (token) token->Release();
  if (!speaks) {
    voice->Release();
    return false;
  }
  close();
  voice_ = voice;
  return true;
}

void Win32SapiVoice::close() {
  if (!voice_) return;
  voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
  voice_->Release();
  voice_ = nullptr;
}

bool Win32SapiVoice::speak(const std::string& text) {
  if (!voice_) return false;
  const std::wstring wide = widen(text);
  return SUCCEEDED(voice_->Speak(wide.c_str(), SPF_ASYNC | SPF_IS_NOT_XML, nullptr));
}

PhraseProgress Win32SapiVoice::progress() {
  if (!voice_) return PhraseProgress::Failed;
  const HRESULT waited = voice_->WaitUntilDone(0);
  if (FAILED(waited)) return PhraseProgress::Failed;
  if (waited != S_OK) return PhraseProgress::Speaking;
  SPVOICESTATUS status{};
  if (FAILED(voice_->GetStatus(&status, nullptr)) || FAILED(status.hrLastResult))
    return PhraseProgress::Failed;
  return PhraseProgress::Done;
}

void Win32SapiVoice::purge() {
  if (voice_) voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
}

void Win32SapiVoice::setRate(int rate) {
  if (voice_) voice_->SetRate(rate);
}

void Win32SapiVoice::setVolume(int volume) {
  if (voice_) voice_->SetVolume(static_cast<USHORT>(volume));
}

}  // namespace tabiro
