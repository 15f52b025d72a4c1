// ToolbarDialog: the handlers of the toolbar window. The Win32 window (or a
// test) calls them; they reach the world only through the ports.
#pragma once

#include "core/app_context.h"
#include "core/shared_state.h"
#include "core/toolbar_title.h"
#include "speech/toolbar_speech.h"

namespace tabiro {

constexpr int kWaypointFieldMin = 1;
// One past the last row: where the engine leaves "WayPoint" when the route ends.
constexpr int kWaypointFieldMax = WaypointTable::kRows + 1;

// IDC_GPS and IDC_LINKED_GPS: GPS, and guidance with it when "Wavstart" is 1.
void pressGps(AppContext& ctx);
void pressLinkedGps(AppContext& ctx);

class ToolbarDialog {
 public:
  ToolbarDialog(AppContext& ctx, ToolbarSpeech& speech) : ctx_(ctx), speech_(speech) {}

  // Initialisation up to the system menu, which only the window can build:
  // speech, bitmap sets, profile reset and defaults, start-up popup, map
  // programs. The start-up popup stays up until initialiseAfterSystemMenu.
  void initialiseBeforeSystemMenu();
  // Placement, the start-up timers, and the popup goes.
  void initialiseAfterSystemMenu();

  // Enter, OK and the × button: quit this program only. False when the
  // waypoint field is not valid and the toolbar must stay.
  bool onOk();
  // Esc and the close box: quit this program and the map programs.
  void onCancel();

  // A WM_COMMAND as the window receives it. Only a click (BN_CLICKED) or a
  // command without a notification code, as workers, dialogs and keys send
  // it (0 both), runs a handler: an owner-drawn button follows the click of
  // a double click with BN_DOUBLECLICKED, which must not run it again, and
  // the waypoint field's notifications are no commands. False when the
  // toolbar is to end.
  bool onCommandMessage(int id, int notificationCode);

  void onCommand(int id);
  void onTimer(int id);
  // True when the command was one of the toolbar's own system-menu items.
  bool onSystemCommand(int id);
  // Every control-colour request: the window is about to paint.
  void onControlColour();
  // toolbar_message::kShowWaypoint, posted by the guidance engine.
  void onShowWaypoint();

 private:
  AppContext& ctx_;
  ToolbarSpeech& speech_;
  int startupPopup_ = 0;
  int foregroundTimerMs_ = 4000;
};

}  // namespace tabiro
