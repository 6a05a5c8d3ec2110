// The interface scale tables and the version texts.
#include <gtest/gtest.h>

#include "app/scale.h"
#include "app/version.h"

namespace {

TEST(Version, TitleAndVersionFormatting) {
  struct Case {
    const char* version;
    const char* shown;
  };
  const Case cases[] = {{"520", "5.2"}, {"512", "5.12"}, {"500", "5.0"}, {"410", "4.1"}, {"1000", "10.0"}, {"52", "52"}};
  for (const auto& c : cases) EXPECT_EQ(app::FormatVersion(c.version), c.shown) << c.version;
  EXPECT_EQ(app::ProductTitle(), "Quintar5.2版");
  EXPECT_EQ(app::FrameCaption("无标题"), "Quintar5.2版 - 无标题");
}

// Points at 96 dpi -> character height -> row height -> tool-bar tier.
TEST(Scale, RowHeightAndToolBarTierPerSize) {
  struct Case {
    int pt, charHeight, rowHeight, bitmap, image, comboFont, comboIndex, command;
  };
  const Case cases[] = {
      {9, 12, 24, 128, 20, 12, 0, 32777},  {10, 13, 25, 128, 20, 12, 1, 32778}, {12, 16, 30, 212, 30, 18, 2, 32779},
      {14, 19, 34, 212, 30, 18, 3, 32780}, {16, 21, 37, 212, 30, 18, 4, 32781}, {18, 24, 42, 213, 40, 24, 5, 32782},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pt);
    int ch = app::CharHeightForPoints(c.pt, 96);
    EXPECT_EQ(ch, c.charHeight);
    EXPECT_EQ(app::RowHeightForCharHeight(ch), c.rowHeight);
    auto tier = app::ToolBarTierFor(ch);
    EXPECT_EQ(tier.bitmap, c.bitmap);
    EXPECT_EQ(tier.imageSize, c.image);
    EXPECT_EQ(tier.comboFont, c.comboFont);
    EXPECT_EQ(app::FontComboIndex(c.pt), c.comboIndex);
    EXPECT_EQ(app::CommandForFontPt(c.pt), c.command);
    EXPECT_EQ(app::FontPtForCommand(c.command), c.pt);
  }
}

TEST(Scale, TierBoundariesAndRowMinimum) {
  struct Case {
    int charHeight, bitmap, button;
  };
  const Case cases[] = {{15, 128, 0}, {16, 212, 38}, {21, 212, 38}, {22, 213, 48}, {33, 213, 48}, {34, 214, 68}};
  for (const auto& c : cases) {
    EXPECT_EQ(app::ToolBarTierFor(c.charHeight).bitmap, c.bitmap) << c.charHeight;
    EXPECT_EQ(app::ToolBarTierFor(c.charHeight).buttonSize, c.button) << c.charHeight;
  }
  EXPECT_EQ(app::RowHeightForCharHeight(8), 22);   // int(18) -> the 22 minimum
  EXPECT_EQ(app::RowHeightForCharHeight(11), 22);  // int(22.5)
  EXPECT_EQ(app::RowHeightForCharHeight(34), 57);
}

TEST(Scale, StoredAndRequestedSizes) {
  // Profile values outside the listed sizes fall back to 9.
  for (int bad : {0, 3, 8, 11, 500, -9}) EXPECT_EQ(app::SanitizeFontPt(bad), 9) << bad;
  for (int good : app::kFontSizes) EXPECT_EQ(app::SanitizeFontPt(good), good);
  EXPECT_EQ(app::FontComboIndex(500), 0);
  // 8 and below keep (re-apply) the current size; a listed size is taken.
  EXPECT_EQ(app::ResolveFontPt(14, 0), 14);
  EXPECT_EQ(app::ResolveFontPt(14, 8), 14);
  EXPECT_EQ(app::ResolveFontPt(9, 18), 18);
  EXPECT_EQ(app::ResolveFontPt(18, 9), 9);
  EXPECT_EQ(app::ResolveFontPt(12, 13), 9);
  EXPECT_EQ(app::ResolveFontPt(500, 0), 9);
  EXPECT_EQ(app::FontPtForCommand(32776), 0);
}

TEST(Scale, LeftColumnWidths) {
  EXPECT_EQ(app::DefaultLeftWidth(12, 1200), 200);  // W/6 beats 120
  EXPECT_EQ(app::DefaultLeftWidth(24, 600), 200);   // 240, capped at W/3
  EXPECT_EQ(app::DefaultLeftWidth(12, 600), 120);
  EXPECT_EQ(app::KeptLeftWidth(0, 1200), 200);
  EXPECT_EQ(app::KeptLeftWidth(20, 1200), 80);  // after 隐藏左边窗口 a resize keeps 80
  EXPECT_EQ(app::KeptLeftWidth(150, 1200), 150);
}

}  // namespace
