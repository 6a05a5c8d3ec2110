// CTraverseJob: parsing the input rows, linking them to the point lists, and the
// input checks that run before any adjustment. Each failed check shows one
// message naming the row (1-based) and stops.
#include <cmath>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/number.h"
#include "survey/angle.h"
#include "traverse/engine/dx_text.h"
#include "traverse/engine/traverse_job.h"

using traverse::CTraverseJob;

using dxtext::Format;

namespace {

bool SameName(const std::string& a, const std::string& b) { return !a.empty() && a == b; }

// The first entry of `points` named `name`, or -1, through `index` (name → first
// position), which is rebuilt when it no longer matches the list.
template <class Point>
int FindByName(const std::vector<Point>& points, std::unordered_map<std::string, int>& index,
               const std::string& name) {
  auto lookup = [&] {
    const auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
  };
  int i = index.size() == points.size() ? lookup() : -2;
  if (i == -2 || (i >= 0 && (static_cast<std::size_t>(i) >= points.size() ||
                             points[static_cast<std::size_t>(i)].name != name))) {
    index.clear();
    for (std::size_t k = 0; k < points.size(); ++k) index.emplace(points[k].name, static_cast<int>(k));
    i = lookup();
  }
  return i;
}

// Appends `p` to `points` and keeps `index` in step.
template <class Point>
int AppendPoint(std::vector<Point>& points, std::unordered_map<std::string, int>& index, Point p) {
  const int at = static_cast<int>(points.size());
  const bool inStep = index.size() == points.size();
  points.push_back(std::move(p));
  if (inStep) index.emplace(points.back().name, at);
  return at;
}

// Largest magnitudes a row's numbers may have. Far beyond any survey (plane
// coordinates with a zone number stay under 1e8 m), yet small enough that sums,
// squares and products of them stay finite, so no "inf" or "nan" can follow.
struct NumberField {
  std::string CTraverseJob::CUnit::*text;
  const char* label;
  double limit;
};
constexpr NumberField kNumberFields[] = {
    {&CTraverseJob::CUnit::xText, "X坐标", 1e8},
    {&CTraverseJob::CUnit::yText, "Y坐标", 1e8},
    {&CTraverseJob::CUnit::hText, "高程", 1e6},
    {&CTraverseJob::CUnit::distanceText, "边长", 1e7},
    {&CTraverseJob::CUnit::dhText, "高差", 1e6},
    {&CTraverseJob::CUnit::weightText, "定权距离或测站数", 1e7},
    {&CTraverseJob::CUnit::obsXText, "观测X坐标", 1e8},
    {&CTraverseJob::CUnit::obsYText, "观测Y坐标", 1e8},
    {&CTraverseJob::CUnit::obsHText, "观测高程", 1e6},
    {&CTraverseJob::CUnit::backsightText, "后视读数", 1e6},
    {&CTraverseJob::CUnit::foresightText, "前视读数", 1e6},
    {&CTraverseJob::CUnit::intermediateText, "中视读数", 1e6},
};

}  // namespace

// Each number of a row, strictly: a text that is not one finite number, or an
// angle text that is not an angle, is refused with its row, point and field;
// an empty text is "not given" and left to the checks that need it.
int CTraverseJob::CheckRowNumbers(int row) {
  const CUnit& u = m_arrUnit[static_cast<std::size_t>(row)];
  if (!u.angleText.empty() && !survey::ReadAngleText(u.angleText)) {
    Say(Format("第%d点(%s)的角度不是数字", {row + 1, u.name}));
    return 0;
  }
  for (const NumberField& f : kNumberFields) {
    const std::string& text = u.*f.text;
    if (text.empty()) continue;
    const std::optional<double> v = platform::ReadNumber(text);
    if (!v) {
      Say(Format("第%d点(%s)的%s不是数字", {row + 1, u.name, f.label}));
      return 0;
    }
    if (!(std::fabs(*v) <= f.limit)) {
      Say(Format("第%d点(%s)的%s数值过大（%s），无法计算。", {row + 1, u.name, f.label, text}));
      return 0;
    }
  }
  return 1;
}

bool CTraverseJob::IsClosedTraverse() const {
  const std::size_t n = m_arrUnit.size();
  return n >= 4 && SameName(m_arrUnit[n - 1].name, m_arrUnit[2].name);
}

int CTraverseJob::AddPlanePoint(int row, int addUnknown) {
  CUnit& u = m_arrUnit[static_cast<std::size_t>(row)];
  // A row without a name is never linked: it would join every other unnamed row.
  if (u.name.empty()) return 0;
  const bool typed = !u.xText.empty() && !u.yText.empty();
  if (const int i = FindByName(m_arrKnownPd, m_knownPdAt, u.name); i >= 0) {
    const CPd& p = m_arrKnownPd[static_cast<std::size_t>(i)];
    if (typed && (std::fabs(u.x - p.x) > 1e-6 || std::fabs(u.y - p.y) > 1e-6)) {
      Say(Format("第%d点(%s)已有同名点但输入的坐标不一样！", {row + 1, u.name}));
      return -1;
    }
    u.planeIndex = i;
    u.knownPlane = 1;
    u.x = p.x;
    u.y = p.y;
    return 1;
  }
  if (typed) {
    CPd p;
    p.name = u.name;
    p.x = u.x;
    p.y = u.y;
    u.planeIndex = AppendPoint(m_arrKnownPd, m_knownPdAt, std::move(p));
    u.knownPlane = 1;
    return 2;
  }
  if (!addUnknown) return 0;
  if (const int i = FindByName(m_arrUnknownPd, m_unknownPdAt, u.name); i >= 0) {
    u.knownPlane = 0;
    u.planeIndex = i;
    return 3;
  }
  CPd p;
  p.name = u.name;
  u.planeIndex = AppendPoint(m_arrUnknownPd, m_unknownPdAt, std::move(p));
  u.knownPlane = 0;
  return 4;
}

int CTraverseJob::AddHeightPoint(int row, int addUnknown) {
  CUnit& u = m_arrUnit[static_cast<std::size_t>(row)];
  if (u.name.empty()) return 0;
  const bool typed = !u.hText.empty();
  if (const int i = FindByName(m_arrKnownHd, m_knownHdAt, u.name); i >= 0) {
    const CHd& p = m_arrKnownHd[static_cast<std::size_t>(i)];
    if (typed && std::fabs(u.h - p.h) > 1e-6) {
      Say(Format("第%d点(%s)已有同名点但输入的高程不一样！", {row + 1, u.name}));
      return -1;
    }
    u.heightIndex = i;
    u.knownHeight = 1;
    u.h = p.h;
    return 1;
  }
  if (typed) {
    CHd p;
    p.name = u.name;
    p.h = u.h;
    u.heightIndex = AppendPoint(m_arrKnownHd, m_knownHdAt, std::move(p));
    u.knownHeight = 1;
    return 2;
  }
  if (!addUnknown) return 0;
  if (const int i = FindByName(m_arrUnknownHd, m_unknownHdAt, u.name); i >= 0) {
    u.knownHeight = 0;
    u.heightIndex = i;
    return 3;
  }
  CHd p;
  p.name = u.name;
  u.heightIndex = AppendPoint(m_arrUnknownHd, m_unknownHdAt, std::move(p));
  u.knownHeight = 0;
  return 4;
}

CTraverseJob::PointKind CTraverseJob::GetPointXY(int row, double* x, double* y) const {
  if (row < 0 || row >= static_cast<int>(m_arrUnit.size())) return kNoPoint;
  const CUnit& u = m_arrUnit[static_cast<std::size_t>(row)];
  if (u.planeIndex < 0) return kNoPoint;
  const std::size_t i = static_cast<std::size_t>(u.planeIndex);
  if (u.knownPlane) {
    if (i >= m_arrKnownPd.size()) return kNoPoint;
    *x = m_arrKnownPd[i].x;
    *y = m_arrKnownPd[i].y;
    return kKnownPoint;
  }
  if (i >= m_arrUnknownPd.size() || !m_arrUnknownPd[i].hasValue) return kNoPoint;
  *x = m_arrUnknownPd[i].x;
  *y = m_arrUnknownPd[i].y;
  return kUnknownPoint;
}

CTraverseJob::PointKind CTraverseJob::GetPointH(int row, double* h) const {
  if (row < 0 || row >= static_cast<int>(m_arrUnit.size())) return kNoPoint;
  const CUnit& u = m_arrUnit[static_cast<std::size_t>(row)];
  if (u.heightIndex < 0) return kNoPoint;
  const std::size_t i = static_cast<std::size_t>(u.heightIndex);
  if (u.knownHeight) {
    if (i >= m_arrKnownHd.size()) return kNoPoint;
    *h = m_arrKnownHd[i].h;
    return kKnownPoint;
  }
  if (i >= m_arrUnknownHd.size()) return kNoPoint;
  *h = m_arrUnknownHd[i].h;
  return kUnknownPoint;
}

int CTraverseJob::ParseAndCheckInput() {
  m_arrKnownPd.clear();
  m_arrUnknownPd.clear();
  m_arrKnownHd.clear();
  m_arrUnknownHd.clear();
  m_knownPdAt.clear();
  m_unknownPdAt.clear();
  m_knownHdAt.clear();
  m_unknownHdAt.clear();
  m_nAngleCount = m_nSideCount = m_nDhCount = 0;
  m_dSumD = 0;
  m_dSumWeight = 0;
  m_bPlane = m_bHeight = m_bIntermediate = 0;

  // Rows may come from a file as well as from the grid: the same three-row
  // minimum, and blanks around a text never make it count.
  if (m_arrUnit.size() < 3) m_arrUnit.resize(3);
  // The remark keeps its blanks.
  for (CUnit& u : m_arrUnit)
    for (auto text : traverse::kRowTexts)
      if (text != &CUnit::remark) u.*text = dxtext::Trim(u.*text);

  const int type = m_nTraverseType;
  const int n = static_cast<int>(m_arrUnit.size());
  for (int i = 0; i + 1 < n; ++i) {
    const CUnit& u = m_arrUnit[static_cast<std::size_t>(i)];
    if (type == 4) {
      if (!u.obsXText.empty() || !u.obsYText.empty()) m_bPlane = 1;
      if (!u.obsHText.empty()) m_bHeight = 1;
    } else if (type == 5) {
      if (!u.backsightText.empty()) m_bHeight = 1;
    } else {
      if (!u.angleText.empty() || !u.distanceText.empty()) m_bPlane = 1;
      if (!u.dhText.empty()) m_bHeight = 1;
    }
  }
  if (!m_bPlane && !m_bHeight) {
    Say("无计算内容！");
    return 0;
  }

  for (int i = 0; i < n; ++i) {
    CUnit& u = m_arrUnit[static_cast<std::size_t>(i)];
    const bool last = i == n - 1;
    u.knownPlane = u.knownHeight = 0;
    u.planeIndex = u.heightIndex = -1;
    u.x = u.y = u.h = 0;
    u.angle = u.distance = u.dh = u.weightLength = 0;
    u.observedAngle = u.observedDistance = 0;
    u.angleCorrection = u.distanceCorrection = u.dhCorrection = 0;
    u.azimuth = u.dx = u.vx = u.dy = u.vy = 0;
    u.azimuthRms = u.sideRms = u.adjacentError = 0;

    if (!CheckRowNumbers(i)) return 0;

    if (u.name.empty()) {
      const bool orientationRow =
          !m_bPlane && ((i == 0 && (type == 0 || type == 2)) || (last && type == 0));
      // An unnamed orientation row is tolerated only while nothing refers to it.
      const bool referenced = (!last && !u.dhText.empty()) ||
                              (i > 0 && !m_arrUnit[static_cast<std::size_t>(i - 1)].dhText.empty());
      if (!orientationRow || referenced) {
        Say(Format("第%d点名称不应为空", {i + 1}));
        return 0;
      }
    }

    if (type != 5) {
      const bool hasX = !u.xText.empty(), hasY = !u.yText.empty();
      if (hasX && hasY) {
        u.x = platform::ParseDouble(u.xText);
        u.y = platform::ParseDouble(u.yText);
        if (m_bReduce && u.y > 1000000) {
          Say(Format("您选择了概算，第%d点Y坐标不应含有带号!", {i + 1}));
          return 0;
        }
        if (!u.name.empty()) u.knownPlane = 1;
        if (AddPlanePoint(i, 0) < 0) return 0;
      } else if (hasX != hasY) {
        Say(Format("第%d点(%s)的平面坐标应同时填写", {i + 1, u.name}));
        return 0;
      }
    }
    if (!u.hText.empty()) {
      u.h = platform::ParseDouble(u.hText);
      if (!u.name.empty()) u.knownHeight = 1;
      if (AddHeightPoint(i, 0) < 0) return 0;
    }

    if (type <= 3) {
      // An angle needs a back and a fore point; the first row has no back point,
      // the last none ahead (possible from a file).
      if (!u.angleText.empty() && (i == 0 || last)) {
        Say(Format(i == 0 ? "第%d点(%s)是第一点，没有后视点，不应输入角度"
                          : "第%d点(%s)是最后一点，没有前视点，不应输入角度",
                   {i + 1, u.name}));
        return 0;
      }
      if (!last) {
        if (!u.angleText.empty()) {
          u.angle = survey::ParseAngleText(u.angleText);
          survey::NormalizeAngle(&u.angle);
          u.observedAngle = u.angle;
          ++m_nAngleCount;
        }
        if (!u.distanceText.empty()) {
          u.distance = platform::ParseDouble(u.distanceText);
          // A side of 0 is distributed nothing in the approximate adjustment, so it
          // passes there; an open traverse has no closure to show the coincident
          // points, and a negative side is no side at all.
          if (u.distance < 0 || (type == 2 && u.distance == 0)) {
            Say(Format("第%d点(%s)-第%d点(%s)的边长必须大于0",
                       {i + 1, u.name, i + 2, m_arrUnit[static_cast<std::size_t>(i + 1)].name}));
            return 0;
          }
          u.observedDistance = u.distance;
          ++m_nSideCount;
          m_dSumD += u.distance;
        }
        if (!u.dhText.empty()) {
          u.dh = platform::ParseDouble(u.dhText);
          const CUnit& next = m_arrUnit[static_cast<std::size_t>(i + 1)];
          if (u.weightText.empty()) {
            if (type == 2) {
              ++m_nDhCount;
            } else {
              Say(Format("第%d点(%s)-第%d点(%s)输入了高差，但无距离或测站数定权",
                         {i + 1, u.name, i + 2, next.name}));
              return 0;
            }
          } else {
            u.weightLength = platform::ParseDouble(u.weightText);
            // A zero weight length would make the weight 1/0.
            if (type != 2 && !(u.weightLength >= 1e-6)) {
              Say(Format("第%d点(%s)-第%d点(%s)的高差定权距离或测站数必须大于0。",
                         {i + 1, u.name, i + 2, next.name}));
              return 0;
            }
            ++m_nDhCount;
            m_dSumWeight += u.weightLength;
          }
        }
      }
      // A side or height difference in the last row leads nowhere: stored files
      // may hold one, and it is ignored.
    } else if (type == 4) {
      if (i >= 1 && m_bPlane && (u.obsXText.empty() || u.obsYText.empty())) {
        Say(Format("第%d点(%s)的观测坐标未输入完整。", {i + 1, u.name}));
        return 0;
      }
      if (i >= 1 && m_bHeight && u.obsHText.empty()) {
        Say(Format("第%d点(%s)的观测高程未输入。", {i + 1, u.name}));
        return 0;
      }
      if (m_bHeight && !m_bPlane && !last) {
        const double w = platform::ParseDouble(u.weightText);
        if (!(w >= 1e-6)) {
          Say(Format("第%d点(%s)-第%d点(%s)必须输入距离用于计算高程时定权。\n距离必须大于0。",
                     {i + 1, u.name, i + 2, m_arrUnit[static_cast<std::size_t>(i + 1)].name}));
          return 0;
        }
        u.weightLength = w;
        m_dSumWeight += w;
      }
    } else if (type == 5) {
      if (!m_bIntermediate && !u.intermediateText.empty()) m_bIntermediate = 1;
    }
  }

  if (!CheckSamePoints()) return 0;
  if (!CheckObservationCounts()) return 0;
  switch (type) {
    case 0: return CheckClosedConnectingTraverse();
    case 1: return CheckNoOrientationTraverse();
    case 2: return CheckOpenTraverse();
    default: return 1;
  }
}

int CTraverseJob::CheckSamePoints() {
  const int type = m_nTraverseType;
  const int n = static_cast<int>(m_arrUnit.size());
  auto unit = [&](int i) -> const CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };
  // Two neighbouring rows of one name joined by an observation: a side, height
  // difference or levelling sight from a point to itself, or an angle with its
  // station as back or fore point. (A network's lines may meet at a repeated row
  // that no observation joins.)
  for (int i = 0; i + 1 < n; ++i) {
    const CUnit& a = unit(i);
    const CUnit& b = unit(i + 1);
    if (!SameName(a.name, b.name)) continue;
    bool joined = type >= 4;
    if (type <= 3)
      joined = (m_bPlane && (!a.distanceText.empty() || (i > 0 && !a.angleText.empty()) ||
                             (i + 2 < n && !b.angleText.empty()))) ||
               (m_bHeight && !a.dhText.empty());
    if (joined) {
      Say(Format("第%d点(%s)与第%d点(%s)同名，相邻两点不应为同一点", {i + 1, a.name, i + 2, b.name}));
      return 0;
    }
  }
  // A coordinate traverse derives its sides and angles from the observed
  // coordinates: a leg of length 0 has no direction to give an angle.
  if (type == 4 && m_bPlane) {
    for (int i = 1; i < n; ++i) {
      const CUnit& a = unit(i - 1);
      const CUnit& b = unit(i);
      const std::string& ax = i == 1 ? a.xText : a.obsXText;
      const std::string& ay = i == 1 ? a.yText : a.obsYText;
      if (ax.empty() || ay.empty() || b.obsXText.empty() || b.obsYText.empty()) continue;
      if (std::fabs(platform::ParseDouble(ax) - platform::ParseDouble(b.obsXText)) < 1e-6 &&
          std::fabs(platform::ParseDouble(ay) - platform::ParseDouble(b.obsYText)) < 1e-6) {
        Say(Format("第%d点(%s)-第%d点(%s)的坐标重合，边长为0，无法计算", {i, a.name, i + 1, b.name}));
        return 0;
      }
    }
  }
  // An open traverse and a coordinate traverse run from point to point without a
  // check on the way: a name met again would carry two different positions.
  if (type == 2 || type == 4) {
    std::unordered_map<std::string, int> first;
    for (int i = 0; i < n; ++i) {
      const CUnit& u = unit(i);
      if (u.name.empty()) continue;
      const auto [at, fresh] = first.emplace(u.name, i);
      if (fresh) continue;
      // A coordinate traverse closes on its start point on purpose.
      if (type == 4 && i == n - 1 && at->second == 0) continue;
      Say(Format(type == 2 ? "支导线第%d点(%s)不能与前面的点同名" : "坐标导线第%d点(%s)不能与前面的点同名",
                 {i + 1, u.name}));
      return 0;
    }
  }
  return 1;
}

int CTraverseJob::CheckObservationCounts() {
  const int type = m_nTraverseType;
  const int n = static_cast<int>(m_arrUnit.size());
  auto unit = [&](int i) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };

  if (m_bPlane) {
    if (!unit(0).knownPlane) {
      Say("平面计算时第一点应该为已知点！\n请输入平面坐标。");
      return 0;
    }
    // A closed coordinate traverse closes on its one known point; its observed
    // frame carries the orientation.
    const bool closedCoord = type == 4 && SameName(unit(n - 1).name, unit(0).name);
    if (m_arrKnownPd.size() < 2 && !closedCoord) {
      Say("平面计算时已知平面坐标的点不应少于两个！");
      return 0;
    }
    for (int i = 0; i < n; ++i) {
      CUnit& u = unit(i);
      if (!u.knownPlane && AddPlanePoint(i, 0) < 0) return 0;
      if (type == 4) {
        if (!u.obsXText.empty() && u.planeIndex < 0) AddPlanePoint(i, 1);
      } else if (type <= 3) {
        if (!u.angleText.empty() && i > 0 && i + 1 < n) {
          for (int j = i - 1; j <= i + 1; ++j)
            if (unit(j).planeIndex < 0) AddPlanePoint(j, 1);
          if (unit(i - 1).knownPlane && u.knownPlane && unit(i + 1).knownPlane) {
            Say(Format("第%d点(%s)及前后两点都是已知点，不应观测角度", {i + 1, u.name}));
            return 0;
          }
        }
        if (!u.distanceText.empty() && i + 1 < n) {
          for (int j = i; j <= i + 1; ++j)
            if (unit(j).planeIndex < 0) AddPlanePoint(j, 1);
          if (u.knownPlane && unit(i + 1).knownPlane) {
            Say(Format("第%d点(%s)-第%d点(%s)都是已知点，不应观测边长",
                       {i + 1, u.name, i + 2, unit(i + 1).name}));
            return 0;
          }
        }
      }
    }
    if (type <= 3 &&
        m_nAngleCount + m_nSideCount < 2 * static_cast<int>(m_arrUnknownPd.size())) {
      Say("平面计算中角度、边长观测量不足！");
      return 0;
    }
  }

  if (m_bHeight) {
    if (m_arrKnownHd.empty()) {
      Say("您输入了高差，程序将进行高程计算，此时应至少输入一个高程已知点！");
      return 0;
    }
    for (int i = 0; i < n; ++i) {
      CUnit& u = unit(i);
      if (!u.knownHeight && AddHeightPoint(i, 0) < 0) return 0;
      if (type == 4) {
        if (!u.obsHText.empty() && u.heightIndex < 0) AddHeightPoint(i, 1);
      } else if (type <= 3 && !u.dhText.empty() && i + 1 < n) {
        for (int j = i; j <= i + 1; ++j)
          if (unit(j).heightIndex < 0) AddHeightPoint(j, 1);
        if (u.knownHeight && unit(i + 1).knownHeight) {
          Say(Format("第%d点(%s)-第%d点(%s)都是高程已知点，不应观测高差",
                     {i + 1, u.name, i + 2, unit(i + 1).name}));
          return 0;
        }
      }
    }
    if (type <= 3 && m_nDhCount < static_cast<int>(m_arrUnknownHd.size())) {
      Say("高程计算中高差观测量不足！");
      return 0;
    }
  }

  for (int i = 0; i < n; ++i) {
    CUnit& u = unit(i);
    if (u.name.empty()) continue;
    if (m_bPlane && u.planeIndex < 0) {
      if (const int k = FindByName(m_arrUnknownPd, m_unknownPdAt, u.name); k >= 0) {
        u.planeIndex = k;
        u.knownPlane = 0;
      }
    }
    if (m_bHeight && u.heightIndex < 0) {
      if (const int k = FindByName(m_arrUnknownHd, m_unknownHdAt, u.name); k >= 0) {
        u.heightIndex = k;
        u.knownHeight = 0;
      }
    }
  }
  return 1;
}

int CTraverseJob::CheckClosedConnectingTraverse() {
  const int n = static_cast<int>(m_arrUnit.size());
  // r(k): the k-th grid row (1-based), as the messages count.
  auto r = [&](int k) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(k - 1)]; };
  // Orientation, start, end and closing orientation need four rows at least.
  if (n < 4) {
    Say("闭、附合导线的数据行数不足，至少应有起始定向点、起点、终点和终止定向点四行。");
    return 0;
  }
  if (m_bPlane) {
    if (!r(1).knownPlane) {
      Say("闭、附合导线第1点应该为已知点，请输入平面坐标");
      return 0;
    }
    if (!r(2).knownPlane) {
      Say("闭、附合导线第2点应该为已知点，请输入平面坐标");
      return 0;
    }
    if (!r(n - 1).knownPlane) {
      Say("附合导线终点应该为已知点，请在倒数第二点输入平面坐标");
      return 0;
    }
    if (!r(n).knownPlane) {
      if (!SameName(r(n - 1).name, r(2).name)) {
        Say("附合导线最后一点应该为已知点，请输入平面坐标");
        return 0;
      }
      if (!SameName(r(n).name, r(3).name)) {
        Say(Format("闭合导线最后一点如果不是已知点，则只能是第一个未知点，\n即导线第三点(%s)！",
                   {r(3).name}));
        return 0;
      }
    } else if (SameName(r(n).name, r(3).name)) {
      Say(Format("导线最后一点是已知点，但却与第一个未知点(即导线第三点%s)同名！", {r(3).name}));
      return 0;
    }
    for (int k = 2; k <= n - 1; ++k) {
      if (r(k).angleText.empty()) {
        Say(Format("第%d点(%s)处没有输入角度", {k, r(k).name}));
        return 0;
      }
      if (k <= n - 2 && r(k).distanceText.empty()) {
        Say(Format("第%d点(%s)至第%d点(%s)没有输入边长", {k, r(k).name, k + 1, r(k + 1).name}));
        return 0;
      }
      if (k >= 3 && k <= n - 2) {
        if (r(k).knownPlane) {
          Say(Format("闭、附合导线第%d点(%s)不能是已知点或与已知点同名", {k, r(k).name}));
          return 0;
        }
        if (r(k).planeIndex != k - 3) {
          Say(Format("闭、附合导线第%d点(%s)不能与前面的点同名", {k, r(k).name}));
          return 0;
        }
      }
    }
  }
  if (m_bHeight) {
    if (!r(2).knownHeight) {
      Say("闭、附合高程路线起点应该为已知点，请在第二点处输入高程");
      return 0;
    }
    if (!r(n - 1).knownHeight) {
      Say("附合高程路线终点应该为已知点，请在倒数第二点处输入高程");
      return 0;
    }
    for (int k = 2; k <= n - 2; ++k) {
      if (r(k).dhText.empty()) {
        Say(Format("第%d点(%s)至第%d点(%s)没有输入高差", {k, r(k).name, k + 1, r(k + 1).name}));
        return 0;
      }
      if (k >= 3) {
        if (r(k).knownHeight) {
          Say(Format("闭、附合高程路线第%d点(%s)不能是已知点或与已知点同名", {k, r(k).name}));
          return 0;
        }
        if (r(k).heightIndex != k - 3) {
          Say(Format("闭、附合高程路线第%d点(%s)不能与前面的点同名", {k, r(k).name}));
          return 0;
        }
      }
    }
  }
  return 1;
}

int CTraverseJob::CheckNoOrientationTraverse() {
  const int n = static_cast<int>(m_arrUnit.size());
  auto r = [&](int k) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(k - 1)]; };
  if (m_bPlane) {
    if (!r(1).knownPlane) {
      Say("无定向导线第1点应该为已知点，请输入平面坐标");
      return 0;
    }
    if (SameName(r(1).name, r(n).name)) {
      Say("无定向导线起点与终点不能为同一点！");
      return 0;
    }
    if (!r(n).knownPlane) {
      Say("无定向导线终点应该为已知点，请输入平面坐标");
      return 0;
    }
    for (int k = 1; k <= n - 1; ++k) {
      if (r(k).distanceText.empty()) {
        Say(Format("第%d点(%s)至第%d点(%s)没有输入边长", {k, r(k).name, k + 1, r(k + 1).name}));
        return 0;
      }
      if (k >= 2) {
        if (r(k).angleText.empty()) {
          Say(Format("第%d点(%s)处没有输入角度", {k, r(k).name}));
          return 0;
        }
        if (r(k).knownPlane) {
          Say(Format("闭、附合导线第%d点(%s)不能是已知点或与已知点同名", {k, r(k).name}));
          return 0;
        }
        if (r(k).planeIndex != k - 2) {
          Say(Format("闭、附合导线第%d点(%s)不能与前面的点同名", {k, r(k).name}));
          return 0;
        }
      }
    }
  }
  if (m_bHeight) {
    if (!r(1).knownHeight) {
      Say("高程路线起点应该为已知点，请在第一点处输入高程");
      return 0;
    }
    if (!r(n).knownHeight) {
      Say("高程路线终点应该为已知点，请在最后一点处输入高程");
      return 0;
    }
    for (int k = 1; k <= n - 1; ++k) {
      if (r(k).dhText.empty()) {
        Say(Format("第%d点(%s)至第%d点(%s)没有输入高差", {k, r(k).name, k + 1, r(k + 1).name}));
        return 0;
      }
      if (k >= 2) {
        if (r(k).knownHeight) {
          Say(Format("高程路线第%d点(%s)不能是已知点或与已知点同名", {k, r(k).name}));
          return 0;
        }
        if (r(k).heightIndex != k - 2) {
          Say(Format("高程路线第%d点(%s)不能与前面的点同名", {k, r(k).name}));
          return 0;
        }
      }
    }
  }
  return 1;
}

int CTraverseJob::CheckOpenTraverse() {
  const int n = static_cast<int>(m_arrUnit.size());
  auto r = [&](int k) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(k - 1)]; };
  if (m_bPlane) {
    if (!r(1).knownPlane) {
      Say("支导线第1点应该为已知点，请输入平面坐标");
      return 0;
    }
    if (!r(2).knownPlane) {
      Say("支导线第2点应该为已知点，请输入平面坐标");
      return 0;
    }
    for (int k = 2; k <= n - 1; ++k) {
      if (r(k).angleText.empty()) {
        Say(Format("第%d点(%s)处没有输入角度", {k, r(k).name}));
        return 0;
      }
      if (r(k).distanceText.empty()) {
        Say(Format("第%d点(%s)至第%d点(%s)没有输入边长", {k, r(k).name, k + 1, r(k + 1).name}));
        return 0;
      }
    }
  }
  if (m_bHeight) {
    if (!r(2).knownHeight) {
      Say("支高程路线起点应该为已知点，请在第二点处输入高程");
      return 0;
    }
    for (int k = 2; k <= n - 1; ++k) {
      if (r(k).dhText.empty()) {
        Say(Format("第%d点(%s)至第%d点(%s)没有输入高差", {k, r(k).name, k + 1, r(k + 1).name}));
        return 0;
      }
    }
  }
  return 1;
}
