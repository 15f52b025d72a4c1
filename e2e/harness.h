// End-to-end harness: starts the stand-ins and Tabiro2.exe under Wine, finds
// their windows, drives them with messages and real keys, and reads the
// stand-ins' message logs. Every wait has a time-out and polls; nothing
// sleeps for a fixed long time.
//
// A test derives from E2eTest:
//
//   TEST_F(E2eTest, GpsStart) {
//     writeProfile("[Tabiro Info]\nMap=0\n");
//     startNavstub({"--doc-delay", "100"});
//     HWND toolbar = waitForWindow(nullptr, "Tabiro2");   // after startTabiro()
//     ASSERT_TRUE(navstubLog().waitFor(isCommand("main", tabiro::kNavinGpsV1)));
//   }
//
// On failure the test's folder build/<win>/e2e-artifacts/<suite>.<test>/ keeps
// the logs and a screenshot (screen.bmp); on success it is removed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

constexpr int kTimeoutMs = 5000;  // default for every wait
constexpr int kPollMs = 25;

// --- paths (Windows paths) ---------------------------------------------------
std::string binDir();                       // tabiro_e2e.exe, the stand-ins and Tabiro2.exe
std::string exePath(const std::string& name);  // binDir()\name
std::string sourcePath(const std::string& relative);  // a file of the source tree, e.g. "data/sample-drive.nmea"
std::string artifactsRoot();                // <build>\e2e-artifacts
std::string fullPath(const std::string& path);  // absolute, "..\" resolved

// --- processes ----------------------------------------------------------------
// Every program started here belongs to one job; killAll() (and the
// destructor) ends them all and waits until they are gone.
class Processes {
 public:
  Processes();
  ~Processes();
  Processes(const Processes&) = delete;
  Processes& operator=(const Processes&) = delete;

  // Starts exe with the arguments (quoted as needed) in `workingDir`, by
  // default the exe's folder; nullptr on failure.
  HANDLE start(const std::string& exe, const std::vector<std::string>& args, int show = SW_SHOWNORMAL,
               const std::string& workingDir = {});
  void killAll();
  // The exe names (lower case, no folder) of the job's live processes in the
  // order they were created: the order of the starts made here and of the
  // launches those programs made, whatever order they then came up in.
  std::vector<std::string> creationOrder() const;
  // When the job's live process `exeName` (lower case) was created, on the
  // stand-ins' clock (GetTickCount64): the moment of its launch, whoever
  // launched it, not of its own start-up. 0 when there is none.
  uint64_t launchedAtMs(const std::string& exeName) const;

 private:
  // Each live process of the job by exe name (lower case, no folder), in
  // creation order, with fn(name, process handle or nullptr).
  void forEachProcess(const std::function<void(const std::string&, HANDLE)>& fn) const;

  HANDLE job_;
  std::vector<HANDLE> processes_;
};

bool waitForExit(HANDLE process, int timeoutMs = kTimeoutMs);

// --- waiting ------------------------------------------------------------------
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kTimeoutMs);

// --- windows ------------------------------------------------------------------
// nullptr for class or title means "any".
HWND waitForWindow(const char* className, const char* title, int timeoutMs = kTimeoutMs);
// A window that is also visible: the toolbar takes keys once it shows, that
// is once its start-up is over.
HWND waitForShownWindow(const char* className, const char* title, int timeoutMs = kTimeoutMs);
bool waitForWindowGone(const char* className, const char* title, int timeoutMs = kTimeoutMs);
HWND findChild(HWND parent, const char* className, const char* title = nullptr);
HWND waitForChild(HWND parent, const char* className, const char* title = nullptr, int timeoutMs = kTimeoutMs);
std::vector<HWND> children(HWND parent);  // direct children in Z order
std::string windowText(HWND window);
// A control's text asked of the control itself: another process's edit keeps
// it where GetWindowText does not look. Empty when it does not answer.
std::string controlText(HWND window, int id);
std::string windowClass(HWND window);

// --- messages -----------------------------------------------------------------
// Sends with a time-out, so a hung program fails the test instead of the suite.
LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, int timeoutMs = kTimeoutMs);
LRESULT sendCommand(HWND window, unsigned id, LPARAM lParam = 0);
bool postCommand(HWND window, unsigned id, LPARAM lParam = 0);
// The text of part `part` of another process's status bar.
std::string statusBarText(HWND statusBar, int part);
// The text of item `position` of the submenu at top-level position `top` of
// a window's menu bar; nullopt when there is no such item.
std::optional<std::string> menuItemText(HWND window, int top, int position);

// Position of the first top-level menu item whose text contains `text`, or -1.
int menuBarItemContaining(HWND window, const std::string& text);

// Real key input to the foreground window, as a user's key press: brings
// `window` to the front first. `modifiers` are virtual keys held around it
// (e.g. {VK_MENU} for Alt).
bool pressKey(HWND window, WORD virtualKey, std::initializer_list<WORD> modifiers = {});
// The key a user types for a caption's mnemonic character (e.g. '^' or ':'),
// with Shift where the keyboard layout needs it.
bool pressMnemonic(HWND window, char mnemonic);

// --- inside the toolbar -----------------------------------------------------------
// probe.dll hooked into the toolbar's thread (e2e/probe): reads its system
// menu and tooltips where they live, and notes every WM_COMMAND the toolbar
// receives as "command ID CODE".
class ToolbarProbe {
 public:
  explicit ToolbarProbe(HWND toolbar);
  ~ToolbarProbe();
  ToolbarProbe(const ToolbarProbe&) = delete;
  ToolbarProbe& operator=(const ToolbarProbe&) = delete;

  bool installed() const { return hook_ != nullptr; }
  // "menu POSITION ID separator" / "menu POSITION ID string TEXT", in order.
  std::vector<std::string> systemMenu();
  // "tool INDEX CONTROL_ID TEXT", in the order the tools were added.
  std::vector<std::string> tooltips();
  std::vector<std::string> lines();  // everything noted so far
  bool waitForLine(const std::string& line, int timeoutMs = kTimeoutMs);

 private:
  std::vector<std::string> request(unsigned what, const std::string& prefix);

  HWND toolbar_;
  HANDLE section_ = nullptr;
  const char* view_ = nullptr;
  HMODULE library_ = nullptr;
  HHOOK hook_ = nullptr;
};

// Real mouse input, as a user's double click in the middle of `window`:
// brings its top-level window to the front first.
bool doubleClick(HWND window);

// --- stand-in logs --------------------------------------------------------------
struct LogEntry {
  uint64_t timeMs = 0;
  std::string window;
  bool isEvent = false;
  // a message line
  unsigned message = 0;
  uint64_t wParam = 0;
  uint64_t lParam = 0;
  bool sent = false;
  // an event line: everything after "event "
  std::string event;
  std::string line;
};
std::optional<LogEntry> parseLogLine(const std::string& line);

using LogPredicate = std::function<bool(const LogEntry&)>;
LogPredicate isMessage(const std::string& window, unsigned message);
LogPredicate isCommand(const std::string& window, unsigned id);  // WM_COMMAND, LOWORD(wParam) == id
LogPredicate isEvent(const std::string& window, const std::string& textPrefix);

// The phrase a speech stand-in's event says was given to speak: the legacy
// control's "call 19 Speak VT_BSTR 0 TEXT" or the SAPI voice's
// "speak VOICE TEXT"; empty for any other event.
std::string spokenText(const std::string& event);

// A stand-in's log, read incrementally as it grows.
class StubLog {
 public:
  explicit StubLog(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  const std::vector<LogEntry>& entries();  // everything written so far
  std::vector<LogEntry> matching(const LogPredicate& predicate);
  // The first entry (from `from` on) that matches, waiting for it to be written.
  std::optional<LogEntry> waitFor(const LogPredicate& predicate, int timeoutMs = kTimeoutMs, size_t from = 0);
  size_t size() { return entries().size(); }  // a mark for waitFor(..., from)

 private:
  std::string path_;
  uint64_t offset_ = 0;
  std::string partial_;
  std::vector<LogEntry> entries_;
};

// --- files -------------------------------------------------------------------------
std::string readFile(const std::string& path);  // empty when it cannot be read
bool fileExists(const std::string& path);

// --- Tabiro profile ---------------------------------------------------------------
std::string profilePath();  // %APPDATA%\Tabiro2\Tabiro2.ini
// Writes the profile as given: string literals are already Shift-JIS.
void writeProfile(const std::string& text);
std::string readProfile();
void removeProfile();

// --- artifacts ---------------------------------------------------------------------
bool saveScreenshot(const std::string& bmpPath);  // the whole virtual screen
bool saveScreenshot(const std::string& bmpPath, RECT area);  // part of it, in screen coordinates

// --- fixture -----------------------------------------------------------------------
class E2eTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& testDir() const { return testDir_; }
  std::string testFile(const std::string& name) const;  // a file in the test's folder
  // A log in the test's folder, created on first use.
  StubLog& log(const std::string& name);

  // What the speech stand-in was asked to say, in order.
  std::vector<std::string> spoken();
  bool waitForSpoken(const std::string& text, int timeoutMs);

  // The stand-ins, each with --log <its log>.
  HANDLE startNavstub(const std::vector<std::string>& args = {});
  HANDLE startAtlas(const std::vector<std::string>& args = {});
  StubLog& navstubLog() { return log("navstub"); }
  StubLog& atlasLog() { return log("atlasstub"); }
  // Another stand-in by exe name (e.g. "gpsplayer.exe") with --log <name>.log.
  HANDLE startStub(const std::string& exe, const std::string& logName, std::vector<std::string> args = {});
  HANDLE startTabiro(const std::vector<std::string>& args = {});
  HANDLE start(const std::string& exe, const std::vector<std::string>& args, int show = SW_SHOWNORMAL,
               const std::string& workingDir = {});

  HWND waitForNavstub(int timeoutMs = kTimeoutMs) { return waitForWindow("Navin' You", nullptr, timeoutMs); }
  HWND waitForTabiro(int timeoutMs = kTimeoutMs) { return waitForWindow(nullptr, "Tabiro2", timeoutMs); }

  Processes processes_;

 private:
  std::string testDir_;
  std::map<std::string, std::unique_ptr<StubLog>> logs_;
};

}  // namespace e2e
