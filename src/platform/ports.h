// The ports through which the program's logic reaches the world. Each has a
// Win32 adapter (src/platform/win32) and a fake for native tests (tests/fakes).
// Handlers never call Win32 directly, so every one of them runs natively.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tabiro {

// The values of the settings dialogs (src/settings, src/speech).
struct PathSettings;
struct GuidanceSettings;
struct GuidePhrases;
struct VoiceChoice;
struct SapiVoiceChoice;
struct ReceiverSettings;

// The receiver dialog's "受信テスト": opens the receiver the values name,
// off the caller's thread, and gives `done` the report's lines from there.
using ReceiverTestRun = std::function<void(const ReceiverSettings& values,
                                           std::function<void(std::vector<std::string>)> done)>;

// An opaque window handle; 0 means "no window". Other programs' windows are
// never stored: every operation looks them up again when it acts.
using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// Local wall-clock time, as the track log needs it.
struct LocalTime {
  int year = 0;  // four digits
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Windows on the desktop: search, read, message, arrange. Strings are Shift-JIS.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Top-level window by class and/or exact title; nullptr matches any.
  virtual WindowHandle findWindow(const char* className, const char* title) = 0;
  // Child of `parent` after `after` (0 = from the first) by class and/or title.
  virtual WindowHandle findChild(WindowHandle parent, WindowHandle after,
                                 const char* className, const char* title) = 0;
  // Top-level windows in the system's enumeration order.
  virtual std::vector<WindowHandle> topLevelWindows() = 0;
  virtual WindowHandle firstChild(WindowHandle window) = 0;
  virtual WindowHandle nextSibling(WindowHandle window) = 0;
  // The child with a dialog control id, or 0.
  virtual WindowHandle dialogItem(WindowHandle dialog, int id) = 0;
  virtual bool exists(WindowHandle window) = 0;

  // The window's title, at most `maxChars` - 1 bytes (the size of the
  // receiving buffer, as GetWindowTextA counts it).
  virtual std::string windowText(WindowHandle window, int maxChars) = 0;

  virtual std::intptr_t send(WindowHandle target, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
  virtual void post(WindowHandle target, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) = 0;

  virtual void setForeground(WindowHandle window) = 0;
  virtual void bringToTop(WindowHandle window) = 0;
  virtual void show(WindowHandle window, int showMode) = 0;
  virtual ScreenRect windowRect(WindowHandle window) = 0;
  virtual void moveWindow(WindowHandle window, int x, int y, int width, int height) = 0;
  virtual int screenWidth() = 0;

  // Text of part `part` of another program's "msctls_statusbar32", read across
  // the process boundary; empty when it cannot be read.
  virtual std::string statusBarText(WindowHandle statusBar, int part) = 0;

  // Text of an item of the window's menu bar (subIndex < 0) or of the submenu
  // at topIndex (subIndex >= 0), at most maxChars - 1 bytes; nullopt when the
  // item does not exist, which bounds every walk over a menu.
  virtual std::optional<std::string> menuItemText(WindowHandle window, int topIndex,
                                                  int subIndex, int maxChars) = 0;

  // The process that owns the window; 0 when there is no such window.
  virtual std::uint32_t processId(WindowHandle window) = 0;
};

// Time. Every pause the program makes goes through sleep().
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t nowMs() = 0;  // monotonic
  virtual void sleep(int ms) = 0;
  virtual LocalTime localTime() = 0;
};

// Window timers of the toolbar. Callable from any thread: the adapter hands a
// worker's request to the user-interface thread that owns the window.
class Timers {
 public:
  virtual ~Timers() = default;
  virtual void start(int id, int periodMs) = 0;
  virtual void stop(int id) = 0;
};

// The toolbar's own controls. User-interface thread only.
class ToolbarView {
 public:
  virtual ~ToolbarView() = default;
  // Loads bitmap set `set` (resources set+"U", "D", "F" and, if withDisabled,
  // "X") onto button `id`.
  virtual void loadBitmapSet(int id, const char* set, bool withDisabled) = 0;
  virtual void enable(int id, bool enabled) = 0;
  virtual void focus(int id) = 0;
  virtual void setWaypointField(int value) = 0;
  virtual std::optional<int> waypointField() = 0;  // nullopt: not a number
};

// Modal and modeless windows of our own that handlers show.
class Popups {
 public:
  virtual ~Popups() = default;
  // Shows a StatusPopup on the given template; returns a token for close().
  virtual int showStatus(int templateId) = 0;
  virtual void closeStatus(int token) = 0;
  virtual void showAbout() = 0;
  virtual void openHelp() = 0;
  // A clear message box owned by the toolbar (validation, file errors).
  virtual void showError(const std::string& text) = 0;
  // A PicturePopup: the bitmap file (a bare name) above the caption, shown at
  // once and kept painted until closePicture(token). Any thread may show one,
  // and several may stand at once.
  virtual int showPicture(const std::string& pictureFile, const std::string& caption) = 0;
  virtual void closePicture(int token) = 0;

  // The settings dialogs, modal: true when the user confirmed, with the
  // values as the dialog left them; false on cancel, values untouched. A
  // dialog's buttons that open another dialog call the function given.
  virtual bool runPathSettings(PathSettings& values) = 0;
  virtual bool runGuidanceSettings(GuidanceSettings& values,
                                   const std::function<void()>& openPhrases) = 0;
  virtual bool runGuidePhrases(GuidePhrases& values,
                               const std::function<void()>& openVoiceProperties) = 0;
  virtual bool runVoiceProperties(VoiceChoice& values) = 0;
  // With a SAPI voice: its "試聴" button calls tryVoice with the values as
  // the dialog shows them.
  virtual bool runSapiVoiceProperties(SapiVoiceChoice& values,
                                      const std::function<void(const SapiVoiceChoice&)>& tryVoice) = 0;
  // The port box lists `serialPorts`; values that receiverSettingsProblem
  // refuses never leave the dialog confirmed.
  virtual bool runReceiverSettings(ReceiverSettings& values,
                                   const std::vector<std::string>& serialPorts,
                                   const ReceiverTestRun& runTest) = 0;
};

// Synchronous sounds.
class Sound {
 public:
  virtual ~Sound() = default;
  virtual void playResource(const char* name) = 0;
  virtual void playFile(const std::string& fileName) = 0;
};

// One program's audio session on one of the output devices, as the system
// reports it.
struct AudioSession {
  std::uint32_t processId = 0;
  std::string instanceId;  // this very session, gone with its process (UTF-8)
  std::string sessionId;   // the program's session on its device, the same after a restart
  std::string executable;  // the program's full path; empty when unknown
  float volume = 1.0f;     // the session's own level, 0 to 1
  bool muted = false;
  bool expired = false;       // its program has closed it
  bool systemSounds = false;  // Windows' own sounds
};

// A new level for the session of that instance identifier.
struct VolumeChange {
  std::string instanceId;
  float volume = 1.0f;
  bool operator==(const VolumeChange&) const = default;
};

// The audio sessions of every program on every active output device. Any
// thread may call it.
class AudioSessions {
 public:
  virtual ~AudioSessions() = default;
  // nullopt when the system offers no session list (no output device, or
  // no session enumeration); the adapter tells the debug output why, once.
  virtual std::optional<std::vector<AudioSession>> list() = 0;
  // Every change in one walk over the sessions; for each, whether it was
  // made (false when its session is gone or refused the level).
  virtual std::vector<bool> setVolumes(const std::vector<VolumeChange>& changes) = 0;
  // Whether the program file is still installed.
  virtual bool programExists(const std::string& executable) = 0;
  virtual std::uint32_t ownProcessId() = 0;
};

// A byte stream from a GPS receiver: an open serial port or TCP connection.
// Its reader thread owns it; `close` may come from any thread and ends a
// pending read at once.
class ReceiverLink {
 public:
  virtual ~ReceiverLink() = default;
  // Appends what arrived within about a second (possibly nothing). False
  // when the link is broken: the port vanished or the peer closed. A port
  // that vanished under an open handle may instead read nothing at once,
  // again and again.
  virtual bool read(std::string& bytes) = 0;
  virtual void close() = 0;
};

// Why a receiver could not be opened.
enum class LinkFailure { None, Absent, InUse, Refused, Unreachable };

struct LinkOpening {
  std::unique_ptr<ReceiverLink> link;  // null on failure
  LinkFailure failure = LinkFailure::None;
};

// Opening GPS receivers. Every call returns within a few seconds.
class ReceiverLinks {
 public:
  virtual ~ReceiverLinks() = default;
  // 8N1 at `baud`; `port` is a name like "COM3".
  virtual LinkOpening openSerial(const std::string& port, int baud) = 0;
  virtual LinkOpening openTcp(const std::string& host, int port) = 0;
  // The serial ports the system has, by name.
  virtual std::vector<std::string> serialPorts() = 0;
};

// Starting other programs.
class Launcher {
 public:
  virtual ~Launcher() = default;
  // Returns false when the program could not be started.
  virtual bool launch(const std::string& commandLine, int showMode) = 0;
};

// Starting worker threads, detached and never joined. The fake records the
// name and can run the body at once or keep it for the test.
class Workers {
 public:
  virtual ~Workers() = default;
  virtual void start(const char* name, std::function<void()> body) = 0;
};

}  // namespace tabiro
