#pragma once
// A tools view on a recording drawing feed and a recording message port, loaded
// with stored rows the way a job file fills a tool's store. Rows are typed as the
// store keeps them: input cells joined by ",".
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "drawing/recording_feed.h"
#include "platform/fake_ports.h"
#include "platform/number.h"
#include "tools/aux_view.h"
#include "tools_test_util.h"

namespace toolstest {

struct ToolTable {
  platform::FakeMessagePort messages;
  drawing::RecordingFeed feed;
  FakeToolPorts ports;
  CAuxView view;

  ToolTable() {
    view.OnInitialUpdate();
    view.SetViewPorts(&ports);
    view.SetDrawingFeed(&feed);
    view.ResetToDefaults();
  }
  // Shows the tool with these stored rows.
  void Load(const std::string& code, const std::vector<std::string>& rows) {
    view.ShowTool("");
    *view.StoreOf(code) = rows;
    view.ShowTool(code);
  }
  void Compute(const std::string& code, const std::vector<std::string>& rows) {
    Load(code, rows);
    messages.Clear();
    feed.calls.clear();
    view.OnCompute();
  }
  std::string Cell(int row, int col) const { return view.GetCellText(row, col); }
  double Number(int row, int col) const { return platform::ParseDouble(view.GetCellText(row, col)); }
  // The one message box of the run ("" when none was shown).
  std::string Message() const {
    auto m = messages.Messages();
    return m.empty() ? std::string() : m.back();
  }
  // The drawing calls after the view's own BeginDrawing, one per line.
  std::string Drawing() const { return feed.Transcript(); }
};

// An angle as "d m s" with six decimals of seconds, made without the program's
// formatter, so observations computed from a chosen truth reach the tool exactly.
inline std::string DmsText(double radians) {
  bool neg = radians < 0;
  double deg = std::fabs(radians) * 180 / M_PI;
  int d = static_cast<int>(deg);
  double rest = (deg - d) * 60;
  int m = static_cast<int>(rest);
  double s = (rest - m) * 60;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%d %d %.6f", neg ? "-" : "", d, m, s);
  return buf;
}

inline std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  return buf;
}

// Azimuth a->b from atan2, folded by hand.
inline double Azimuth(double xa, double ya, double xb, double yb) {
  double az = std::atan2(yb - ya, xb - xa);
  return az < 0 ? az + 2 * M_PI : az;
}

}  // namespace toolstest
