#include "platform/gbk.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Gbk, EncodesChineseToKnownBytes) {
  // "计算" in GBK is BC C6 CB E3.
  auto g = Utf8ToGbk("计算1");
  ASSERT_TRUE(g);
  EXPECT_EQ(*g, std::string("\xBC\xC6\xCB\xE3" "1"));
  EXPECT_EQ(GbkToUtf8(*g), "计算1");
}

TEST(Gbk, RefusesWhatGbkCannotHoldAndNamesIt) {
  std::size_t bad = 99;
  EXPECT_FALSE(Utf8ToGbk("点A😀B", &bad));
  EXPECT_EQ(bad, 4u);  // after "点A"
  EXPECT_EQ(FirstNonGbkChar("点A😀B"), "😀");
  EXPECT_TRUE(IsGbkEncodable("北京54 西安80"));
  EXPECT_EQ(FirstNonGbkChar("abc"), "");
}

TEST(Gbk, DamagedBytesBecomeQuestionMarksAndTheRestSurvives) {
  // 0xFF is never valid in GBK; a lone lead byte at the end neither.
  EXPECT_EQ(GbkToUtf8(std::string("A\xFF" "\xBC\xC6" "B\xBC")), "A?计B?");
}

TEST(Gbk, WidthCountsChineseAsTwo) {
  struct { const char* text; int width; } cases[] = {
      {"", 0}, {"abc", 3}, {"点号", 4}, {"第1点(P1)", 9}, {"°", 2},
  };
  for (auto& c : cases) EXPECT_EQ(GbkWidth(c.text), c.width) << c.text;
}

TEST(Gbk, TruncateNeverSplitsACharacter) {
  EXPECT_EQ(GbkTruncate("点号AB", 3), "点");
  EXPECT_EQ(GbkTruncate("点号AB", 5), "点号A");
  EXPECT_EQ(GbkTruncate("ab", 10), "ab");
}
