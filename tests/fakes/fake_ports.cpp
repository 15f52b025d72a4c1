#include "fakes/fake_ports.h"

#include <algorithm>
#include <cstring>

namespace tabiro::testing {

namespace {

std::string join(std::initializer_list<long long> values) {
  std::string out;
  for (long long v : values) out += " " + std::to_string(v);
  return out;
}

bool sameClass(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  return std::equal(a.begin(), a.end(), b,
                    [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

std::vector<std::string> ActionLog::only(std::initializer_list<const char*> prefixes) const {
  std::vector<std::string> out;
  for (const Action& a : actions) {
    for (const char* p : prefixes) {
      if (a.what.rfind(p, 0) == 0) {
        out.push_back(a.what);
        break;
      }
    }
  }
  return out;
}

WindowHandle FakeDesktop::add(const std::string& className, const std::string& title,
                              WindowHandle parent, int controlId) {
  const WindowHandle h = next_++;
  windows_[h] = FakeWindow{h, parent, className, title, controlId, {}, {}, true};
  (parent ? windows_.at(parent).children : topLevel_).push_back(h);
  return h;
}

void FakeDesktop::destroy(WindowHandle h) {
  FakeWindow& w = windows_.at(h);
  w.alive = false;
  auto& siblings = w.parent ? windows_.at(w.parent).children : topLevel_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
  for (WindowHandle child : std::vector<WindowHandle>(w.children)) destroy(child);
}

bool FakeDesktop::matches(const FakeWindow& w, const char* className, const char* title) const {
  return w.alive && (!className || sameClass(w.className, className)) &&
         (!title || w.title == title);
}

const std::vector<WindowHandle>& FakeDesktop::siblingsOf(WindowHandle h) const {
  const FakeWindow& w = windows_.at(h);
  return w.parent ? windows_.at(w.parent).children : topLevel_;
}

WindowHandle FakeDesktop::findWindow(const char* className, const char* title) {
  for (WindowHandle h : topLevel_) {
    if (matches(windows_.at(h), className, title)) return h;
  }
  return kNoWindow;
}

WindowHandle FakeDesktop::findChild(WindowHandle parent, WindowHandle after,
                                    const char* className, const char* title) {
  if (!exists(parent)) return kNoWindow;
  const auto& children = windows_.at(parent).children;
  auto it = children.begin();
  if (after) it = std::find(children.begin(), children.end(), after) + 1;
  for (; it < children.end(); ++it) {
    if (matches(windows_.at(*it), className, title)) return *it;
  }
  return kNoWindow;
}

std::vector<WindowHandle> FakeDesktop::topLevelWindows() { return topLevel_; }

WindowHandle FakeDesktop::firstChild(WindowHandle window) {
  if (!exists(window) || windows_.at(window).children.empty()) return kNoWindow;
  return windows_.at(window).children.front();
}

WindowHandle FakeDesktop::nextSibling(WindowHandle window) {
  if (!exists(window)) return kNoWindow;
  const auto& siblings = siblingsOf(window);
  auto it = std::find(siblings.begin(), siblings.end(), window);
  return (it == siblings.end() || it + 1 == siblings.end()) ? kNoWindow : *(it + 1);
}

WindowHandle FakeDesktop::dialogItem(WindowHandle dialog, int id) {
  if (!exists(dialog)) return kNoWindow;
  for (WindowHandle c : windows_.at(dialog).children) {
    if (windows_.at(c).controlId == id) return c;
  }
  return kNoWindow;
}

bool FakeDesktop::exists(WindowHandle window) {
  const auto it = windows_.find(window);
  return it != windows_.end() && it->second.alive;
}

std::string FakeDesktop::windowText(WindowHandle window, int maxChars) {
  if (!exists(window) || maxChars <= 0) return {};
  return windows_.at(window).title.substr(0, static_cast<std::size_t>(maxChars - 1));
}

std::intptr_t FakeDesktop::send(WindowHandle target, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  log_.add("send" + join({static_cast<long long>(target), message,
                          static_cast<long long>(wParam), lParam}));
  const auto it = answers_.find({target, message});
  return (exists(target) && it != answers_.end()) ? it->second(wParam, lParam) : 0;
}

void FakeDesktop::post(WindowHandle target, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
  log_.add("post" + join({static_cast<long long>(target), message,
                          static_cast<long long>(wParam), lParam}));
}

void FakeDesktop::setForeground(WindowHandle window) {
  log_.add("foreground" + join({static_cast<long long>(window)}));
}

void FakeDesktop::bringToTop(WindowHandle window) {
  log_.add("top" + join({static_cast<long long>(window)}));
}

void FakeDesktop::show(WindowHandle window, int showMode) {
  log_.add("show" + join({static_cast<long long>(window), showMode}));
}

ScreenRect FakeDesktop::windowRect(WindowHandle window) { return rects_[window]; }

void FakeDesktop::moveWindow(WindowHandle window, int x, int y, int width, int height) {
  rects_[window] = {x, y, x + width, y + height};
  log_.add("move" + join({static_cast<long long>(window), x, y, width, height}));
}

std::optional<std::string> FakeDesktop::menuItemText(WindowHandle window, int topIndex,
                                                     int subIndex, int maxChars) {
  if (!exists(window)) return std::nullopt;
  const auto& menu = windows_.at(window).menu;
  if (topIndex < 0 || topIndex >= static_cast<int>(menu.size())) return std::nullopt;
  const auto& item = menu[static_cast<std::size_t>(topIndex)];
  if (subIndex < 0) return item.first.substr(0, static_cast<std::size_t>(maxChars - 1));
  if (subIndex >= static_cast<int>(item.second.size())) return std::nullopt;
  return item.second[static_cast<std::size_t>(subIndex)].substr(0, maxChars - 1);
}

void FakeClock::sleep(int ms) {
  log_.add("sleep " + std::to_string(ms));
  log_.now += ms;
  if (onSleep) onSleep();
}

void FakeTimers::start(int id, int periodMs) {
  running[id] = periodMs;
  log_.add("timer-start " + std::to_string(id) + " " + std::to_string(periodMs));
}

void FakeTimers::stop(int id) {
  running.erase(id);
  log_.add("timer-stop " + std::to_string(id));
}

void FakeView::loadBitmapSet(int id, const char* set, bool withDisabled) {
  sets[id] = set;
  log_.add("set " + std::to_string(id) + " " + set + (withDisabled ? "" : " (no X)"));
}

void FakeView::enable(int id, bool enabled) {
  if (enabled) {
    disabled.erase(id);
  } else {
    disabled.insert(id);
  }
  log_.add((enabled ? "enable " : "disable ") + std::to_string(id));
}

void FakeView::focus(int id) { log_.add("focus " + std::to_string(id)); }

void FakeView::setWaypointField(int value) {
  field = value;
  log_.add("field " + std::to_string(value));
}

int FakeView::showStatus(int templateId) {
  log_.add("popup " + std::to_string(templateId));
  return nextToken_++;
}

void FakeView::closeStatus(int token) { log_.add("popup-close " + std::to_string(token)); }

bool FakeView::launch(const std::string& commandLine, int showMode) {
  log_.add("launch " + commandLine + " " + std::to_string(showMode));
  if (onLaunch) onLaunch(commandLine);
  return true;
}

void FakeView::start(const char* name, std::function<void()> body) {
  log_.add(std::string("worker ") + name);
  pendingWorkers.push_back(std::move(body));
}

TestContext::TestContext()
    : ctx{desktop, clock, timers, view, view, view, view, view, settings, *state} {}

}  // namespace tabiro::testing
