// Announcements end to end: the hooked build of Tabiro2.exe (announce_hook.h)
// announces as the guidance engine does, beside the speech engine and music
// player stand-ins. Sounds are observable through the suite's ALSA sink
// (scripts/lib/sound-sink), which logs every sound played with its start and
// end on the stand-ins' clock, in $HOME/sounds.log.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "guidance/music_players.h"
#include "platform/win32/adapters_win32.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr int kKomaSeconds = 2;
constexpr int kPopupTimeoutMs = 20000;

// A sound the sink logged: when it played and for how long.
struct PlayedSound {
  uint64_t startMs = 0;
  uint64_t endMs = 0;
  int lengthMs = 0;
};

// The sounds logged from entry `from` on.
std::vector<PlayedSound> playedSounds(StubLog& log, size_t from) {
  std::vector<PlayedSound> sounds;
  const std::vector<LogEntry>& entries = log.entries();
  for (size_t i = from; i < entries.size(); ++i) {
    const LogEntry& e = entries[i];
    if (!isEvent("sound", "played")(e)) continue;
    PlayedSound s;
    unsigned long long start = 0, bytes = 0;
    if (std::sscanf(e.event.c_str(), "played %llu %d %llu", &start, &s.lengthMs, &bytes) == 3 &&
        bytes > 0) {
      s.startMs = start;
      s.endMs = e.timeMs;
      sounds.push_back(s);
    }
  }
  return sounds;
}

// Length of a WAV file's sound in milliseconds, from its header.
int wavLengthMs(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  unsigned char header[44] = {};
  const size_t n = std::fread(header, 1, sizeof header, f);
  std::fclose(f);
  if (n != sizeof header) return -1;
  auto u32 = [&](int at) {
    return header[at] | header[at + 1] << 8 | header[at + 2] << 16 | unsigned(header[at + 3]) << 24;
  };
  const unsigned bytesPerSecond = u32(28);
  return bytesPerSecond ? static_cast<int>(u32(40) * 1000ull / bytesPerSecond) : -1;
}

// The same sound: lengths within 10 % (the sink may get a period of padding).
bool sameLength(int playedMs, int fileMs) {
  return playedMs >= fileMs * 9 / 10 && playedMs <= fileMs * 11 / 10 + 50;
}

// The sink's log: scripts/lib/wine-env.sh makes build/wine-home the HOME of
// the suite (the Windows side does not see HOME itself).
std::string soundLogPath() { return sourcePath("build/wine-home/sounds.log"); }

class AnnounceTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    soundLog_ = std::make_unique<StubLog>(soundLogPath());
    soundsBefore_ = soundLog_->size();
    SetEnvironmentVariableA("SPEECHSTUB_LOG", log("speech").path().c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("SPEECHSTUB_LOG", nullptr);
    E2eTest::TearDown();
  }

  std::string hookedDir() { return fullPath(binDir() + "\\..\\hooked"); }

  // The hooked toolbar with no map program, in a working folder without
  // pictures or sounds: they must be found beside the exe.
  HWND startHooked(const std::string& extraProfile = "", int komaSeconds = kKomaSeconds) {
    removeProfile();
    writeProfile("[Rot]\r\nKomatime=" + std::to_string(komaSeconds) + "\r\n" + extraProfile);
    hooked_ = start(hookedDir() + "\\Tabiro2.exe", {}, SW_SHOWNORMAL, testDir());
    HWND toolbar = nullptr;
    waitUntil([&] {
      toolbar = FindWindowA(nullptr, "Tabiro2");
      return toolbar && IsWindowVisible(toolbar);
    }, 20000);
    EXPECT_TRUE(toolbar) << "the hooked toolbar did not show";
    return toolbar;
  }

  // One announcement, as the guidance engine makes it.
  void announce(HWND toolbar, const std::string& fields) {
    COPYDATASTRUCT data = {0, static_cast<DWORD>(fields.size()), const_cast<char*>(fields.data())};
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(toolbar, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                    SMTO_ABORTIFHUNG, kTimeoutMs, &result));
  }

  // The hooked toolbar's picture popups on screen: IDD_PICTURE_POPUP with its caption.
  std::vector<HWND> popups() {
    struct Search {
      DWORD pid;
      std::vector<HWND> found;
    } search{GetProcessId(hooked_), {}};
    EnumWindows([](HWND window, LPARAM param) -> BOOL {
      auto* s = reinterpret_cast<Search*>(param);
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      if (pid == s->pid && IsWindowVisible(window) && windowClass(window) == "#32770" &&
          GetDlgItem(window, IDC_PICTURE_CAPTION) && GetDlgItem(window, IDC_PICTURE_FILE)) {
        s->found.push_back(window);
      }
      return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  HWND waitForPopup() {
    HWND popup = nullptr;
    waitUntil([&] {
      const auto shown = popups();
      popup = shown.empty() ? nullptr : shown.front();
      return popup != nullptr;
    }, kPopupTimeoutMs);
    return popup;
  }

  std::string shippedFile(const std::string& name) { return hookedDir() + "\\" + name; }
  // The sounds played since the test began.
  std::vector<PlayedSound> sounds() { return playedSounds(*soundLog_, soundsBefore_); }

  HANDLE hooked_ = nullptr;
  std::unique_ptr<StubLog> soundLog_;
  size_t soundsBefore_ = 0;
};

// "この先、オービス" + the text + "です。スピード注意！", as the engine says it.
const std::string kCameraSpeech = "この先、オービスレーダです。スピード注意！";

TEST_F(AnnounceTest, SpeechEngineSaysTheTextAfterTheChimeAndNoWavFilePlays) {
  HWND toolbar = startHooked();
  ASSERT_TRUE(toolbar);
  announce(toolbar, "speech=" + kCameraSpeech + "\ncamera=レーダ\nwav=ovis1_l.wav\n");
  const auto speak = log("speech").waitFor(isEvent("speech", "call 19 Speak"), kPopupTimeoutMs);
  ASSERT_TRUE(speak) << "the speech engine was never asked to speak";
  const std::string& said = speak->event;
  ASSERT_GE(said.size(), kCameraSpeech.size());
  EXPECT_EQ(said.substr(said.size() - kCameraSpeech.size()), kCameraSpeech) << said;
  EXPECT_EQ(said.substr(0, said.size() - kCameraSpeech.size()).find(kCameraSpeech), std::string::npos);

  // The picture stays its time; by then every sound of the announcement has
  // played: the chime alone, before the speech.
  ASSERT_TRUE(waitForPopup());
  ASSERT_TRUE(waitUntil([&] { return popups().empty(); }, kPopupTimeoutMs));
  const auto sounds = this->sounds();
  ASSERT_EQ(sounds.size(), 1u) << "expected the chime alone in " << soundLogPath();
  EXPECT_TRUE(sameLength(sounds[0].lengthMs, wavLengthMs(sourcePath("res/wav/DING.wav"))));
  EXPECT_LT(sounds[0].endMs, speak->timeMs);
}

TEST_F(AnnounceTest, WinampIsStoppedTheWavFilePlaysThenWinampPlaysOnWhereItWas) {
  startStub("musicstub.exe", "winamp", {"--player", "winamp", "--state", "1", "--position", "95000"});
  ASSERT_TRUE(waitForWindow("Winamp v1.x", nullptr));
  HWND toolbar = startHooked();
  ASSERT_TRUE(toolbar);
  announce(toolbar, "speech=まもなく右方向です。\nwaypoint=交差点x右\nwav=右方向.wav\n");
  StubLog& winamp = log("winamp");
  const auto jumped = winamp.waitFor(isEvent("winamp", "jump to"), kPopupTimeoutMs);
  ASSERT_TRUE(jumped) << "Winamp was not told to jump back";
  EXPECT_EQ(jumped->event, "jump to 95000");

  const auto state = winamp.waitFor(isMessage("winamp", WM_USER));
  const auto stop = winamp.waitFor(isCommand("winamp", tabiro::kWinampStop));
  const auto play = winamp.waitFor(isCommand("winamp", tabiro::kWinampPlay));
  ASSERT_TRUE(state && stop && play);
  EXPECT_EQ(state->lParam, static_cast<uint64_t>(tabiro::kWinampGetState));
  const auto sounds = this->sounds();
  ASSERT_EQ(sounds.size(), 2u) << "expected the chime and the WAV file";
  EXPECT_TRUE(sameLength(sounds[0].lengthMs, wavLengthMs(sourcePath("res/wav/DING.wav"))));
  EXPECT_TRUE(sameLength(sounds[1].lengthMs, wavLengthMs(shippedFile("右方向.wav"))))
      << sounds[1].lengthMs << " ms played";
  // Stop, chime, WAV file, play: in this order.
  EXPECT_LT(stop->timeMs, sounds[0].startMs);
  EXPECT_LE(sounds[0].endMs, sounds[1].startMs);
  EXPECT_LT(sounds[1].endMs, play->timeMs);
  EXPECT_LE(play->timeMs, jumped->timeMs);
  // A player window means WAV files: the speech engine says nothing.
  EXPECT_TRUE(log("speech").matching(isEvent("speech", "call 19 Speak")).empty());
}

TEST_F(AnnounceTest, WithOtherProgramsLoweredAnnouncementsStillPlayAndTheLayerThreePlayerResumes) {
  // Wine offers no session list: announcements must go on as without it.
  startStub("musicstub.exe", "l3", {"--player", "l3", "--track", "3"});
  ASSERT_TRUE(waitForWindow("Windows Layer III Player", nullptr));
  HWND toolbar = startHooked("[Tabiro Info]\r\nDuck=1\r\nDuckLevel=20\r\n");
  ASSERT_TRUE(toolbar);
  StubLog& player = log("l3");
  for (int round = 1; round <= 2; ++round) {
    const size_t mark = player.size();
    announce(toolbar, "speech=まもなく右方向です。\nwaypoint=交差点x右\nwav=右方向.wav\n");
    const auto stopped = player.waitFor(isEvent("l3player", "stopped"), kPopupTimeoutMs, mark);
    const auto playing =
        player.waitFor(isEvent("l3player", "playing track 3"), kPopupTimeoutMs, mark);
    ASSERT_TRUE(stopped && playing) << "announcement " << round << " in " << player.path();
    EXPECT_LT(stopped->timeMs, playing->timeMs);
  }
  const auto sounds = this->sounds();
  ASSERT_EQ(sounds.size(), 4u) << "expected the chime and the WAV file twice";
  for (size_t i : {1u, 3u}) {
    EXPECT_TRUE(sameLength(sounds[i].lengthMs, wavLengthMs(shippedFile("右方向.wav"))))
        << sounds[i].lengthMs << " ms played";
  }
  // Nothing is left to restore at the next start.
  std::string restoreFile = profilePath();
  restoreFile.replace(restoreFile.size() - 4, 4, ".vol");
  EXPECT_TRUE(waitUntil([&] {
    return GetFileAttributesA(restoreFile.c_str()) == INVALID_FILE_ATTRIBUTES;
  })) << restoreFile;
}

// Whether the popup shows `colour` (the arrow's yellow, the camera frame's
// red) in both its upper and its lower half: the picture was drawn whole.
// Then saves it as the driver sees it.
bool pictureDrawn(HWND popup, const std::string& bmpName, COLORREF colour) {
  RECT r{};
  GetWindowRect(popup, &r);
  const LONG middle = (r.top + r.bottom) / 2;
  HDC screen = GetDC(nullptr);
  auto holds = [&](LONG top, LONG bottom) {
    for (LONG y = top; y < bottom; y += 2) {
      for (LONG x = r.left; x < r.right; x += 2) {
        if (GetPixel(screen, x, y) == colour) return true;
      }
    }
    return false;
  };
  const bool drawn = holds(r.top, middle) && holds(middle, r.bottom);
  ReleaseDC(nullptr, screen);
  if (drawn) {
    EXPECT_TRUE(saveScreenshot(artifactsRoot() + "\\" + bmpName, r));
  }
  return drawn;
}

TEST_F(AnnounceTest, CameraPopupStandsBelowTheToolbarWithItsCaptionForKomatime) {
  HWND toolbar = startHooked("[Tabiro Info]\r\nChaim=1\r\n");
  ASSERT_TRUE(toolbar);
  const std::string text = "ループコイル バイパス";
  announce(toolbar, "speech=x\ncamera=" + text + "\nwav=ovis3_h.wav\n");
  HWND popup = waitForPopup();
  ASSERT_TRUE(popup);
  const uint64_t seenAt = GetTickCount64();
  EXPECT_EQ(controlText(popup, IDC_PICTURE_CAPTION), text);
  EXPECT_EQ(controlText(popup, IDC_PICTURE_FILE), "ovis3_h.bmp");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(popup, IDC_PICTURE_FILE)));
  // (0, 21) in dialog units: flush left, 21 of the 110 units of its height down.
  RECT window{}, client{};
  GetWindowRect(popup, &window);
  GetClientRect(popup, &client);
  EXPECT_EQ(window.left, 0);
  // Wine rounds the place and the size by their own base units: allow a few pixels.
  const int expectedTop = (21 * client.bottom + 55) / 110;
  EXPECT_NEAR(window.top, expectedTop, 4) << "client height " << client.bottom;
  std::printf("picture popup at (%ld, %ld), %ld x %ld\n", window.left, window.top,
              window.right - window.left, window.bottom - window.top);
  EXPECT_TRUE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Drawn from the file beside the exe although the working folder has none.
  EXPECT_TRUE(waitUntil([&] { return pictureDrawn(popup, "camera-popup.bmp", RGB(220, 20, 30)); }));

  ASSERT_TRUE(waitUntil([&] { return !IsWindow(popup); }, kPopupTimeoutMs)) << "the popup stayed";
  const uint64_t lived = GetTickCount64() - seenAt;
  std::printf("camera popup seen for %llu ms (Komatime %d s)\n", static_cast<unsigned long long>(lived),
              kKomaSeconds);
  // Chaim 1: the chime was the whole sound.
  const auto sounds = this->sounds();
  ASSERT_EQ(sounds.size(), 1u);
}

TEST_F(AnnounceTest, JunctionPopupShowsTheArrowAndTwoAnnouncementsStandTwoPopups) {
  // Long enough for both to stand together whatever the two chimes take.
  HWND toolbar = startHooked("[Tabiro Info]\r\nChaim=1\r\n", 8);
  ASSERT_TRUE(toolbar);
  announce(toolbar, "speech=x\nwaypoint=交差点x右 sk02\nwav=右方向.wav\n");
  announce(toolbar, "speech=x\ncamera=newオービス\nwav=オービス.wav\n");
  ASSERT_TRUE(waitUntil([&] { return popups().size() == 2; }, kPopupTimeoutMs))
      << popups().size() << " popups";
  HWND junction = nullptr;
  for (HWND popup : popups()) {
    if (controlText(popup, IDC_PICTURE_FILE) == "X右.bmp") junction = popup;
  }
  ASSERT_TRUE(junction) << "no X右.bmp popup";
  EXPECT_EQ(controlText(junction, IDC_PICTURE_CAPTION), "");
  // Uncovered, it paints its picture again. Raised again while it is not
  // seen: the camera's popup, mapped on its own thread, may come up over it
  // after the first raise.
  EXPECT_TRUE(waitUntil([&] {
    if (pictureDrawn(junction, "junction-popup.bmp", RGB(255, 204, 0))) return true;
    SetWindowPos(junction, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(junction, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return false;
  }));
  EXPECT_TRUE(waitUntil([&] { return popups().empty(); }, kPopupTimeoutMs));
}

// Wine's own PlaySound and LoadImage also look beside the program, so the
// lookup itself is checked here, on the adapters' function.
TEST_F(E2eTest, BareNamesAreFoundInTheWorkingFolderFirstThenBesideTheProgram) {
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(testDir().c_str()));
  // tabiro_e2e.exe stands in the release folder, beside the shipped files.
  EXPECT_EQ(tabiro::findProgramFile("X右.bmp"), binDir() + "\\X右.bmp");
  EXPECT_EQ(tabiro::findProgramFile("nowhere.wav"), "nowhere.wav");
  HANDLE own = CreateFileA(testFile("X右.bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(own, INVALID_HANDLE_VALUE);
  CloseHandle(own);
  EXPECT_EQ(tabiro::findProgramFile("X右.bmp"), "X右.bmp");
  SetCurrentDirectoryA(previous);
}

// --- the SAPI voice (tools/sapistub in place of Wine's SpVoice) ---------------

class SapiAnnounceTest : public AnnounceTest {
 protected:
  void SetUp() override {
    AnnounceTest::SetUp();
    SetEnvironmentVariableA("SAPISTUB_LOG", log("sapi").path().c_str());
  }
  void TearDown() override {
    for (const char* name : {"SAPISTUB_LOG", "SAPISTUB_FAIL", "SPEECHSTUB_FAILCREATE"})
      SetEnvironmentVariableA(name, nullptr);
    if (!spVoiceServer_.empty()) setSpVoiceServer(spVoiceServer_);
    AnnounceTest::TearDown();
  }

  // SpVoice's in-process server in the prefix; the first change is undone
  // when the test ends.
  void setSpVoiceServer(const std::string& path) {
    const char* key = "Software\\Classes\\CLSID\\{96749377-3391-11D2-9EE3-00C04F797396}\\InprocServer32";
    if (spVoiceServer_.empty()) {
      char before[MAX_PATH] = {};
      DWORD size = sizeof before;
      ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, key, nullptr, RRF_RT_REG_SZ, nullptr, before, &size),
                ERROR_SUCCESS);
      spVoiceServer_ = before;
    }
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, nullptr, REG_SZ, path.c_str(),
                              static_cast<DWORD>(path.size() + 1)),
              ERROR_SUCCESS);
  }

  // A turn announced; true when the chime and then its WAV file were heard.
  bool turnHeardAsItsWavFile(HWND toolbar) {
    announce(toolbar, "speech=まもなく右方向です。\nwaypoint=交差点x右\nwav=右方向.wav\n");
    if (!waitUntil([&] { return sounds().size() >= 2; }, kPopupTimeoutMs)) return false;
    const auto heard = sounds();
    return heard.size() == 2 && sameLength(heard[1].lengthMs, wavLengthMs(shippedFile("右方向.wav")));
  }

  std::string spVoiceServer_;
};

TEST_F(SapiAnnounceTest, AJapaneseVoiceThatFailsIsHeardAsTheWavFile) {
  SetEnvironmentVariableA("SPEECHSTUB_FAILCREATE", "1");
  SetEnvironmentVariableA("SAPISTUB_FAIL", "speak");
  HWND toolbar = startHooked();
  ASSERT_TRUE(toolbar);
  EXPECT_TRUE(turnHeardAsItsWavFile(toolbar)) << "in " << soundLogPath();
  EXPECT_TRUE(log("sapi").waitFor(isEvent("speech", "refused TabiroTestJa まもなく右方向です。"), kTimeoutMs));
  EXPECT_TRUE(log("sapi").matching(isEvent("speech", "voice TabiroTestEn")).empty());
}

TEST_F(SapiAnnounceTest, WinesOwnSpVoiceSpeaksNothingAndTheWavFileIsHeard) {
  SetEnvironmentVariableA("SPEECHSTUB_FAILCREATE", "1");
  setSpVoiceServer("C:\\windows\\system32\\Speech\\Common\\sapi.dll");
  HWND toolbar = startHooked();
  ASSERT_TRUE(toolbar);
  EXPECT_TRUE(turnHeardAsItsWavFile(toolbar)) << "in " << soundLogPath();
  EXPECT_TRUE(log("sapi").entries().empty()) << "the stand-in was reached";
}

TEST_F(SapiAnnounceTest, WithTheLegacyControlAlsoThereItIsChosenFirst) {
  HWND toolbar = startHooked();
  ASSERT_TRUE(toolbar);
  announce(toolbar, "speech=まもなく右方向です。\nwaypoint=交差点x右\nwav=右方向.wav\n");
  EXPECT_TRUE(waitForSpoken("まもなく右方向です。", kPopupTimeoutMs));
  EXPECT_TRUE(log("sapi").entries().empty()) << "a SAPI voice was created beside the legacy control";
}

}  // namespace
}  // namespace e2e
