// The stand-ins for the GPS player, the music players, the audio error boxes
// and the speech engine answer as the toolbar's own end-to-end tests expect.
#include "harness.h"

#include <oleauto.h>

#include "gps/gps_control.h"
#include "guidance/music_players.h"
#include "mapctl/map_commands.h"
#include "speech/speech_control.h"

namespace e2e {
namespace {

using namespace tabiro;  // the side programs' command ids

SIZE windowSize(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// --- gpsplayer.exe ---------------------------------------------------------------

TEST_F(E2eTest, GpsPlayerTogglesSViewAndSViewResizesOnTheirCommands) {
  startStub("gpsplayer.exe", "gpsplayer");
  HWND player = waitForWindow("GPSPLAYER", nullptr);
  ASSERT_TRUE(player);

  sendCommand(player, kGpsPlayerCommand);
  HWND sview = FindWindowA("SViewClass", nullptr);
  ASSERT_TRUE(sview) << "SView must exist once kGpsPlayerCommand has been handled";
  SIZE first = windowSize(sview);
  sendCommand(sview, kSViewCommand);
  SIZE second = windowSize(sview);
  EXPECT_NE(first.cx, second.cx);
  sendCommand(sview, kSViewCommand);
  EXPECT_EQ(first.cx, windowSize(sview).cx);

  sendCommand(player, kGpsReliefCommand);
  sendCommand(player, kGpsPlayerCommand);
  EXPECT_FALSE(IsWindow(sview));

  StubLog& log = this->log("gpsplayer");
  EXPECT_EQ(2u, log.matching(isCommand("sview", kSViewCommand)).size());
  EXPECT_TRUE(log.waitFor(isCommand("gpsplayer", kGpsReliefCommand)));
  EXPECT_EQ(2u, log.matching(isCommand("gpsplayer", kGpsPlayerCommand)).size());
}

TEST_F(E2eTest, GpsPlayerStartsSViewLateAndCancelsAPendingStart) {
  startStub("gpsplayer.exe", "gpsplayer", {"--sview-delay", "800"});
  HWND player = waitForWindow("GPSPLAYER", nullptr);
  ASSERT_TRUE(player);

  sendCommand(player, kGpsPlayerCommand);
  EXPECT_FALSE(FindWindowA("SViewClass", nullptr));
  HWND sview = waitForWindow("SViewClass", nullptr);
  ASSERT_TRUE(sview);

  sendCommand(player, kGpsPlayerCommand);  // closes
  sendCommand(player, kGpsPlayerCommand);  // starts again ...
  sendCommand(player, kGpsPlayerCommand);  // ... and is cancelled
  EXPECT_TRUE(log("gpsplayer").waitFor(isEvent("gpsplayer", "sview start cancelled")));
  EXPECT_FALSE(waitForWindow("SViewClass", nullptr, 1500));
}

TEST_F(E2eTest, GpsPlayerCanStartWithSViewOpen) {
  startStub("gpsplayer.exe", "gpsplayer", {"--sview-open"});
  EXPECT_TRUE(waitForWindow("GPSPLAYER", nullptr));
  EXPECT_TRUE(waitForWindow("SViewClass", nullptr));
}

// --- musicstub.exe -----------------------------------------------------------------

TEST_F(E2eTest, WinampAnswersStateAndPositionAndObeysStopPlayAndJump) {
  startStub("musicstub.exe", "winamp", {"--state", "3", "--position", "95000"});
  HWND winamp = waitForWindow("Winamp v1.x", nullptr);
  ASSERT_TRUE(winamp);

  EXPECT_EQ(3, send(winamp, WM_USER, 0, kWinampGetState));
  EXPECT_EQ(95000, send(winamp, WM_USER, 0, kWinampGetPosition));
  sendCommand(winamp, kWinampStop);
  EXPECT_EQ(0, send(winamp, WM_USER, 0, kWinampGetState));
  sendCommand(winamp, kWinampPlay);
  EXPECT_EQ(1, send(winamp, WM_USER, 0, kWinampGetState));
  EXPECT_EQ(0, send(winamp, WM_USER, 42000, kWinampJumpTo));
  EXPECT_EQ(42000, send(winamp, WM_USER, 0, kWinampGetPosition));
  EXPECT_TRUE(log("winamp").waitFor(isEvent("winamp", "jump to 42000")));
}

TEST_F(E2eTest, WinampCanRefuseTheJump) {
  startStub("musicstub.exe", "winamp", {"--refuse-jump", "--position", "5000"});
  HWND winamp = waitForWindow("Winamp v1.x", nullptr);
  ASSERT_TRUE(winamp);
  EXPECT_EQ(1, send(winamp, WM_USER, 0, kWinampGetState));
  EXPECT_EQ(-1, send(winamp, WM_USER, 42000, kWinampJumpTo));
  EXPECT_EQ(5000, send(winamp, WM_USER, 0, kWinampGetPosition));
}

TEST_F(E2eTest, LayerThreePlayerShowsItsTrackAndWalksBackToIt) {
  startStub("musicstub.exe", "l3", {"--player", "l3", "--track", "3"});
  HWND player = waitForWindow("Windows Layer III Player", nullptr);
  ASSERT_TRUE(player);

  sendCommand(player, kLayer3TrackInfo);
  HWND info = FindWindowA(nullptr, kTrackInfoTitle);
  ASSERT_TRUE(info) << "the track information window must exist once kLayer3TrackInfo has been handled";
  EXPECT_EQ("3", windowText(GetDlgItem(info, kTrackNumberControl)));
  sendCommand(info, IDCANCEL);
  EXPECT_FALSE(IsWindow(info));

  sendCommand(player, kLayer3Silence);
  sendCommand(player, kLayer3NextTrack);
  sendCommand(player, kLayer3NextTrack);
  sendCommand(player, kLayer3Play);
  EXPECT_TRUE(log("l3").waitFor(isEvent("l3player", "playing track 3")));
}

TEST_F(E2eTest, LayerThreePlayerCanShowNoTrackInformation) {
  startStub("musicstub.exe", "l3", {"--player", "l3", "--no-track-info"});
  HWND player = waitForWindow("Windows Layer III Player", nullptr);
  ASSERT_TRUE(player);
  sendCommand(player, kLayer3TrackInfo);
  EXPECT_FALSE(FindWindowA(nullptr, kTrackInfoTitle));
}

// --- errorbox.exe --------------------------------------------------------------------

void cancelBox(HWND box) { sendCommand(box, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL))); }

TEST_F(E2eTest, ErrorBoxesCloseOnCancelFromTheirButtonAndTheProgramEnds) {
  HANDLE boxes = startStub("errorbox.exe", "errorbox", {"--error", "2", "--init-error"});
  ASSERT_TRUE(waitForWindow(nullptr, "Error Initializing Audio"));
  for (const char* title : {"Error", "Error", "Error Initializing Audio"}) {
    HWND box = FindWindowA(nullptr, title);
    ASSERT_TRUE(box) << title;
    ASSERT_TRUE(GetDlgItem(box, IDCANCEL));
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
  sendCommand(box, IDCANCEL, 0);
  EXPECT_TRUE(log("stubborn").waitFor(isEvent("initerror1", "cancel refused (not the button)")));
}

// --- speechstub.dll ------------------------------------------------------------------

const char kClsidKey[] = "CLSID\\{5E0C3A71-8B2D-4C6F-9A14-2D7B9E3F1C58}\\InprocServer32";
const char* const kSettings[] = {"SPEECHSTUB_LOG", "SPEECHSTUB_BUSYREADS", "SPEECHSTUB_ENGINEQUERY",
                                 "SPEECHSTUB_FAILCREATE"};

// Creates the engine by ProgID, as the toolbar does, in this process, with the
// settings the test puts into the environment.
// A dispatch id between the control's members that names none of them.
constexpr DISPID kNoSuchMember = 13;

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
  bool busy() { return getBool(speech_id::kBusy) != VARIANT_FALSE; }

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
  EXPECT_EQ(3, getLong(speech_id::kCharacter));
  EXPECT_EQ(VARIANT_FALSE, getBool(speech_id::kBidaku));

  EXPECT_EQ(S_OK, put(speech_id::kSpeed, longValue(23)));
  EXPECT_EQ(S_OK, put(speech_id::kBidaku, boolValue(VARIANT_TRUE)));
  EXPECT_EQ(23, getLong(speech_id::kSpeed));
  EXPECT_EQ(VARIANT_TRUE, getBool(speech_id::kBidaku));
  EXPECT_TRUE(logged("put 12 Speed VT_I4 23"));
  EXPECT_TRUE(logged("put 6 Bidaku VT_BOOL true"));
  EXPECT_TRUE(logged("get 6 Bidaku true"));

  // A true that is not VARIANT_TRUE is kept and shown as its number.
  EXPECT_EQ(S_OK, put(speech_id::kKutou, boolValue(1)));
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
  EXPECT_EQ(0, callLong(speech_id::kSpeak, text));
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
  EXPECT_EQ(0, callLong(speech_id::kEngineQuery, longValue(0)));
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
  EXPECT_EQ(DISP_E_PARAMNOTFOUND, invoke(speech_id::kCharacter, DISPATCH_PROPERTYPUT, &value, false, nullptr));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, put(speech_id::kBusy, boolValue(VARIANT_FALSE)));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, invoke(kNoSuchMember, DISPATCH_PROPERTYGET, nullptr, false, nullptr));
  EXPECT_EQ(3, getLong(speech_id::kCharacter));
}

}  // namespace
}  // namespace e2e
