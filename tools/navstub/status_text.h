// The speed and position texts of Navin' You's status bar (parts 2, 3 and 4).
// The reader takes the fields at fixed byte offsets of the Shift-JIS text:
//   "時速：42km/h"              speed digits anywhere after the label
//   "北緯： 35度41分22.5秒"      degrees at byte 7, minutes at 11, seconds at 15
//   "東経：139度45分12.3秒"      degrees at byte 6, minutes at 11, seconds at 15
// so the widths here are fixed: two- or three-digit degrees, two-digit minutes,
// seconds as dd.d, all zero-padded.
#pragma once

#include <cstdint>
#include <string>

namespace navstub {

// Angles are whole tenths of an arc-second, the display resolution, so that
// rounding happens once and 59.96" can never show as "60.0".
constexpr int32_t kTenthsPerDegree = 36000;

std::string speedText(int kmh);
std::string latitudeText(int32_t tenths);   // 0 to 90 degrees north
std::string longitudeText(int32_t tenths);  // 0 to 180 degrees east

}  // namespace navstub
