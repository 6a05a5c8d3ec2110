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
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/ui/cvorn_app.h"
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
#include "table/ui/button_st.h"
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
        static_cast<QDialog*>(d)->reject();
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

// The program as it starts with a job named on its command line (CvornApp), over
// the test's fake ports and profile.
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
  }
  ~Program() {
    app.reset();
    table::SetExportDialogs(oldDialogs);
  }

  bool Open(const std::string& path) {
    app = std::make_unique<app_ui::CvornApp>();
    app_ui::CvornApp::Options o;
    o.installPorts = false;
    o.fileTypes = false;
    if (!app->InitInstance({QString::fromStdString(path)}, o)) return false;
    frame = app->Frame();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    return true;
  }

  CTableWidget* Grid(int id) const { return qobject_cast<CTableWidget*>(frame->View(id)); }
  CDxView& Traverse() const { return *dynamic_cast<CDxView*>(Grid(app::kTraverseViewId)->View()); }
  CAuxView& Tools() const { return *dynamic_cast<CAuxView*>(Grid(app::kToolsViewId)->View()); }
  CGcJlView& Records() const { return *dynamic_cast<CGcJlView*>(Grid(app::kRecordsViewId)->View()); }
  drawing_ui::CDrawWidget& DrawWidget() const {
    return *qobject_cast<drawing_ui::CDrawWidget*>(frame->View(app::kDrawViewId));
  }
  app::CVornDoc& Doc() const { return app->Doc(); }

  platform::ScopedMemoryServices services;
  platform::FakeMessagePort messages;
  std::unique_ptr<app_ui::CvornApp> app;
  app_ui::CMainFrame* frame = nullptr;
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
  EXPECT_TRUE(p.Doc().SaveCopy(file.string()));
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
  s.modified = p.Doc().IsModified();
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
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    ASSERT_TRUE(p.messages.Texts().empty()) << label << ": " << p.messages.Texts()[0];
    const JobState before = StateOf(p);
    const std::string traverseTable = p.Traverse().TableCode, tool = p.Tools().m_strToolCode;
    auto answered = WhenShown<D>(answer, std::move(look));
    open(p);
    // A modeless dialog is answered once the event loop runs again.
    QElapsedTimer waited;
    waited.start();
    while (answered->answered == 0 && waited.elapsed() < 15000) QApplication::processEvents(QEventLoop::AllEvents, 20);
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

// ---- 方案 of the common tools ------------------------------------------------------

const char* const kTools[] = {"XYZTOBLH", "BLHTOXYZ", "GSZHSH", "GSFSH",  "ZBHD1", "ZBHD2", "ZBZHH4CSH", "ZBZHH7CSH",
                              "FXBCHGH",  "PMZBZHSH", "PMZBFSH", "JZB",   "ZBXZH", "JJZHJ", "SJGCH",     "MJJSH",
                              "ZHDX",     "QFJH",     "CFJH",    "FWJH",  "BCHJH", "HFJH",  "BJHFJH"};

void ShowTool(Program& p, const std::string& code) {
  p.frame->SwitchView(app::kToolsViewId);
  ASSERT_TRUE(p.Tools().ShowTool(code)) << code;
  Compute(p.Tools());
  p.messages.Clear();  // a tool without rows may say so
}

TEST_F(DialogsKeepJob, ToolsSchemeOnEveryToolOfBothToolJobs) {
  for (const char* job : {"common-tools.qvt", "survey-tools.qvt"})
    for (const char* code : kTools)
      for (Answer a : kAnswers)
        Check<CAuxSetDlg>(std::string(job) + " " + code, Example(job), a,
                          [code](Program& p) { ShowTool(p, code); },
                          [](Program& p) { p.Tools().OnCommand(table::ID_SCHEME); });
}

// Values held with more decimals than a field shows come back as they were held.
TEST_F(DialogsKeepJob, ToolsSchemeKeepsEveryDecimalItHolds) {
  struct Case {
    const char* what;
    std::function<void(CAuxView&)> set;
  };
  const Case cases[] = {
      {"custom ellipsoid", [](CAuxView& v) {
         v.m_nCoordSystem = 0;
         v.m_dEllipsoidA = 6378245.1234567891;
         v.m_dEllipsoidInvF = 298.25722210123456;
       }},
      {"projection heights and latitude", [](CAuxView& v) {
         v.m_dProjHeight = 1234.5678;
         v.m_dProjHeight2 = 0.123456789012345;
         v.m_dCentreLatitude = 30.123456789012;
         v.m_dMeridian1 = 114.30000000000001;
         v.m_dMeridian2 = 111.123456789012;
         v.m_dReductionHeight = 45.20000000001;
       }},
      {"refraction", [](CAuxView& v) { v.m_dRefraction = 0.1412345678912; }},
      {"four parameters", [](CAuxView& v) {
         v.m_dFourParams = {-55.643857061234, 11.395426491234, -0.000192854123456, 1.0000180500123456};
       }},
      {"seven parameters, 1e-6 ppm", [](CAuxView& v) {
         v.m_dSevenParams = {44.595700991234, -339.30701743, 19.99213355, 1e-6, 3.74098544, 0.86605481, 0.71006936};
       }},
      {"seven parameters, fine", [](CAuxView& v) {
         v.m_dSevenParams = {44.59570099, -339.307017431234, 1e-12, 1.23456789012e-6, 3.740985441234e-5,
                             0.866054811234, 1e-11};
       }},
  };
  for (const Case& c : cases)
    for (const char* code : {"XYZTOBLH", "GSZHSH", "ZBHD1", "FXBCHGH", "SJGCH", "ZBZHH4CSH", "ZBZHH7CSH"})
      Check<CAuxSetDlg>(std::string(c.what) + " " + code, Example("common-tools.qvt"), Answer::Ok,
                        [&c, code](Program& p) {
                          c.set(p.Tools());
                          ShowTool(p, code);
                        },
                        [](Program& p) { p.Tools().OnCommand(table::ID_SCHEME); });
}

// 由公共点解算 opens the common-point list; OK there with nothing typed keeps the
// points, and Cancel on the settings then keeps the job (the estimate is not taken).
TEST_F(DialogsKeepJob, CommonPointsOkThenSettingsCancelKeepsTheJob) {
  // (survey-tools.qvt has no common points: OK there says so.)
  for (const char* job : {"common-tools.qvt"})
    for (const auto& [code, button] : {std::pair{"ZBZHH4CSH", 1203}, std::pair{"ZBZHH7CSH", 1204}})
      for (Answer inner : kAnswers) {
        auto points = std::make_shared<std::shared_ptr<Answerer>>();
        Check<CAuxSetDlg>(
            std::string(job) + " " + code + " points " + NameOf(inner), Example(job), Answer::Cancel,
            [code](Program& p) { ShowTool(p, code); }, [](Program& p) { p.Tools().OnCommand(table::ID_SCHEME); },
            [inner, button, points](CAuxSetDlg& d) {
              *points = WhenShown<CZbZhhCshDlg>(inner);
              static_cast<QPushButton*>(d.Control(button))->click();
            });
        EXPECT_EQ((*points)->answered, 1) << job << " " << code;
        EXPECT_TRUE((*points)->stayedOpen.empty()) << job << " " << code;
      }
}

// 碎部测量设置 of the detail survey: the example's station, and one held with more
// decimals than a file keeps.
TEST_F(DialogsKeepJob, DetailSurveyStationDialog) {
  for (bool fine : {false, true})
    for (Answer a : kAnswers)
      Check<CSbClSetDlg>(
          std::string("detail survey") + (fine ? " fine" : ""), Example("survey-tools.qvt"), a,
          [fine](Program& p) {
            if (fine) {
              tools::DetailSurveySettings s = p.Tools().DetailSettings();
              s.stationX = 3381522.4161234567;
              s.stationY = 512384.90212345678;
              s.stationH = 41.5621234567;
              s.instrumentHeight = 1.4321234567;
              s.indexError = -12.345678912;
              s.backsightH = 1e-9;
              p.Tools().SetDetailSettings(s);
            }
            ShowTool(p, "SBCLDATA");
          },
          [](Program& p) { p.Tools().OnCommand(table::ID_SCHEME); });
}

// ---- 表格 of every kind of grid ----------------------------------------------------

struct GridCase {
  const char* what;
  const char* job;
  std::function<void(Program&)> show;
  std::function<CTableView&(Program&)> view;
};

std::vector<GridCase> GridCases() {
  auto traverse = [](const char* table) {
    return [table](Program& p) {
      p.frame->SwitchView(app::kTraverseViewId);
      p.Traverse().ShowTable(traverse::kTableInput);
      Compute(p.Traverse());
      p.Traverse().ShowTable(table);
    };
  };
  auto dx = [](Program& p) -> CTableView& { return p.Traverse(); };
  auto aux = [](Program& p) -> CTableView& { return p.Tools(); };
  auto tool = [](const char* code) { return [code](Program& p) { ShowTool(p, code); }; };
  return {
      {"traverse input", "closed-traverse.qvt", traverse(traverse::kTableInput), dx},
      {"traverse plane", "closed-traverse.qvt", traverse(traverse::kTablePlane), dx},
      {"traverse height", "closed-traverse.qvt", traverse(traverse::kTableHeight), dx},
      {"network results", "network.qvt", traverse(traverse::kTablePlane), dx},
      {"levelling", "levelling.qvt", traverse(traverse::kTableHeight), dx},
      {"tools Gauss", "common-tools.qvt", tool("GSZHSH"), aux},
      {"tools seven parameters", "common-tools.qvt", tool("ZBZHH7CSH"), aux},
      {"tools intersection", "survey-tools.qvt", tool("QFJH"), aux},
      {"tools detail survey", "survey-tools.qvt", tool("SBCLDATA"), aux},
      {"field book", "field-books.qvt",
       [](Program& p) {
         p.frame->SwitchView(app::kRecordsViewId);
         p.Records().ShowPage("DX", 0);
       },
       [](Program& p) -> CTableView& { return p.Records(); }},
  };
}

TEST_F(DialogsKeepJob, TableSettingsOfEveryKindOfGrid) {
  for (const GridCase& g : GridCases()) {
    // (The field books' settings are their own dialog, 设置: below.)
    if (std::string(g.job) == "field-books.qvt") continue;
    for (bool fine : {false, true})
      for (Answer a : kAnswers)
        Check<CTableSetDlg>(
            std::string(g.what) + (fine ? " fine print height" : ""), Example(g.job), a,
            [&g, fine](Program& p) {
              g.show(p);
              CTableView& v = g.view(p);
              if (fine) {
                v.SetFont(v.GetFontHeight(), 2.123456789);
                v.m_nMarginTop = 0;
              }
            },
            [&g](Program& p) { g.view(p).OnCommand(table::ID_TABLE_SETTINGS); });
  }
}

// ---- 图形 ----------------------------------------------------------------------------

struct DrawCase {
  const char* what;
  const char* job;
  std::function<void(Program&)> show;
};

std::vector<DrawCase> DrawCases() {
  auto diagram = [](int item) {
    return [item](Program& p) {
      p.frame->SwitchView(app::kTraverseViewId);
      p.Traverse().ShowTable(traverse::kTableInput);
      Compute(p.Traverse());
      p.messages.Clear();
      ASSERT_TRUE(p.frame->Nav().SelectItem(1, item));
    };
  };
  return {
      {"traverse diagram", "closed-traverse.qvt", diagram(traverse::kNavTraverseDiagram)},
      {"point plot", "closed-traverse.qvt", diagram(traverse::kNavPointPlot)},
      {"network with ellipses", "network.qvt", diagram(traverse::kNavTraverseDiagram)},
      {"connecting traverse", "connecting-traverse.qvt", diagram(traverse::kNavTraverseDiagram)},
      {"tools intersection", "survey-tools.qvt",
       [](Program& p) {
         ShowTool(p, "QFJH");
         p.Tools().OnCommand(table::ID_SWITCH_DRAWING);
       }},
      {"tools detail survey", "survey-tools.qvt",
       [](Program& p) {
         ShowTool(p, "SBCLDATA");
         p.Tools().OnCommand(table::ID_SWITCH_DRAWING);
       }},
  };
}

void OpenDrawSettings(Program& p) {
  ASSERT_EQ(p.frame->ShownViewId(), app::kDrawViewId);
  p.DrawWidget().ToolButton(drawing::kToolSettings)->click();
}

TEST_F(DialogsKeepJob, DrawingSettingsOfEveryDrawing) {
  for (const DrawCase& c : DrawCases())
    for (bool fine : {false, true})
      for (Answer a : kAnswers)
        Check<drawing_ui::CDrawSetDlg>(
            std::string(c.what) + (fine ? " fine" : ""), Example(c.job), a,
            [&c, fine](Program& p) {
              c.show(p);
              if (fine) {
                // Heights a dialog showing millimetres gives back through a division.
                drawing::CDrawView& v = p.DrawWidget().View();
                v.m_dOutputTextHeight = 23.0;
                v.m_dPrintScale = 1234.5678;
                v.m_dEllipseScale = 0.123456789012;
              }
            },
            OpenDrawSettings);
}

// A layer's colour picked again as it was (选择颜色, OK) keeps the drawing.
TEST_F(DialogsKeepJob, LayerColourPickedAsItWas) {
  for (const DrawCase& c : DrawCases())
    for (Answer inner : kAnswers) {
      auto colour = std::make_shared<std::shared_ptr<Answerer>>();
      Check<drawing_ui::CDrawSetDlg>(std::string(c.what) + " colour " + NameOf(inner), Example(c.job), Answer::Ok,
                                     c.show, OpenDrawSettings, [inner, colour](drawing_ui::CDrawSetDlg& d) {
                                       // The real picker, as a click on the colour cell opens it.
                                       d.List()->pickColour = [&d](int current, int* chosen) {
                                         drawing_ui::CAciColorDlg dlg(d.List());
                                         dlg.SetIndex(current, current);
                                         if (dlg.exec() != QDialog::Accepted) return false;
                                         *chosen = dlg.Index();
                                         return true;
                                       };
                                       for (int r = 0; r < d.List()->rowCount(); ++r) {
                                         *colour = WhenShown<drawing_ui::CAciColorDlg>(inner);
                                         d.List()->ClickCell(r, 2);
                                       }
                                     });
      EXPECT_EQ((*colour)->answered, 1) << c.what;
    }
}

// ---- 自定义成果形式: table.cus ------------------------------------------------------

TEST_F(DialogsKeepJob, CustomTableDefinitionsKeepTheirFile) {
  const fs::path dir = fs::temp_directory_path() / ("quintar-dialogs-cus-" + std::to_string(QCoreApplication::applicationPid()));
  // Definitions the dialog would write otherwise: columns in another order, a part of
  // a choice (MX without MY, M), leg values without "LOW" and without 至点, and one as
  // the dialog writes it.
  const std::vector<std::string> lines = {"坐标倒序", "Y,X,",       "点误差", "MX,H,",        "边",
                                          "FW,QBCH,", "坐标与边长", "X,Y,QBCHLOW,", "",     "",
                                          "",         "",           "",       "",             "",
                                          "",         "",           "",       "",             ""};
  for (int table = 0; table < 4; ++table)
    for (Answer a : kAnswers) {
      fs::remove_all(dir);
      fs::create_directories(dir);
      const fs::path file = dir / "table.cus";
      std::ofstream(file, std::ios::binary) << *platform::EncodeGbkLines(lines);
      const auto before = platform::ReadFileBytes(file.string());
      const std::string code = "CUSTABLE" + std::to_string(table);
      Check<CCusTableSetDlg>(
          "custom table " + std::to_string(table), Example("closed-traverse.qvt"), a,
          [&dir, code](Program& p) {
            p.Traverse().SetCustomTableFolders("", dir.string() + "/");
            p.Traverse().LoadCustomTables();
            p.frame->SwitchView(app::kTraverseViewId);
            p.Traverse().ShowTable(traverse::kTableInput);
            Compute(p.Traverse());
            p.Traverse().ShowTable(code);
          },
          [](Program& p) { p.Traverse().OnCommand(table::ID_CUSTOM); });
      EXPECT_EQ(platform::ReadFileBytes(file.string()), before) << "table.cus rewritten for table " << table;
    }
  fs::remove_all(dir);
}

// ---- 控制点: the profile --------------------------------------------------------------

TEST_F(DialogsKeepJob, ControlPointDialogKeepsTheProfile) {
  const fs::path kzd = fs::temp_directory_path() / ("quintar-dialogs-" + std::to_string(QCoreApplication::applicationPid()) + ".kzd");
  std::ofstream(kzd, std::ios::binary) << "ZZ9,100.0000,200.0000,10.0000,\r\n";
  using Values = std::vector<std::pair<std::string, std::string>>;
  const struct {
    const char* what;
    Values ints, strings;
  } profiles[] = {
      {"none", {}, {{"控制点文件名称", kzd.string()}}},
      {"as written", {{"OtherBZdsh", "1"}, {"OtherFgFsh", "2"}},
       {{"控制点文件名称", kzd.string()}, {"OtherExt", "txt"}, {"OtherDataXl", "DM,X,Y,H"}}},
      {"as typed", {{"OtherBZdsh", "2"}, {"OtherFgFsh", "7"}},
       {{"控制点文件名称", kzd.string()}, {"OtherExt", ".txt "}, {"OtherDataXl", " DM,X,Y "}}},
  };
  for (const auto& pr : profiles)
    for (Answer a : kAnswers)
      Check<CExportKzdDlg>(
          std::string("profile ") + pr.what, Example("closed-traverse.qvt"), a,
          [&pr](Program& p) {
            for (const auto& [k, v] : pr.ints) p.services.profile.SetInt("USER", k, std::stoi(v));
            for (const auto& [k, v] : pr.strings) p.services.profile.SetString("USER", k, v);
            p.frame->SwitchView(app::kTraverseViewId);
            p.Traverse().ShowTable(traverse::kTableInput);
          },
          [](Program& p) { p.Traverse().OnCommand(traverse::ID_CONTROL_POINTS); });
  fs::remove(kzd);
}

// ---- the exports: opened and closed without output ----------------------------------

// Presses the export dialog's exit ("退出").
template <class D>
std::function<void(D&)> Exit() {
  return [](D& d) {
    QPushButton* exit = ButtonOf(d, "退出");
    ASSERT_NE(exit, nullptr);
    exit->click();
  };
}

TEST_F(DialogsKeepJob, ExportDialogsOpenedAndClosed) {
  for (const GridCase& g : GridCases())
    for (bool zeroMargins : {false, true}) {
      const std::string what = std::string(g.what) + (zeroMargins ? " zero margins" : "");
      auto prepare = [&g, zeroMargins](Program& p) {
        g.show(p);
        if (zeroMargins) {
          CTableView& v = g.view(p);
          v.m_nMarginTop = v.m_nMarginBottom = v.m_nMarginLeft = v.m_nMarginRight = 0;
        }
      };
      auto command = [&g](int id) { return [&g, id](Program& p) { g.view(p).OnCommand(id); }; };
      for (Answer a : kAnswers)
        Check<CExportTextSetDlg>(what + " text", Example(g.job), a, prepare, command(table::ID_EXPORT_TEXT));
      Check<CExportExcelDlg>(what + " EXCEL", Example(g.job), Answer::Cancel, prepare, command(table::ID_EXPORT_EXCEL),
                             Exit<CExportExcelDlg>());
      Check<CExportWordSetDlg>(what + " WORD", Example(g.job), Answer::Cancel, prepare, command(table::ID_EXPORT_WORD),
                               Exit<CExportWordSetDlg>());
      // 输出到新文件 and no file chosen: nothing is written, so nothing is kept.
      Check<CExportWordSetDlg>(what + " WORD, no file chosen", Example(g.job), Answer::Cancel, prepare,
                               command(table::ID_EXPORT_WORD), [](CExportWordSetDlg& d) {
                                 ButtonOf(d, "输出到新文件")->click();
                                 ButtonOf(d, "退出")->click();
                               });
      // (The field books have no CAD button: their 1022 moves a page.)
      if (std::string(g.job) != "field-books.qvt")
        Check<drawing_ui::CExportCadSetDlg>(what + " CAD", Example(g.job), Answer::Cancel, prepare,
                                            command(table::ID_EXPORT_CAD), Exit<drawing_ui::CExportCadSetDlg>());
    }
}

TEST_F(DialogsKeepJob, DrawingCadDialogOpenedAndClosed) {
  for (const DrawCase& c : DrawCases())
    Check<drawing_ui::CExportCadSetDlg>(
        std::string(c.what) + " CAD", Example(c.job), Answer::Cancel, c.show,
        [](Program& p) { p.DrawWidget().ToolButton(drawing::kToolCad)->click(); }, Exit<drawing_ui::CExportCadSetDlg>());
}

// ---- 设置 of the field books (mended before; here as one more row of the table) ----

TEST_F(DialogsKeepJob, FieldBookSettingsOfEveryBook) {
  for (const char* book : {"DX", "SHPJ", "SHZH", "WYZHL"})
    for (Answer a : kAnswers)
      Check<CShbSetDlg>(
          std::string("field book ") + book, Example("field-books.qvt"), a,
          [book](Program& p) {
            p.frame->SwitchView(app::kRecordsViewId);
            p.Records().ShowPage(book, std::string(book) == "WYZHL" ? -1 : 0);
            p.Records().OnCompute();
            p.messages.Clear();
          },
          [](Program& p) { p.Records().OnCommand(table::ID_SCHEME); });
}

}  // namespace
