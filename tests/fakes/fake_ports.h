// Fakes of every port, sharing one ordered log of outgoing actions stamped
// with virtual time, so a handler test reads like the expected sequence.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "fakes/temp_dir.h"

namespace tabiro::testing {

struct Action {
  std::int64_t time;
  std::string what;  // e.g. "post 3 273 32786 0", "sleep 500", "timer-start 4 1000"
  bool operator==(const Action&) const = default;
};

class ActionLog {
 public:
  std::int64_t now = 0;
  std::vector<Action> actions;
  void add(std::string what) { actions.push_back({now, std::move(what)}); }
  // The actions whose text starts with one of the prefixes, texts only.
  std::vector<std::string> only(std::initializer_list<const char*> prefixes) const;
};

struct FakeWindow {
  WindowHandle handle = 0;
  WindowHandle parent = 0;
  std::string className;
  std::string title;
  int controlId = 0;
  std::vector<WindowHandle> children;
  std::vector<std::pair<std::string, std::vector<std::string>>> menu;  // bar items and submenus
  bool alive = true;
};

class FakeDesktop : public Desktop {
 public:
  explicit FakeDesktop(ActionLog& log) : log_(log) {}

  WindowHandle add(const std::string& className, const std::string& title,
                   WindowHandle parent = 0, int controlId = 0);
  FakeWindow& window(WindowHandle h) { return windows_.at(h); }
  void destroy(WindowHandle h);
  // Scripted answer to a sent message (any wParam when wParam is omitted).
  using Answer = std::function<std::intptr_t(std::uintptr_t, std::intptr_t)>;
  void answer(WindowHandle h, unsigned message, Answer a) { answers_[{h, message}] = std::move(a); }
  int screen = 1280;

  WindowHandle findWindow(const char* className, const char* title) override;
  WindowHandle findChild(WindowHandle parent, WindowHandle after, const char* className,
                         const char* title) override;
  std::vector<WindowHandle> topLevelWindows() override;
  WindowHandle firstChild(WindowHandle window) override;
  WindowHandle nextSibling(WindowHandle window) override;
  WindowHandle dialogItem(WindowHandle dialog, int id) override;
  bool exists(WindowHandle window) override;
  std::string windowText(WindowHandle window, int maxChars) override;
  std::intptr_t send(WindowHandle target, unsigned message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
  void post(WindowHandle target, unsigned message, std::uintptr_t wParam,
            std::intptr_t lParam) override;
  void setForeground(WindowHandle window) override;
  void bringToTop(WindowHandle window) override;
  void show(WindowHandle window, int showMode) override;
  ScreenRect windowRect(WindowHandle window) override;
  void moveWindow(WindowHandle window, int x, int y, int width, int height) override;
  int screenWidth() override { return screen; }
  std::string statusBarText(WindowHandle, int) override { return {}; }
  std::optional<std::string> menuItemText(WindowHandle window, int topIndex, int subIndex,
                                          int maxChars) override;

 private:
  bool matches(const FakeWindow& w, const char* className, const char* title) const;
  const std::vector<WindowHandle>& siblingsOf(WindowHandle h) const;

  ActionLog& log_;
  std::map<WindowHandle, FakeWindow> windows_;
  std::vector<WindowHandle> topLevel_;
  std::map<std::pair<WindowHandle, unsigned>, Answer> answers_;
  std::map<WindowHandle, ScreenRect> rects_;
  WindowHandle next_ = 100;
};

class FakeClock : public Clock {
 public:
  explicit FakeClock(ActionLog& log) : log_(log) {}
  std::int64_t nowMs() override { return log_.now; }
  void sleep(int ms) override;
  LocalTime localTime() override { return time; }
  LocalTime time{2026, 12, 7, 14, 5, 33};
  std::function<void()> onSleep;  // lets a test change the desktop as time passes

 private:
  ActionLog& log_;
};

class FakeTimers : public Timers {
 public:
  explicit FakeTimers(ActionLog& log) : log_(log) {}
  void start(int id, int periodMs) override;
  void stop(int id) override;
  std::map<int, int> running;  // id -> period

 private:
  ActionLog& log_;
};

class FakeView : public ToolbarView, public Popups, public Sound, public Launcher, public Workers {
 public:
  explicit FakeView(ActionLog& log) : log_(log) {}
  void loadBitmapSet(int id, const char* set, bool withDisabled) override;
  void enable(int id, bool enabled) override;
  void focus(int id) override;
  void setWaypointField(int value) override;
  std::optional<int> waypointField() override { return field; }
  int showStatus(int templateId) override;
  void closeStatus(int token) override;
  void showAbout() override { log_.add("about"); }
  void openHelp() override { log_.add("help"); }
  void showError(const std::string& text) override { log_.add("error " + text); }
  void playResource(const char* name) override { log_.add(std::string("sound ") + name); }
  void playFile(const std::string& f) override { log_.add("sound-file " + f); }
  bool launch(const std::string& commandLine, int showMode) override;
  void start(const char* name, std::function<void()> body) override;

  std::optional<int> field = 1;
  std::set<int> disabled;
  std::map<int, std::string> sets;
  std::vector<std::function<void()>> pendingWorkers;
  std::function<void(const std::string&)> onLaunch;

 private:
  ActionLog& log_;
  int nextToken_ = 1;
};


// One of each fake, a fresh profile and shared state, as an AppContext.
struct TestContext {
  TestContext();
  ActionLog log;
  FakeDesktop desktop{log};
  FakeClock clock{log};
  FakeTimers timers{log};
  FakeView view{log};
  TempDir dir;
  SettingsStore settings{dir.file("Tabiro2.ini")};
  std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
  AppContext ctx;
};

}  // namespace tabiro::testing
