#include "gps/track_log_format.h"

#include <gtest/gtest.h>

namespace tabiro {
namespace {

TEST(TrackLogFormatTest, FileNameIsMonthDayHourMinute) {
  EXPECT_EQ(trackLogFileName({1998, 12, 1, 14, 5, 33}), "12011405.log");
  EXPECT_EQ(trackLogFileName({2024, 3, 9, 0, 0, 0}), "03090000.log");
}

TEST(TrackLogFormatTest, LineHasTwoDigitYearAndEndsInCrLf) {
  EXPECT_EQ(trackLogLine({1998, 12, 1, 14, 5, 33}, "35:41:22.5", "139:45:10.3"),
            "98/12/01 14:05:33 N35:41:22.5 E139:45:10.3\r\n");
  EXPECT_EQ(trackLogLine({2000, 1, 2, 3, 4, 5}, "1", "2"), "00/01/02 03:04:05 N1 E2\r\n");
}

TEST(TrackLogFormatTest, NoLineWithoutBothPositionTexts) {
  EXPECT_EQ(trackLogLine({2000, 1, 1, 0, 0, 0}, "", "139:45:10.3"), std::nullopt);
  EXPECT_EQ(trackLogLine({2000, 1, 1, 0, 0, 0}, "35:41:22.5", ""), std::nullopt);
}

}  // namespace
}  // namespace tabiro
