// A test hook of the hooked build of Tabiro2.exe (e2e/CMakeLists.txt), never
// of the shipped exe: it installs itself as the toolbar's copy-data observer,
// so that WM_COPYDATA to the toolbar makes one announcement on a worker
// thread, as the guidance engine does. The data is Shift-JIS lines
// "key=value":
//   speech=TEXT     speechText
//   waypoint=TEXT   the text of waypoint "WayPoint" (for the turn picture)
//   camera=TEXT     a speed-camera announcement with that text (else a turn)
//   wav=NAME        the WAV file
#pragma once

#include <string_view>

#include "core/app_context.h"

namespace tabiro {

bool runAnnounceHook(AppContext& ctx, std::string_view data);

}  // namespace tabiro
