#pragma once
// How a tool plugs into CAuxView: a layout (the columns of its table) and a compute
// function (one pass over the rows), registered under its tool code. The view does
// the frame every tool shares (show, store, clear results, messages, compute flag);
// a tool only reads its input cells and writes its result cells.
#include <initializer_list>
#include <string>
#include <vector>

#include "survey/gauss_projection.h"
#include "table/code_tables.h"

class CAuxView;
class CTableView;

namespace tools {

// One column of a layout. Input columns come first; the tool table says how many.
struct ToolColumn {
  std::string line1;   // group caption; "" under the span of a group to the left
  std::string line2;   // column caption
  int span = 1;        // columns line1 reaches over
  int minChars = 4;    // minimum width in half-width characters
  int inputType = 7;   // 3 decimal, 4 signed decimal, 5 angle, 6 signed angle, 7 free text
  std::string tip;     // column tip ("" none; "|1|" splits row 1 from the others)
  bool stagger = false;  // drawn half a row lower: the leg between two points
};

// What one computation hands to a tool's compute function.
struct ToolRun {
  survey::CGaussProjection geodesy;  // not configured: each tool sets its ellipsoid
  std::string messages;              // ToolMessages: one line per faulty row
  std::string coordSystemText;       // "坐标系：西安80"
  std::string meridianText;          // m_dMeridian1 as "114 00 00"
  // A tool that ends the run early (missing parameters, missing station) sets this:
  // no message box, the compute flag stays clear.
  bool endedEarly = false;

  void AddMessage(const std::string& line) { messages += line; }
};

// The layout may depend on the view's settings (distance type, detail mode).
using LayoutFn = std::vector<ToolColumn> (*)(const CAuxView& view);
using ComputeFn = void (*)(CAuxView& view, ToolRun& run);
// Fits the items of stored line `row` (1-based) to the layout before the refill:
// rows of an older layout get their missing items, cells that are results in
// later rows are left out.
using PadFn = void (*)(std::vector<std::string>& items, int row);

struct ToolHandler {
  LayoutFn layout = nullptr;
  ComputeFn compute = nullptr;
  PadFn pad = nullptr;
  // Input columns carriedFirst..carriedLast not all typed: the row takes them from
  // the row above, so its results depend on that row too (0 = rows independent).
  int carriedFirst = 0, carriedLast = 0;
  // The label of a remark line that holds the result ("" = remarks are settings).
  const char* resultRemark = "";
  // A row types its own carried cells when carriedFirst..ownLast are typed (0 = up
  // to carriedLast): a start point typed without its optional elevation does not
  // take the elevation from the row above either.
  int ownLast = 0;
};

using ToolRegistry = table::CCodeTableRegistry<ToolHandler>;

// Every registered tool (filled once, on first use).
const ToolRegistry& Tools();

// Registration of each group of tools; each lives beside its tools.
void RegisterGeodeticTools(ToolRegistry& r);       // geodetic_tools.cpp
void RegisterReductionTool(ToolRegistry& r);       // reduction_tool.cpp
void RegisterTransformTools(ToolRegistry& r);      // transform_tools.cpp
void RegisterPlaneTools(ToolRegistry& r);          // plane_tools.cpp
void RegisterHeightingTools(ToolRegistry& r);      // heighting_tools.cpp
void RegisterIntersectionTools(ToolRegistry& r);   // intersection_tools.cpp
void RegisterDetailSurveyTool(ToolRegistry& r);    // detail_survey.cpp

// ---- cell helpers for compute functions ------------------------------------------
// True when every listed cell of the row holds text.
bool CellsFilled(const CTableView& v, int row, std::initializer_list<int> cols);
// The cell read as a number (atof rules: leading number, anything else 0).
double CellNumber(const CTableView& v, int row, int col);
// The cell read as an angle (d.mmss or "d m s"), radians.
double CellAngle(const CTableView& v, int row, int col);
// Cell 1, or the row number when cell 1 is empty: the label of a drawn point.
std::string PointName(const CTableView& v, int row);
// A d.mmss longitude as the remarks show it: "114 00 00", trailing zeros of the
// seconds' decimals and a bare point removed.
std::string MeridianToText(double dms, int decimals);
// Configures g on the view's ellipsoid (custom a and 1/f for 自定义) with the given
// projection height; false after one message in run when the custom ellipsoid is
// impossible, so that no row is computed on it.
bool SetToolEllipsoid(const CAuxView& v, double projHeight, survey::CGaussProjection& g, ToolRun& run);
// False, with the row's message in run, when any value is not finite: such a row
// writes and draws nothing.
bool ResultsFinite(std::initializer_list<double> values, int row, ToolRun& run);
// "第%d行" – every row message starts with it.
std::string RowPrefix(int row);
// The name of input column col (1-based) in row messages: the group caption and
// the column caption without its unit ("起点X", "边长", "角A").
std::string InputFieldName(const std::vector<ToolColumn>& cols, int col);

}  // namespace tools
