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

// The one rule for a usable four-parameter scale, in the dialog and in the tool:
// finite and 0.1 <= |k| <= 10. A negative scale is a further 180° rotation (k = −1
// turns every point about the origin) and is computed.
bool FourScaleUsable(double k);
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

  // Whether the page lets the user change a control (ids of the dialog: 1035 system,
  // 1037 500 km, 1034/1036 meridians, 1038 reduction height, 1040 distance type,
  // 1039 refraction, 1300/1301 custom a and 1/f, 1095 centre latitude, 1044
  // expansion, 1087/1089 projection heights, 1096.. four, 1101.. seven parameters,
  // 1203/1204 the estimate buttons).
  bool Enabled(int controlId) const;
  // The caption of the first meridian (page 12 says "before the zone change").
  std::string Meridian1Caption() const;
  // "" when OK may close the dialog, else the message that keeps it open.
  std::string Validate() const;

  bool operator==(const CAuxSetForm&) const = default;

  static CAuxSetForm FromView(const CAuxView& v, int page);
  void ApplyTo(CAuxView& v) const;
};

}  // namespace tools
