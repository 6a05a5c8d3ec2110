#include "tools/aux_set_form.h"

#include "tools/aux_view.h"

namespace tools {

int AuxSetPageOf(const std::string& code) {
  using namespace ToolCode;
  if (code == XYZTOBLH || code == BLHTOXYZ) return kPageGeocentric;
  if (code == GSZHSH || code == GSFSH) return kPageGauss;
  if (code == ZBHD1 || code == ZBHD2) return kPageZoneChange;
  if (code == FXBCHGH) return kPageReduction;
  if (code == SJGCH) return kPageHeighting;
  if (code == ZBZHH4CSH) return kPageFourParams;
  if (code == ZBZHH7CSH) return kPageSevenParams;
  return kPageOther;
}

bool CAuxSetForm::Enabled(int id) const {
  auto in = [id](std::initializer_list<int> ids) {
    for (int i : ids)
      if (i == id) return true;
    return false;
  };
  if (id == 1300 || id == 1301) return Enabled(1035) && coordSystem == 0;
  switch (page) {
    case kPageGeocentric: return in({1035, 1095, 1087, 1044});
    case kPageGauss: return in({1035, 1037, 1034, 1095, 1087, 1044});
    case kPageZoneChange: return in({1035, 1037, 1034, 1095, 1087, 1044, 1036, 1089});
    case kPageReduction: return in({1035, 1037, 1095, 1087, 1044, 1038});
    case kPageHeighting: return in({1040, 1039});
    case kPageFourParams: return in({1096, 1098, 1099, 1100, 1203});
    case kPageSevenParams: return in({1101, 1102, 1105, 1103, 1106, 1107, 1104, 1204});
    default: return in({1035, 1095, 1087, 1044});
  }
}

std::string CAuxSetForm::Meridian1Caption() const {
  return page == kPageZoneChange ? "换带前：中央子午线经度(DMS)" : "中央子午线经度(DMS)";
}

std::string CAuxSetForm::Validate() const {
  auto outside = [](double v, double lo, double hi) { return !(v >= lo && v <= hi); };
  if (outside(ellipsoidA, 6300000, 7000000)) return "请输入一个介于 6300000 和 7000000 之间的数。";
  if (outside(ellipsoidInvF, 200, 400)) return "请输入一个介于 200 和 400 之间的数。";
  if (outside(centreLatitude, 0, 90)) return "请输入一个介于 0 和 90 之间的数。";
  if (page == kPageFourParams && !FourScaleUsable(fourParams[3]))
    return "四参数中的尺度输入不当。可直接输入，也可以由公共点解算。";
  return "";
}

CAuxSetForm CAuxSetForm::FromView(const CAuxView& v, int page) {
  CAuxSetForm f;
  f.coordSystem = v.m_nCoordSystem;
  f.y500km = v.m_bY500km;
  f.meridian1 = v.m_dMeridian1;
  f.meridian2 = v.m_dMeridian2;
  f.reductionHeight = v.m_dReductionHeight;
  f.distanceType = v.m_nDistanceType;
  f.refraction = v.m_dRefraction;
  f.ellipsoidA = v.m_dEllipsoidA;
  f.ellipsoidInvF = v.m_dEllipsoidInvF;
  f.centreLatitude = v.m_dCentreLatitude;
  f.expansion = v.m_nExpansion;
  f.projHeight = v.m_dProjHeight;
  f.projHeight2 = v.m_dProjHeight2;
  f.fourParams = v.m_dFourParams;
  f.sevenParams = v.m_dSevenParams;
  f.page = page;
  f.view = const_cast<CAuxView*>(&v);
  return f;
}

void CAuxSetForm::ApplyTo(CAuxView& v) const {
  v.m_nCoordSystem = coordSystem;
  v.m_bY500km = y500km;
  v.m_dMeridian1 = meridian1;
  v.m_dMeridian2 = meridian2;
  v.m_dReductionHeight = reductionHeight;
  v.m_nDistanceType = distanceType;
  v.m_dRefraction = refraction;
  v.m_dEllipsoidA = ellipsoidA;
  v.m_dEllipsoidInvF = ellipsoidInvF;
  v.m_dCentreLatitude = centreLatitude;
  v.m_nExpansion = expansion;
  v.m_dProjHeight = projHeight;
  v.m_dProjHeight2 = projHeight2;
  v.m_dFourParams = fourParams;
  v.m_dSevenParams = sevenParams;
}

}  // namespace tools
