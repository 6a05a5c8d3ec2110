#pragma once
// The traverse view's codes: the table codes ShowTable takes (also stored in custom
// table definitions and the navigation tree), the ids of its own bar buttons, and the
// item codes of its navigation tree.
#include <string>

namespace traverse {

// Table codes.
inline constexpr const char* kTableInput = "SHUJUSHURU";     // 数据输入
inline constexpr const char* kTablePlane = "PMJSH";          // 平面计算表
inline constexpr const char* kTableHeight = "GCHJSH";        // 高程计算表
inline constexpr const char* kTableControl = "KZD";          // 控制点成果表
inline constexpr const char* kTableResults = "CHENGGUO";     // 平差成果表
inline constexpr const char* kTablePrecision = "JINGDU";     // 精度评定
inline constexpr const char* kTableErrorSearch = "SEEKERR";  // 平面查错
inline constexpr const char* kTableCustomPrefix = "CUSTABLE";  // + 0..9: 自定义表格
inline std::string CustomTableCode(int i) { return kTableCustomPrefix + std::to_string(i); }

// Bar buttons of the traverse view (the shared ones are in table/table_view.h).
inline constexpr int ID_READ_OBSERVATIONS = 1009;  // "读取"
inline constexpr int ID_CONTROL_POINTS = 1023;     // "控制点"

// Item codes of the adjustment tree.
inline constexpr int kNavInput = 10;
inline constexpr int kNavPlane = 20;
inline constexpr int kNavHeight = 21;
inline constexpr int kNavControl = 30;
inline constexpr int kNavResults = 31;
inline constexpr int kNavPrecision = 32;
inline constexpr int kNavErrorSearch = 40;
inline constexpr int kNavErrorDiagram = 90;  // 平面查错图形
inline constexpr int kNavTraverseDiagram = 91;  // 导线图
inline constexpr int kNavPointPlot = 92;        // 展点图
inline constexpr int kNavCustomFirst = 100;     // custom table i: kNavCustomFirst + i, i = 0..9
inline constexpr int kCustomTableCount = 10;

}  // namespace traverse
