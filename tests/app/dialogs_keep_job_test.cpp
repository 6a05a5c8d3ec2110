// A surveyor opens a settings dialog only to look: OK (确定) with nothing changed, or
// Cancel, must leave the job as it was. Each case opens a job in the whole program
// (the frame with every view, offscreen), opens the real dialog the way the program
// does (the view's command and port), answers it, and compares what the job was
// before and after: the bytes CVornDoc saves, the modified flag, the profile, the
// results on screen and the values held in memory at full precision (a file keeps
// fewer decimals than the memory does, so a rounding the file hides still shows).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/ui/main_frame.h"
#include "drawing/draw_settings.h"
#include "drawing/draw_view.h"
#include "drawing/ui/aci_color_dlg.h"
#include "drawing/ui/draw_set_dlg.h"
#include "drawing/ui/draw_view_plug.h"
#include "drawing/ui/draw_widget.h"
#include "drawing/ui/export_cad_dlg.h"
#include "drawing/ui/table_cad_dlg.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "records/gcjl_view.h"
#include "records/ui/records_view.h"
#include "records/ui/shb_set_dlg.h"
#include "table/table_set_form.h"
#include "table/ui/export_dialogs.h"
#include "table/ui/table_set_dlg.h"
#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"
#include "tools/aux_set_form.h"
#include "tools/aux_view.h"
#include "tools/tool_codes.h"
#include "tools/ui/aux_set_dlg.h"
#include "tools/ui/sbcl_set_dlg.h"
#include "tools/ui/tools_view.h"
#include "tools/ui/zbzhh_csh_dlg.h"
#include "traverse/codes.h"
#include "traverse/file/traverse_section.h"
#include "traverse/kzd/kzd_export.h"
#include "traverse/ui/cus_table_set_dlg.h"
#include "traverse/ui/export_kzd_dlg.h"
#include "traverse/ui/fan_set_dlg.h"
#include "traverse/ui/traverse_view.h"
#include "traverse/view/dx_view.h"

namespace {

namespace fs = std::filesystem;

QApplication& App() {
  static int argc = 1;
  static char name[] = "app_dialogs_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    SetUiScale(9);
    return a;
  }();
  return *app;
}

std::string Example(const std::string& name) { return std::string(QUINTAR_SOURCE_DIR) + "/examples/" + name; }

const char* const kExamples[] = {"closed-traverse.qvt", "common-tools.qvt",  "connecting-traverse.qvt",
                                 "coordinate-traverse.qvt", "field-books.qvt", "levelling.qvt",
                                 "network.qvt", "no-orientation-traverse.qvt", "open-traverse.qvt",
                                 "survey-tools.qvt"};

std::string Exact(double v) { return platform::FormatRoundTrip(v); }

// ---- answering the real dialogs ---------------------------------------------------

// How a case answers the dialog it opens.
enum class Answer { Ok, Cancel };
const char* NameOf(Answer a) { return a == Answer::Ok ? "确定" : "取消"; }

QPushButton* ButtonOf(QWidget& d, const char* text) {
  for (QPushButton* b : d.findChildren<QPushButton*>())
    if (b->text() == QString::fromUtf8(text) && b->isVisible()) return b;
  return nullptr;
}

// Presses OK or Cancel the way a user does: the dialog's own button.
void Press(QDialog& d, Answer a) {
  if (QPushButton* b = ButtonOf(d, NameOf(a))) {
    b->click();
    return;
  }
  for (QDialogButtonBox* box : d.findChildren<QDialogButtonBox*>())
    if (QPushButton* b = box->button(a == Answer::Ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)) {
      b->click();
      return;
    }
  ADD_FAILURE() << "no " << NameOf(a) << " button on " << d.windowTitle().toStdString();
  d.reject();
}

// Watches for the next dialog of type D (modal or not) and answers it: `look` runs
// first (it may press buttons of its own), then OK or Cancel. A dialog that stays open
// after OK (it refused a value) is recorded and cancelled, so a case never hangs.
struct Answerer {
  int answered = 0;
  std::vector<std::string> stayedOpen;
};

template <class D>
std::shared_ptr<Answerer> WhenShown(Answer a, std::function<void(D&)> look = {}) {
  auto state = std::make_shared<Answerer>();
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, state, a, look] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* d = qobject_cast<D*>(w);
      if (!d || !d->isVisible()) continue;
      timer->stop();
      timer->deleteLater();
      if (look) look(*d);
      if (!d->isVisible()) {
        ++state->answered;
        return;
      }
      Press(*d, a);
      ++state->answered;
      if (d->isVisible()) {
        state->stayedOpen.push_back(d->windowTitle().toStdString());
        d->reject();
        d->hide();
      }
      return;
    }
  });
  timer->start();
  // The timer must not outlive the case when the dialog never comes.
  QTimer::singleShot(20000, timer, [timer] { timer->deleteLater(); });
  return state;
}

// ---- the whole program on one job ------------------------------------------------

struct Program {
  Program() {
    App();
    static bool registered = [] {
      records_ui::RegisterRecordsView();
      traverse_ui::RegisterTraverseView();
      tools_ui::RegisterToolsView();
      drawing_ui::RegisterDrawView();
      drawing_ui::RegisterTableCadDialog();
      return true;
    }();
    (void)registered;
    oldDialogs = table::SetExportDialogs(&table_ui::ExportDialogsOfQt());
    frame = std::make_unique<app_ui::CMainFrame>(doc);
    EXPECT_TRUE(frame->Create());
    frame->resize(1400, 900);
    frame->show();
  }
  ~Program() {
    frame.reset();
    table::SetExportDialogs(oldDialogs);
  }

  CTableWidget* Grid(int id) const { return qobject_cast<CTableWidget*>(frame->View(id)); }
  CDxView& Traverse() const { return *dynamic_cast<CDxView*>(Grid(app::kTraverseViewId)->View()); }
  CAuxView& Tools() const { return *dynamic_cast<CAuxView*>(Grid(app::kToolsViewId)->View()); }
  CGcJlView& Records() const { return *dynamic_cast<CGcJlView*>(Grid(app::kRecordsViewId)->View()); }
  drawing_ui::CDrawWidget& DrawWidget() const {
    return *qobject_cast<drawing_ui::CDrawWidget*>(frame->View(app::kDrawViewId));
  }

  bool Open(const std::string& path) { return frame->OnFileOpen(path); }

  platform::ScopedMemoryServices services;
  platform::FakeMessagePort messages;
  app::CVornDoc doc;
  std::unique_ptr<app_ui::CMainFrame> frame;
  table::IExportDialogs* oldDialogs = nullptr;
};

// What a job is: the saved bytes, the flag, the profile and what the views hold.
struct JobState {
  std::vector<std::string> lines;  // the job as saved, one line each (GBK bytes)
  bool modified = false;
  std::vector<std::string> profile;
  std::vector<std::string> facts;  // results and in-memory values, "what=value"
};

std::vector<std::string> GridTexts(const CTableView& v, const std::string& what) {
  std::vector<std::string> out;
  out.push_back(what + " table=" + v.TableCode + " " + std::to_string(v.GetRowCount()) + "x" +
                std::to_string(v.GetColCount()));
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    std::string row;
    for (int c = 1; c <= v.GetColCount(); ++c) row += v.GetCellText(r, c) + "|";
    out.push_back(what + " row " + std::to_string(r) + "=" + row);
  }
  return out;
}

std::vector<std::string> TableSettingsFacts(const CTableView& v, const std::string& what) {
  const table::CTableSetForm f = table::CTableSetForm::FromView(v);
  std::ostringstream s;
  s << what << " settings=" << f.fontHeight << "," << Exact(f.printHeight) << "," << f.linesAbove << "," << f.lineBelow
    << "," << f.angleDecimals << "," << f.distDecimals << "," << f.dhDecimals << "," << f.heightDecimals << ","
    << f.coordDecimals << "," << f.chainageDecimals << "," << f.gradeDecimals << "," << f.latLonDecimals << ","
    << f.angleUnit << "," << f.padRows << "," << f.fitWidth << "," << f.marginTop << "," << f.marginBottom << ","
    << f.marginLeft << "," << f.marginRight << " word=" << Exact(v.m_fWordFontSize) << ","
    << Exact(v.m_dWordDlgFontSize) << "," << v.m_bWordSplitPages << "," << v.m_nWordPaperHeight << ","
    << v.m_nWordPaperWidth << "," << v.m_nWordOrientation;
  return {s.str()};
}

std::vector<std::string> Facts(Program& p) {
  std::vector<std::string> out;
  auto add = [&out](std::vector<std::string> more) { out.insert(out.end(), more.begin(), more.end()); };
  CDxView& dx = p.Traverse();
  const traverse::SchemeValues s = traverse::SchemeOf(dx);
  std::ostringstream t;
  t << "scheme=" << s.m_nTraverseType << "," << s.m_bReduce << "," << s.m_nEllipsoid << "," << s.m_bY500 << ","
    << s.m_bProjCorrection << "," << s.m_bDistReduce << "," << Exact(s.m_dReduceHeight) << "," << Exact(s.m_dEllipA)
    << "," << Exact(s.m_dEllipInvF) << "," << s.m_bBackCompute << "," << s.m_bShowCorrectedIncrements << ","
    << s.m_bClosureBeforeAngleCorrection << "," << s.m_bRigorous << "," << s.m_bHelmert << "," << Exact(s.m_dAngleRms)
    << "," << s.m_nDistErrorType << "," << Exact(s.m_dDistA) << "," << Exact(s.m_dDistB) << "," << s.m_nPlaneGrade
    << "," << Exact(s.m_dAzClosureCoef) << "," << s.m_nRelClosureLimit << "," << s.m_nHeightGrade << ","
    << Exact(s.m_dHeightClosureCoef) << "," << s.m_nHeightRouteType << "," << s.m_nLevelWeight << ","
    << s.m_nDistUnit << "," << s.m_nClosureDistribution;
  out.push_back(t.str());
  out.push_back("traverse computed=" + std::to_string(dx.m_bComputed) + " rows=" + std::to_string(dx.m_arrUnit.size()));
  add(GridTexts(dx, "traverse"));
  add(TableSettingsFacts(dx, "traverse"));

  CAuxView& aux = p.Tools();
  const tools::CAuxSetForm f = tools::CAuxSetForm::FromView(aux, tools::kPageOther);
  std::ostringstream a;
  a << "tools=" << f.coordSystem << "," << f.y500km << "," << Exact(f.meridian1) << "," << Exact(f.meridian2) << ","
    << Exact(f.reductionHeight) << "," << f.distanceType << "," << Exact(f.refraction) << "," << Exact(f.ellipsoidA)
    << "," << Exact(f.ellipsoidInvF) << "," << Exact(f.centreLatitude) << "," << f.expansion << ","
    << Exact(f.projHeight) << "," << Exact(f.projHeight2);
  for (double v : f.fourParams) a << "," << Exact(v);
  for (double v : f.sevenParams) a << "," << Exact(v);
  const tools::DetailSurveySettings d = aux.DetailSettings();
  a << " detail=" << d.mode << "," << d.clockwise << "," << d.backsight << "," << Exact(d.backsightX) << ","
    << Exact(d.backsightY) << "," << Exact(d.backsightH) << "," << d.station << "," << Exact(d.stationX) << ","
    << Exact(d.stationY) << "," << Exact(d.stationH) << "," << Exact(d.instrumentHeight) << ","
    << Exact(d.indexError) << "," << d.showNameOrHeight << "," << d.showDot;
  out.push_back(a.str());
  for (std::size_t i = 0; i < aux.m_stores.size(); ++i) {
    std::string items;
    for (const std::string& item : aux.m_stores[i]) items += item + ";";
    out.push_back("store " + std::to_string(i) + "=" + items);
  }
  out.push_back("tools computed=" + std::to_string(aux.m_bComputeOk));
  add(GridTexts(aux, "tools"));
  add(TableSettingsFacts(aux, "tools"));

  add(TableSettingsFacts(p.Records(), "records"));

  drawing::CDrawView& draw = p.DrawWidget().View();
  const drawing::DrawSettings ds = drawing::GetDrawSettings(draw);
  std::ostringstream g;
  g << "drawing=" << draw.m_bFixedTextHeight << "," << draw.m_nDisplayTextHeight << ","
    << Exact(draw.m_dOutputTextHeight) << "," << Exact(draw.m_dPrintScale) << "," << Exact(draw.m_dPrintScaleSetting)
    << "," << Exact(draw.m_dEllipseScale) << "," << draw.m_nKnownSymbol << "," << draw.m_nOtherSymbol;
  for (const auto& l : ds.layers) g << " " << l.name << ":" << l.visible << "," << l.colour << "," << l.style;
  out.push_back(g.str());
  return out;
}

JobState StateOf(Program& p) {
  JobState s;
  const fs::path file = fs::temp_directory_path() / ("quintar-dialogs-" + std::to_string(QCoreApplication::applicationPid()) + ".qvt");
  EXPECT_TRUE(p.doc.SaveCopy(file.string()));
  auto bytes = platform::ReadFileBytes(file.string());
  fs::remove(file);
  EXPECT_TRUE(bytes.has_value());
  if (bytes) {
    std::string line;
    for (char c : *bytes) {
      if (c == '\n') {
        s.lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    if (!line.empty()) s.lines.push_back(line);
  }
  s.modified = p.doc.IsModified();
  for (const auto& [key, value] : p.services.profile.values) s.profile.push_back(key.first + "/" + key.second + "=" + value);
  s.facts = Facts(p);
  return s;
}

// The first difference of two lists, for the failure message ("" when equal).
std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const std::string x = i < a.size() ? a[i] : "(none)";
    const std::string y = i < b.size() ? b[i] : "(none)";
    if (x != y) return "line " + std::to_string(i + 1) + ": before «" + x + "» after «" + y + "»";
  }
  return "";
}

std::string Gbk(const std::string& bytes) {
  std::vector<std::string> lines = platform::SplitGbkLines(bytes);
  return lines.empty() ? std::string() : lines[0];
}

// Every difference of the job, one message (empty when it is the same job).
std::string Compare(const JobState& before, const JobState& after) {
  std::string out;
  if (std::string d = FirstDifference(before.lines, after.lines); !d.empty()) {
    // The bytes are GBK: say the line in UTF-8.
    std::vector<std::string> a, b;
    for (const auto& l : before.lines) a.push_back(Gbk(l));
    for (const auto& l : after.lines) b.push_back(Gbk(l));
    out += "saved job differs, " + FirstDifference(a, b) + "\n";
  }
  if (before.modified != after.modified)
    out += std::string("modified flag ") + (before.modified ? "cleared" : "set") + "\n";
  if (std::string d = FirstDifference(before.profile, after.profile); !d.empty()) out += "profile differs, " + d + "\n";
  if (std::string d = FirstDifference(before.facts, after.facts); !d.empty()) out += "view differs, " + d + "\n";
  return out;
}

// A copy of an example job with some "key:value" lines of one block replaced (the
// traverse scheme, the tools' settings), written where the case can open it.
std::string JobWith(const std::string& example, const std::string& block,
                    const std::vector<std::pair<std::string, std::string>>& values, const std::string& name) {
  auto bytes = platform::ReadFileBytes(Example(example));
  EXPECT_TRUE(bytes.has_value());
  std::vector<std::string> lines = platform::SplitGbkLines(*bytes);
  bool inside = false;
  for (std::string& line : lines) {
    if (line == "[" + block + "]") inside = true;
    else if (line == "[" + block + "结束]") inside = false;
    if (!inside) continue;
    for (const auto& [key, value] : values)
      if (line.rfind(key + ":", 0) == 0) line = key + ":" + value;
  }
  auto encoded = platform::EncodeGbkLines(lines);
  EXPECT_TRUE(encoded.has_value());
  const fs::path file = fs::temp_directory_path() /
                        ("quintar-dialogs-" + std::to_string(QCoreApplication::applicationPid()) + "-" + name + ".qvt");
  std::ofstream(file, std::ios::binary) << *encoded;
  return file.string();
}

class DialogsKeepJob : public ::testing::Test {
 protected:
  // Opens the job, lets `prepare` set up the views, then runs `open` (which must bring
  // up one dialog of type D, answered with `answer` after `look`) and compares.
  template <class D>
  void Check(const std::string& label, const std::string& job, Answer answer,
             const std::function<void(Program&)>& prepare, const std::function<void(Program&)>& open,
             std::function<void(D&)> look = {}, const std::string& refusal = "") {
    SCOPED_TRACE(label + " / " + NameOf(answer));
    Program p;
    ASSERT_TRUE(p.Open(job)) << label;
    if (prepare) prepare(p);
    ASSERT_TRUE(p.messages.Texts().empty()) << label << ": " << p.messages.Texts()[0];
    const JobState before = StateOf(p);
    const std::string traverseTable = p.Traverse().TableCode, tool = p.Tools().m_strToolCode;
    auto answered = WhenShown<D>(answer, std::move(look));
    open(p);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    // Where a view went after the dialog is not the job: the same tables are shown
    // again, so that their results are compared.
    if (p.Traverse().TableCode != traverseTable) p.Traverse().ShowTable(traverseTable);
    if (!tool.empty() && p.Tools().m_strToolCode != tool) p.Tools().ShowTool(tool);
    EXPECT_EQ(answered->answered, 1) << label << ": the dialog did not come up";
    if (refusal.empty()) {
      EXPECT_TRUE(answered->stayedOpen.empty()) << label << ": " << answered->stayedOpen[0] << " refused OK";
      EXPECT_TRUE(p.messages.Texts().empty()) << label << ": " << p.messages.Texts()[0];
    } else {
      // A value out of range that the dialog names: it stays open, and Cancel keeps the job.
      EXPECT_EQ(answered->stayedOpen.size(), 1u) << label;
      EXPECT_EQ(p.messages.Texts(), std::vector<std::string>{refusal}) << label;
    }
    const JobState after = StateOf(p);
    const std::string diff = Compare(before, after);
    EXPECT_TRUE(diff.empty()) << label << " (" << NameOf(answer) << "):\n" << diff;
  }
};

constexpr Answer kAnswers[] = {Answer::Ok, Answer::Cancel};

void Compute(CTableView& v) { v.OnCommand(table::ID_COMPUTE); }

// ---- 方案 of the traverse --------------------------------------------------------

TEST_F(DialogsKeepJob, SchemeOfEveryExampleJob) {
  for (const char* job : kExamples)
    for (bool computed : {false, true})
      for (Answer a : kAnswers) {
        // A job without a traverse has no unknown point: OK says so.
        const bool none = std::string(job).find("tools") != std::string::npos;
        Check<CFAnSetDlg>(
            std::string(job) + (computed ? " computed" : ""), Example(job), a,
            [computed](Program& p) {
              p.frame->SwitchView(app::kTraverseViewId);
              // (An empty job's input table asks for the scheme first.)
              if (!p.Traverse().m_arrUnit.empty()) p.Traverse().ShowTable(traverse::kTableInput);
              if (computed && p.Traverse().m_arrUnit.size() > 1) {
                Compute(p.Traverse());
                p.messages.Clear();  // a job the example leaves unfinished may say so
              }
            },
            [](Program& p) { p.Traverse().OnCommand(table::ID_SCHEME); }, {},
            none && a == Answer::Ok ? "至少一个未知点\r\n" : "");
      }
}

// Every traverse type, approximate or rigorous, Helmert on and off, every coordinate
// system (the custom one with figures of more decimals than a field might show).
TEST_F(DialogsKeepJob, SchemeOfEveryTypeAdjustmentAndSystem) {
  for (int type = 0; type <= 5; ++type)
    for (int rigorous : {0, 1})
      for (int helmert : {0, 1})
        for (int system = 0; system <= 4; ++system) {
          const std::string label = "type " + std::to_string(type) + " rigorous " + std::to_string(rigorous) +
                                    " Helmert " + std::to_string(helmert) + " system " + std::to_string(system);
          const std::string job = JobWith("closed-traverse.qvt", "计算方案",
                                          {{"导线类型", std::to_string(type)},
                                           {"严密平差", std::to_string(rigorous)},
                                           {"验后方差定权", std::to_string(helmert)},
                                           {"坐标系", std::to_string(system)},
                                           {"概算", "1"},
                                           {"边长归算", "1"},
                                           {"边长归算高程面", "1234.567800"},
                                           {"自定义椭球长半轴", "6378245.123457"},
                                           {"自定义椭球扁率分母", "298.25722210123"}},
                                          "scheme");
          // The surveyor looks at the input table first: a job whose rows do not fit
          // the type loses what its table does not show there, dialog or not.
          Check<CFAnSetDlg>(
              label, job, Answer::Ok, [](Program& p) { p.Traverse().ShowTable(traverse::kTableInput); },
              [](Program& p) { p.Traverse().OnCommand(table::ID_SCHEME); });
        }
}

}  // namespace
