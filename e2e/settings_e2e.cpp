// The settings dialogs as a user meets them: opened from the toolbar's own
// system menu by keys, values typed and buttons pressed by keys, and the
// profile read afterwards. Each dialog leaves a picture in the build folder
// (e2e-artifacts/<name>.bmp) for a person to look at.
#include "harness.h"

#include <commctrl.h>

#include "receiver_rig.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr const char* kPathTitle = "パスとファイルの設定";
constexpr const char* kGuidanceTitle = "音声＆図形表示ナビ設定";
constexpr const char* kPhrasesTitle = "ガイド用音声設定";
constexpr const char* kVoiceTitle = "音声システムプロパティ";
constexpr const char* kReceiverTitle = "GPS受信機設定";
constexpr const char* kBrowseTitle = "ファイルの参照";
constexpr const char* kMessageTitle = "TabiroⅡ";
// No map program: the toolbar comes up at once.
constexpr const char* kQuietProfile = "[Tabiro Info]\r\nMapMode=2\r\n";
constexpr int kStartTimeoutMs = 15000;

// Text typed as characters, whatever the keyboard layout.
bool typeText(HWND window, const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT in = {};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = c;
      in.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(in);
    }
  }
  if (!waitUntil([&] {
        SetForegroundWindow(window);
        return GetForegroundWindow() == window;
      }, 2000))
    return false;
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

HWND focusedWindow(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// Moves the keyboard focus to a control the way Tab does (an edit's text is
// then selected, so typing replaces it) and waits until it has it, or its
// own edit has it (a combo box's).
bool focusControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return waitUntil([&] {
    const HWND focused = focusedWindow(dialog);
    if (focused == control || IsChild(control, focused)) return true;
    // Asked again while the dialog's activation may still move the focus.
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return false;
  });
}

std::string shiftJis(const std::wstring& text) {
  char buffer[1024] = {};
  WideCharToMultiByte(932, 0, text.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

// Typed into the field, and waited for: typed keys queue behind posted
// messages, so the next focus change would otherwise overtake them.
bool replaceText(HWND dialog, int id, const std::wstring& text) {
  return focusControl(dialog, id) && typeText(dialog, text) &&
         waitUntil([&] { return controlText(dialog, id) == shiftJis(text); });
}

LRESULT checkState(HWND dialog, int id) { return send(GetDlgItem(dialog, id), BM_GETCHECK); }

bool isPushButton(HWND dialog, int id) {
  const LONG type = GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// A button pressed with the space bar. A check box or radio button is waited
// for until its state changes, so that the next step cannot overtake the key.
bool pressButton(HWND dialog, int id) {
  const LRESULT before = checkState(dialog, id);
  return focusControl(dialog, id) && pressKey(dialog, VK_SPACE) &&
         (isPushButton(dialog, id) || waitUntil([&] { return checkState(dialog, id) != before; }));
}

// OK pressed on the button itself: Enter would press whichever push button
// has the focus, such as the one that opened the dialog before.
bool confirm(HWND dialog) {
  return pressButton(dialog, IDOK) && waitUntil([&] { return !IsWindow(dialog); });
}

bool isEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool isChecked(HWND dialog, int id) { return checkState(dialog, id) == BST_CHECKED; }

// The dialog is gone before its values are written: waits for them.
void expectProfileLines(std::initializer_list<const char*> lines) {
  const auto allThere = [&] {
    const std::string profile = readProfile();
    for (const char* line : lines)
      if (profile.find(line) == std::string::npos) return false;
    return true;
  };
  EXPECT_TRUE(waitUntil(allThere)) << readProfile();
}

// The toolbar's system menu as a user walks it with the keyboard: it opens
// on its first item, and Down skips the separators:
//   元のサイズに戻す / TabiroⅡ動作設定 / 音声＆図形ナビ設定 / GPS受信機設定... /
//   TabiroⅡﾊﾞｰｼﾞｮﾝ情報 / 移動 ...
constexpr int kDownToPathSettings = 1;
constexpr int kDownToGuidanceSettings = 2;
constexpr int kDownToReceiverSettings = 3;

HWND visibleMenu() {
  HWND menu = FindWindowA("#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

class SettingsTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    SetEnvironmentVariableA("SPEECHSTUB_LOG", log("speech").path().c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("SPEECHSTUB_LOG", nullptr);
    E2eTest::TearDown();
  }

  HWND startToolbar(const std::string& profile = kQuietProfile) {
    writeProfile(profile);
    startTabiro();
    HWND toolbar = nullptr;
    waitUntil([&] {
      toolbar = FindWindowA(nullptr, "Tabiro2");
      return toolbar && IsWindowVisible(toolbar);
    }, kStartTimeoutMs);
    EXPECT_TRUE(toolbar) << "the toolbar did not show";
    return toolbar;
  }

  // Alt+Space opens the toolbar's system menu, Down walks to the item and
  // Enter chooses it: the dialog opens only if the item a user sees is there.
  HWND openFromSystemMenu(HWND toolbar, int downPresses, const char* dialogTitle) {
    EXPECT_TRUE(pressKey(toolbar, VK_SPACE, {VK_MENU}));
    HWND menu = nullptr;
    EXPECT_TRUE(waitUntil([&] { return (menu = visibleMenu()) != nullptr; })) << "no system menu";
    if (!menu) return nullptr;
    for (int i = 0; i < downPresses; ++i) pressKey(GetForegroundWindow(), VK_DOWN);
    pressKey(GetForegroundWindow(), VK_RETURN);
    return waitForActiveDialog(dialogTitle);
  }

  // A dialog shown, in front, with the focus in one of its controls.
  static HWND waitForActiveDialog(const char* title) {
    HWND dialog = nullptr;
    EXPECT_TRUE(waitUntil([&] {
      dialog = FindWindowA("#32770", title);
      return dialog && IsWindowVisible(dialog) && GetForegroundWindow() == dialog &&
             IsChild(dialog, focusedWindow(dialog));
    })) << title << " did not open";
    return dialog;
  }

  // The dialog's picture, to look at: whole, on screen, below the toolbar.
  void keepPicture(HWND dialog, const std::string& name) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    send(dialog, WM_NULL);  // the repaint is done once the dialog answers
    Sleep(100);             // and on the screen a moment later: a picture, not a test
    RECT r = {};
    GetWindowRect(dialog, &r);
    EXPECT_GE(r.top, 43) << name << " lies under the toolbar strip";
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(saveScreenshot(artifactsRoot() + "\\" + name + ".bmp", r));
  }

  bool closeWith(HWND dialog, WORD key) {
    return pressKey(dialog, key) && waitUntil([&] { return !IsWindow(dialog); });
  }

  // "受信テスト" towards a loopback peer the test controls: the dialog keeps
  // answering while the test waits, and then names the reason nothing came.
  void expectReceiverTestReason(HWND toolbar, const std::string& reason, const char* picture) {
    HWND dialog = openFromSystemMenu(toolbar, kDownToReceiverSettings, kReceiverTitle);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(pressButton(dialog, IDC_RX_TEST));
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored))
        << "the dialog does not answer while the test runs";
    ASSERT_TRUE(waitUntil([&] { return controlText(dialog, IDC_RX_TEST_RESULT).find(reason) != std::string::npos; },
                          20000))
        << controlText(dialog, IDC_RX_TEST_RESULT);
    EXPECT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_RX_TEST); })) << "one test ended, another may start";
    keepPicture(dialog, picture);
    ASSERT_TRUE(closeWith(dialog, VK_ESCAPE));
  }
};

TEST_F(SettingsTest, PathSettingsTypedAndSavedOnOkWithNavinYouAloneCarryingTheScaleNumbers) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=1\r\n20=3\r\n7=4\r\n[MapMatch]\r\nhosei_L=25\r\n");
  ASSERT_TRUE(toolbar);
  HWND dialog = openFromSystemMenu(toolbar, kDownToPathSettings, kPathTitle);
  ASSERT_TRUE(dialog);
  keepPicture(dialog, "path_settings");
  EXPECT_EQ(controlText(dialog, IDC_PATH_HOSEI_L), "25");
  EXPECT_TRUE(isChecked(dialog, IDC_PATH_MODE_TOGETHER));
  EXPECT_FALSE(isEnabled(dialog, IDC_PATH_NAVIN_20));
  EXPECT_FALSE(isEnabled(dialog, IDC_PATH_CHECKTIME));

  ASSERT_TRUE(replaceText(dialog, IDC_PATH_NAVIN, L"C:\\Maps\\NavinYou.exe"));
  ASSERT_TRUE(replaceText(dialog, IDC_PATH_HOSEI_L, L"12"));
  ASSERT_TRUE(pressButton(dialog, IDC_PATH_VER20_ALONE));
  ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_PATH_NAVIN_20); }));
  EXPECT_EQ(controlText(dialog, IDC_PATH_NAVIN_20), "3") << "the ATLAS numbers move over";
  EXPECT_FALSE(isEnabled(dialog, IDC_PATH_ATLAS_20));
  EXPECT_FALSE(isEnabled(dialog, IDC_PATH_ATLAS));
  EXPECT_TRUE(isChecked(dialog, IDC_PATH_MODE_ALTERNATE)) << "start mode forced to 交互";
  ASSERT_TRUE(replaceText(dialog, IDC_PATH_NAVIN_20, L"9"));
  ASSERT_TRUE(pressButton(dialog, IDC_PATH_GUIDECHECK));
  ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_PATH_CHECKTIME); }));
  ASSERT_TRUE(replaceText(dialog, IDC_PATH_CHECKTIME, L"45"));
  ASSERT_TRUE(closeWith(dialog, VK_RETURN));

  expectProfileLines({"ExeFilePath0=C:\\Maps\\NavinYou.exe\r\n", "Ver=1\r\n", "20=9\r\n", "7=4\r\n",
                              "MapMode=0\r\n", "hosei_L=12\r\n", "guidecheck=1\r\n", "checktime=45\r\n"});
}

TEST_F(SettingsTest, ALetterInANumberFieldIsRefusedAndCancelThenLeavesTheProfileByteForByte) {
  HWND toolbar = startToolbar();
  ASSERT_TRUE(toolbar);
  HWND dialog = openFromSystemMenu(toolbar, kDownToPathSettings, kPathTitle);
  ASSERT_TRUE(dialog);
  const std::string before = readProfile();

  ASSERT_TRUE(replaceText(dialog, IDC_PATH_NAVIN, L"C:\\other.exe"));
  ASSERT_TRUE(replaceText(dialog, IDC_PATH_HOSEI_U, L"1a"));
  ASSERT_TRUE(pressKey(dialog, VK_RETURN));
  HWND message = waitForWindow("#32770", kMessageTitle);
  ASSERT_TRUE(message) << "no message for the letter";
  EXPECT_TRUE(findChild(message, "Static", "整数を入力してください。"));
  ASSERT_TRUE(closeWith(message, VK_RETURN));
  EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
  EXPECT_TRUE(waitUntil([&] { return focusedWindow(dialog) == GetDlgItem(dialog, IDC_PATH_HOSEI_U); }))
      << "the refused field has the focus";

  ASSERT_TRUE(closeWith(dialog, VK_ESCAPE));
  send(toolbar, WM_NULL);  // the toolbar has finished with the dialog
  EXPECT_EQ(readProfile(), before);
}

TEST_F(SettingsTest, TheFileBrowserPutsTheChosenFilesFullPathIntoItsField) {
  HWND toolbar = startToolbar();
  ASSERT_TRUE(toolbar);
  HWND dialog = openFromSystemMenu(toolbar, kDownToPathSettings, kPathTitle);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(pressButton(dialog, IDC_PATH_ATLAS_BROWSE));
  HWND browser = waitForActiveDialog(kBrowseTitle);
  ASSERT_TRUE(browser) << "no file dialog";
  EXPECT_EQ(windowText(GetDlgItem(browser, IDOK)), "OK");
  keepPicture(browser, "file_browser");
  const std::string chosen = exePath("navstub.exe");
  ASSERT_TRUE(typeText(browser, std::wstring(chosen.begin(), chosen.end())));
  ASSERT_TRUE(closeWith(browser, VK_RETURN));
  EXPECT_TRUE(waitUntil([&] { return controlText(dialog, IDC_PATH_ATLAS) == chosen; }))
      << controlText(dialog, IDC_PATH_ATLAS);
  ASSERT_TRUE(confirm(dialog));
  const std::string line = "ExeFilePath1=" + chosen + "\r\n";
  expectProfileLines({line.c_str()});
}

TEST_F(SettingsTest, GuidanceSettingsPhrasesAndVoicePropertiesEachSaveTheirOwn) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n[TOS]\r\nSpeed=30\r\n");
  ASSERT_TRUE(toolbar);
  HWND guidance = openFromSystemMenu(toolbar, kDownToGuidanceSettings, kGuidanceTitle);
  ASSERT_TRUE(guidance);
  keepPicture(guidance, "guidance_settings");
  EXPECT_EQ(controlText(guidance, IDC_NAVI_WAVEUP), "30");
  EXPECT_TRUE(isEnabled(guidance, IDC_NAVI_PHRASES)) << "the speech stand-in is there";
  ASSERT_TRUE(pressButton(guidance, IDC_NAVI_PICTURE_ONLY));
  EXPECT_TRUE(waitUntil([&] { return !isEnabled(guidance, IDC_NAVI_VOICE) && !isEnabled(guidance, IDC_NAVI_CHIME); }));
  ASSERT_TRUE(replaceText(guidance, IDC_NAVI_WAVEUP, L"20"));

  ASSERT_TRUE(pressButton(guidance, IDC_NAVI_PHRASES));
  HWND phrases = waitForActiveDialog(kPhrasesTitle);
  ASSERT_TRUE(phrases);
  keepPicture(phrases, "guide_phrases");
  EXPECT_EQ(controlText(phrases, IDC_PHRASE_MOKU), "まもなく目的地です。");
  ASSERT_TRUE(replaceText(phrases, IDC_PHRASE_CHOKU, L"まっすぐです。"));

  ASSERT_TRUE(pressButton(phrases, IDC_PHRASE_VOICE_PROPERTIES));
  HWND voice = waitForActiveDialog(kVoiceTitle);
  ASSERT_TRUE(voice);
  keepPicture(voice, "voice_properties");
  EXPECT_TRUE(isChecked(voice, IDC_VOICE_CHARACTER_FIRST + 1)) << "お姉さん, the stored character 1";
  EXPECT_EQ(send(GetDlgItem(voice, IDC_VOICE_SPEED), TBM_GETPOS), 23) << "a stored 30 shows at the end";
  EXPECT_EQ(send(GetDlgItem(voice, IDC_VOICE_VOLUME), TBM_GETPOS), 65535);
  ASSERT_TRUE(pressButton(voice, IDC_VOICE_CHARACTER_LAST));
  ASSERT_TRUE(focusControl(voice, IDC_VOICE_SPEED));
  ASSERT_TRUE(pressKey(voice, VK_LEFT));
  ASSERT_TRUE(waitUntil([&] { return send(GetDlgItem(voice, IDC_VOICE_SPEED), TBM_GETPOS) == 22; }));
  ASSERT_TRUE(closeWith(voice, VK_RETURN));

  // The voice dialog's choice goes to the engine in order, and what the
  // engine then holds is stored.
  StubLog& speech = log("speech");
  ASSERT_TRUE(speech.waitFor(isEvent("speech", "call 21 EngineQuery")));
  ASSERT_TRUE(speech.waitFor(isEvent("speech", "get 14 Busy")));
  std::vector<std::string> puts;
  bool queried = false;
  for (const LogEntry& e : speech.entries()) {
    queried = queried || e.event.rfind("call 21", 0) == 0;
    if (queried && e.event.rfind("put", 0) == 0) puts.push_back(e.event);
  }
  EXPECT_EQ(puts, (std::vector<std::string>{"put 1 Character VT_I4 4", "put 12 Speed VT_I4 22",
                                            "put 2 Volume VT_I4 65535"}));
  expectProfileLines({"Character=4\r\n", "Speed=22\r\n", "Volume=65535\r\n"});

  ASSERT_TRUE(confirm(phrases));
  expectProfileLines({"choku=まっすぐです。\r\n"});

  // Cancel drops only the guidance settings; the phrases stay saved.
  ASSERT_TRUE(closeWith(guidance, VK_ESCAPE));
  send(toolbar, WM_NULL);  // the toolbar has finished with the dialog
  EXPECT_EQ(readProfile().find("WaveUp=20"), std::string::npos);
  EXPECT_EQ(readProfile().find("Navimode=1"), std::string::npos);
  EXPECT_NE(readProfile().find("choku=まっすぐです。\r\n"), std::string::npos);
}

TEST_F(SettingsTest, GuidanceSettingsSavedOnOkGoToTheProfileAndTheVoiceToTheEngine) {
  HWND toolbar = startToolbar();
  ASSERT_TRUE(toolbar);
  HWND guidance = openFromSystemMenu(toolbar, kDownToGuidanceSettings, kGuidanceTitle);
  ASSERT_TRUE(guidance);
  ASSERT_TRUE(replaceText(guidance, IDC_NAVI_OVISUP, L"800"));
  ASSERT_TRUE(pressButton(guidance, IDC_NAVI_WITH_GPS));
  ASSERT_TRUE(pressButton(guidance, IDC_NAVI_WAV_FILES));
  EXPECT_TRUE(waitUntil([&] { return !isEnabled(guidance, IDC_NAVI_PHRASES); }));
  // The other programs' volume: out of range refused, then typed right; the
  // box cleared greys it and ticked again frees it.
  EXPECT_TRUE(isChecked(guidance, IDC_NAVI_DUCK));
  ASSERT_TRUE(replaceText(guidance, IDC_NAVI_DUCK_LEVEL, L"150"));
  ASSERT_TRUE(pressButton(guidance, IDOK));
  HWND refusal = waitForWindow("#32770", kMessageTitle);
  ASSERT_TRUE(refusal) << "no message for 150";
  EXPECT_TRUE(findChild(refusal, "Static", "0 から 100 までの整数を入力してください。"));
  ASSERT_TRUE(closeWith(refusal, VK_RETURN));
  ASSERT_TRUE(IsWindow(guidance)) << "the range refusal keeps the dialog open";
  ASSERT_TRUE(replaceText(guidance, IDC_NAVI_DUCK_LEVEL, L"35"));
  ASSERT_TRUE(pressButton(guidance, IDC_NAVI_DUCK));
  EXPECT_TRUE(waitUntil([&] { return !isEnabled(guidance, IDC_NAVI_DUCK_LEVEL); }));
  ASSERT_TRUE(pressButton(guidance, IDC_NAVI_DUCK));
  EXPECT_TRUE(waitUntil([&] { return isEnabled(guidance, IDC_NAVI_DUCK_LEVEL); }));
  ASSERT_TRUE(pressButton(guidance, IDC_NAVI_DUCK));
  const size_t mark = log("speech").size();
  ASSERT_TRUE(confirm(guidance));
  expectProfileLines({"OvisUp=800\r\n", "Wavstart=1\r\n", "AntiTos=1\r\n", "WaveUp=30\r\n",
                      "Komatime=5\r\n", "Duck=0\r\n", "DuckLevel=35\r\n"});
  EXPECT_TRUE(log("speech").waitFor(isEvent("speech", "put 2 Volume"), kTimeoutMs, mark))
      << "the voice settings go to the engine after saving";
}

// The receiver dialog: the source's fields come alive with it, a port
// number out of range is refused with its message and nothing is stored,
// then the corrected values are.
TEST_F(SettingsTest, ReceiverSettingsRefuseABadPortNumberAndSaveTheCorrectedValues) {
  HWND toolbar = startToolbar();
  ASSERT_TRUE(toolbar);
  HWND dialog = openFromSystemMenu(toolbar, kDownToReceiverSettings, kReceiverTitle);
  ASSERT_TRUE(dialog);
  keepPicture(dialog, "receiver_settings");
  EXPECT_TRUE(isChecked(dialog, IDC_RX_STATUS_BAR));
  EXPECT_TRUE(isChecked(dialog, IDC_RX_DATUM_TOKYO));
  EXPECT_EQ(controlText(dialog, IDC_RX_PORT), "COM3");
  EXPECT_EQ(controlText(dialog, IDC_RX_BAUD), "4800");
  EXPECT_EQ(controlText(dialog, IDC_RX_TCP_PORT), "10110");
  for (int id : {IDC_RX_PORT, IDC_RX_BAUD, IDC_RX_HOST, IDC_RX_TCP_PORT, IDC_RX_TEST})
    EXPECT_FALSE(isEnabled(dialog, id)) << id;
  const std::string before = readProfile();

  ASSERT_TRUE(pressButton(dialog, IDC_RX_SERIAL));
  ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_RX_PORT) && isEnabled(dialog, IDC_RX_TEST); }));
  EXPECT_FALSE(isEnabled(dialog, IDC_RX_HOST));
  ASSERT_TRUE(replaceText(dialog, IDC_RX_PORT, L"COM12"));
  ASSERT_TRUE(focusControl(dialog, IDC_RX_BAUD));
  ASSERT_TRUE(pressKey(dialog, VK_DOWN));
  ASSERT_TRUE(waitUntil([&] { return controlText(dialog, IDC_RX_BAUD) == "9600"; }));
  ASSERT_TRUE(pressButton(dialog, IDC_RX_TCP));
  ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_RX_HOST) && !isEnabled(dialog, IDC_RX_PORT); }));
  ASSERT_TRUE(replaceText(dialog, IDC_RX_HOST, L"192.168.1.20"));
  ASSERT_TRUE(replaceText(dialog, IDC_RX_TCP_PORT, L"70000"));
  ASSERT_TRUE(pressButton(dialog, IDOK));
  HWND refusal = waitForWindow("#32770", kMessageTitle);
  ASSERT_TRUE(refusal) << "no message for 70000";
  EXPECT_TRUE(findChild(refusal, "Static", "TCPポート番号は 1～65535 の範囲で入力してください。"));
  ASSERT_TRUE(closeWith(refusal, VK_RETURN));
  ASSERT_TRUE(IsWindow(dialog)) << "the refusal keeps the dialog open";
  EXPECT_EQ(readProfile(), before) << "nothing is stored";

  ASSERT_TRUE(replaceText(dialog, IDC_RX_TCP_PORT, L"2947"));
  ASSERT_TRUE(pressButton(dialog, IDC_RX_DATUM_WGS84));
  ASSERT_TRUE(confirm(dialog));
  expectProfileLines({"[Receiver]\r\nSource=2\r\nPort=COM12\r\nBaud=9600\r\nHost=192.168.1.20\r\n"
                      "TcpPort=2947\r\nDatum=1\r\n"});
}

std::string tcpReceiverProfile(int port) {
  return std::string(kQuietProfile) + "[Receiver]\r\nSource=2\r\nHost=127.0.0.1\r\nTcpPort=" +
         std::to_string(port) + "\r\n";
}

// A server that takes the connection and never sends a sentence.
TEST_F(SettingsTest, ReceiverTestOfASilentServerSaysNoSentencesCame) {
  SilentLoopbackListener silent;
  ASSERT_NE(silent.port(), 0);
  HWND toolbar = startToolbar(tcpReceiverProfile(silent.port()));
  ASSERT_TRUE(toolbar);
  expectReceiverTestReason(toolbar, "NMEAの文が届きません。", "receiver_test");
}

// A port nobody listens on: the connection is refused.
TEST_F(SettingsTest, ReceiverTestOfAClosedPortSaysItCannotConnect) {
  const int closed = unusedLoopbackPort();
  ASSERT_NE(closed, 0);
  HWND toolbar = startToolbar(tcpReceiverProfile(closed));
  ASSERT_TRUE(toolbar);
  expectReceiverTestReason(toolbar, "接続できません。", "receiver_test_refused");
}

}  // namespace
}  // namespace e2e
