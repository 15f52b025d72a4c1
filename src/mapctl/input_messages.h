// The common vocabulary of every map operation: bringing the map program to
// the front and the toolbar back, commands, key data, clicks, menu numbers.
// A message whose target window does not exist is not sent.
#pragma once

#include <cstdint>
#include <functional>

#include "core/app_context.h"
#include "mapctl/map_commands.h"

namespace tabiro {

constexpr int kMapSettleMs = 500;     // after the map program, and after SView, come forward
constexpr int kRaiseTimerMs = 2000;   // timers 2 and 3
constexpr int kNavinKeyHoldMs = 300;  // Navin' You arrow key, down to up
constexpr int kSheetClickHoldMs = 50; // settings sheet click, down to up

// Makes the toolbar (the window titled "Tabiro2") the foreground window.
void raiseToolbar(AppContext& ctx);

// Brings the map program named by "Map" in front, then SView; one second.
void activateMapWindow(AppContext& ctx);

// Starts raise timer 2 ("GPS" = 1) or 3 ("GPS" = 2) so the toolbar comes back.
void rearmRaiseTimer(AppContext& ctx);

// Stops timers 1, 2 and 3, so that none raises the toolbar mid-operation.
void cancelRaiseTimers(AppContext& ctx);

// WM_COMMAND to the Navin' You main window; false when it is not there.
bool sendNavinCommand(AppContext& ctx, unsigned id);
bool postNavinCommand(AppContext& ctx, unsigned id);

enum class ArrowKey { Left, Up, Right, Down };
unsigned virtualKey(ArrowKey key);
std::intptr_t keyDownData(ArrowKey key);
std::intptr_t keyUpData(ArrowKey key);

// An arrow key to a Navin' You map view: down posted, 300 ms, up posted.
void pressNavinArrow(AppContext& ctx, WindowHandle view, ArrowKey key);

// A client position packed as a mouse message's lParam.
constexpr std::intptr_t clickPosition(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                    (static_cast<std::uint32_t>(x) & 0xFFFF));
}

// A left button-down, sent, on Navin' You's scale arrows (no button-up).
void clickScaleArrow(AppContext& ctx, WindowHandle upDown, ClientPoint arrow);

// A click on a Navin' You map view: down (wParam MK_LBUTTON or MK_RBUTTON)
// and up (wParam 0), both posted, no pause.
enum class MouseButton { Left, Right };
void clickMapView(AppContext& ctx, WindowHandle view, MouseButton button, ClientPoint at);

// A click on a control of the settings sheet: down and up posted, both with
// MK_LBUTTON, 50 ms apart.
void clickSheetControl(AppContext& ctx, WindowHandle control, ClientPoint at);

// A stored menu number as a command: 0 means "not set", sending nothing.
constexpr unsigned atlasScaleCommand(int menuNumber) {
  return menuNumber == 0 ? 0 : static_cast<unsigned>(menuNumber) + kAtlasScaleBase;
}
constexpr unsigned proAtlasScaleCommand(int menuNumber) {
  return menuNumber == 0 ? 0 : static_cast<unsigned>(menuNumber) + kProAtlasScaleBase;
}

// Looks for a window with `find` every pollMs until it answers one or
// timeoutMs have passed (then 0): no other program can hold the toolbar for
// longer. The first look is at once.
WindowHandle pollForWindow(AppContext& ctx, const std::function<WindowHandle()>& find, int pollMs,
                           int timeoutMs);

// A dialog button pressed from outside: WM_COMMAND with the button's id and,
// as lParam, the handle of the dialog's control with that id.
enum class DialogSend { Sent, Posted };
void sendDialogCommand(AppContext& ctx, WindowHandle dialog, int id, DialogSend how);

}  // namespace tabiro
