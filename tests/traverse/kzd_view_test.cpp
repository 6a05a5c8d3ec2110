// "控制点" in the traverse view: the closed-traverse example stored into a store,
// read back into a new job and exported; the levelling table read from the store;
// stale results refused; a failed write without the completion message.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "traverse/codes.h"
#include "traverse/file/traverse_section.h"
#include "traverse/kzd/kzd_export.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"

namespace t = traverse;

namespace {

std::string SourceDir() {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/"));
}
std::string Golden(const std::string& name) {
  return platform::ReadFileBytes(SourceDir() + "/tests/traverse/data/" + name).value_or("(missing " + name + ")");
}
std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbk(utf8).value(); }

// The tree and the dialogs, scripted: the control-point dialog ends with OK on `form`.
struct KzdPorts : t::ITraverseViewPorts {
  CDxView* view = nullptr;
  t::CExportKzdForm form;
  bool ok = true;
  int dialogs = 0;
  bool modified = false;
  bool RunExportKzdDialog(t::CExportKzdForm& f) override {
    ++dialogs;
    if (ok) f = form;
    return ok;
  }
  SchemeResult RunSchemeDialog(t::CSchemeForm&) override { return SchemeResult::Cancel; }
  bool RunCustomTableDialog(traverse::CCusTableSetForm&) override { return false; }
  void ReselectAfterCompute(bool plane) override { view->ShowTable(plane ? t::kTablePlane : t::kTableHeight); }
  void RebuildAndSelectInput() override { view->ShowTable(t::kTableInput); }
  void SelectCustomFormsBranch() override {}
  void ClearTreeSelection() override {}
  void ShowSchemeHelp() override {}
  bool IsDocumentModified() const override { return modified; }
  void SetDocumentModified() override { modified = true; }
};

struct TempDir {
  TempDir() {
    char tmpl[] = "/tmp/kzd_view_XXXXXX";
    path = ::mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("chmod -R u+w '" + path + "' && rm -rf '" + path + "'").c_str()); }
  std::string File(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

class KzdViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ports.view = &view;
    view.SetViewPorts(&ports);
    view.ResetScheme();
    view.OnInitialUpdate();
  }
  void LoadExample(const std::string& file) {
    auto bytes = platform::ReadFileBytes(SourceDir() + "/examples/" + file);
    ASSERT_TRUE(bytes.has_value());
    std::vector<std::string> lines = platform::SplitGbkLines(*bytes);
    t::TraverseSectionData d;
    std::size_t pos = 3;
    t::ReadTraverseSectionLines(lines, pos, 520, d);
    view.ApplySectionData(d);
    view.ShowTable(t::kTableInput);
  }
  void Run(int mode, const std::string& path, int policy = 0) {
    ports.form.mode = mode;
    if (mode == t::kKzdExport)
      ports.form.exportPath = path;
    else
      ports.form.kzdPath = path;
    ports.form.policy = policy;
    view.OnCommand(t::ID_CONTROL_POINTS);
  }
  std::vector<std::string> Row(int r) const {
    std::vector<std::string> cells;
    for (int c = 1; c <= view.GetColCount(); ++c) cells.push_back(view.CellText(r, c));
    return cells;
  }

  platform::ScopedMemoryServices services;
  platform::FakeMessagePort messages;
  KzdPorts ports;
  CDxView view;
  TempDir dir;
};

}  // namespace

TEST_F(KzdViewTest, ClosedTraverseStoredReadBackAndExported) {
  LoadExample("closed-traverse.qvt");
  view.OnCommand(table::ID_COMPUTE);
  ASSERT_EQ(view.m_bComputed, 1) << (messages.Texts().empty() ? "" : messages.Texts()[0]);
  messages.Clear();

  // Stored: every point once (the closing GP02 and D1 rows repeat identical lines),
  // the known points exactly as typed, GP01 without a height.
  const std::string store = dir.File("城区.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(store, Gbk("K9,1.0000,2.0000,,旧点")));  // no final line end
  Run(t::kKzdStore, store);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"控制点成果输出完成！"});
  const std::string stored = platform::ReadFileBytes(store).value();
  EXPECT_EQ(stored, Golden("closed-traverse.kzd"));
  EXPECT_EQ(stored.rfind(Gbk("K9,1.0000,2.0000,,旧点\r\nGP01,3381522.4160,512384.9020,,\r\n"
                             "GP02,3381307.2050,512660.3180,41.5620,\r\nD1,"), 0), 0u);

  // Each line lands within the observation noise on the coordinates the example was
  // made from (3 cm, 2 cm in height).
  const struct {
    const char* name;
    double x, y, h;
  } truth[] = {{"D1", 3381418.733, 512889.410, 42.118}, {"D2", 3381302.561, 513127.054, 40.907},
               {"D3", 3381074.880, 513051.227, 39.764}, {"D4", 3380996.415, 512800.983, 40.215},
               {"D5", 3381120.036, 512594.622, 41.030}};
  for (const auto& p : truth) {
    const auto at = stored.find(std::string("\r\n") + p.name + ",");
    ASSERT_NE(at, std::string::npos) << p.name;
    double x = 0, y = 0, h = 0;
    ASSERT_EQ(std::sscanf(stored.c_str() + at + 2 + std::string(p.name).size(), ",%lf,%lf,%lf", &x, &y, &h), 3);
    EXPECT_NEAR(x, p.x, 0.03) << p.name;
    EXPECT_NEAR(y, p.y, 0.03) << p.name;
    EXPECT_NEAR(h, p.h, 0.02) << p.name;
  }

  // Stored again under "always ask": every line is there identically, nothing asked.
  messages.Clear();
  Run(t::kKzdStore, store);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"控制点成果输出完成！"});
  EXPECT_EQ(platform::ReadFileBytes(store).value(), stored);

  // Exported with the default sequence, codes and the count line: 7 points, not 9 rows.
  messages.Clear();
  ports.form.knownCode = "GPS";
  ports.form.otherCode = "DX";
  ports.form.countLine = true;
  const std::string out = dir.File("city.dat");
  Run(t::kKzdExport, out);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"控制点已成功输出到其它成图系统文件格式！"});
  const std::string exported = platform::ReadFileBytes(out).value_or("");
  EXPECT_EQ(exported, Golden("closed-traverse.dat"));
  EXPECT_EQ(exported.rfind("7\r\nGP01,GPS,3381522.4160,512384.9020,0.0000\r\nGP02,GPS,3381307.2050,512660.3180,41.5620\r\n"
                           "D1,DX,", 0), 0u);

  // A new job (a network: every row takes coordinates) reads the points back.
  CDxView fresh;
  KzdPorts freshPorts;
  freshPorts.view = &fresh;
  fresh.SetViewPorts(&freshPorts);
  fresh.ResetScheme();
  fresh.OnInitialUpdate();
  fresh.m_nTraverseType = 3;
  fresh.m_arrUnit.assign(4, CDxView::CUnit());
  fresh.ShowTable(t::kTableInput);
  const char* names[] = {"D3", "GP01", "X7", "K9"};
  for (int r = 1; r <= 4; ++r) fresh.SetCellText(r, 1, names[r - 1]);
  fresh.SetCellText(3, 6, "留着");
  freshPorts.form.mode = t::kKzdRead;
  freshPorts.form.kzdPath = store;
  messages.Clear();
  fresh.OnCommand(t::ID_CONTROL_POINTS);
  EXPECT_TRUE(messages.Texts().empty());
  std::vector<std::string> d3;
  for (int c = 6; c <= 9; ++c) d3.push_back(fresh.CellText(1, c));
  // D3 as the adjustment left it in the store.
  const auto at = stored.find("\r\nD3,");
  ASSERT_NE(at, std::string::npos);
  const std::string d3Line = stored.substr(at + 2, stored.find("\r\n", at + 2) - at - 2);
  EXPECT_EQ("D3," + d3[0] + "," + d3[1] + "," + d3[2] + "," + d3[3], d3Line);
  EXPECT_EQ(fresh.CellText(2, 6), "3381522.4160");
  EXPECT_EQ(fresh.CellText(2, 8), "");  // an empty stored value empties the cell
  EXPECT_EQ(fresh.CellText(3, 6), "留着");  // not in the store
  EXPECT_EQ(fresh.CellText(4, 9), "旧点");
  EXPECT_TRUE(freshPorts.modified);
  // The fill is one undo step.
  fresh.OnUndo();
  EXPECT_EQ(fresh.CellText(2, 6), "");
  EXPECT_EQ(fresh.CellText(4, 9), "");
  EXPECT_EQ(fresh.CellText(3, 6), "留着");
}

TEST_F(KzdViewTest, LevellingTableTakesHeightAndRemarkOnly) {
  view.m_nTraverseType = 5;
  view.m_arrUnit.assign(3, CDxView::CUnit());
  view.ShowTable(t::kTableInput);
  ASSERT_EQ(view.GetColCount(), 6);
  const char* names[] = {"BM1", "TP1", "BM2"};
  for (int r = 1; r <= 3; ++r) view.SetCellText(r, 1, names[r - 1]);
  view.SetCellText(1, 2, "1.234");
  const std::string store = dir.File("h.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(store, Gbk("BM1,100.0000,200.0000,12.3450,水准点\r\nBM2,,,15.0000,\r\nTP1,5,6\r\n")));
  Run(t::kKzdRead, store);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(Row(1), (std::vector<std::string>{"BM1", "1.234", "", "", "12.3450", "水准点"}));
  EXPECT_EQ(Row(2), (std::vector<std::string>{"TP1", "", "", "", "", ""}));  // X, Y have no column here
  EXPECT_EQ(Row(3), (std::vector<std::string>{"BM2", "", "", "", "15.0000", ""}));
  EXPECT_TRUE(ports.modified);
}

TEST_F(KzdViewTest, RefusalsAndFailures) {
  const std::string store = dir.File("s.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(store, "A,1,2,,\r\n"));

  // Reading only into the input table.
  LoadExample("closed-traverse.qvt");
  view.OnCommand(table::ID_COMPUTE);
  ASSERT_EQ(view.m_bComputed, 1);
  ASSERT_EQ(view.TableCode, t::kTablePlane);
  messages.Clear();
  Run(t::kKzdRead, store);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"读入控制点数据功能仅用于数据输入表格!"});

  // Back on the input table with nothing typed: the results still hold.
  view.ShowTable(t::kTableInput);
  messages.Clear();
  Run(t::kKzdExport, dir.File("ok.dat"));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"控制点已成功输出到其它成图系统文件格式！"});

  // A side typed after the computation: the results are stale for storing and export.
  view.SetCellText(3, 3, "264.600");
  for (int mode : {t::kKzdStore, t::kKzdExport}) {
    messages.Clear();
    Run(mode, mode == t::kKzdStore ? store : dir.File("x.dat"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"请先计算！"});
  }
  EXPECT_EQ(platform::ReadFileBytes(store).value(), "A,1,2,,\r\n");
  EXPECT_FALSE(platform::ReadFileBytes(dir.File("x.dat")).has_value());

  // Computed again; a store made read-only: the reason, no completion message.
  view.OnCommand(table::ID_COMPUTE);
  ASSERT_EQ(view.m_bComputed, 1);
  ASSERT_EQ(::chmod(store.c_str(), 0444), 0);
  messages.Clear();
  Run(t::kKzdStore, store);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_NE(messages.Texts()[0].find("没有权限"), std::string::npos) << messages.Texts()[0];
  EXPECT_EQ(platform::ReadFileBytes(store).value(), "A,1,2,,\r\n");
  // An export into a folder that does not exist: the reason, nothing else.
  messages.Clear();
  Run(t::kKzdExport, dir.File("no/x.dat"));
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0].rfind("无法写入文件", 0), 0u) << messages.Texts()[0];

  // Cancel does nothing.
  ports.ok = false;
  messages.Clear();
  Run(t::kKzdStore, store);
  EXPECT_TRUE(messages.Texts().empty());
}

// A stored X, Y or H that is not a number is not read: the point is named with its
// line in one message, its cells stay as they were, the other points are read.
TEST_F(KzdViewTest, StoredValuesThatAreNotNumbersAreReported) {
  view.m_nTraverseType = 3;
  view.m_arrUnit.assign(5, CDxView::CUnit());
  view.ShowTable(t::kTableInput);
  const char* names[] = {"GP01", "GP02", "D1", "D2", "D3"};
  for (int r = 1; r <= 5; ++r) view.SetCellText(r, 1, names[r - 1]);
  view.SetCellText(3, 6, "3381418.733");
  const std::string store = dir.File("bad.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(store, Gbk("GP01,nan,512384.9020,,\r\n"
                                                   "GP02,3381307.2050,512660.3180,41.5620,好\r\n"
                                                   "\r\n"
                                                   "D1,3381418.7330,1e309,42.1180,\r\n"
                                                   "D2,3381302.5610,513127.0540,40.9O7,\r\n"
                                                   "D3,33815X2.4.16,513051.2270,,\r\n")));
  Run(t::kKzdRead, store);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0],
            "控制点文件第1行(GP01)的X坐标不是数字（nan）\n"
            "控制点文件第4行(D1)的Y坐标不是数字（1e309）\n"
            "控制点文件第5行(D2)的高程不是数字（40.9O7）\n"
            "控制点文件第6行(D3)的X坐标不是数字（33815X2.4.16）\n"
            "以上各点未读入。");
  EXPECT_EQ(Row(1)[5], "");
  EXPECT_EQ(Row(2)[5], "3381307.2050");
  EXPECT_EQ(Row(2)[8], "好");
  EXPECT_EQ(Row(3)[5], "3381418.733");  // kept as typed
  EXPECT_EQ(Row(3)[6], "");
  EXPECT_EQ(Row(4)[7], "");
  EXPECT_EQ(Row(5)[5], "");
}
