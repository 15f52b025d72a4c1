#include "fakes/action_log.h"

#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "platform/winmsg.h"

namespace tabiro::testing {

namespace {

auto comparable(const Action& a) {
  return std::tie(a.kind, a.window, a.message, a.wParam, a.lParam, a.id, a.value, a.text, a.detail, a.rect);
}

// Texts are Shift-JIS; a failure message is read on a UTF-8 terminal.
std::string readable(const std::string& sjisText) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return sjisText;
  std::string in = sjisText;
  std::string out(in.size() * 3 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  std::size_t srcLeft = in.size();
  std::size_t dstLeft = out.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return sjisText;
  out.resize(out.size() - dstLeft);
  return out;
}

const char* messageName(unsigned message) {
  switch (message) {
    case win::kWmCommand: return "WM_COMMAND";
    case win::kWmKeyDown: return "WM_KEYDOWN";
    case win::kWmKeyUp: return "WM_KEYUP";
    case win::kWmLButtonDown: return "WM_LBUTTONDOWN";
    case win::kWmLButtonUp: return "WM_LBUTTONUP";
    case win::kWmRButtonDown: return "WM_RBUTTONDOWN";
    case win::kWmRButtonUp: return "WM_RBUTTONUP";
    case win::kTbGetState: return "TB_GETSTATE";
    default: return nullptr;
  }
}

void printWindow(std::ostream& out, const Action& a) {
  out << "0x" << std::hex << a.window << std::dec;
  if (!a.windowLabel.empty()) out << '<' << readable(a.windowLabel) << '>';
}

void printMessage(std::ostream& out, const char* verb, const Action& a) {
  out << verb << ' ';
  printWindow(out, a);
  out << ' ';
  if (const char* name = messageName(a.message)) {
    out << name;
  } else {
    out << a.message;
  }
  out << ' ' << a.wParam << " 0x" << std::hex << a.lParam << std::dec;
}

bool isMessage(const Action& a) {
  return a.kind == ActionKind::Sent || a.kind == ActionKind::Posted;
}

Action make(ActionKind kind) {
  Action a;
  a.kind = kind;
  return a;
}

Action windowAction(ActionKind kind, WindowHandle window) {
  Action a = make(kind);
  a.window = window;
  return a;
}

Action message(ActionKind kind, WindowHandle window, unsigned msg, std::uintptr_t wParam,
               std::intptr_t lParam) {
  Action a = windowAction(kind, window);
  a.message = msg;
  a.wParam = wParam;
  a.lParam = lParam;
  return a;
}

Action idValue(ActionKind kind, int id, int value) {
  Action a = make(kind);
  a.id = id;
  a.value = value;
  return a;
}

Action textValue(ActionKind kind, const std::string& text, int value) {
  Action a = make(kind);
  a.text = text;
  a.value = value;
  return a;
}

}  // namespace

bool Action::operator==(const Action& other) const { return comparable(*this) == comparable(other); }

std::ostream& operator<<(std::ostream& out, const Action& a) {
  if (a.atMs >= 0) out << '@' << a.atMs << "ms ";
  switch (a.kind) {
    case ActionKind::Sent: printMessage(out, "send", a); break;
    case ActionKind::Posted: printMessage(out, "post", a); break;
    case ActionKind::Foreground: out << "foreground "; printWindow(out, a); break;
    case ActionKind::BringToTop: out << "bring-to-top "; printWindow(out, a); break;
    case ActionKind::Show: out << "show "; printWindow(out, a); out << " mode " << a.value; break;
    case ActionKind::Move:
      out << "move ";
      printWindow(out, a);
      out << " (" << a.rect.left << ',' << a.rect.top << ")-(" << a.rect.right << ','
          << a.rect.bottom << ')';
      break;
    case ActionKind::Launch: out << "launch \"" << readable(a.text) << "\" mode " << a.value; break;
    case ActionKind::Sleep: out << "sleep " << a.value; break;
    case ActionKind::Sound: out << "sound resource " << readable(a.text); break;
    case ActionKind::SoundFile: out << "sound file " << readable(a.text); break;
    case ActionKind::TimerStart: out << "timer start " << a.id << " every " << a.value; break;
    case ActionKind::TimerStop: out << "timer stop " << a.id; break;
    case ActionKind::BitmapSet:
      out << "bitmaps " << a.text << " on " << a.id << (a.value ? " with disabled" : "");
      break;
    case ActionKind::Enable: out << (a.value ? "enable " : "disable ") << a.id; break;
    case ActionKind::Focus: out << "focus " << a.id; break;
    case ActionKind::WaypointField: out << "waypoint field " << a.value; break;
    case ActionKind::PopupShown: out << "popup shown " << a.id; break;
    case ActionKind::PopupClosed: out << "popup closed " << a.id; break;
    case ActionKind::About: out << "about"; break;
    case ActionKind::Help: out << "help"; break;
    case ActionKind::Error: out << "error \"" << readable(a.text) << '"'; break;
    case ActionKind::WorkerStarted: out << "worker " << readable(a.text); break;
    case ActionKind::PictureShown:
      out << "picture " << readable(a.text) << " caption \"" << readable(a.detail) << '"';
      break;
    case ActionKind::PictureClosed: out << "picture closed " << readable(a.text); break;
    case ActionKind::DialogRun:
      out << "dialog " << a.id << (a.value ? " confirmed" : " cancelled");
      break;
    case ActionKind::SessionVolume:
      out << "session " << readable(a.text) << " volume " << a.value << "/1000";
      break;
  }
  return out;
}

Action Sent(WindowHandle window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  return message(ActionKind::Sent, window, msg, wParam, lParam);
}
Action Posted(WindowHandle window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  return message(ActionKind::Posted, window, msg, wParam, lParam);
}
Action SentCommand(WindowHandle window, unsigned id) {
  return Sent(window, win::kWmCommand, id, 0);
}
Action PostedCommand(WindowHandle window, unsigned id) {
  return Posted(window, win::kWmCommand, id, 0);
}
Action Foreground(WindowHandle window) { return windowAction(ActionKind::Foreground, window); }
Action BringToTop(WindowHandle window) { return windowAction(ActionKind::BringToTop, window); }
Action Shown(WindowHandle window, int showMode) {
  Action a = windowAction(ActionKind::Show, window);
  a.value = showMode;
  return a;
}
Action Moved(WindowHandle window, int x, int y, int width, int height) {
  Action a = windowAction(ActionKind::Move, window);
  a.rect = {x, y, x + width, y + height};
  return a;
}
Action Launched(const std::string& commandLine, int showMode) {
  return textValue(ActionKind::Launch, commandLine, showMode);
}
Action Sleep(int ms) { return idValue(ActionKind::Sleep, 0, ms); }
Action SoundResource(const std::string& resourceName) { return textValue(ActionKind::Sound, resourceName, 0); }
Action SoundFile(const std::string& fileName) { return textValue(ActionKind::SoundFile, fileName, 0); }
Action TimerStart(int id, int periodMs) { return idValue(ActionKind::TimerStart, id, periodMs); }
Action TimerStop(int id) { return idValue(ActionKind::TimerStop, id, 0); }
Action BitmapSet(int buttonId, const std::string& set, bool withDisabled) {
  Action a = textValue(ActionKind::BitmapSet, set, withDisabled ? 1 : 0);
  a.id = buttonId;
  return a;
}
Action Enabled(int controlId, bool enabled) {
  return idValue(ActionKind::Enable, controlId, enabled ? 1 : 0);
}
Action Focus(int controlId) { return idValue(ActionKind::Focus, controlId, 0); }
Action WaypointField(int value) { return idValue(ActionKind::WaypointField, 0, value); }
Action PopupShown(int templateId) { return idValue(ActionKind::PopupShown, templateId, 0); }
Action PopupClosed(int templateId) { return idValue(ActionKind::PopupClosed, templateId, 0); }
Action About() { return make(ActionKind::About); }
Action Help() { return make(ActionKind::Help); }
Action ErrorShown(const std::string& text) { return textValue(ActionKind::Error, text, 0); }
Action WorkerStarted(const std::string& name) {
  return textValue(ActionKind::WorkerStarted, name, 0);
}
Action PictureShown(const std::string& pictureFile, const std::string& caption) {
  Action a = textValue(ActionKind::PictureShown, pictureFile, 0);
  a.detail = caption;
  return a;
}
Action PictureClosed(const std::string& pictureFile) {
  return textValue(ActionKind::PictureClosed, pictureFile, 0);
}
Action DialogRun(int templateId, bool confirmed) {
  return idValue(ActionKind::DialogRun, templateId, confirmed ? 1 : 0);
}
Action SessionVolume(const std::string& instanceId, float volume) {
  return textValue(ActionKind::SessionVolume, instanceId,
                   static_cast<int>(std::lround(volume * 1000.0f)));
}

void ActionLog::record(Action action, std::string windowLabel) {
  action.atMs = nowMs();
  action.windowLabel = std::move(windowLabel);
  std::lock_guard<std::mutex> lock(mutex_);
  actions_.push_back(std::move(action));
}

std::vector<Action> ActionLog::actions() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return actions_;
}

std::vector<Action> ActionLog::filter(const std::function<bool(const Action&)>& keep) const {
  std::vector<Action> kept;
  for (const Action& a : actions()) {
    if (keep(a)) kept.push_back(a);
  }
  return kept;
}

std::vector<Action> ActionLog::of(ActionKind kind) const { return of({kind}); }

std::vector<Action> ActionLog::of(std::initializer_list<ActionKind> kinds) const {
  return filter([kinds](const Action& a) {
    return std::find(kinds.begin(), kinds.end(), a.kind) != kinds.end();
  });
}

std::vector<Action> ActionLog::messages() const { return filter(isMessage); }

std::vector<Action> ActionLog::messagesTo(WindowHandle window) const {
  return filter([window](const Action& a) { return isMessage(a) && a.window == window; });
}

std::int64_t ActionLog::totalSleptMs() const {
  std::int64_t total = 0;
  for (const Action& a : of(ActionKind::Sleep)) total += a.value;
  return total;
}

void ActionLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  actions_.clear();
}

}  // namespace tabiro::testing
