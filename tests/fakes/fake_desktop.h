// A desktop of fake windows for handler tests. Windows are found as Windows
// finds them (class names case-insensitive, titles exact), every send, post
// and arrangement is recorded in the ActionLog, and other programs answer
// messages as the test scripts them. Unscripted messages answer 0.
//
// Scripted handlers also run for posted messages, at once: a dialog that
// closes on a posted button is gone when post() returns.
//
// One thread at a time: a test that runs a worker on its own thread must not
// change the desktop meanwhile.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "fakes/action_log.h"
#include "platform/ports.h"

namespace tabiro::testing {

// One item of a menu bar and the item texts of its submenu.
struct FakeMenu {
  std::string text;
  std::vector<std::string> items;
};

class FakeDesktop final : public Desktop {
 public:
  using Handler = std::function<std::intptr_t(std::uintptr_t wParam, std::intptr_t lParam)>;

  explicit FakeDesktop(ActionLog& log) : log_(log) {}

  // Building the scene. A new top-level window (parent 0) comes last in the
  // enumeration order, a new child last among its siblings.
  WindowHandle add(const std::string& className, const std::string& title = {},
                   WindowHandle parent = kNoWindow, int controlId = 0);
  void setTitle(WindowHandle window, const std::string& title);
  // The window and everything inside it cease to exist.
  void destroy(WindowHandle window);
  // Makes a top-level window the first one enumerated.
  void moveToFront(WindowHandle window);
  void setMenu(WindowHandle window, std::vector<FakeMenu> menuBar);
  void setStatusBarText(WindowHandle statusBar, int part, const std::string& text);
  void setRect(WindowHandle window, ScreenRect rect);
  void setScreenWidth(int width) { screenWidth_ = width; }
  void setProcessId(WindowHandle window, std::uint32_t processId);

  // Scripted answers to messages sent or posted to `window`. An answer for a
  // particular wParam wins over one for any wParam; a later script replaces
  // an earlier one for the same key.
  void answer(WindowHandle window, unsigned message, std::intptr_t result);
  void answer(WindowHandle window, unsigned message, Handler handler);
  void answer(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t result);
  void answer(WindowHandle window, unsigned message, std::uintptr_t wParam, Handler handler);

  // Changes that happen by themselves: once the virtual time reaches `atMs`
  // (seen at the next call on the desktop), or just before the `nth`
  // findWindow/findChild from now is answered (so n - 1 searches miss).
  void atTime(std::int64_t atMs, std::function<void()> change);
  void onFind(int nth, std::function<void()> change);
  // Just before the `nth` status-bar read from now is answered.
  void onStatusBarRead(int nth, std::function<void()> change);

  // What the program left behind.
  WindowHandle foreground() const { return foreground_; }
  std::optional<int> showMode(WindowHandle window) const;
  int findCount() const { return findCount_; }

  // Desktop
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
  int screenWidth() override { return screenWidth_; }
  std::string statusBarText(WindowHandle statusBar, int part) override;
  std::optional<std::string> menuItemText(WindowHandle window, int topIndex, int subIndex,
                                          int maxChars) override;
  std::uint32_t processId(WindowHandle window) override;

 private:
  struct Window {
    std::string className;
    std::string title;
    WindowHandle parent = kNoWindow;
    std::vector<WindowHandle> children;
    int controlId = 0;
    bool alive = true;
    std::vector<FakeMenu> menuBar;
    std::map<int, std::string> statusParts;
    ScreenRect rect;
    std::optional<int> showMode;
    std::uint32_t processId = 0;
  };
  struct Scheduled {
    std::int64_t atMs;
    std::function<void()> change;
  };

  Window* find(WindowHandle window);
  Window& at(WindowHandle window);  // throws for a handle the test never made
  const Window* find(WindowHandle window) const;
  const Window* living(WindowHandle window) const;  // null once destroyed
  // The living windows among `list`, in order.
  std::vector<WindowHandle> alive(const std::vector<WindowHandle>& list) const;
  WindowHandle search(const std::vector<WindowHandle>& list, WindowHandle after,
                      const char* className, const char* title);
  void runDueChanges();
  void countFind();
  std::string label(WindowHandle window) const;
  std::intptr_t deliver(WindowHandle target, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam);

  ActionLog& log_;
  std::vector<Window> windows_;  // handle = kFirstHandle + index
  std::vector<WindowHandle> topLevel_;
  std::map<std::tuple<WindowHandle, unsigned>, Handler> anyWParam_;
  std::map<std::tuple<WindowHandle, unsigned, std::uintptr_t>, Handler> byWParam_;
  std::vector<Scheduled> byTime_;
  std::map<int, std::vector<std::function<void()>>> byFind_;  // at find number
  int findCount_ = 0;
  std::map<int, std::vector<std::function<void()>>> byStatusBarRead_;
  int statusBarReadCount_ = 0;
  WindowHandle foreground_ = kNoWindow;
  int screenWidth_ = 1024;
};

}  // namespace tabiro::testing
