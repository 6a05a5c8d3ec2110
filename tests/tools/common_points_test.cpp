// The common-point list of the transformation parameters: filled from the store,
// refused while incomplete or of a count that cannot be solved, written back on OK.
#include <gtest/gtest.h>

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

}  // namespace
