// GPS start and stop in the map programs: the toolbar's GPS, linked GPS,
// centring and GPS relief buttons.
#pragma once

#include "core/app_context.h"

namespace tabiro {

inline constexpr const char* kGpsLinkProgram = "GPSLINK2.exe";
constexpr int kGpsStopPopupMs = 1000;
constexpr int kMapToFrontAfterGpsMs = 1500;  // timer 4
constexpr unsigned kGpsReliefCommand = 4013;  // to "GPSPLAYER"

// Flips Navin' You's own GPS button; true when GPS is now on. Before the
// blocking press that starts GPS, the route dialog responder is started.
bool toggleNavinGps(AppContext& ctx);

// Button 1000: GPS in the map program named by "Map", or from the GPS
// receiver when the profile's "Receiver" "Source" names one.
void toggleGps(AppContext& ctx);
// Button 1023: GPS in Navin' You with GPSLINK2.exe and ATLAS together.
void toggleLinkedGps(AppContext& ctx);
// Button 1003: own-car centring.
void toggleCentering(AppContext& ctx);
// Button 1009: the GPS player's relief release.
void gpsRelief(AppContext& ctx);

// The reader and the log writer, when "SaveTRK" is 1.
void startGpsWorkersForTrackLog(AppContext& ctx);

}  // namespace tabiro
