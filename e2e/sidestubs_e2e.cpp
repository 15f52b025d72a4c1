// The stand-ins for the GPS player, the music players, the audio error boxes
// and the speech engine answer as the toolbar's own end-to-end tests expect.
#include "harness.h"

#include <oleauto.h>

namespace e2e {
namespace {

SIZE windowSize(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// --- gpsplayer.exe ---------------------------------------------------------------

TEST_F(E2eTest, GpsPlayerTogglesSViewOn119AndSViewResizesOn14) {
  startStub("gpsplayer.exe", "gpsplayer");
  HWND player = waitForWindow("GPSPLAYER", nullptr);
  ASSERT_TRUE(player);

  sendCommand(player, 119);
  HWND sview = FindWindowA("SViewClass", nullptr);
  ASSERT_TRUE(sview) << "SView must exist once 119 has been handled";
  SIZE first = windowSize(sview);
  sendCommand(sview, 14);
  SIZE second = windowSize(sview);
  EXPECT_NE(first.cx, second.cx);
  sendCommand(sview, 14);
  EXPECT_EQ(first.cx, windowSize(sview).cx);

  sendCommand(player, 4013);
  sendCommand(player, 119);
  EXPECT_FALSE(IsWindow(sview));

  StubLog& log = this->log("gpsplayer");
  EXPECT_EQ(2u, log.matching(isCommand("sview", 14)).size());
  EXPECT_TRUE(log.waitFor(isCommand("gpsplayer", 4013)));
  EXPECT_EQ(2u, log.matching(isCommand("gpsplayer", 119)).size());
}

TEST_F(E2eTest, GpsPlayerStartsSViewLateAndCancelsAPendingStart) {
  startStub("gpsplayer.exe", "gpsplayer", {"--sview-delay", "800"});
  HWND player = waitForWindow("GPSPLAYER", nullptr);
  ASSERT_TRUE(player);

  sendCommand(player, 119);
  EXPECT_FALSE(FindWindowA("SViewClass", nullptr));
  HWND sview = waitForWindow("SViewClass", nullptr);
  ASSERT_TRUE(sview);

  sendCommand(player, 119);  // closes
  sendCommand(player, 119);  // starts again ...
  sendCommand(player, 119);  // ... and is cancelled
  EXPECT_TRUE(log("gpsplayer").waitFor(isEvent("gpsplayer", "sview start cancelled")));
  EXPECT_FALSE(waitForWindow("SViewClass", nullptr, 1500));
}

TEST_F(E2eTest, GpsPlayerCanStartWithSViewOpen) {
  startStub("gpsplayer.exe", "gpsplayer", {"--sview-open"});
  EXPECT_TRUE(waitForWindow("GPSPLAYER", nullptr));
  EXPECT_TRUE(waitForWindow("SViewClass", nullptr));
}

// --- musicstub.exe -----------------------------------------------------------------

constexpr LPARAM kWinampState = 104, kWinampPosition = 105, kWinampJump = 106;

TEST_F(E2eTest, WinampAnswersStateAndPositionAndObeysStopPlayAndJump) {
  startStub("musicstub.exe", "winamp", {"--state", "3", "--position", "95000"});
  HWND winamp = waitForWindow("Winamp v1.x", nullptr);
  ASSERT_TRUE(winamp);

  EXPECT_EQ(3, send(winamp, WM_USER, 0, kWinampState));
  EXPECT_EQ(95000, send(winamp, WM_USER, 0, kWinampPosition));
  sendCommand(winamp, 40047);
  EXPECT_EQ(0, send(winamp, WM_USER, 0, kWinampState));
  sendCommand(winamp, 40045);
  EXPECT_EQ(1, send(winamp, WM_USER, 0, kWinampState));
  EXPECT_EQ(0, send(winamp, WM_USER, 42000, kWinampJump));
  EXPECT_EQ(42000, send(winamp, WM_USER, 0, kWinampPosition));
  EXPECT_TRUE(log("winamp").waitFor(isEvent("winamp", "jump to 42000")));
}

TEST_F(E2eTest, WinampCanRefuseTheJump) {
  startStub("musicstub.exe", "winamp", {"--refuse-jump", "--position", "5000"});
  HWND winamp = waitForWindow("Winamp v1.x", nullptr);
  ASSERT_TRUE(winamp);
  EXPECT_EQ(1, send(winamp, WM_USER, 0, kWinampState));
  EXPECT_EQ(-1, send(winamp, WM_USER, 42000, kWinampJump));
  EXPECT_EQ(5000, send(winamp, WM_USER, 0, kWinampPosition));
}

TEST_F(E2eTest, LayerThreePlayerShowsItsTrackAndWalksBackToIt) {
  startStub("musicstub.exe", "l3", {"--player", "l3", "--track", "3"});
  HWND player = waitForWindow("Windows Layer III Player", nullptr);
  ASSERT_TRUE(player);

  sendCommand(player, 40016);
  HWND info = FindWindowA(nullptr, "Track information");
  ASSERT_TRUE(info) << "the track information window must exist once 40016 has been handled";
  EXPECT_EQ("3", windowText(GetDlgItem(info, 1034)));
  sendCommand(info, 2);
  EXPECT_FALSE(IsWindow(info));

  sendCommand(player, 40011);
  sendCommand(player, 40014);
  sendCommand(player, 40014);
  sendCommand(player, 40010);
  EXPECT_TRUE(log("l3").waitFor(isEvent("l3player", "playing track 3")));
}

TEST_F(E2eTest, LayerThreePlayerCanShowNoTrackInformation) {
  startStub("musicstub.exe", "l3", {"--player", "l3", "--no-track-info"});
  HWND player = waitForWindow("Windows Layer III Player", nullptr);
  ASSERT_TRUE(player);
  sendCommand(player, 40016);
  EXPECT_FALSE(FindWindowA(nullptr, "Track information"));
}

// --- errorbox.exe --------------------------------------------------------------------

void cancelBox(HWND box) { sendCommand(box, 2, reinterpret_cast<LPARAM>(GetDlgItem(box, 2))); }

TEST_F(E2eTest, ErrorBoxesCloseOnCancelFromTheirButtonAndTheProgramEnds) {
  HANDLE boxes = startStub("errorbox.exe", "errorbox", {"--error", "2", "--init-error"});
  ASSERT_TRUE(waitForWindow(nullptr, "Error Initializing Audio"));
  for (const char* title : {"Error", "Error", "Error Initializing Audio"}) {
    HWND box = FindWindowA(nullptr, title);
    ASSERT_TRUE(box) << title;
    ASSERT_TRUE(GetDlgItem(box, 2));
    cancelBox(box);
    EXPECT_FALSE(IsWindow(box));
  }
  EXPECT_TRUE(waitForExit(boxes));
  EXPECT_EQ(3u, log("errorbox").matching([](const LogEntry& e) {
              return e.isEvent && e.event == "cancel (button handle)";
            }).size());
}

TEST_F(E2eTest, ErrorBoxesCanRefuseToClose) {
  startStub("errorbox.exe", "counted", {"--refuse", "1"});
  HWND box = waitForWindow(nullptr, "Error");
  ASSERT_TRUE(box);
  cancelBox(box);
  EXPECT_TRUE(IsWindow(box));
  cancelBox(box);
  EXPECT_FALSE(IsWindow(box));

  startStub("errorbox.exe", "stubborn", {"--init-error", "--refuse"});
  box = waitForWindow(nullptr, "Error Initializing Audio");
  ASSERT_TRUE(box);
  for (int i = 0; i < 3; ++i) cancelBox(box);
  EXPECT_TRUE(IsWindow(box));
  sendCommand(box, 2, 0);
  EXPECT_TRUE(log("stubborn").waitFor(isEvent("initerror1", "cancel refused (not the button)")));
}

// --- speechstub.dll ------------------------------------------------------------------

const char kClsidKey[] = "CLSID\\{5E0C3A71-8B2D-4C6F-9A14-2D7B9E3F1C58}\\InprocServer32";
const char* const kSettings[] = {"SPEECHSTUB_LOG", "SPEECHSTUB_BUSYREADS", "SPEECHSTUB_ENGINEQUERY",
                                 "SPEECHSTUB_FAILCREATE"};

// Creates the engine by ProgID, as the toolbar does, in this process, with the
// settings the test puts into the environment.
class SpeechStubTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    CoInitialize(nullptr);
    SetEnvironmentVariableA("SPEECHSTUB_LOG", log("speech").path().c_str());
  }
  void TearDown() override {
    if (engine_) engine_->Release();
    CoUninitialize();
    for (const char* name : kSettings) SetEnvironmentVariableA(name, nullptr);
    E2eTest::TearDown();
  }

  HRESULT create() {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"TOSTTSX.TOSTTSXCtrl.1", &clsid);
    if (FAILED(hr)) return hr;
    return CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&engine_));
  }

  HRESULT invoke(DISPID id, WORD flags, VARIANT* argument, bool namedPut, VARIANT* result) {
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {argument, namedPut ? &put : nullptr, argument ? 1u : 0u, namedPut ? 1u : 0u};
    return engine_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
  }
  HRESULT put(DISPID id, VARIANT value) { return invoke(id, DISPATCH_PROPERTYPUT, &value, true, nullptr); }
  VARIANT get(DISPID id) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(S_OK, invoke(id, DISPATCH_PROPERTYGET, nullptr, false, &result)) << "get " << id;
    return result;
  }
  VARIANT call(DISPID id, VARIANT argument) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(S_OK, invoke(id, DISPATCH_METHOD, &argument, false, &result)) << "call " << id;
    return result;
  }
  LONG getLong(DISPID id) {
    VARIANT v = get(id);
    EXPECT_EQ(VT_I4, V_VT(&v)) << "get " << id;
    return V_I4(&v);
  }
  VARIANT_BOOL getBool(DISPID id) {
    VARIANT v = get(id);
    EXPECT_EQ(VT_BOOL, V_VT(&v)) << "get " << id;
    return V_BOOL(&v);
  }
  LONG callLong(DISPID id, VARIANT argument) {
    VARIANT v = call(id, argument);
    EXPECT_EQ(VT_I4, V_VT(&v)) << "call " << id;
    return V_I4(&v);
  }
  bool busy() { return getBool(14) != VARIANT_FALSE; }

  static VARIANT longValue(LONG v) {
    VARIANT out;
    V_VT(&out) = VT_I4;
    V_I4(&out) = v;
    return out;
  }
  static VARIANT boolValue(VARIANT_BOOL v) {
    VARIANT out;
    V_VT(&out) = VT_BOOL;
    V_BOOL(&out) = v;
    return out;
  }
  bool logged(const std::string& event) {
    return log("speech").waitFor([&](const LogEntry& e) { return e.isEvent && e.event == event; }).has_value();
  }

  IDispatch* engine_ = nullptr;
};

TEST_F(SpeechStubTest, IsRegisteredFromThisBuild) {
  char path[MAX_PATH] = {};
  LONG size = sizeof path;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueA(HKEY_CLASSES_ROOT, kClsidKey, path, &size))
      << "run tools/speechstub/register.sh (ctest fixture speechstub)";
  EXPECT_EQ(0, lstrcmpiA(path, exePath("speechstub.dll").c_str())) << path;
}

TEST_F(SpeechStubTest, PropertiesStartUnlikeTheDefaultsAndReadBackWhatWasSet) {
  ASSERT_EQ(S_OK, create());
  EXPECT_EQ(3, getLong(1));
  EXPECT_EQ(VARIANT_FALSE, getBool(6));

  EXPECT_EQ(S_OK, put(12, longValue(23)));
  EXPECT_EQ(S_OK, put(6, boolValue(VARIANT_TRUE)));
  EXPECT_EQ(23, getLong(12));
  EXPECT_EQ(VARIANT_TRUE, getBool(6));
  EXPECT_TRUE(logged("put 12 Speed VT_I4 23"));
  EXPECT_TRUE(logged("put 6 Bidaku VT_BOOL true"));
  EXPECT_TRUE(logged("get 6 Bidaku true"));

  // A true that is not VARIANT_TRUE is kept and shown as its number.
  EXPECT_EQ(S_OK, put(3, boolValue(1)));
  EXPECT_TRUE(logged("put 3 Kutou VT_BOOL 1"));
}

TEST_F(SpeechStubTest, BusyReadsTrueForTheConfiguredCountAfterCreationAndEachSpeak) {
  SetEnvironmentVariableA("SPEECHSTUB_BUSYREADS", "2");
  ASSERT_EQ(S_OK, create());
  EXPECT_TRUE(busy());
  EXPECT_TRUE(busy());
  EXPECT_FALSE(busy());

  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = SysAllocString(L"この先、オービスです。");
  EXPECT_EQ(0, callLong(19, text));
  VariantClear(&text);
  EXPECT_TRUE(busy());
  EXPECT_TRUE(busy());
  EXPECT_FALSE(busy());
  // The narrow literal is Shift-JIS, as the log is.
  EXPECT_TRUE(logged("call 19 Speak VT_BSTR 0 この先、オービスです。"));
}

TEST_F(SpeechStubTest, EngineQueryAndCreationFollowTheEnvironment) {
  SetEnvironmentVariableA("SPEECHSTUB_ENGINEQUERY", "0");
  ASSERT_EQ(S_OK, create());
  EXPECT_EQ(0, callLong(21, longValue(0)));
  engine_->Release();
  engine_ = nullptr;
  EXPECT_TRUE(logged("release"));

  SetEnvironmentVariableA("SPEECHSTUB_FAILCREATE", "1");
  EXPECT_TRUE(FAILED(create()));
  EXPECT_FALSE(engine_);
  EXPECT_TRUE(logged("refused"));
}

TEST_F(SpeechStubTest, RefusesNamesReadOnlyPutsAndPutsWithoutTheNamedArgument) {
  ASSERT_EQ(S_OK, create());
  LPOLESTR name = const_cast<LPOLESTR>(L"Speak");
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, engine_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
  VARIANT value = longValue(1);
  EXPECT_EQ(DISP_E_PARAMNOTFOUND, invoke(1, DISPATCH_PROPERTYPUT, &value, false, nullptr));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, put(14, boolValue(VARIANT_FALSE)));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, invoke(13, DISPATCH_PROPERTYGET, nullptr, false, nullptr));
  EXPECT_EQ(3, getLong(1));
}

}  // namespace
}  // namespace e2e
