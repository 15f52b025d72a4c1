#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tabiro {
namespace {

// 表 and ソ end in 0x5C, the byte of '\' in single-byte text.
constexpr const char* kHyou = "表";
constexpr const char* kSo = "ソ";

TEST(ShiftJis, LiteralsAreShiftJisBytes) {
  EXPECT_STREQ(kHyou, "\x95\x5C");
  EXPECT_STREQ(kSo, "\x83\x5C");
  EXPECT_TRUE(sjis::isLeadByte(0x95));
  EXPECT_TRUE(sjis::isLeadByte(0xE0));
  EXPECT_FALSE(sjis::isLeadByte(0x5C));
  EXPECT_FALSE(sjis::isLeadByte(0xB3));  // half-width katakana stand alone
}

TEST(ShiftJis, SingleByteTagNeverMatchesATrailByte) {
  EXPECT_FALSE(sjis::contains("地図表示", "\\"));
  EXPECT_FALSE(sjis::contains("ソフト", "\\"));
  EXPECT_EQ(sjis::find("表\\", "\\"), 2u);
}

TEST(ShiftJis, TagOnALeadTrailBoundaryIsNotFound) {
  // "\x83\x5C\x83" ends in a lead byte; a tag built from trail+lead bytes of
  // neighbouring characters must not be found across the boundary.
  const std::string text = std::string(kSo) + kSo;  // 83 5C 83 5C
  EXPECT_FALSE(sjis::contains(text, "\x5C\x83"));
  EXPECT_TRUE(sjis::contains(text, kSo));
  EXPECT_EQ(sjis::find(text, kSo), 0u);
}

TEST(ShiftJis, FindsWholeCharacterTagsInMixedText) {
  EXPECT_EQ(sjis::find("ABｳｨﾝﾄﾞｳ(W)", "ｳｨﾝﾄﾞｳ"), 2u);
  EXPECT_TRUE(sjis::contains("地図 ProAtlas 1", "ProAtlas"));
  EXPECT_EQ(sjis::find("abc", ""), 0u);
  EXPECT_FALSE(sjis::contains("ab", "abc"));
}

TEST(ShiftJis, TruncateNeverSplitsACharacter) {
  EXPECT_EQ(sjis::truncate("ab表", 3), "ab");
  EXPECT_EQ(sjis::truncate("ab表", 4), "ab表");
  EXPECT_EQ(sjis::truncate("abc", 10), "abc");
}

TEST(ShiftJis, BoundedCopyNeverSpills) {
  char buffer[6];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(sjis::copyBounded(buffer, 5, "表表表"), 4u);
  EXPECT_STREQ(buffer, "表表");
  EXPECT_EQ(buffer[5], 'x');  // beyond the stated size stays untouched
  EXPECT_EQ(sjis::copyBounded(buffer, 0, "a"), 0u);
}

}  // namespace
}  // namespace tabiro
