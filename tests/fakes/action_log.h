// The one ordered record of everything the program does to the world, shared
// by all fakes, and the virtual time that stamps each entry. A test compares
// it with the sequence it expects, in the spirit of Wine's ok_sequence:
//
//   EXPECT_THAT(t.log.messages(), ElementsAre(Posted(atlas, win::kWmCommand, kAtlasGpsOff, 0)));
//   EXPECT_THAT(t.log.actions(), ElementsAre(PostedCommand(atlas, kAtlasGpsOff), Sleep(500)));
//
// Equality ignores the time stamp and the window's label; both are printed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tabiro::testing {

enum class ActionKind {
  Sent,           // window, message, wParam, lParam
  Posted,         // window, message, wParam, lParam
  Foreground,     // window
  BringToTop,     // window
  Show,           // window, value = show mode
  Move,           // window, rect
  Launch,         // text = command line, value = show mode
  Sleep,          // value = milliseconds
  Sound,          // text = resource name
  SoundFile,      // text = file name
  TimerStart,     // id, value = period in milliseconds
  TimerStop,      // id
  BitmapSet,      // id = button, text = set, value = 1 with the disabled bitmap
  Enable,         // id = control, value = 1 enabled, 0 disabled
  Focus,          // id = control
  WaypointField,  // value
  PopupShown,     // id = template
  PopupClosed,    // id = template
  About,
  Help,
  Error,          // text
  WorkerStarted,  // text = name
  PictureShown,   // text = picture file, detail = caption
  PictureClosed,  // text = picture file
  DialogRun,      // id = template, value = 1 confirmed, 0 cancelled
  SessionVolume,  // text = session instance, value = volume in thousandths
};

struct Action {
  ActionKind kind = ActionKind::Sleep;
  WindowHandle window = kNoWindow;
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  int id = 0;
  int value = 0;
  std::string text;
  std::string detail;
  ScreenRect rect;

  std::int64_t atMs = -1;    // virtual time when recorded, -1 if expected; not compared
  std::string windowLabel;   // class and title of the window; not compared

  bool operator==(const Action& other) const;
};

std::ostream& operator<<(std::ostream& out, const Action& action);

// The expected entries, one per kind.
Action Sent(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
Action Posted(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
Action SentCommand(WindowHandle window, unsigned id);    // WM_COMMAND id, lParam 0
Action PostedCommand(WindowHandle window, unsigned id);  // WM_COMMAND id, lParam 0
Action Foreground(WindowHandle window);
Action BringToTop(WindowHandle window);
Action Shown(WindowHandle window, int showMode);
Action Moved(WindowHandle window, int x, int y, int width, int height);
Action Launched(const std::string& commandLine, int showMode);
Action Sleep(int ms);
Action SoundResource(const std::string& resourceName);
Action SoundFile(const std::string& fileName);
Action TimerStart(int id, int periodMs);
Action TimerStop(int id);
Action BitmapSet(int buttonId, const std::string& set, bool withDisabled);
Action Enabled(int controlId, bool enabled);
Action Focus(int controlId);
Action WaypointField(int value);
Action PopupShown(int templateId);
Action PopupClosed(int templateId);
Action About();
Action Help();
Action ErrorShown(const std::string& text);
Action WorkerStarted(const std::string& name);
Action PictureShown(const std::string& pictureFile, const std::string& caption);
Action PictureClosed(const std::string& pictureFile);
Action DialogRun(int templateId, bool confirmed);
Action SessionVolume(const std::string& instanceId, float volume);

class ActionLog {
 public:
  // Appends the action stamped with the current virtual time.
  void record(Action action, std::string windowLabel = {});

  std::int64_t nowMs() const { return nowMs_.load(); }
  void advance(int ms) { nowMs_ += ms; }

  std::vector<Action> actions() const;
  std::vector<Action> filter(const std::function<bool(const Action&)>& keep) const;
  std::vector<Action> of(ActionKind kind) const;
  std::vector<Action> of(std::initializer_list<ActionKind> kinds) const;
  // Sent and posted messages only, to any window or to one.
  std::vector<Action> messages() const;
  std::vector<Action> messagesTo(WindowHandle window) const;
  std::int64_t totalSleptMs() const;
  // Forgets what set-up did, so that a test sees only the operation it checks.
  void clear();

 private:
  mutable std::mutex mutex_;
  std::vector<Action> actions_;
  std::atomic<std::int64_t> nowMs_{0};
};

}  // namespace tabiro::testing
