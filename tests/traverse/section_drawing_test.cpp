// The drawing settings that travel in the traverse section (symbols, ellipse scale,
// an old file's print scale) live in the drawing view: the section reads them into
// it and writes them from it, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "drawing/draw_view.h"
#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"

namespace t = traverse;

namespace {

std::vector<std::string> WriteLines(t::CTraverseDocSection& section) {
  app::LineWriter out;
  section.WriteSection(out);
  return out.Lines();
}

void Replace(std::vector<std::string>& lines, const std::string& key, const std::string& value) {
  auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(key + ":", 0) == 0; });
  ASSERT_NE(it, lines.end()) << key;
  *it = key + ":" + value;
}

// Reads a whole section (banner first) the way the document does: reset, read, commit.
void ReadLines(t::CTraverseDocSection& section, drawing::CDrawView* drawing, const std::vector<std::string>& lines) {
  app::LineReader in(lines);
  std::string banner;
  ASSERT_TRUE(in.Next(&banner));
  section.BeginRead(520);
  section.ReadSection(in);
  section.Reset();
  if (drawing) drawing->ResetView();  // the document resets every view before the commit
  section.CommitRead();
}

class SectionDrawingTest : public ::testing::Test {
 protected:
  CDxView view_;
  drawing::CDrawView drawing_;
  t::CTraverseDocSection section_{view_, [this] { return &drawing_; }};

  void SetUp() override { view_.ResetScheme(); }
};

TEST_F(SectionDrawingTest, StoredSettingsGoIntoTheDrawingAndBackByteForByte) {
  std::vector<std::string> file = WriteLines(section_);
  Replace(file, "已知点类型", "2");
  Replace(file, "未知点类型", "1");
  Replace(file, "椭圆比例", "0.250000");
  ReadLines(section_, &drawing_, file);
  EXPECT_EQ(drawing_.m_nKnownSymbol, 2);
  EXPECT_EQ(drawing_.m_nOtherSymbol, 1);
  EXPECT_DOUBLE_EQ(drawing_.m_dEllipseScale, 0.25);
  EXPECT_EQ(platform::EncodeGbkLines(WriteLines(section_)), platform::EncodeGbkLines(file));

  // What the drawing's settings dialog changes is what the next save writes.
  drawing_.m_nKnownSymbol = 3;
  drawing_.m_dEllipseScale = 4;
  std::vector<std::string> expected = file;
  Replace(expected, "已知点类型", "3");
  Replace(expected, "椭圆比例", "4.000000");
  EXPECT_EQ(WriteLines(section_), expected);
}

TEST_F(SectionDrawingTest, OldFilePrintScaleHoldsUntilTheNextDrawing) {
  const std::vector<std::string> file = {"Quintar计算文件", "400", "[计算方案]", "导线类型:1", "图形比例:500",
                                         "椭圆比例:2", "已知点类型:1", "END", "[数据]", "A,,,,,100,200", "END"};
  app::LineReader in(file);
  in.Seek(2);
  section_.BeginRead(400);
  section_.ReadLegacySection(in);
  drawing_.ResetView();
  section_.CommitRead();
  EXPECT_DOUBLE_EQ(drawing_.m_dPrintScale, 500);
  EXPECT_DOUBLE_EQ(drawing_.m_dPrintScaleSetting, 1000);
  EXPECT_DOUBLE_EQ(drawing_.m_dEllipseScale, 2);
  EXPECT_EQ(drawing_.m_nKnownSymbol, 1);
  drawing_.BeginDrawing(drawing::kModeNetwork);
  EXPECT_DOUBLE_EQ(drawing_.m_dPrintScale, 1000);
  // The current format stores no print scale.
  for (const std::string& line : WriteLines(section_)) EXPECT_EQ(line.find("图形比例"), std::string::npos) << line;
}

TEST_F(SectionDrawingTest, DamagedValuesReachTheDrawingAsDefaults) {
  std::vector<std::string> file = WriteLines(section_);
  Replace(file, "已知点类型", "9");
  Replace(file, "椭圆比例", "0");
  drawing_.m_dEllipseScale = 3;
  ReadLines(section_, &drawing_, file);
  EXPECT_EQ(drawing_.m_nKnownSymbol, 0);
  EXPECT_DOUBLE_EQ(drawing_.m_dEllipseScale, 1.0);
}

TEST(SectionWithoutDrawingTest, KeepsTheSettingsInADrawingOfItsOwn) {
  CDxView view;
  view.ResetScheme();
  t::CTraverseDocSection section(view);
  std::vector<std::string> file = WriteLines(section);
  Replace(file, "未知点类型", "2");
  Replace(file, "椭圆比例", "10.500000");
  ReadLines(section, nullptr, file);
  EXPECT_EQ(section.Drawing().m_nOtherSymbol, 2);
  EXPECT_EQ(WriteLines(section), file);
  // A new document brings the symbols back to their defaults; the ellipse scale stays.
  section.Reset();
  EXPECT_EQ(section.Drawing().m_nOtherSymbol, 3);
  EXPECT_DOUBLE_EQ(section.Drawing().m_dEllipseScale, 10.5);
}

}  // namespace
