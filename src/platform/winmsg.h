// Window message numbers, show modes and command ids as plain integers, so that
// portable code never needs <windows.h>.
#pragma once

#include <cstdint>

namespace tabiro::win {

// Window messages.
constexpr unsigned kWmCommand = 273;
constexpr unsigned kWmKeyDown = 256;
constexpr unsigned kWmKeyUp = 257;
constexpr unsigned kWmLButtonDown = 513;
constexpr unsigned kWmLButtonUp = 514;
constexpr unsigned kWmRButtonDown = 516;
constexpr unsigned kWmRButtonUp = 517;
constexpr unsigned kWmUser = 1024;
constexpr unsigned kWmApp = 0x8000;

// Dialog button ids that Enter and Esc reach.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// Button notification codes (the high word of a WM_COMMAND's wParam).
constexpr int kBnClicked = 0;
constexpr int kBnDoubleClicked = 5;

// Common-control requests sent to other programs' controls.
constexpr unsigned kTbGetState = 1042;   // ToolbarWindow32
constexpr unsigned kTbmGetPos = 1024;    // msctls_trackbar32
constexpr unsigned kSbGetTextA = 1026;   // msctls_statusbar32

// Show modes.
constexpr int kSwShowMaximized = 3;
constexpr int kSwRestore = 9;

// Mouse key state.
constexpr uintptr_t kMkLButton = 1;
constexpr uintptr_t kMkRButton = 2;

// Toolbar button states answered by TB_GETSTATE.
constexpr intptr_t kTbStateEnabled = 4;
constexpr intptr_t kTbStateEnabledChecked = 5;

// Application-exit command understood by the map programs.
constexpr unsigned kCmdAppExit = 57665;

// Help command on the toolbar (button "？" and F1).
constexpr unsigned kCmdHelp = 57670;

}  // namespace tabiro::win
