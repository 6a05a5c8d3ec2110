// Column data codes: headers, fill conditions and value texts of the result tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "traverse/view/dx_columns.h"

namespace t = traverse;

TEST(ColumnCodesTest, HeaderTable) {
  struct Case {
    const char* code;
    const char* line1;
    const char* line2;
    int span;
    int width;
  };
  const Case cases[] = {
      {"DM", "点名", "", 1, 4},          {"ZDM", "至点", "", 1, 4},
      {"X", "坐标", "X( m )", 2, 4},     {"Y", "", "Y( m )", 1, 4},
      {"H", "高程", "( m )", 1, 4},      {"BZH", "备注", "", 1, 8},
      {"MX", "点位中误差", "Mx(mm)", 3, 4}, {"MY", "", "My(mm)", 1, 4},
      {"M", "", "M(mm)", 1, 4},          {"MA", "误差椭圆参数", "A(mm)", 3, 4},
      {"MB", "", "B(mm)", 1, 4},         {"MF", "", "F(度 分)", 1, 4},
      {"MH", "高程中误", "差(mm)", 1, 4},  {"QJD", "观测角度", "(°' \")", 1, 4},
      {"VJD", "角度改正", "( \" )", 1, 4}, {"HJD", "角度平差", "值(°' \")", 1, 4},
      {"FW", "方位角", "(°' \")", 1, 4},  {"MFW", "方位角中", "误差(\")", 1, 4},
      {"QBCH", "边长观测", "值(m)", 1, 4}, {"VBCH", "边长改正", "数(mm)", 1, 4},
      {"HBCH", "边长平差", "值(m)", 1, 4}, {"MBCH", "边长中误", "差(mm)", 1, 4},
      {"FBCH", "边长相对", "中误差", 1, 4}, {"DX", "坐标增量", "Δx(m)", 4, 4},
      {"QDX", "改正前坐标增量", "Δx(m)", 2, 4}, {"HDX", "改正后坐标增量", "Δx(m)", 2, 4},
      {"VDX", "", "改正(mm)", 1, 4},     {"DY", "", "Δy(m)", 1, 4},
      {"QDY", "", "Δy(m)", 1, 4},        {"HDY", "", "Δy(m)", 1, 4},
      {"VDY", "", "改正(mm)", 1, 4},     {"GJ", "距离", "( m )", 1, 4},
      {"GCZH", "测站数", "", 1, 4},       {"QGCH", "高差观测", "值(m)", 1, 4},
      {"VGCH", "高差改正", "数(mm)", 1, 4}, {"HGCH", "高差平差", "值(m)", 1, 4},
      {"MDJ", "相邻点位", "误差(mm)", 1, 4}, {"DJMG", "高程点间", "误差(mm)", 1, 4},
  };
  EXPECT_EQ(t::ColumnCodes().size(), std::size(cases));
  for (const Case& c : cases) {
    const t::ColumnCodeInfo* info = t::FindColumnCode(c.code);
    ASSERT_NE(info, nullptr) << c.code;
    t::ColumnHeader h = t::HeaderForCode(*info, 0, 0);
    EXPECT_EQ(h.line1, c.line1) << c.code;
    EXPECT_EQ(h.line2, c.line2) << c.code;
    EXPECT_EQ(h.span, c.span) << c.code;
    EXPECT_EQ(h.width, c.width) << c.code;
  }
  EXPECT_EQ(t::FindColumnCode("XYZ"), nullptr);
  EXPECT_EQ(t::FindColumnCode("FWLOW"), nullptr);  // the suffix is cut by the caller
  // Headers that depend on the scheme.
  EXPECT_EQ(t::HeaderForCode(*t::FindColumnCode("QDX"), 2, 0).line1, "坐标增量");
  EXPECT_EQ(t::HeaderForCode(*t::FindColumnCode("QDX"), 1, 0).line1, "改正前坐标增量");
  EXPECT_EQ(t::HeaderForCode(*t::FindColumnCode("GJ"), 0, 1).line2, "( km )");
}

TEST(ColumnCodesTest, LowSuffix) {
  bool low = false;
  EXPECT_EQ(t::StripLowSuffix("FWLOW", &low), "FW");
  EXPECT_TRUE(low);
  EXPECT_EQ(t::StripLowSuffix("ZDM", &low), "ZDM");
  EXPECT_FALSE(low);
  EXPECT_EQ(t::StripLowSuffix("LOW", &low), "");
  EXPECT_TRUE(low);
}

// The scheme part of the fill conditions over traverse type × rigorous × back-computed,
// on a row that has everything (all cells typed, an unknown point followed by an
// unknown point, precision present). One character per combination, in the order
// (rigorous, back) = (0,0) (0,1) (1,0) (1,1); types 0..5 separated by blanks.
TEST(ColumnCodesTest, FillConditionMatrix) {
  struct Case {
    const char* code;
    const char* matrix;
  };
  const Case cases[] = {
      {"QJD", "1111 1111 1111 1111 1111 1111"},
      {"VJD", "1111 0111 0000 1111 1111 1111"},
      {"HJD", "0111 0111 0111 0111 0111 0111"},
      {"FW", "0111 1111 1111 1111 1111 1111"},    // type 0 approximate only in "PMJSH"
      {"QBCH", "1111 1111 1111 1111 1111 1111"},
      {"VBCH", "0111 0111 0000 0111 0111 0111"},
      {"HBCH", "0111 0111 0111 0111 0111 0111"},
      {"DX", "1100 1100 1100 1100 1100 1100"},
      {"QDX", "1100 1100 1100 1100 1100 1100"},
      {"HDX", "1000 1000 0000 1000 1000 1000"},
      {"VDY", "1000 1000 0000 1000 1000 1000"},
      {"VGCH", "1111 1111 0000 1111 1111 1111"},
      {"HGCH", "1111 1111 0000 1111 1111 1111"},
      {"QGCH", "1111 1111 1111 1111 1111 1111"},
      {"MX", "1111 1111 1111 1111 1111 1111"},
      {"DJMG", "0000 0000 0000 0000 0000 0000"},
  };
  t::FillRow row;
  row.hasPlane = row.nextHasPlane = row.hasHeight = true;
  row.angleCell = row.distanceCell = row.dhCell = row.weightCell = true;
  for (const Case& c : cases) {
    std::string got;
    for (int type = 0; type < 6; ++type) {
      if (type) got += ' ';
      for (int rig = 0; rig < 2; ++rig)
        for (int back = 0; back < 2; ++back) {
          t::FillScheme s;
          s.type = type;
          s.rigorous = rig;
          s.backComputed = back;
          s.plane = true;
          s.tableCode = "CHENGGUO";
          s.sigma0Plane = 1.0;
          s.sigma0Height = 1.0;
          got += t::ColumnHasValue(c.code, s, row) ? '1' : '0';
        }
    }
    EXPECT_EQ(got, c.matrix) << c.code;
  }
  // The azimuth of an approximate closed traverse shows in its computation table.
  t::FillScheme pm;
  pm.type = 0;
  pm.rigorous = false;
  pm.plane = true;
  pm.tableCode = "PMJSH";
  EXPECT_TRUE(t::ColumnHasValue("FW", pm, row));
}

// The row part: which rows get a value, with the precision switched on or off.
TEST(ColumnCodesTest, FillConditionsOfRows) {
  struct Case {
    const char* what;
    const char* code;
    t::FillRow row;
    double sigmaPlane, sigmaHeight;
    bool written;
  };
  t::FillRow known;
  known.hasPlane = known.planeKnown = known.nextHasPlane = known.nextPlaneKnown = true;
  known.hasHeight = known.heightKnown = true;
  t::FillRow unknown;
  unknown.hasPlane = unknown.nextHasPlane = unknown.hasHeight = true;
  unknown.distanceCell = true;
  t::FillRow last = unknown;
  last.last = true;
  t::FillRow empty;
  const Case cases[] = {
      {"name always", "DM", empty, -1, -1, true},
      {"remark always", "BZH", empty, -1, -1, true},
      {"to-point not on the last row", "ZDM", last, -1, -1, false},
      {"X of a row without point", "X", empty, -1, -1, false},
      {"X of a known point", "X", known, -1, -1, true},
      {"mx of a known point", "MX", known, 1, 1, false},
      {"mx without precision", "MX", unknown, -1, 1, false},
      {"mx of an unknown point", "MX", unknown, 0, -1, true},
      {"mH needs the height sigma", "MH", unknown, 1, -1, false},
      {"mH of an unknown height", "MH", unknown, -1, 0.5, true},
      {"azimuth RMS between two known points", "MFW", known, 1, 1, false},
      {"azimuth RMS on the last row", "MFW", last, 1, 1, false},
      {"adjacent error", "MDJ", unknown, 1, 1, true},
      {"side RMS needs a typed side", "MBCH", known, 1, 1, false},
      {"relative side error", "FBCH", unknown, 1, 1, true},
      {"side RMS without precision", "MBCH", unknown, -1, 1, false},
      {"weight of an empty cell", "GJ", unknown, 1, 1, false},
  };
  for (const Case& c : cases) {
    t::FillScheme s;
    s.type = 3;
    s.plane = true;
    s.sigma0Plane = c.sigmaPlane;
    s.sigma0Height = c.sigmaHeight;
    EXPECT_EQ(t::ColumnHasValue(c.code, s, c.row), c.written) << c.what;
  }
}

TEST(ColumnCodesTest, RelativeSideError) {
  EXPECT_EQ(t::RelativeErrorText(1000.000, 2.00), "1/ 50万");
  EXPECT_EQ(t::RelativeErrorText(500.000, 8.00), "1/62500");
  EXPECT_EQ(t::RelativeErrorText(100.0, 1.0), "1/ 10万");     // exactly 1:100000
  EXPECT_EQ(t::RelativeErrorText(99.999, 1.0), "1/99999");     // just below 1:100000
  EXPECT_EQ(t::RelativeErrorText(1234.5, 0.5), "1/247万");
  EXPECT_EQ(t::RelativeErrorText(10.0, 5.0), "1/ 2000");
  EXPECT_EQ(t::RelativeErrorText(800.0, 0.0), "");
  EXPECT_EQ(t::RelativeErrorText(800.0, 5e-9), "");
}

TEST(ColumnCodesTest, PaddingCountsDoubleByteCharactersTwice) {
  EXPECT_EQ(t::PadGbk("fx = 1.00mm   ", 20), "fx = 1.00mm" + std::string(9, ' '));
  // "fβ" is three bytes wide in GBK: f, and β as two.
  EXPECT_EQ(t::PadGbk("fβ = 4.00\"   ", 20), "fβ = 4.00\"" + std::string(9, ' '));
  EXPECT_EQ(t::PadGbk("ΣD = 1234.567m   ", 20), "ΣD = 1234.567m" + std::string(5, ' '));
  EXPECT_EQ(t::PadGbk("longer than the width", 5), "longer than the width");
}
