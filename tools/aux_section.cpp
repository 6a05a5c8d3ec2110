#include "tools/aux_section.h"

#include <cmath>
#include <optional>
#include <type_traits>

#include "platform/number.h"
#include "survey/format.h"

namespace tools {

namespace {

const char* const kEndLine = "----------------------------";  // 28 dashes

std::string F6(double v) { return platform::FormatFixed(v, 6); }
std::string Int(int v) { return std::to_string(v); }

std::string Join(const std::vector<std::string>& items, char sep) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += sep;
    out += items[i];
  }
  return out;
}

// Another section's banner (or any "----------X----------" line but the closing one).
bool IsBanner(const std::string& line) { return line != kEndLine && app::IsSectionBoundary(line); }

// The store index of "[name]", or -1.
int BlockOpener(const std::string& line) {
  if (line.size() < 3 || line.front() != '[' || line.back() != ']') return -1;
  const std::string name = line.substr(1, line.size() - 2);
  for (const ToolInfo& t : kToolTable)
    if (name == t.block) return t.store;
  return -1;
}

// Lines that end an open block (or open settings) without being part of it.
bool EndsOpenPart(const std::string& line) {
  return line == "[设置]" || line == kEndLine || IsBanner(line) || BlockOpener(line) >= 0;
}

// The settings not taken as they stand, with the value kept; the last line of a
// repeated key decides.
class Faults {
 public:
  // A line of the key: what earlier lines of it gave no longer counts.
  void NewLine(const std::string& key) {
    std::erase_if(list_, [&key](const app::SettingFault& f) { return f.key == key; });
  }
  void Add(app::SettingFault::Kind kind, const std::string& key, const std::string& text, std::string used) {
    list_.push_back({kind, "常用工具设置", key, text, std::move(used)});
  }
  const std::vector<app::SettingFault>& List() const { return list_; }

 private:
  std::vector<app::SettingFault> list_;
};

std::string Shown(int v) { return std::to_string(v); }
std::string Shown(double v) { return platform::FormatRoundTrip(v); }

// Sets v only when the text is one value of its kind in [lo, hi]: a damaged file keeps
// the reset, and says so.
template <class T>
void ReadRanged(const std::string& key, const std::string& text, T lo, T hi, T& v, Faults& faults) {
  std::optional<T> x;
  if constexpr (std::is_same_v<T, int>) x = platform::ReadInteger(text);
  else x = platform::ReadNumber(text);
  if (x && *x >= lo && *x <= hi) v = *x;
  else faults.Add(x ? app::SettingFault::kOutOfRange : app::FaultOf(text, std::is_same_v<T, int>), key, text, Shown(v));
}

void ReadFinite(const std::string& key, const std::string& text, double& v, Faults& faults) {
  if (const auto x = platform::ReadNumber(text)) v = *x;
  else faults.Add(app::FaultOf(text, false), key, text, Shown(v));
}

void ReadBool(const std::string& key, const std::string& text, bool& v, Faults& faults) {
  int x = v ? 1 : 0;
  ReadRanged(key, text, 0, 1, x, faults);
  v = x != 0;
}

void ReadNumbers(const std::string& key, const std::string& text, double* out, std::size_t n, Faults& faults) {
  std::vector<std::string> items;
  survey::SplitText(text, items, ',');
  for (std::size_t i = 0; i < n && i < items.size(); ++i) ReadFinite(key, items[i], out[i], faults);
}

std::vector<std::string> SplitPoints(const std::string& text) {
  std::vector<std::string> items;
  survey::SplitText(text, items, ';');
  // A trailing ";" adds no point.
  while (!items.empty() && items.back().empty()) items.pop_back();
  if (items.size() > kMaxBlockRows) items.resize(kMaxBlockRows);
  return items;
}

void ReadSetting(const std::string& key, const std::string& value, int fileVersion, ToolsSectionData& d,
                 Faults& faults) {
  faults.NewLine(key);
  if (key == "坐标系") {
    // Old files count from 0 without the custom entry (wide, so a huge value cannot wrap).
    const auto n = platform::ReadInteger(value);
    const long long x = n ? static_cast<long long>(*n) + (fileVersion <= 500 ? 1 : 0) : -1;
    if (x >= 0 && x <= 4) d.coordSystem = static_cast<int>(x);
    else faults.Add(n ? app::SettingFault::kOutOfRange : app::FaultOf(value, true), key, value, Shown(d.coordSystem));
  } else if (key == "Y坐标含500公里") ReadBool(key, value, d.y500km, faults);
  // The custom ellipsoid as the settings dialog allows it; anything else keeps the reset.
  else if (key == "自定义椭球长半轴") ReadRanged(key, value, 6300000.0, 7000000.0, d.ellipsoidA, faults);
  else if (key == "自定义椭球扁率分母") ReadRanged(key, value, 200.0, 400.0, d.ellipsoidInvF, faults);
  else if (key == "椭球膨胀方式") ReadRanged(key, value, 0, 4, d.expansion, faults);
  else if (key == "投影面大地高") ReadFinite(key, value, d.projHeight, faults);
  else if (key == "换带后投影面大地高") ReadFinite(key, value, d.projHeight2, faults);
  else if (key == "测区中心纬度") ReadRanged(key, value, 0.0, 90.0, d.centreLatitude, faults);
  else if (key == "换带前中央子午线经度") ReadFinite(key, value, d.meridian1, faults);
  else if (key == "换带后中央子午线经度") ReadFinite(key, value, d.meridian2, faults);
  else if (key == "高程归算面") ReadFinite(key, value, d.reductionHeight, faults);
  else if (key == "距离类型") ReadRanged(key, value, 0, 2, d.distanceType, faults);
  else if (key == "大气折光系数") ReadFinite(key, value, d.refraction, faults);
  else if (key == "坐标转换公共点") {
    d.stores[kStoreFourCommonPoints] = SplitPoints(value);
    if (fileVersion <= 500 && d.stores[kStoreFourCommonPoints].size() >= 2)
      EstimateFourParameters(d.stores[kStoreFourCommonPoints], d.fourParams.data());
  } else if (key == "坐标转换四参数") ReadNumbers(key, value, d.fourParams.data(), 4, faults);
  else if (key == "七参数坐标转换公共点") d.stores[kStoreSevenCommonPoints] = SplitPoints(value);
  else if (key == "坐标转换七参数") ReadNumbers(key, value, d.sevenParams.data(), 7, faults);
  else if (key == "碎部测量观测方式") ReadRanged(key, value, 0, 2, d.detail.mode, faults);
  else if (key == "竖盘顺时针注记") ReadBool(key, value, d.detail.clockwise, faults);
  else if (key == "碎部测量后视" || key == "碎部测量测站") {
    std::vector<std::string> items;
    // A CR left in the line is saved as a blank: read it as one now, so the field trim
    // takes it and the next load reads the same name.
    survey::SplitText(app::BlankLineBreaks(value), items, ',');
    const bool station = key == "碎部测量测站";
    // Items present are taken in order; missing ones keep their values.
    if (!items.empty()) (station ? d.detail.station : d.detail.backsight) = items[0];
    double* nums[5] = {station ? &d.detail.stationX : &d.detail.backsightX,
                       station ? &d.detail.stationY : &d.detail.backsightY,
                       station ? &d.detail.stationH : &d.detail.backsightH,
                       station ? &d.detail.instrumentHeight : nullptr, station ? &d.detail.indexError : nullptr};
    for (std::size_t i = 1; i < items.size() && i <= 5; ++i)
      if (nums[i - 1]) ReadFinite(key, items[i], *nums[i - 1], faults);
  } else if (key == "碎部测量显示点名或高程") ReadRanged(key, value, 0, 1, d.detail.showNameOrHeight, faults);
  else if (key == "碎部测量显示小圆点") ReadBool(key, value, d.detail.showDot, faults);
  else if (key == "角度取位") ReadRanged(key, value, 0, 10, d.angleDecimals, faults);
  else if (key == "距离取位") ReadRanged(key, value, 0, 10, d.distDecimals, faults);
  else if (key == "坐标取位") ReadRanged(key, value, 0, 10, d.coordDecimals, faults);
  else if (key == "高程取位") ReadRanged(key, value, 0, 10, d.heightDecimals, faults);
  else if (key == "桩号取位") ReadRanged(key, value, 0, 10, d.chainageDecimals, faults);
  else if (key == "坡度取位") ReadRanged(key, value, 0, 10, d.gradeDecimals, faults);
  else if (key == "经纬度取位") ReadRanged(key, value, 0, 10, d.latLonDecimals, faults);
  else if (key == "适应纸宽") ReadBool(key, value, d.fitWidth, faults);
  else if (key == "适应纸高") ReadBool(key, value, d.padRows, faults);
  else if (key == "上方行数") ReadRanged(key, value, 0, 3, d.linesAbove, faults);
  else if (key == "下方行数") ReadRanged(key, value, 0, 1, d.lineBelow, faults);
  else if (key == "签署栏") {
    std::vector<std::string> items;
    survey::SplitText(app::BlankLineBreaks(value), items, ',');
    for (std::size_t i = 0; i < items.size() && i < 12; ++i) d.headerTexts[i] = items[i];
  }
}

}  // namespace

ToolsSectionData ToolsSectionData::FromView(const CAuxView& v) {
  ToolsSectionData d;
  d.coordSystem = v.m_nCoordSystem;
  d.y500km = v.m_bY500km;
  d.ellipsoidA = v.m_dEllipsoidA;
  d.ellipsoidInvF = v.m_dEllipsoidInvF;
  d.expansion = v.m_nExpansion;
  d.projHeight = v.m_dProjHeight;
  d.projHeight2 = v.m_dProjHeight2;
  d.centreLatitude = v.m_dCentreLatitude;
  d.meridian1 = v.m_dMeridian1;
  d.meridian2 = v.m_dMeridian2;
  d.reductionHeight = v.m_dReductionHeight;
  d.distanceType = v.m_nDistanceType;
  d.refraction = v.m_dRefraction;
  d.fourParams = v.m_dFourParams;
  d.sevenParams = v.m_dSevenParams;
  d.detail = v.DetailSettings();
  d.angleDecimals = v.m_nAngleDecimals;
  d.distDecimals = v.m_nDistDecimals;
  d.coordDecimals = v.m_nCoordDecimals;
  d.heightDecimals = v.m_nHeightDecimals;
  d.chainageDecimals = v.m_nChainageDecimals;
  d.gradeDecimals = v.m_nGradeDecimals;
  d.latLonDecimals = v.m_nLatLonDecimals;
  d.fitWidth = v.m_bFitWidth;
  d.padRows = v.m_bPadRows;
  d.linesAbove = v.m_nLinesAbove;
  d.lineBelow = v.m_nLineBelow;
  for (int i = 0; i < 12; ++i) d.headerTexts[static_cast<std::size_t>(i)] = v.GetHeaderText(i);
  d.stores = v.m_stores;
  return d;
}

void ToolsSectionData::ApplyTo(CAuxView& v) const {
  v.m_nCoordSystem = coordSystem;
  v.m_bY500km = y500km;
  v.m_dEllipsoidA = ellipsoidA;
  v.m_dEllipsoidInvF = ellipsoidInvF;
  v.m_nExpansion = expansion;
  v.m_dProjHeight = projHeight;
  v.m_dProjHeight2 = projHeight2;
  v.m_dCentreLatitude = centreLatitude;
  v.m_dMeridian1 = meridian1;
  v.m_dMeridian2 = meridian2;
  v.m_dReductionHeight = reductionHeight;
  v.m_nDistanceType = distanceType;
  v.m_dRefraction = refraction;
  v.m_dFourParams = fourParams;
  v.m_dSevenParams = sevenParams;
  v.SetDetailSettings(detail);
  v.m_nAngleDecimals = angleDecimals;
  v.m_nDistDecimals = distDecimals;
  v.m_nCoordDecimals = coordDecimals;
  v.m_nHeightDecimals = heightDecimals;
  v.m_nChainageDecimals = chainageDecimals;
  v.m_nGradeDecimals = gradeDecimals;
  v.m_nLatLonDecimals = latLonDecimals;
  v.m_bFitWidth = fitWidth;
  v.m_bPadRows = padRows;
  v.m_nLinesAbove = linesAbove;
  v.m_nLineBelow = lineBelow;
  for (int i = 0; i < 12; ++i) v.SetHeaderText(i, headerTexts[static_cast<std::size_t>(i)]);
  v.m_stores = stores;
}

std::vector<std::string> WriteToolsSectionLines(const ToolsSectionData& d) {
  std::vector<std::string> out;
  out.push_back(app::kToolsBanner);
  out.push_back("[设置]");
  auto kv = [&out](const char* key, const std::string& value) { out.push_back(std::string(key) + ":" + value); };
  kv("坐标系", Int(d.coordSystem));
  kv("Y坐标含500公里", Int(d.y500km));
  kv("自定义椭球长半轴", F6(d.ellipsoidA));
  kv("自定义椭球扁率分母", platform::FormatFixed(d.ellipsoidInvF, 11));
  kv("椭球膨胀方式", Int(d.expansion));
  kv("投影面大地高", F6(d.projHeight));
  kv("换带后投影面大地高", F6(d.projHeight2));
  kv("测区中心纬度", platform::FormatFixed(d.centreLatitude, 10));
  kv("换带前中央子午线经度", platform::FormatFixed(d.meridian1, 10));
  kv("换带后中央子午线经度", platform::FormatFixed(d.meridian2, 10));
  kv("高程归算面", F6(d.reductionHeight));
  kv("距离类型", Int(d.distanceType));
  kv("大气折光系数", F6(d.refraction));
  kv("坐标转换公共点", Join(d.stores[kStoreFourCommonPoints], ';'));
  kv("坐标转换四参数", platform::FormatFixed(d.fourParams[0], 8) + "," + platform::FormatFixed(d.fourParams[1], 8) + "," +
                           platform::FormatFixed(d.fourParams[2], 10) + "," + platform::FormatFixed(d.fourParams[3], 10));
  kv("七参数坐标转换公共点", Join(d.stores[kStoreSevenCommonPoints], ';'));
  std::string seven;
  for (std::size_t i = 0; i < 7; ++i) seven += (i ? "," : "") + platform::FormatFixed(d.sevenParams[i], 8);
  kv("坐标转换七参数", seven);
  const DetailSurveySettings& s = d.detail;
  kv("碎部测量观测方式", Int(s.mode));
  kv("竖盘顺时针注记", Int(s.clockwise));
  kv("碎部测量后视", app::SectionSafeText(s.backsight) + "," + F6(s.backsightX) + "," + F6(s.backsightY) + "," + F6(s.backsightH));
  kv("碎部测量测站", app::SectionSafeText(s.station) + "," + F6(s.stationX) + "," + F6(s.stationY) + "," + F6(s.stationH) + "," +
                         F6(s.instrumentHeight) + "," + F6(s.indexError));
  kv("碎部测量显示点名或高程", Int(s.showNameOrHeight));
  kv("碎部测量显示小圆点", Int(s.showDot));
  kv("角度取位", Int(d.angleDecimals));
  kv("距离取位", Int(d.distDecimals));
  kv("坐标取位", Int(d.coordDecimals));
  kv("高程取位", Int(d.heightDecimals));
  kv("桩号取位", Int(d.chainageDecimals));
  kv("坡度取位", Int(d.gradeDecimals));
  kv("经纬度取位", Int(d.latLonDecimals));
  kv("适应纸宽", Int(d.fitWidth));
  kv("适应纸高", Int(d.padRows));
  kv("上方行数", Int(d.linesAbove));
  kv("下方行数", Int(d.lineBelow));
  std::vector<std::string> texts;
  for (const std::string& t : d.headerTexts) texts.push_back(app::SectionSafeText(t));
  kv("签署栏", Join(texts, ','));
  out.push_back("[设置结束]");
  for (int store = 0; store < kStoreCount; ++store) {
    const ToolInfo* t = ToolOfStore(store);
    if (!t) continue;
    out.push_back(std::string("[") + t->block + "]");
    for (const std::string& row : d.stores[static_cast<std::size_t>(store)]) out.push_back(row);
    out.push_back(std::string("[") + t->block + "结束]");
  }
  out.push_back(kEndLine);
  return out;
}

namespace {

void ReadToolsSectionLines(app::LineReader& in, int fileVersion, ToolsSectionData& d, Faults& faults) {
  while (const std::string* peek = in.Peek()) {
    if (IsBanner(*peek)) return;  // another section: this one was not closed
    std::string line;
    in.Next(&line);
    if (line.empty()) continue;
    if (line == kEndLine) return;
    if (line == "[设置]") {
      while (const std::string* p = in.Peek()) {
        if (EndsOpenPart(*p)) break;
        in.Next(&line);
        if (line == "[设置结束]") break;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) continue;
        ReadSetting(line.substr(0, colon), line.substr(colon + 1), fileVersion, d, faults);
      }
      continue;
    }
    const int store = BlockOpener(line);
    if (store < 0) continue;
    // A block met again adds its rows to what the first one stored.
    const std::string name = line.substr(1, line.size() - 2);
    const std::string closer = "[" + name + "结束]";
    auto& rows = d.stores[static_cast<std::size_t>(store)];
    while (const std::string* p = in.Peek()) {
      if (EndsOpenPart(*p)) break;
      in.Next(&line);
      if (line == closer) break;
      if (line.empty()) continue;
      if (rows.size() < kMaxBlockRows) {
        rows.push_back(line);
      } else if (in.Notes().refusal.empty()) {
        in.Notes().refusal =
            "常用工具“" + name + "”的数据超过" + std::to_string(kMaxBlockRows) + "行，本程序不能完整读入";
      }
    }
  }
}

}  // namespace

void ReadToolsSectionLines(app::LineReader& in, int fileVersion, ToolsSectionData& d) {
  d = ToolsSectionData{};
  Faults faults;
  ReadToolsSectionLines(in, fileVersion, d, faults);
  app::NoteSettingFaults(faults.List(), &in.Notes());
}

void CToolsDocSection::WriteSection(app::LineWriter& out) {
  view_.StoreGridToData();
  for (std::string& line : WriteToolsSectionLines(ToolsSectionData::FromView(view_))) out.Write(std::move(line));
}

void CToolsDocSection::BeginRead(int fileVersion) {
  fileVersion_ = fileVersion;
  pending_ = std::make_unique<ToolsSectionData>();
}

void CToolsDocSection::ReadSection(app::LineReader& in) {
  if (!pending_) pending_ = std::make_unique<ToolsSectionData>();
  ReadToolsSectionLines(in, fileVersion_, *pending_);
}

void CToolsDocSection::CommitRead() {
  if (!pending_) return;
  view_.ResetToDefaults();
  pending_->ApplyTo(view_);
  pending_.reset();
}

}  // namespace tools
