// The default of each key that is read in more than one place: what a read
// answers when the profile lacks the key, and what the first run writes.
#pragma once

namespace tabiro::defaults {

// "Rot"
constexpr int kWaveUp = 30;        // seconds of lead before a waypoint's phrase
constexpr int kWayPointMax = 50;   // what the first run writes

// "Ovis"
constexpr int kOvisUp = 500;
constexpr int kOvisUp2 = 60;

// "TOS": the spoken phrases.
inline constexpr const char* kOvis1 = "この先、オービス";
inline constexpr const char* kOvis2 = "です。スピード注意！";
inline constexpr const char* kChoku = "この先、直進です。";
inline constexpr const char* kMoku = "まもなく目的地です。";
inline constexpr const char* kMigi = "まもなく右方向です。";
inline constexpr const char* kHidari = "まもなく左方向です。";

}  // namespace tabiro::defaults
