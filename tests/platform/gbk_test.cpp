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

TEST(Gbk, RunsBetweenAsciiAndRepeatedRunsEncodeAlike) {
  // A drawing repeats its layer name between ASCII groups on every entity.
  const struct {
    const char* utf8;
    const char* gbk;         // nullptr: refused
    std::size_t bad = 0;     // where, when refused
  } cases[] = {
      {"表格\r\n1\r\n表格\r\n2\r\n表格", "\xB1\xED\xB8\xF1\r\n1\r\n\xB1\xED\xB8\xF1\r\n2\r\n\xB1\xED\xB8\xF1"},
      {"表格1表格点", "\xB1\xED\xB8\xF1" "1" "\xB1\xED\xB8\xF1\xB5\xE3"},  // a longer run after a like one
      {"表格1表格1😀", nullptr, 14},
      {"表格1\xE8" "1", nullptr, 7},  // a lead byte cut off by ASCII
  };
  for (const auto& c : cases) {
    std::size_t bad = 99;
    auto g = Utf8ToGbk(c.utf8, &bad);
    if (c.gbk) {
      ASSERT_TRUE(g) << c.utf8;
      EXPECT_EQ(*g, std::string(c.gbk)) << c.utf8;
    } else {
      EXPECT_FALSE(g) << c.utf8;
      EXPECT_EQ(bad, c.bad) << c.utf8;
    }
  }
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
