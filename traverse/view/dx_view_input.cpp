#include "traverse/view/dx_view_input.h"

#include "platform/number.h"

namespace traverse {

namespace {

InputColumn Col(std::string h1, std::string h2, int width, int filter, bool stagger = false, int span = 0,
                std::string tip = "") {
  InputColumn c;
  c.header1 = std::move(h1);
  c.header2 = std::move(h2);
  c.width = width;
  c.filter = filter;
  c.stagger = stagger;
  c.span = span;
  c.tip = std::move(tip);
  return c;
}

const char* const kTraverseTitles[] = {"闭、附合导线数据输入", "无定向导线数据输入", "支导线数据输入",
                                       "特殊导线或网数据输入"};

// The orientation-point tip of the closed/connecting traverse; the Y column reads
// the same with Y in its three places. The tabs keep the tip's second part on its
// own line in the tool tip window.
std::string OrientationTip(const char* axis) {
  std::string a = axis;
  return "|1|定向点坐标" + a +
         "。如果仅已知定向方位角，则可以再假定一个边长用“常用工具”的“坐标正算”功能推算出该点坐标，"
         "注意方位角的方向性\t\t\t\t\t\t\t |2|输入起点坐标" +
         a +
         "|-1|定向点坐标。如果仅已知定向方位角，则可以再假定一个边长用“常用工具”的“坐标正算”功能推算出该点坐"
         "标。闭合导线且该点是第一个未知点时不需输入|-2|输入终点坐标" +
         a + "，与起点为同一点的闭合导线可不输";
}

}  // namespace

InputLayout InputLayoutFor(int t, int levelWeight, int distUnit) {
  InputLayout l;
  if (t == 4) {
    l.title = "坐标导线数据输入";
    l.columns = {
        Col("点名", "", 6, 0, false, 0, "输入未知点|1|输入已知点|-1|输入已知点"),
        Col("观测坐标", "X( m )", 8, 4, false, 2),
        Col("", "Y( m )", 8, 4),
        Col("观测高程", "( m )", 8, 4),
        Col("距离", "( m )", 8, 3, true, 0,
            "用于高程计算时定权。如果观测了坐标则不需输入，此时按由坐标反算的边长计算。"),
        Col("已知坐标", "X( m )", 8, 4, false, 2),
        Col("", "Y( m )", 8, 4),
        Col("已知高程", "( m )", 8, 4),
        Col("备注", "", 8, 0),
    };
    return l;
  }
  if (t == 5) {
    l.title = "单面单程水准测量数据输入";
    l.columns = {
        Col("点名", "", 6, 0, false, 0, "|1|输入已知点"),
        Col("水准尺读数", "后视(m)", 8, 4, false, 3),
        Col("", "中视(m)", 8, 4),
        Col("", "前视(m)", 8, 4),
        Col("已知高程", "( m )", 8, 4, false, 0, "已知高程则输入。|1|输入已知点高程"),
        Col("备注", "", 8, 0),
    };
    return l;
  }
  l.title = t >= 0 && t < 4 ? kTraverseTitles[t] : kTraverseTitles[0];
  const bool byStations = levelWeight == 1;
  l.columns = {
      Col("点名", "", 6, 0),
      Col("角度", "(°' \")", 8, 6),
      Col("边长", "( m )", 8, 3, true),
      Col("高差", "( m )", 8, 4, true),
      byStations ? Col("测站数", "", 6, 1, true) : Col("高程测段", distUnit == 1 ? "长(km)" : "长(m)", 8, 3, true),
      Col("坐标", "X( m )", 8, 4, false, 2),
      Col("", "Y( m )", 8, 4),
      Col("高程", "H( m )", 8, 4),
      Col("备注", "", 8, 0),
  };
  return l;
}

int MinimumInputRows(int t) { return t == 0 ? 5 : 3; }

std::vector<std::vector<bool>> InputLockPattern(int t, int n) {
  const std::size_t cols = t == 5 ? 6 : 9;
  std::vector<std::vector<bool>> lock;
  for (int r = 1; r <= n; ++r) {
    const std::array<bool, 9> row = InputLockRow(t, n, r);
    lock.emplace_back(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(cols));
  }
  return lock;
}

std::array<bool, 9> InputLockRow(int t, int n, int row) {
  std::array<bool, 9> lock{};
  if (t == 5 || n < 1 || row < 1 || row > n) return lock;
  // The rules for the whole table, applied in order, kept where they meet this row.
  auto set = [&](int r, int c, bool v) {
    if (r == row) lock[static_cast<std::size_t>(c - 1)] = v;
  };
  const int X = 6, Y = 7, H = 8;
  for (int c : {X, Y, H}) set(row, c, t != 3);
  auto lockLeg = [&](int r) {
    for (int c : {3, 4, 5}) set(r, c, true);
  };
  switch (t) {
    case 0:
      lockLeg(1), lockLeg(n - 1), lockLeg(n);
      set(1, X, false), set(1, Y, false), set(1, H, true);
      set(2, X, false), set(2, Y, false), set(2, H, false);
      set(n - 1, X, false), set(n - 1, Y, false), set(n - 1, H, false);
      set(n, X, false), set(n, Y, false), set(n, H, true);
      break;
    case 1:
      for (int c : {X, Y, H}) set(1, c, false), set(n, c, false);
      lockLeg(n);
      break;
    case 2:
      lockLeg(1);
      for (int c : {X, Y, H}) set(1, c, false), set(2, c, false);
      lockLeg(n);
      break;
    case 3:
      lockLeg(n);
      break;
    case 4:
      for (int c : {X, Y, H}) set(1, c, false), set(n, c, false);
      for (int c : {2, 3, 4}) set(1, c, true);
      break;
    default:
      break;
  }
  if (t <= 3) set(1, 2, true), set(n, 2, true);
  return lock;
}

std::vector<std::pair<int, std::string>> InputTips(int t, int levelWeight) {
  std::vector<std::pair<int, std::string>> tips;
  if (t < 0 || t > 3) return tips;
  tips.emplace_back(2, "输入前进方向的左角。如为右角，请在前加负号，将自动转换为左角。");
  tips.emplace_back(5, levelWeight == 1 ? "输入水准观测站数"
                                        : "如果观测了高差则输入两点间高程路线长度，采用三角高程时如果输入了边长则这"
                                          "里不输，此时高程测段长度按边长计。");
  if (t == 0) {
    tips.emplace_back(1,
                      "依次输入导线上各未知点|1|输入导线起点处的定向点，如仅计算高程路线则本行可不输|2|输入导线起点|"
                      "-2|输入导线终点|-1|输入导线终点处的定向点，闭合导线可以是第一个未知点，如仅计算高程路线则本行"
                      "可不输");
    tips.emplace_back(6, OrientationTip("X"));
    tips.emplace_back(7, OrientationTip("Y"));
    tips.emplace_back(8, "|-2|输入终点高程，与起点为同一点的闭合路线可不输");
  } else if (t == 3) {
    tips.emplace_back(6, "如为平面已知点则输入，否则请留空。|1|第一点应为已知点，必须输入坐标。");
    tips.emplace_back(7, "如为平面已知点则输入，否则请留空。|1|第一点应为已知点，必须输入坐标。");
    tips.emplace_back(8, "如为高程已知点则输入，否则请留空。");
  }
  return tips;
}

bool TrigWeightFollowsDistance(int t, int heightRoute, int distUnit, const std::string& distance,
                               const std::string& dh, std::string* weight) {
  if (t < 0 || t > 2 || heightRoute != 1 || distance.empty()) return false;
  if (dh.empty())
    *weight = "";
  else if (distUnit == 1)
    *weight = platform::FormatFixed(platform::ParseDouble(distance) / 1000.0, 3);
  else
    *weight = distance;
  return true;
}

}  // namespace traverse
