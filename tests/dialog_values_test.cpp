// What the thin dialog layer decides without Win32.
#include "ui/dialog_values.h"

#include <gtest/gtest.h>

namespace tabiro::ui {
namespace {

TEST(DialogInteger, AcceptsWholeNumbersAsTypedAndRefusesEverythingElse) {
  EXPECT_EQ(parseDialogInteger("30"), 30);
  EXPECT_EQ(parseDialogInteger("  -5 "), -5);
  EXPECT_EQ(parseDialogInteger("+7"), 7);
  EXPECT_EQ(parseDialogInteger("0"), 0);
  EXPECT_EQ(parseDialogInteger("2147483647"), 2147483647);
  EXPECT_EQ(parseDialogInteger("-2147483648"), -2147483647 - 1);
  for (const char* refused : {"", "  ", "a", "3a", "a3", "1 2", "1.5", "-", "+", "0x10",
                              "2147483648", "99999999999", "３０"}) {
    EXPECT_EQ(parseDialogInteger(refused), std::nullopt) << refused;
  }
}

TEST(FileDialogFilter, BarsBecomeSeparatorsButNotTrailBytes) {
  using namespace std::string_literals;
  EXPECT_EQ(fileDialogFilter("ﾌﾟﾛｸﾞﾗﾑ|*.exe|"), "ﾌﾟﾛｸﾞﾗﾑ\0*.exe\0\0"s);
  // ポ is 0x83 0x7C: its trail byte is the bar's.
  ASSERT_EQ(std::string("ポ"), "\x83\x7C");
  EXPECT_EQ(fileDialogFilter("ポ|*.pot|"), "ポ\0*.pot\0\0"s);
}

}  // namespace
}  // namespace tabiro::ui
