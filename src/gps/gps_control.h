// GPS start and stop in the map programs: the toolbar's GPS, linked GPS and
// GPS relief buttons.
#pragma once

#include <functional>

#include "core/app_context.h"

namespace tabiro {

inline constexpr const char* kGpsLinkProgram = "GPSLINK2.exe";
constexpr int kGpsStopPopupMs = 1000;
constexpr int kMapToFrontAfterGpsMs = 1500;  // timer::kBringMapToFront
constexpr unsigned kGpsReliefCommand = 4013;  // to "GPSPLAYER"

// Flips Navin' You's own GPS button; true when GPS is now on. Before the
// blocking press that starts GPS, the route dialog responder is started.
bool toggleNavinGps(AppContext& ctx);

// What starts with GPS, composed above this area (guidance with "Wavstart").
using GpsStarted = std::function<void()>;

// IDC_GPS: GPS in the map program named by "Map", or from the GPS
// receiver when the profile's "Receiver" "Source" names one.
void toggleGps(AppContext& ctx, const GpsStarted& started);
// IDC_LINKED_GPS: GPS in Navin' You with GPSLINK2.exe and ATLAS together.
void toggleLinkedGps(AppContext& ctx, const GpsStarted& started);
// IDC_GPS_RELIEF: the GPS player's relief release.
void gpsRelief(AppContext& ctx);

// The reader and the log writer, when "SaveTRK" is 1.
void startGpsWorkersForTrackLog(AppContext& ctx);

}  // namespace tabiro
