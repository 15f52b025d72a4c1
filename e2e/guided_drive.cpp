#include "guided_drive.h"

#include <cstdlib>

#include "resource.h"

namespace e2e {

std::vector<HWND> picturePopups(DWORD process) {
  struct Search {
    DWORD process;
    std::vector<HWND> found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->process && IsWindowVisible(window) && GetDlgItem(window, IDC_PICTURE_FILE) &&
            GetDlgItem(window, IDC_PICTURE_CAPTION))
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

DriveWatcher::DriveWatcher(StubLog& speech, HWND toolbar, std::string shotPrefix)
    : speech_(speech), toolbar_(toolbar), shotPrefix_(std::move(shotPrefix)) {
  GetWindowThreadProcessId(toolbar_, &process_);
}

int DriveWatcher::waypointField() const { return std::atoi(controlText(toolbar_, IDC_WAYPOINT_FIELD).c_str()); }

std::string DriveWatcher::screenshot() {
  if (shotPrefix_.empty()) return {};
  const std::string path = shotPrefix_ + "-" + std::to_string(++shots_) + ".bmp";
  return saveScreenshot(path) ? path : std::string();
}

// A phrase is logged before it is read here: the field it went with is the
// one shown at the poll before its time.
int DriveWatcher::waypointAt(uint64_t timeMs) const {
  int value = fields_.empty() ? 0 : fields_.front().second;
  for (const auto& [time, field] : fields_)
    if (time <= timeMs) value = field;
  return value;
}

bool DriveWatcher::poll() {
  const size_t before = events_.size();
  fields_.emplace_back(GetTickCount64(), waypointField());
  const std::vector<LogEntry>& lines = speech_.entries();
  for (; speechSeen_ < lines.size(); ++speechSeen_) {
    const LogEntry& e = lines[speechSeen_];
    const std::string text = e.isEvent ? spokenText(e.event) : std::string();
    if (text.empty()) continue;
    events_.push_back({DriveEvent::Kind::Speech, e.timeMs, text, {}, waypointAt(e.timeMs), {}});
  }
  std::set<HWND> shown;
  for (HWND popup : picturePopups(process_)) {
    shown.insert(popup);
    if (popups_.count(popup)) continue;
    events_.push_back({DriveEvent::Kind::Picture, GetTickCount64(), controlText(popup, IDC_PICTURE_FILE),
                       controlText(popup, IDC_PICTURE_CAPTION), fields_.back().second, {}});
  }
  popups_ = std::move(shown);
  // One screenshot for what came together, taken while the popup is up.
  if (events_.size() > before) events_.back().screenshot = screenshot();
  return events_.size() > before;
}

std::vector<std::string> DriveWatcher::phrases() const {
  std::vector<std::string> out;
  for (const DriveEvent& e : events_)
    if (e.kind == DriveEvent::Kind::Speech) out.push_back(e.text);
  return out;
}

}  // namespace e2e
