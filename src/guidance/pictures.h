// The junction and speed-camera pictures shown with an announcement: which
// bitmap a waypoint or camera text asks for, shown in a PicturePopup for
// "Komatime" seconds.
#pragma once

#include <string>
#include <string_view>

#include "core/app_context.h"

namespace tabiro {

// Longest stay honoured, so that a garbage "Komatime" cannot overflow the
// wait or keep a popup for days.
constexpr int kKomaTimeMaxSeconds = 3600;

// The junction picture a waypoint text asks for: the first tag of the table
// that the text contains wins. Empty when it has no known tag.
std::string turnPictureFor(std::string_view waypointText);

// The speed-camera picture for a camera text: its kind, and whether it
// stands on a major road. Every text has one.
std::string cameraPictureFor(std::string_view cameraText);

// How long a picture stays, in milliseconds, from "Komatime".
int pictureStayMs(const SettingsStore& settings);

// Each shows its popup at once, returning when it stands, and leaves its
// removal after "Komatime" seconds to a worker: what the caller does next (a
// waypoint's map commands, which hold the toolbar's thread for seconds)
// comes after the picture, never before it. The turn picture is the junction
// of `waypoint`, the one current when the announcement was made.
void showTurnPicture(AppContext& ctx, int waypoint);
void showCameraPicture(AppContext& ctx, const std::string& cameraText);
// A given picture above a given caption.
void showCaptionedPicture(AppContext& ctx, const std::string& picture, const std::string& caption);

}  // namespace tabiro
