// Height side of a traverse job: least-squares adjustment of the height network
// (levelling weights 1/L, trigonometric heighting 1/L²; unknowns in millimetres)
// and the single-face single-run levelling line, which closes on every known
// height and distributes each closure equally over the stations of its stretch.
#include <cmath>

#include "platform/number.h"
#include "platform/ports.h"
#include "traverse/engine/dx_steps.h"

using traverse::CTraverseJob;

using traverse::detail::Format;

int CTraverseJob::ComputeApproxHeights() {
  const int n = static_cast<int>(m_arrUnit.size());
  auto valued = [&](int r) {
    const CUnit& u = m_arrUnit[r];
    if (u.heightIndex < 0) return false;
    return u.knownHeight != 0 || m_arrUnknownHd[u.heightIndex].hasValue != 0;
  };
  auto height = [&](int r) {
    const CUnit& u = m_arrUnit[r];
    return u.knownHeight ? m_arrKnownHd[u.heightIndex].h : m_arrUnknownHd[u.heightIndex].h;
  };
  auto set = [&](int r, double h) {
    CHd& hd = m_arrUnknownHd[m_arrUnit[r].heightIndex];
    hd.h = h;
    hd.hasValue = 1;
    m_arrUnit[r].h = h;
  };
  auto allValued = [&] {
    for (const CHd& h : m_arrUnknownHd)
      if (!h.hasValue) return false;
    return true;
  };
  for (bool added = true; added && !allValued();) {
    added = false;
    for (int i = 0; i + 1 < n; ++i) {
      const CUnit& u = m_arrUnit[i];
      if (u.heightIndex < 0 || u.dhText.empty() || m_arrUnit[i + 1].heightIndex < 0) continue;
      if (!valued(i)) {
        if (!valued(i + 1)) continue;
        set(i, height(i + 1) - u.dh);
        added = true;
      }
      if (!valued(i + 1)) {
        set(i + 1, height(i) + u.dh);
        added = true;
      }
    }
  }
  for (int j = 0; j < static_cast<int>(m_arrUnknownHd.size()); ++j) {
    if (m_arrUnknownHd[j].hasValue) continue;
    int row = 0;
    for (int r = 0; r < n; ++r)
      if (m_arrUnit[r].knownHeight == 0 && m_arrUnit[r].heightIndex == j) {
        row = r;
        break;
      }
    Say(Format("第%d点(%s)未能推算得近似高程，\n请检查该点是否直接或间接与高程已知点相连", row + 1,
               m_arrUnknownHd[j].name.c_str()));
    return 0;
  }
  return 1;
}

int CTraverseJob::FormHeightEquations() {
  survey::CLsqSolver& lsq = *m_wchHeight;
  const int n = static_cast<int>(m_arrUnit.size());
  lsq.Init(static_cast<int>(m_arrUnknownHd.size()), m_nDhCount, 0);
  int r = 0;
  for (int i = 0; i + 1 < n && r < m_nDhCount; ++i) {
    const CUnit& u = m_arrUnit[i];
    if (u.dhText.empty()) continue;
    const double L = u.weightLength;
    // The input checks refuse such a weight; a 0 here would give an infinite
    // weight and NaN heights.
    if (!(L >= 1e-6)) {
      Say(Format("第%d点(%s)-第%d点(%s)必须输入距离用于计算高程时定权。\n距离必须大于0。", i + 1,
                 u.name.c_str(), i + 2, m_arrUnit[i + 1].name.c_str()));
      return 0;
    }
    lsq.Weight(1, r) = m_nHeightRouteType == 1 ? 1.0 / (L * L) : 1.0 / L;
    double h1 = 0, h2 = 0;
    GetPointH(i, &h1);
    GetPointH(i + 1, &h2);
    lsq.Misclosure(1, r) = ((h2 - h1) - u.dh) * 1000.0;
    const CUnit& w = m_arrUnit[i + 1];
    const int idx[2] = {u.knownHeight ? -1 : u.heightIndex, w.knownHeight ? -1 : w.heightIndex};
    const double coef[2] = {-1.0, 1.0};
    lsq.AddToRow(1, r, idx, coef, 2);
    ++r;
  }
  return 1;
}

int CTraverseJob::AdjustHeights() {
  m_dSigma0Height = -1;
  if (m_nTraverseType == 3 && !ComputeApproxHeights()) return 0;
  const int nUnknown = static_cast<int>(m_arrUnknownHd.size());
  m_wchHeight = survey::MakeLsqSolver(nUnknown, survey::LsqNetwork::Height, m_solverKind);
  survey::CLsqSolver& lsq = *m_wchHeight;
  double prev = 1e8;
  for (int i = 1;; ++i) {
    if (!FormHeightEquations()) return 0;
    const double a = lsq.Solve();
    if (a < -1) return 0;
    if (!std::isfinite(a) || (i > 10 && a > prev) || i > 200) {
      Say("高程平差时循环迭代平差未能收敛，请检查数据准确性。");
      return 0;
    }
    for (int j = 0; j < nUnknown; ++j) m_arrUnknownHd[j].h += lsq.X(j) / 1000.0;
    prev = a;
    if (a <= 1) break;
  }
  m_dSigma0Height = lsq.Sigma0();
  for (CHd& h : m_arrUnknownHd) h.mh = 0;
  if (nUnknown < m_nDhCount && m_dSigma0Height >= 0) {
    for (int j = 0; j < nUnknown; ++j) {
      const double q = lsq.Q(j, j);
      m_arrUnknownHd[j].mh = q > 0 ? std::sqrt(q) * m_dSigma0Height : 0.0;
    }
  }
  const int n = static_cast<int>(m_arrUnit.size());
  for (CUnit& u : m_arrUnit) {
    if (u.heightIndex < 0) continue;
    u.h = u.knownHeight ? m_arrKnownHd[u.heightIndex].h : m_arrUnknownHd[u.heightIndex].h;
  }
  for (int i = 0; i + 1 < n; ++i) {
    CUnit& u = m_arrUnit[i];
    if (u.dhText.empty() || u.heightIndex < 0 || m_arrUnit[i + 1].heightIndex < 0) continue;
    u.dh = m_arrUnit[i + 1].h - u.h;
    u.dhCorrection = (u.dh - platform::ParseDouble(u.dhText)) * 1000.0;
  }
  return 1;
}

// Single-run levelling. Sections run from one known height to the next; each
// closure is removed by an equal correction per station. The heights of the
// points are stored in the rows here (turning points get the correction of every
// station up to them, intermediate sights that of the stations before their
// set-up), so the levelling table only shows them.
int CTraverseJob::ComputeLevelling() {
  m_arrDmShzhD.clear();
  const int n = static_cast<int>(m_arrUnit.size());
  if (n < 2) return 1;
  auto known = [&](int r) { return m_arrUnit[r].knownHeight != 0; };
  auto knownH = [&](int r) {
    double h = 0;
    GetPointH(r, &h);
    return h;
  };
  auto num = [](const std::string& t) { return platform::ParseDouble(t); };
  const CUnit& first = m_arrUnit[0];
  if (!known(0)) {
    Say("第一点必须输入高程。");
    return 0;
  }
  if (first.backsightText.empty() || !first.foresightText.empty() ||
      !first.intermediateText.empty()) {
    Say("第一点必须输入后视读数且不应输入前视和中视。");
    return 0;
  }
  if (!m_arrUnit[n - 1].backsightText.empty()) {
    Say("最后一点不应观测后视。");
    return 0;
  }
  double sight = knownH(0) + num(first.backsightText);
  int stations = 0;
  int start = 0;
  for (int i = 1; i < n; ++i) {
    const CUnit& u = m_arrUnit[i];
    const bool bs = !u.backsightText.empty(), fs = !u.foresightText.empty();
    if (!u.intermediateText.empty()) {
      if (bs || fs) {
        Say(Format("第%d点(%s)输入了中视，不应输入前视或后视。", i + 1, u.name.c_str()));
        return 0;
      }
    } else {
      if (!fs) {
        Say(Format("第%d点(%s)应输入中视或前视。除第一点外必须输入中视或前视。", i + 1,
                   u.name.c_str()));
        return 0;
      }
      if (!bs && i < n - 1) {
        Say(Format("第%d点(%s)应输入后视。除终点外凡输入了前视的都应输入后视。", i + 1,
                   u.name.c_str()));
        return 0;
      }
    }
    if (!known(i)) {
      if (fs) {
        ++stations;
        sight -= num(u.foresightText);
      }
      if (bs) sight += num(u.backsightText);
      continue;
    }
    if (!fs) {
      Say(Format("第%d点(%s)是已知点且不是起点，必须输入前视。", i + 1, u.name.c_str()));
      return 0;
    }
    ++stations;
    const double closure = (sight - num(u.foresightText)) - knownH(i);
    m_arrDmShzhD.push_back({start, i, stations, -closure / stations, closure});
    stations = 0;
    start = -1;
    if (i < n - 1) {
      start = i;
      sight = knownH(i) + num(u.backsightText);
    }
  }
  if (!known(n - 1)) m_arrDmShzhD.push_back({start, n - 1, 0, 0.0, 0.0});

  // Heights of the points, section by section.
  for (const CDmShzhD& sec : m_arrDmShzhD) {
    if (sec.startRow < 0) continue;
    const double c = sec.stations > 0 ? sec.correctionPerStation : 0.0;
    double L = knownH(sec.startRow) + num(m_arrUnit[sec.startRow].backsightText);
    double acc = 0.0;  // correction accumulated up to the last turning point
    int lastTurn = sec.startRow;
    for (int j = sec.startRow + 1; j <= sec.endRow; ++j) {
      CUnit& u = m_arrUnit[j];
      double adjusted = 0.0;
      if (!u.intermediateText.empty()) {
        adjusted = L - num(u.intermediateText) + acc;
      } else if (!u.foresightText.empty()) {
        const double hRaw = L - num(u.foresightText);
        acc += c;
        adjusted = hRaw + acc;
        // The leg from the previous turning point: adjusted difference and its
        // correction, kept on the row where the leg starts.
        CUnit& from = m_arrUnit[lastTurn];
        const double hFrom = lastTurn == sec.startRow ? knownH(sec.startRow) : from.h;
        from.dh = adjusted - hFrom;
        from.dhCorrection = c * 1000.0;
        lastTurn = j;
        if (!u.backsightText.empty()) L = hRaw + num(u.backsightText);
      } else {
        continue;
      }
      if (known(j)) {
        u.h = knownH(j);
        if (std::fabs(adjusted - u.h) > 1e-6) Say("单面水准计算出错。");
      } else {
        u.h = adjusted;
      }
    }
  }
  m_arrUnit[0].h = knownH(0);
  return 1;
}
