// The common-point list of the transformation parameters: filled from the store,
// refused while incomplete or of a count that cannot be solved, written back on OK.
#include <gtest/gtest.h>

#include "platform/fake_ports.h"
#include "tools/aux_section.h"
#include "tools/common_points.h"

using namespace tools;

namespace {

TEST(CommonPoints, FillAndAcceptFourParameterPoints) {
  CListEx list;
  FillCommonPointList(list, 1, {"1,2,3,4", "5,6,7"});
  ASSERT_EQ(list.GetColumnCount(), 5);
  EXPECT_EQ(list.Column(3).heading, "转换后X");
  ASSERT_EQ(list.GetItemCount(), 3);  // two points and the input row
  EXPECT_EQ(list.GetItemText(1, 3), "7");
  std::vector<std::string> out = {"old"};
  EXPECT_EQ(AcceptCommonPoints(list, 1, out), "第2行数据输入不完整。");
  EXPECT_EQ(out, (std::vector<std::string>{"old"}));
  list.SetItemText(1, 4, "8");
  EXPECT_EQ(AcceptCommonPoints(list, 1, out), "");
  EXPECT_EQ(out, (std::vector<std::string>{"1,2,3,4", "5,6,7,8"}));
}

TEST(CommonPoints, CountsTheDialogRefuses) {
  struct Case {
    int mode, points;
    bool ok;
  };
  const Case cases[] = {{1, 0, false}, {1, 1, false}, {1, 2, true}, {2, 0, false},
                        {2, 1, true},  {2, 2, false}, {2, 3, true}};
  for (const Case& c : cases) {
    CListEx list;
    std::vector<std::string> store(static_cast<std::size_t>(c.points), c.mode == 2 ? "1,2,3,4,5,6" : "1,2,3,4");
    FillCommonPointList(list, c.mode, store);
    std::vector<std::string> out;
    EXPECT_EQ(AcceptCommonPoints(list, c.mode, out).empty(), c.ok) << c.mode << " " << c.points;
  }
}

TEST(CommonPoints, TextThatIsNoNumberIsRefusedByRowAndColumn) {
  struct Case {
    int mode;
    std::vector<std::string> store;
    std::string message;
  };
  const Case cases[] = {
      {1, {"1,2,3,4", "5,nan,7,8"}, "第2行的转换前Y不是数字。"},
      {1, {"1,2,3,4", "5,6,7,1e309"}, "第2行的转换后Y不是数字。"},
      {2, {"abc,2,3,4,5,6"}, "第1行的转换前X不是数字。"},
      {2, {"1,2,3,4,5,12X3"}, "第1行的转换后Z不是数字。"},
  };
  for (const Case& c : cases) {
    CListEx list;
    FillCommonPointList(list, c.mode, c.store);
    std::vector<std::string> out;
    EXPECT_EQ(AcceptCommonPoints(list, c.mode, out), c.message);
    EXPECT_TRUE(out.empty());
  }
  // Stored so by another program: the estimate names the point and leaves the
  // parameters as they were.
  platform::FakeMessagePort messages;
  double four[4] = {1, 2, 3, 4};
  EXPECT_FALSE(EstimateFourParameters({"0,0,0,0", "1,inf,1,0"}, four));
  EXPECT_EQ(messages.Messages().back(), "“项目设置”中第2个公共点的坐标不是数字。");
  EXPECT_EQ(four[3], 4);
}

// A job edited by hand or written elsewhere may hold a point with an empty or a
// missing coordinate: the estimate names the point instead of taking 0 for it.
TEST(CommonPoints, StoredPointWithoutACoordinateStopsTheEstimate) {
  struct Case {
    bool seven;
    std::vector<std::string> store;
    std::string message;
  };
  const Case cases[] = {
      {false, {"100,200,1100,1200", "300,,1300,1400"}, "“项目设置”中第2个公共点的坐标不完整。"},
      {false, {"100,200,1100,1200", "300,400,1300"}, "“项目设置”中第2个公共点的坐标不完整。"},
      {false, {"100,200,1100,", "300,400,1300,1400"}, "“项目设置”中第1个公共点的坐标不完整。"},
      {true, {"1,2,3,11,12"}, "“项目设置”中第1个公共点的坐标不完整。"},
      {true, {"1,2,3,11,12,13", "4,5,6,14,15,16", "7,8, ,17,18,19"}, "“项目设置”中第3个公共点的坐标不完整。"},
  };
  for (const Case& c : cases) {
    platform::FakeMessagePort messages;
    double params[7] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(c.seven ? EstimateSevenParameters(c.store, params) : EstimateFourParameters(c.store, params))
        << c.store.back();
    ASSERT_FALSE(messages.Messages().empty()) << c.store.back();
    EXPECT_EQ(messages.Messages().back(), c.message);
    EXPECT_EQ(params[0], 1);
    EXPECT_EQ(params[3], 4);
  }
  // Complete points still estimate: a pure shift of (1000, 1000).
  platform::FakeMessagePort messages;
  double four[4] = {};
  EXPECT_TRUE(EstimateFourParameters({"100,200,1100,1200", "300,400,1300,1400"}, four));
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_NEAR(four[0], 1000, 1e-9);
  EXPECT_NEAR(four[1], 1000, 1e-9);
}

TEST(CommonPoints, EditedListIsToldFromTheStore) {
  CListEx list;
  FillCommonPointList(list, 1, {"1,2,3,4", "5,6,7"});
  EXPECT_FALSE(CommonPointsEdited(list, 1, {"1,2,3,4", "5,6,7"}));
  list.SetItemText(2, 1, "9");  // typed into the input row
  EXPECT_TRUE(CommonPointsEdited(list, 1, {"1,2,3,4", "5,6,7"}));
  list.SetItemText(2, 1, "");
  list.SetItemText(0, 2, "2.5");
  EXPECT_TRUE(CommonPointsEdited(list, 1, {"1,2,3,4", "5,6,7"}));
  list.SetItemText(0, 2, "2");
  list.DeleteItem(1);
  EXPECT_TRUE(CommonPointsEdited(list, 1, {"1,2,3,4", "5,6,7"}));
}

}  // namespace
