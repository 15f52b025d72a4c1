// The common vocabulary of every map operation: bringing the map program to
// the front and the toolbar back, key data, click positions, menu numbers.
#pragma once

#include <cstdint>

#include "app/app_context.h"

namespace tabiro {

// Makes the toolbar (the window titled "Tabiro2") the foreground window.
void raiseToolbar(AppContext& ctx);

// Brings the map program in front, then SView; about one second.
void activateMapWindow(AppContext& ctx);

// Starts raise timer 2 (GPS on) or 3 (linked GPS) so the toolbar comes back.
void rearmRaiseTimer(AppContext& ctx);

enum class ArrowKey { Left, Up, Right, Down };
unsigned virtualKey(ArrowKey key);
std::intptr_t keyDownData(ArrowKey key);
std::intptr_t keyUpData(ArrowKey key);

// A client position packed as a mouse message's lParam.
constexpr std::intptr_t clickPosition(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y) << 16) |
                                    (static_cast<std::uint32_t>(x) & 0xFFFF));
}

// A stored menu number as a command: 0 means "not set", sending nothing.
constexpr unsigned atlasScaleCommand(int menuNumber) {
  return menuNumber == 0 ? 0 : static_cast<unsigned>(menuNumber) + 40959u;
}
constexpr unsigned proAtlasScaleCommand(int menuNumber) {
  return menuNumber == 0 ? 0 : static_cast<unsigned>(menuNumber) + 32943u;
}

// A dialog button pressed from outside: WM_COMMAND with the button's id and,
// as lParam, the handle of the dialog's control with that id.
enum class DialogSend { Sent, Posted };
void sendDialogCommand(AppContext& ctx, WindowHandle dialog, int id, DialogSend how);

}  // namespace tabiro
