// Window timers of the toolbar. 1, 5, 9 and 11 are reserved: never started,
// but some handlers stop them with the others, which is harmless.
#pragma once

namespace tabiro::timer {

constexpr int kReserved1 = 1;
constexpr int kRaiseAfterGps = 2;     // "GPS" = 1
constexpr int kRaiseAfterLinked = 3;  // "GPS" = 2
constexpr int kBringMapToFront = 4;
constexpr int kReserved11 = 11;
constexpr int kRouteListWatch = 12;
constexpr int kAudioErrorWatch = 100;
constexpr int kGuideCheck = 110;
constexpr int kSpeechWatch = 120;  // a phrase is being said

constexpr int kRouteListWatchMs = 500;
constexpr int kAudioErrorWatchMs = 500;

}  // namespace tabiro::timer
