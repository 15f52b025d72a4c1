// The messages Tabiro sends the map programs as if from their user: commands,
// key data, clicks, dialog buttons. A message whose target window does not
// exist is not sent.
#pragma once

#include <cstdint>

#include "core/app_context.h"
#include "mapctl/map_commands.h"

namespace tabiro {

constexpr int kNavinKeyHoldMs = 300;  // Navin' You arrow key, down to up
constexpr int kSheetClickHoldMs = 50; // settings sheet click, down to up

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

// A dialog button pressed from outside: WM_COMMAND with the button's id and,
// as lParam, the handle of the dialog's control with that id.
enum class DialogSend { Sent, Posted };
void sendDialogCommand(AppContext& ctx, WindowHandle dialog, int id, DialogSend how);

}  // namespace tabiro
