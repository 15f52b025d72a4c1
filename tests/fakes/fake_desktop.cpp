#include "fakes/fake_desktop.h"

#include <algorithm>
#include <stdexcept>

#include "platform/sjis.h"

namespace tabiro::testing {

namespace {

constexpr WindowHandle kFirstHandle = 0x10000;

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Window classes compare case-insensitively; a trail byte is never folded.
bool sameClass(const std::string& a, const char* b) {
  const std::string_view other(b);
  if (a.size() != other.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (sjis::isLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != other[i] || a[i + 1] != other[i + 1]) return false;
      ++i;
    } else if (asciiLower(a[i]) != asciiLower(other[i])) {
      return false;
    }
  }
  return true;
}

// At most maxChars - 1 bytes, as GetWindowTextA and GetMenuStringA return.
std::string bounded(const std::string& text, int maxChars) {
  if (maxChars <= 0) return {};
  return sjis::truncate(text, static_cast<std::size_t>(maxChars - 1));
}

}  // namespace

FakeDesktop::Window* FakeDesktop::find(WindowHandle window) {
  if (window < kFirstHandle || window - kFirstHandle >= windows_.size()) return nullptr;
  return &windows_[window - kFirstHandle];
}

const FakeDesktop::Window* FakeDesktop::find(WindowHandle window) const {
  return const_cast<FakeDesktop*>(this)->find(window);
}

FakeDesktop::Window& FakeDesktop::at(WindowHandle window) {
  Window* w = find(window);
  if (!w) throw std::invalid_argument("not a window of this fake desktop");
  return *w;
}

const FakeDesktop::Window* FakeDesktop::living(WindowHandle window) const {
  const Window* w = find(window);
  return (w && w->alive) ? w : nullptr;
}

WindowHandle FakeDesktop::add(const std::string& className, const std::string& title,
                              WindowHandle parent, int controlId) {
  Window w;
  w.className = className;
  w.title = title;
  w.parent = parent;
  w.controlId = controlId;
  windows_.push_back(std::move(w));
  const WindowHandle handle = kFirstHandle + windows_.size() - 1;
  (parent == kNoWindow ? topLevel_ : at(parent).children).push_back(handle);
  return handle;
}

void FakeDesktop::setTitle(WindowHandle window, const std::string& title) {
  at(window).title = title;
}

void FakeDesktop::destroy(WindowHandle window) {
  Window* w = find(window);
  if (!w || !w->alive) return;
  w->alive = false;
  for (const WindowHandle child : std::vector<WindowHandle>(w->children)) destroy(child);
  if (foreground_ == window) foreground_ = kNoWindow;
}

void FakeDesktop::moveToFront(WindowHandle window) {
  const auto it = std::find(topLevel_.begin(), topLevel_.end(), window);
  if (it != topLevel_.end()) std::rotate(topLevel_.begin(), it, it + 1);
}

void FakeDesktop::setMenu(WindowHandle window, std::vector<FakeMenu> menuBar) {
  at(window).menuBar = std::move(menuBar);
}

void FakeDesktop::setStatusBarText(WindowHandle statusBar, int part, const std::string& text) {
  at(statusBar).statusParts[part] = text;
}

void FakeDesktop::setRect(WindowHandle window, ScreenRect rect) { at(window).rect = rect; }

void FakeDesktop::answer(WindowHandle window, unsigned message, std::intptr_t result) {
  answer(window, message, [result](std::uintptr_t, std::intptr_t) { return result; });
}

void FakeDesktop::answer(WindowHandle window, unsigned message, Handler handler) {
  anyWParam_[{window, message}] = std::move(handler);
}

void FakeDesktop::answer(WindowHandle window, unsigned message, std::uintptr_t wParam,
                         std::intptr_t result) {
  answer(window, message, wParam, [result](std::uintptr_t, std::intptr_t) { return result; });
}

void FakeDesktop::answer(WindowHandle window, unsigned message, std::uintptr_t wParam,
                         Handler handler) {
  byWParam_[{window, message, wParam}] = std::move(handler);
}

void FakeDesktop::atTime(std::int64_t atMs, std::function<void()> change) {
  byTime_.push_back({atMs, std::move(change)});
}

void FakeDesktop::onFind(int nth, std::function<void()> change) {
  byFind_[findCount_ + nth].push_back(std::move(change));
}

void FakeDesktop::onStatusBarRead(int nth, std::function<void()> change) {
  byStatusBarRead_[statusBarReadCount_ + nth].push_back(std::move(change));
}

std::optional<int> FakeDesktop::showMode(WindowHandle window) const {
  const Window* w = find(window);
  return w ? w->showMode : std::nullopt;
}

void FakeDesktop::runDueChanges() {
  const std::int64_t now = log_.nowMs();
  // A change may schedule another: take the due ones out before running them.
  std::vector<Scheduled> due;
  const auto split = std::stable_partition(byTime_.begin(), byTime_.end(),
                                           [now](const Scheduled& s) { return s.atMs > now; });
  std::move(split, byTime_.end(), std::back_inserter(due));
  byTime_.erase(split, byTime_.end());
  for (Scheduled& s : due) s.change();
}

namespace {

// Runs and forgets the changes due at call number `count`.
void runCountedChanges(std::map<int, std::vector<std::function<void()>>>& byCount, int count) {
  const auto it = byCount.find(count);
  if (it == byCount.end()) return;
  const std::vector<std::function<void()>> changes = std::move(it->second);
  byCount.erase(it);
  for (const auto& change : changes) change();
}

}  // namespace

void FakeDesktop::countFind() { runCountedChanges(byFind_, ++findCount_); }

std::vector<WindowHandle> FakeDesktop::alive(const std::vector<WindowHandle>& list) const {
  std::vector<WindowHandle> result;
  for (const WindowHandle h : list) {
    if (living(h)) result.push_back(h);
  }
  return result;
}

WindowHandle FakeDesktop::search(const std::vector<WindowHandle>& list, WindowHandle after,
                                 const char* className, const char* title) {
  const std::vector<WindowHandle> candidates = alive(list);
  auto it = candidates.begin();
  if (after != kNoWindow) {
    it = std::find(candidates.begin(), candidates.end(), after);
    if (it == candidates.end()) return kNoWindow;
    ++it;
  }
  for (; it != candidates.end(); ++it) {
    const Window& w = *find(*it);
    if (className && !sameClass(w.className, className)) continue;
    if (title && w.title != title) continue;
    return *it;
  }
  return kNoWindow;
}

WindowHandle FakeDesktop::findWindow(const char* className, const char* title) {
  runDueChanges();
  countFind();
  return search(topLevel_, kNoWindow, className, title);
}

WindowHandle FakeDesktop::findChild(WindowHandle parent, WindowHandle after,
                                    const char* className, const char* title) {
  runDueChanges();
  countFind();
  if (parent == kNoWindow) return search(topLevel_, after, className, title);
  const Window* p = living(parent);
  if (!p) return kNoWindow;
  return search(p->children, after, className, title);
}

std::vector<WindowHandle> FakeDesktop::topLevelWindows() {
  runDueChanges();
  return alive(topLevel_);
}

WindowHandle FakeDesktop::firstChild(WindowHandle window) {
  runDueChanges();
  const Window* w = living(window);
  if (!w) return kNoWindow;
  const std::vector<WindowHandle> children = alive(w->children);
  return children.empty() ? kNoWindow : children.front();
}

WindowHandle FakeDesktop::nextSibling(WindowHandle window) {
  runDueChanges();
  const Window* w = living(window);
  if (!w) return kNoWindow;
  const std::vector<WindowHandle> siblings =
      alive(w->parent == kNoWindow ? topLevel_ : find(w->parent)->children);
  const auto it = std::find(siblings.begin(), siblings.end(), window);
  return (it == siblings.end() || it + 1 == siblings.end()) ? kNoWindow : *(it + 1);
}

WindowHandle FakeDesktop::dialogItem(WindowHandle dialog, int id) {
  runDueChanges();
  const Window* d = living(dialog);
  if (!d) return kNoWindow;
  for (const WindowHandle child : alive(d->children)) {
    if (find(child)->controlId == id) return child;
  }
  return kNoWindow;
}

bool FakeDesktop::exists(WindowHandle window) {
  runDueChanges();
  return living(window) != nullptr;
}

std::string FakeDesktop::windowText(WindowHandle window, int maxChars) {
  runDueChanges();
  const Window* w = living(window);
  return w ? bounded(w->title, maxChars) : std::string();
}

std::string FakeDesktop::label(WindowHandle window) const {
  const Window* w = find(window);
  if (!w) return {};
  std::string text = w->className;
  if (!w->title.empty()) text += " \"" + w->title + "\"";
  if (!w->alive) text += " (destroyed)";
  return text;
}

std::intptr_t FakeDesktop::deliver(WindowHandle target, unsigned message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
  if (!living(target)) return 0;
  // Copied: the handler may script new answers while it runs.
  Handler handler;
  if (const auto it = byWParam_.find({target, message, wParam}); it != byWParam_.end()) {
    handler = it->second;
  } else if (const auto any = anyWParam_.find({target, message}); any != anyWParam_.end()) {
    handler = any->second;
  }
  return handler ? handler(wParam, lParam) : 0;
}

std::intptr_t FakeDesktop::send(WindowHandle target, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  runDueChanges();
  log_.record(Sent(target, message, wParam, lParam), label(target));
  return deliver(target, message, wParam, lParam);
}

void FakeDesktop::post(WindowHandle target, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
  runDueChanges();
  log_.record(Posted(target, message, wParam, lParam), label(target));
  deliver(target, message, wParam, lParam);
}

void FakeDesktop::setForeground(WindowHandle window) {
  runDueChanges();
  log_.record(Foreground(window), label(window));
  if (living(window)) foreground_ = window;
}

void FakeDesktop::bringToTop(WindowHandle window) {
  runDueChanges();
  log_.record(BringToTop(window), label(window));
}

void FakeDesktop::show(WindowHandle window, int showMode) {
  runDueChanges();
  log_.record(Shown(window, showMode), label(window));
  if (Window* w = find(window)) w->showMode = showMode;
}

ScreenRect FakeDesktop::windowRect(WindowHandle window) {
  runDueChanges();
  const Window* w = living(window);
  return w ? w->rect : ScreenRect{};
}

void FakeDesktop::moveWindow(WindowHandle window, int x, int y, int width, int height) {
  runDueChanges();
  log_.record(Moved(window, x, y, width, height), label(window));
  if (Window* w = find(window)) w->rect = {x, y, x + width, y + height};
}

std::string FakeDesktop::statusBarText(WindowHandle statusBar, int part) {
  runDueChanges();
  runCountedChanges(byStatusBarRead_, ++statusBarReadCount_);
  const Window* w = living(statusBar);
  if (!w) return {};
  const auto it = w->statusParts.find(part);
  return it == w->statusParts.end() ? std::string() : it->second;
}

std::optional<std::string> FakeDesktop::menuItemText(WindowHandle window, int topIndex,
                                                     int subIndex, int maxChars) {
  runDueChanges();
  const Window* w = living(window);
  if (!w || topIndex < 0 ||
      static_cast<std::size_t>(topIndex) >= w->menuBar.size()) {
    return std::nullopt;
  }
  const FakeMenu& top = w->menuBar[static_cast<std::size_t>(topIndex)];
  if (subIndex < 0) return bounded(top.text, maxChars);
  if (static_cast<std::size_t>(subIndex) >= top.items.size()) return std::nullopt;
  return bounded(top.items[static_cast<std::size_t>(subIndex)], maxChars);
}

void FakeDesktop::setProcessId(WindowHandle window, std::uint32_t processId) {
  at(window).processId = processId;
}

std::uint32_t FakeDesktop::processId(WindowHandle window) {
  runDueChanges();
  const Window* w = living(window);
  return w ? w->processId : 0;
}

}  // namespace tabiro::testing
