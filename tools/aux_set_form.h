#pragma once
// The settings of the common tools as the settings dialog edits them: a copy of the
// view's values, the page the current tool opens it on, which controls that page
// enables and the checks OK makes. The Qt dialog (tools/ui/aux_set_dlg.h) only shows
// this model. Std only.
#include <array>
#include <string>

class CAuxView;

namespace tools {

// AuxSetPage: which settings the current tool may change.
enum AuxSetPage : int {
  kPageOther = -1,
  kPageGeocentric = 10,   // XYZTOBLH, BLHTOXYZ
  kPageGauss = 11,        // GSZHSH, GSFSH
  kPageZoneChange = 12,   // ZBHD1, ZBHD2
  kPageReduction = 13,    // FXBCHGH
  kPageHeighting = 14,    // SJGCH
  kPageFourParams = 15,   // ZBZHH4CSH
  kPageSevenParams = 16,  // ZBZHH7CSH
};

// The page of a tool code.
int AuxSetPageOf(const std::string& toolCode);

struct CAuxSetForm {
  int coordSystem = 2;
  bool y500km = true;
  double meridian1 = 114, meridian2 = 111;  // d.mmss
  double reductionHeight = 0;
  int distanceType = 0;
  double refraction = 0.14;
  double ellipsoidA = 6378137, ellipsoidInvF = 298.257222101;
  double centreLatitude = 0;  // d.mmss
  int expansion = 1;
  double projHeight = 0, projHeight2 = 0;
  std::array<double, 4> fourParams{};
  std::array<double, 7> sevenParams{};
  int page = kPageOther;

  // The view whose common points the two "由公共点解算" buttons edit and estimate
  // (null: the buttons do nothing).
  CAuxView* view = nullptr;

  static CAuxSetForm FromView(const CAuxView& v, int page);
  void ApplyTo(CAuxView& v) const;
};

}  // namespace tools
