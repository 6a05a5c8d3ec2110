#pragma once
// The tools section of a job file ("----------常用工具----------"): the settings as
// "key:value" lines between "[设置]" and "[设置结束]", then one block per tool store
// ("[高斯正算]" ... "[高斯正算结束]") with the stored rows as they are, then the line
// of 28 dashes. Std only.
//
// Reading goes into a ToolsSectionData and never touches the view; the document
// commits it when the whole file was accepted. Reading never fails: unknown keys and
// lines are ignored, numbers follow the atof rules, values outside what the settings
// dialog accepts keep their reset values, and a block (or the settings) not closed
// ends at the next block, the settings opener, the dash line or another banner.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "tools/aux_view.h"

namespace tools {

// Rows beyond this in one block are not read (a hostile file never grows without end).
inline constexpr std::size_t kMaxBlockRows = 200000;

struct ToolsSectionData {
  int coordSystem = 2;
  bool y500km = true;
  double ellipsoidA = 6378137, ellipsoidInvF = 298.257222101;
  int expansion = 1;
  double projHeight = 0, projHeight2 = 0;
  double centreLatitude = 0, meridian1 = 114, meridian2 = 111;
  double reductionHeight = 0;
  int distanceType = 0;
  double refraction = 0.14;
  std::array<double, 4> fourParams{};
  std::array<double, 7> sevenParams{};
  DetailSurveySettings detail;
  int angleDecimals = 1, distDecimals = 4, coordDecimals = 4, heightDecimals = 4;
  int chainageDecimals = 3, gradeDecimals = 3, latLonDecimals = 4;
  bool fitWidth = true, padRows = true;
  int linesAbove = 1, lineBelow = 1;
  std::array<std::string, 12> headerTexts{};
  std::array<std::vector<std::string>, kStoreCount> stores;

  // The view's model (after its grid was stored) and back.
  static ToolsSectionData FromView(const CAuxView& v);
  void ApplyTo(CAuxView& v) const;
};

// The whole section, banner to closing line.
std::vector<std::string> WriteToolsSectionLines(const ToolsSectionData& data);

// Reads from the line after the banner up to and including the closing line, or up
// to (not including) another section's banner, or the end. data is reset first.
// Files of version 500 and below count the coordinate system from 0 without the
// custom entry, and their four parameters are estimated from the common points.
// A setting that is no whole number of its kind, or out of range, keeps the reset
// value and is named with it in in.Notes().
void ReadToolsSectionLines(app::LineReader& in, int fileVersion, ToolsSectionData& data);

// The view as a section of the document.
class CToolsDocSection final : public app::IDocSection {
 public:
  explicit CToolsDocSection(CAuxView& view) : view_(view) {}
  std::string Banner() const override { return app::kToolsBanner; }
  void Reset() override { view_.ResetToDefaults(); }
  void WriteSection(app::LineWriter& out) override;
  void BeginRead(int fileVersion) override;
  void ReadSection(app::LineReader& in) override;
  void CommitRead() override;
  void AbortRead() override { pending_.reset(); }

 private:
  CAuxView& view_;
  int fileVersion_ = 520;
  std::unique_ptr<ToolsSectionData> pending_;
};

// Four and seven parameters from common-point items ("x,y,X,Y" / "x,y,z,X,Y,Z");
// false after a message (too few, coinciding or collinear points), out unchanged.
bool EstimateFourParameters(const std::vector<std::string>& points, double out[4]);
bool EstimateSevenParameters(const std::vector<std::string>& points, double out[7]);

}  // namespace tools
