// Watching a guided drive from outside, as a person at the screen would:
// the speech stand-in's Speak calls, the picture popups the toolbar shows and
// the waypoint its field names, with a screenshot at each. The demo prints
// what it saw; the release test looks at a popup.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

struct DriveEvent {
  enum class Kind { Speech, Picture };
  Kind kind = Kind::Speech;
  uint64_t timeMs = 0;  // GetTickCount64, the stand-ins' clock
  std::string text;     // the phrase spoken, or the picture's file name
  std::string caption;  // a picture's caption
  int waypoint = 0;     // the toolbar's waypoint field at that moment
  std::string screenshot;  // BMP saved at the event, or empty
};

class DriveWatcher {
 public:
  // shotPrefix: "dir\\announce" saves dir\announce-1.bmp, ...; empty: none.
  DriveWatcher(StubLog& speech, HWND toolbar, std::string shotPrefix);

  // Takes in new Speak calls and newly shown picture popups; true when there
  // was something new.
  bool poll();
  const std::vector<DriveEvent>& events() const { return events_; }
  std::vector<std::string> phrases() const;

 private:
  int waypointField() const;
  int waypointAt(uint64_t timeMs) const;
  std::string screenshot();

  StubLog& speech_;
  HWND toolbar_;
  DWORD process_ = 0;
  std::string shotPrefix_;
  int shots_ = 0;
  size_t speechSeen_ = 0;
  std::set<HWND> popups_;  // shown at the last poll
  std::vector<std::pair<uint64_t, int>> fields_;  // the waypoint field at each poll
  std::vector<DriveEvent> events_;
};

// The picture popups of the process `process` now on screen.
std::vector<HWND> picturePopups(DWORD process);

}  // namespace e2e
