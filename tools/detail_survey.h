#pragma once
// The detail survey's reduction of one sighting and the rules of its settings
// dialog ("碎部测量设置"), without any window. Std only.
#include <string>

#include "tools/aux_view.h"

namespace tools {

// One sighting of modes 0 (slope distance) and 2 (stadia) reduced to the
// horizontal distance and the rise D·tan α of the line of sight (no curvature,
// no refraction). The elevation angle α is (90° + i) − z on a clockwise circle and
// z − (90° + i) on a counter-clockwise one, i the index error (seconds, defined
// as (face left + face right − 360°)/2); D = S·cos α (mode 0) or S·cos²α (mode 2).
// ok is false for a sighting at ±90° or beyond and for non-finite values.
struct DetailReduction {
  bool ok = false;
  double horizontal = 0;
  double rise = 0;
};
DetailReduction ReduceSighting(int mode, bool clockwise, double indexErrorSeconds, double distance,
                               double zenithReading);

// The settings dialog's model: the control values it edits and its OK rules.
class CSbClSetForm {
 public:
  explicit CSbClSetForm(const DetailSurveySettings& s) : values(s) {}

  // A number field as typed: a decimal number with optional sign, blanks around
  // it allowed; anything else does not parse (the dialog stays open).
  static bool ParseNumber(const std::string& text, double* out);

  // What OK refuses, in the order the dialog checks it; "" when it may close.
  // Names with a comma or a line break would split the saved settings line.
  std::string CheckOk() const;

  DetailSurveySettings values;
};

// Texts of the dialog.
inline constexpr const char* kDetailNumberMessage = "请输入一个数字。";
inline constexpr const char* kDetailStationRequired = "测站点名称必须输入";
inline constexpr const char* kDetailNameCharsMessage = "测站点名和后视点名中不能含有逗号或换行符";

}  // namespace tools
