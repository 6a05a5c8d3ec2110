#pragma once
// The 24 common tools: their codes, their row stores and the one table that says,
// for every tool, its navigation item, captions, layout size, store, document block
// and whether it feeds the drawing. Std only.
#include <array>
#include <string_view>

namespace tools {

// Tool codes: the navigation pane hands them to CAuxView::ShowTool.
namespace ToolCode {
inline constexpr const char* XYZTOBLH = "XYZTOBLH";
inline constexpr const char* BLHTOXYZ = "BLHTOXYZ";
inline constexpr const char* GSZHSH = "GSZHSH";
inline constexpr const char* GSFSH = "GSFSH";
inline constexpr const char* ZBHD1 = "ZBHD1";
inline constexpr const char* ZBHD2 = "ZBHD2";
inline constexpr const char* ZBZHH4CSH = "ZBZHH4CSH";
inline constexpr const char* ZBZHH7CSH = "ZBZHH7CSH";
inline constexpr const char* FXBCHGH = "FXBCHGH";
inline constexpr const char* PMZBZHSH = "PMZBZHSH";
inline constexpr const char* PMZBFSH = "PMZBFSH";
inline constexpr const char* JZB = "JZB";
inline constexpr const char* ZBXZH = "ZBXZH";
inline constexpr const char* JJZHJ = "JJZHJ";
inline constexpr const char* SJGCH = "SJGCH";
inline constexpr const char* MJJSH = "MJJSH";
inline constexpr const char* ZHDX = "ZHDX";
inline constexpr const char* QFJH = "QFJH";
inline constexpr const char* CFJH = "CFJH";
inline constexpr const char* FWJH = "FWJH";
inline constexpr const char* BCHJH = "BCHJH";
inline constexpr const char* HFJH = "HFJH";
inline constexpr const char* BJHFJH = "BJHFJH";
inline constexpr const char* SBCLDATA = "SBCLDATA";
}  // namespace ToolCode

// Index into CAuxView::m_stores; also the order of the blocks in the document.
enum ToolStore : int {
  kStoreXyzToBlh = 0,
  kStoreBlhToXyz = 1,
  kStoreGszhsh = 2,
  kStoreGsfsh = 3,
  kStoreZbhd1 = 4,
  kStoreZbhd2 = 5,
  kStoreFxbchgh = 6,
  kStorePmzbzhsh = 7,
  kStorePmzbfsh = 8,
  kStoreJzb = 9,
  kStoreFourCommonPoints = 10,   // items "x,y,X,Y"
  kStoreSevenCommonPoints = 11,  // items "x,y,z,X,Y,Z"
  kStoreZbzhh4csh = 12,
  kStoreZbzhh7csh = 13,
  kStoreZbxzh = 14,
  kStoreJjzhj = 15,
  kStoreSjgch = 16,
  kStoreMjjsh = 17,
  kStoreZhdx = 18,
  kStoreQfjh = 19,
  kStoreCfjh = 20,
  kStoreFwjh = 21,
  kStoreBchjh = 22,
  kStoreHfjh = 23,
  kStoreBjhfjh = 24,
  kStoreSbcldata = 25,
  kStoreCount = 26,
};

// One row of the tool table.
struct ToolInfo {
  const char* code;
  int item;               // navigation item code
  const char* treeText;   // text of the navigation tree
  const char* title;      // table title
  int cols;               // column count of the layout (the usual one: 三角高程 平距 has 7, 碎部 平距+高差 8)
  int inputs;             // input columns 1..inputs
  ToolStore store;
  const char* block;      // document block name, without the brackets
  bool draws;             // the computation feeds the drawing
  bool drawingButton;     // ShowTool shows "图形"
};

// The 24 tools in tree order.
extern const std::array<ToolInfo, 24> kToolTable;

// The row of a code; nullptr for "" and unknown codes.
const ToolInfo* FindTool(std::string_view code);
// The row whose store is s; nullptr for the common-point stores 10 and 11.
const ToolInfo* ToolOfStore(int store);

}  // namespace tools
