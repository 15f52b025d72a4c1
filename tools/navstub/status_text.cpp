#include "status_text.h"

#include <cstdio>

namespace navstub {

namespace {

std::string angleText(const char* label, const char* gap, int degreeDigits, int32_t tenths) {
  if (tenths < 0) tenths = 0;
  int32_t degrees = tenths / kTenthsPerDegree;
  int32_t minutes = tenths / 600 % 60;
  int32_t secondTenths = tenths % 600;
  char text[64];
  std::snprintf(text, sizeof text, "%s%s%0*d度%02d分%02d.%d秒", label, gap, degreeDigits, static_cast<int>(degrees),
                static_cast<int>(minutes), static_cast<int>(secondTenths / 10), static_cast<int>(secondTenths % 10));
  return text;
}

}  // namespace

std::string speedText(int kmh) {
  char text[32];
  std::snprintf(text, sizeof text, "時速：%dkm/h", kmh < 0 ? 0 : kmh);
  return text;
}

std::string latitudeText(int32_t tenths) { return angleText("北緯", "： ", 2, tenths); }

std::string longitudeText(int32_t tenths) { return angleText("東経", "：", 3, tenths); }

}  // namespace navstub
