#include "speech/win32/speech_dispatch_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "speech/win32/wide_text.h"
#include "ui/win32/dialog.h"

namespace tabiro {

namespace {

std::int32_t asLong(VARIANT& v) {
  if (VariantChangeType(&v, &v, 0, VT_I4) != S_OK) return 0;
  return v.lVal;
}

}  // namespace

bool Win32SpeechDispatch::create(const char* progId) {
  release();
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(widen(progId).c_str(), &clsid))) return false;
  IDispatch* dispatch = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return false;
  }
  dispatch_ = dispatch;
  return true;
}

void Win32SpeechDispatch::release() {
  if (dispatch_) dispatch_->Release();
  dispatch_ = nullptr;
}

void Win32SpeechDispatch::report(HRESULT hr, const EXCEPINFO& info) {
  std::string text = "音声合成コントロールのエラーです。";
  const std::string description = narrow(info.bstrDescription);
  if (!description.empty()) text += "\n" + description;
  char code[32];
  wsprintfA(code, "\n(0x%08lX)", static_cast<unsigned long>(hr));
  text += code;
  ui::showMessage(GetActiveWindow(), text.c_str(), MB_ICONSTOP);
}

VARIANT Win32SpeechDispatch::invoke(int dispId, WORD flags, DISPPARAMS& params) {
  VARIANT result;
  VariantInit(&result);
  if (!dispatch_) return result;
  EXCEPINFO info{};
  const bool wantsResult = flags != DISPATCH_PROPERTYPUT;
  const HRESULT hr = dispatch_->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       wantsResult ? &result : nullptr, &info, nullptr);
  if (FAILED(hr)) report(hr, info);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  return result;
}

void Win32SpeechDispatch::put(int dispId, VARIANT& value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  invoke(dispId, DISPATCH_PROPERTYPUT, params);
}

VARIANT Win32SpeechDispatch::get(int dispId) {
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  return invoke(dispId, DISPATCH_PROPERTYGET, params);
}

VARIANT Win32SpeechDispatch::call(int dispId, VARIANT& argument) {
  DISPPARAMS params{&argument, nullptr, 1, 0};
  return invoke(dispId, DISPATCH_METHOD, params);
}

void Win32SpeechDispatch::setLong(int dispId, std::int32_t value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  put(dispId, v);
}

void Win32SpeechDispatch::setBool(int dispId, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  put(dispId, v);
}

std::int32_t Win32SpeechDispatch::getLong(int dispId) {
  VARIANT v = get(dispId);
  const std::int32_t value = asLong(v);
  VariantClear(&v);
  return value;
}

bool Win32SpeechDispatch::getBool(int dispId) {
  VARIANT v = get(dispId);
  bool value = false;
  if (VariantChangeType(&v, &v, 0, VT_BOOL) == S_OK) value = v.boolVal != VARIANT_FALSE;
  VariantClear(&v);
  return value;
}

std::int32_t Win32SpeechDispatch::callWithString(int dispId, const std::string& argument) {
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(widen(argument).c_str());
  VARIANT result = call(dispId, arg);
  VariantClear(&arg);
  const std::int32_t value = asLong(result);
  VariantClear(&result);
  return value;
}

std::int32_t Win32SpeechDispatch::callWithLong(int dispId, std::int32_t argument) {
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_I4;
  arg.lVal = argument;
  VARIANT result = call(dispId, arg);
  const std::int32_t value = asLong(result);
  VariantClear(&result);
  return value;
}

}  // namespace tabiro
