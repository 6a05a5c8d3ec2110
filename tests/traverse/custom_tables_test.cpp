// The ten custom result tables: the file "table.cus" line by line, the definition
// dialog's choices and the codes they write, the "自定义" command, and where the file
// is read from and written to.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/cus_table.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"

namespace fs = std::filesystem;
namespace t = traverse;
using Lines = std::vector<std::string>;
using Codes = std::vector<std::string>;

namespace {

// The tree and the definition dialog, scripted.
struct Ports : t::ITraverseViewPorts {
  CDxView* view = nullptr;
  bool ok = true;
  std::function<void(t::CCusTableSetForm&)> edit;
  t::CCusTableSetForm seen;
  int dialogs = 0, cleared = 0;
  std::vector<std::pair<int, std::string>> renamed;

  SchemeResult RunSchemeDialog(t::CSchemeForm&) override { return SchemeResult::Cancel; }
  bool RunCustomTableDialog(t::CCusTableSetForm& form) override {
    ++dialogs;
    seen = form;
    if (!ok) return false;
    if (edit) edit(form);
    return true;
  }
  void RenameCustomTableItem(int i, const std::string& name) override { renamed.emplace_back(i, name); }
  void ReselectAfterCompute(bool plane) override { view->ShowTable(plane ? "PMJSH" : "GCHJSH"); }
  void RebuildAndSelectInput() override { view->ShowTable("SHUJUSHURU"); }
  void SelectCustomFormsBranch() override {}
  void ClearTreeSelection() override { ++cleared; }
  void ShowSchemeHelp() override {}
  bool IsDocumentModified() const override { return false; }
  void SetDocumentModified() override {}
};

// Ticks the named choices (by label) and nothing else.
void Tick(t::CCusTableSetForm& f, std::initializer_list<const char*> labels) {
  f.ticked.fill(false);
  for (const char* l : labels) {
    bool found = false;
    for (std::size_t i = 0; i < f.ticked.size(); ++i)
      if (std::string(t::CCusTableSetForm::Choices()[i].label) == l) f.ticked[i] = found = true;
    ASSERT_TRUE(found) << l;
  }
}

std::vector<std::string> TickedLabels(const t::CCusTableSetForm& f) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < f.ticked.size(); ++i)
    if (f.ticked[i]) out.push_back(t::CCusTableSetForm::Choices()[i].label);
  return out;
}

std::string Gbk(const Lines& lines) { return platform::EncodeGbkLines(lines).value(); }

std::string Example(const char* name) {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/")) + "/examples/" + name;
}

}  // namespace

TEST(CustomTableChoices, CodesWrittenAndTickedAgain) {
  const struct {
    std::initializer_list<const char*> ticks;
    const char* line;  // the code line in the file
  } cases[] = {
      {{"坐标XY", "方位角", "观测边长"}, "X,Y,FWLOW,QBCHLOW,"},
      {{"坐标XY", "至点", "方位角", "观测边长"}, "X,Y,ZDM,FW,QBCH,"},
      {{"坐标中误差", "误差椭圆参数"}, "MX,MY,M,MA,MB,MF,"},
      {{"备注", "高程", "高差平差值"}, "H,BZH,HGCHLOW,"},  // table order, not tick order
      {{}, ""},
  };
  for (const auto& c : cases) {
    t::CCusTableSetForm f;
    f.name = "成果";
    Tick(f, c.ticks);
    t::CustomTables tables;
    tables[3] = f.ToTable();
    const Lines lines = t::WriteCustomTableLines(tables);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[6], "成果");
    EXPECT_EQ(lines[7], c.line);
    // Reopening the dialog on the stored table ticks exactly the same choices.
    t::CustomTables back;
    t::ReadCustomTableLines(lines, back);
    t::CCusTableSetForm again = t::CCusTableSetForm::FromTable(back[3]);
    EXPECT_EQ(TickedLabels(again), TickedLabels(f)) << c.line;
    EXPECT_EQ(again.name, "成果");
  }
}

TEST(CustomTableChoices, DialogRefusesAnEmptyOrUnsavableName) {
  t::CCusTableSetForm f;
  EXPECT_EQ(f.Validate(), "表格名称不能为空！");
  f.name = "导线成果";
  EXPECT_EQ(f.Validate(), "");
  f.name = "成果😀";
  EXPECT_EQ(f.Validate(), "表格名称中的字符“😀”无法保存，请换用其它字符！");
}

TEST(CustomTableFile, ReadingRules) {
  const struct {
    const char* what;
    Lines lines;
    std::vector<std::pair<std::string, Codes>> want;  // the first definitions after reading
    int dropped, capped;
  } cases[] = {
      {"name and codes", {"甲", "X,Y,FWLOW,"}, {{"甲", {"X", "Y", "FWLOW"}}}, 0, 0},
      {"text after the last comma is a code", {"甲", "X,Y"}, {{"甲", {"X", "Y"}}}, 0, 0},
      {"an empty line: no codes", {"甲", "", "乙", "H,"}, {{"甲", {}}, {"乙", {"H"}}}, 0, 0},
      {"empty items between commas dropped", {"甲", "X,,Y,,"}, {{"甲", {"X", "Y"}}}, 2, 0},
      {"unknown codes dropped", {"甲", "X,ABC,LOW,QJD,"}, {{"甲", {"X", "QJD"}}}, 2, 0},
      {"blanks around a code", {"甲", " X ,\tH,"}, {{"甲", {"X", "H"}}}, 0, 0},
      {"a name without its code line", {"甲", "X,", "乙"}, {{"甲", {"X"}}, {"乙", {}}}, 0, 0},
      {"the name keeps its blanks and commas", {" 甲,乙 ", "H,"}, {{" 甲,乙 ", {"H"}}}, 0, 0},
  };
  for (const auto& c : cases) {
    t::CustomTables tables;
    t::CusTableReadReport report;
    t::ReadCustomTableLines(c.lines, tables, &report);
    for (std::size_t i = 0; i < c.want.size(); ++i) {
      EXPECT_EQ(tables[i].name, c.want[i].first) << c.what;
      EXPECT_EQ(tables[i].codes, c.want[i].second) << c.what;
    }
    EXPECT_EQ(report.dropped, c.dropped) << c.what;
    EXPECT_EQ(report.capped, c.capped) << c.what;
  }
}

TEST(CustomTableFile, MissingLinesKeepWhatWasThere) {
  t::CustomTables tables;
  for (int i = 0; i < 10; ++i) tables[static_cast<std::size_t>(i)] = {"旧" + std::to_string(i), {"X"}};
  t::ReadCustomTableLines({"新0", "H,", "新1"}, tables);
  EXPECT_EQ(tables[0].name, "新0");
  EXPECT_EQ(tables[0].codes, Codes{"H"});
  EXPECT_EQ(tables[1].name, "新1");
  EXPECT_TRUE(tables[1].codes.empty());
  EXPECT_EQ(tables[2].name, "旧2");
  EXPECT_EQ(tables[9].codes, Codes{"X"});
  // Lines beyond the twentieth are not read.
  Lines many(30, "H,");
  t::ReadCustomTableLines(many, tables);
  EXPECT_EQ(tables[9].name, "H,");
}

TEST(CustomTableFile, CodesCappedAndOneMessageNamesTheFirst) {
  std::string line;
  for (int i = 0; i < 40; ++i) line += "X,";
  t::CustomTables tables;
  t::CusTableReadReport report;
  t::ReadCustomTableLines({"甲", "H,", "乙", line, "丙", "Q,"}, tables, &report);
  EXPECT_EQ(tables[1].codes.size(), static_cast<std::size_t>(t::kMaxCustomTableCodes));
  EXPECT_EQ(report.capped, 40 - t::kMaxCustomTableCodes);
  EXPECT_EQ(report.dropped, 1);
  EXPECT_EQ(t::CustomTableReadMessage("/opt/q/table.cus", report),
            "自定义表格文件“/opt/q/table.cus”中有1个空的或无法识别的列代码，有表格超过32列，已略去（首见于第2个表格）。");
  t::CusTableReadReport unknown;
  t::ReadCustomTableLines({"甲", "X,ABC,"}, tables, &unknown);
  EXPECT_EQ(t::CustomTableReadMessage("table.cus", unknown),
            "自定义表格文件“table.cus”中有1个空的或无法识别的列代码，已略去（首见于第1个表格的“ABC”）。");
  EXPECT_EQ(t::CustomTableReadMessage("table.cus", t::CusTableReadReport{}), "");
}

// The view with its two folders, a computed closed traverse behind it.
class CustomTableViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("quintar-custable-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "program");
    programDir = (root / "program").string() + "/";
    userDir = (root / "user" / "Quintar").string() + "/";
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(root / "program", fs::perms::owner_all, ec);
    fs::remove_all(root, ec);
  }
  // A fresh start of the program: a new view reads the folders.
  std::unique_ptr<CDxView> Start() {
    auto v = std::make_unique<CDxView>();
    ports.view = v.get();
    v->SetViewPorts(&ports);
    v->ResetScheme();
    v->OnInitialUpdate();
    v->SetCustomTableFolders(programDir, userDir);
    v->LoadCustomTables();
    return v;
  }
  void OpenJob(CDxView& v) {
    auto bytes = platform::ReadFileBytes(Example("closed-traverse.qvt"));
    ASSERT_TRUE(bytes.has_value());
    Lines lines = platform::SplitGbkLines(*bytes);
    t::TraverseSectionData d;
    std::size_t pos = 3;
    t::ReadTraverseSectionLines(lines, pos, 520, d);
    v.ApplySectionData(d);
    v.ShowTable("SHUJUSHURU");
    v.OnCommand(table::ID_COMPUTE);
    ASSERT_EQ(v.TableCode, "PMJSH");
  }
  static std::string Bytes(const std::string& path) { return platform::ReadFileBytes(path).value_or("<none>"); }
  fs::path root;
  std::string programDir, userDir;
  platform::FakeMessagePort messages;
  Ports ports;
};

TEST_F(CustomTableViewTest, MissingFileGivesTenEmptyDefinitionsAndOkCreatesIt) {
  auto v = Start();
  EXPECT_FALSE(v->LoadCustomTables());
  for (const CCusTable& d : v->m_cusTables) {
    EXPECT_EQ(d.name, "");
    EXPECT_TRUE(d.codes.empty());
  }
  EXPECT_TRUE(messages.Texts().empty()) << "a missing file is no fault";
  OpenJob(*v);

  ports.edit = [](t::CCusTableSetForm& f) {
    f.name = "坐标方位边长";
    Tick(f, {"坐标XY", "方位角", "观测边长"});
  };
  v->ShowTable("CUSTABLE2");  // no codes yet: the dialog opens
  EXPECT_EQ(ports.dialogs, 1);
  EXPECT_EQ(ports.seen.name, "");
  EXPECT_EQ(ports.cleared, 1) << "the tree selection is cleared";
  EXPECT_EQ(v->TableCode, "CUSTABLE2");
  EXPECT_EQ(v->GetTitle(), "坐标方位边长");
  ASSERT_EQ(v->GetColCount(), 5);
  const Codes columns = {v->GetColumnCode(1), v->GetColumnCode(2), v->GetColumnCode(3), v->GetColumnCode(4),
                         v->GetColumnCode(5)};
  EXPECT_EQ(columns, (Codes{"DM", "X", "Y", "FW", "QBCH"}));
  EXPECT_FALSE(v->GetColumnStagger(3));
  EXPECT_TRUE(v->GetColumnStagger(4));
  EXPECT_TRUE(v->GetColumnStagger(5));
  EXPECT_EQ(v->GetCellText(1, 1), "GP01");
  EXPECT_FALSE(v->GetCellText(2, 2).empty()) << "the adjusted X of GP02";
  EXPECT_EQ(ports.renamed, (std::vector<std::pair<int, std::string>>{{2, "坐标方位边长"}}));

  // Twenty lines, GBK with CR LF, in the user's folder only.
  std::string want;
  for (int i = 0; i < 10; ++i) want += i == 2 ? "\xd7\xf8\xb1\xea\xb7\xbd\xce\xbb\xb1\xdf\xb3\xa4\r\nX,Y,FWLOW,QBCHLOW,\r\n" : "\r\n\r\n";
  EXPECT_EQ(Bytes(userDir + "table.cus"), want);
  EXPECT_FALSE(fs::exists(programDir + "table.cus"));
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(CustomTableViewTest, ReadOnlyProgramFolderWritesTheUserFileAndTheNextStartReadsIt) {
  const std::string shipped = Gbk({"出厂表", "X,Y,H,", "第二表", "H,MH,"});
  ASSERT_TRUE(platform::WriteFileAtomic(programDir + "table.cus", shipped));
  fs::permissions(root / "program", fs::perms::owner_read | fs::perms::owner_exec);
  {
    auto v = Start();
    EXPECT_EQ(v->m_cusTables[0].name, "出厂表");
    EXPECT_EQ(v->m_cusTables[1].codes, (Codes{"H", "MH"}));
    OpenJob(*v);
    v->ShowTable("CUSTABLE0");
    EXPECT_EQ(ports.dialogs, 0) << "a table with codes is shown, not defined";
    ports.edit = [](t::CCusTableSetForm& f) {
      f.name = "我的表";
      Tick(f, {"坐标XY", "至点", "方位角", "观测边长"});
    };
    v->OnCommand(table::ID_CUSTOM);
    EXPECT_EQ(ports.dialogs, 1);
    EXPECT_EQ(TickedLabels(ports.seen), (std::vector<std::string>{"坐标XY", "高程"}));
    EXPECT_EQ(v->GetTitle(), "我的表");
    EXPECT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
  }
  EXPECT_EQ(Bytes(programDir + "table.cus"), shipped) << "the program's file is never written";
  EXPECT_EQ(std::distance(fs::directory_iterator(root / "program"), fs::directory_iterator()), 1);
  const std::string user = Bytes(userDir + "table.cus");
  EXPECT_NE(user.find("X,Y,ZDM,FW,QBCH,\r\n"), std::string::npos);

  // The next start reads the program's file, then the user's, which wins.
  auto next = Start();
  EXPECT_EQ(next->m_cusTables[0].name, "我的表");
  EXPECT_EQ(next->m_cusTables[0].codes, (Codes{"X", "Y", "ZDM", "FW", "QBCH"}));
  EXPECT_EQ(next->m_cusTables[1].name, "第二表") << "the user's file holds all ten";
  EXPECT_TRUE(messages.Texts().empty());
}

// A file an editor saved as UTF-8 (with or without a byte-order mark) reads its names
// as they were typed; an empty code line is still a definition without codes.
TEST_F(CustomTableViewTest, Utf8FileReadsItsNames) {
  for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
    ASSERT_TRUE(platform::WriteFileAtomic(programDir + "table.cus", bom + "导线点位\r\nX,Y,\r\n空表\r\n\r\n乙\r\nH,\r\n"));
    auto v = Start();
    EXPECT_EQ(v->m_cusTables[0].name, "导线点位");
    EXPECT_EQ(v->m_cusTables[0].codes, (Codes{"X", "Y"}));
    EXPECT_EQ(v->m_cusTables[1].name, "空表");
    EXPECT_TRUE(v->m_cusTables[1].codes.empty());
    EXPECT_EQ(v->m_cusTables[2].name, "乙");
    EXPECT_EQ(v->m_cusTables[2].codes, Codes{"H"});
    EXPECT_TRUE(messages.Texts().empty());
  }
}

TEST_F(CustomTableViewTest, UserFileWinsLineByLineAndBadCodesAreSaidOnce) {
  ASSERT_TRUE(platform::WriteFileAtomic(programDir + "table.cus", Gbk({"甲", "X,", "乙", "H,", "丙", "QJD,"})));
  fs::create_directories(userDir);
  ASSERT_TRUE(platform::WriteFileAtomic(userDir + "table.cus", Gbk({"我的甲", "X,,BAD,Y,"})));
  auto v = Start();
  EXPECT_EQ(v->m_cusTables[0].name, "我的甲");
  EXPECT_EQ(v->m_cusTables[0].codes, (Codes{"X", "Y"}));
  EXPECT_EQ(v->m_cusTables[1].name, "乙");
  EXPECT_EQ(v->m_cusTables[2].codes, Codes{"QJD"});
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0], "自定义表格文件“" + userDir +
                                     "table.cus”中有2个空的或无法识别的列代码，已略去（首见于第1个表格）。");
  // Showing the table afterwards says nothing more.
  OpenJob(*v);
  v->ShowTable("CUSTABLE0");
  v->ShowTable("CUSTABLE0");
  EXPECT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(v->GetColCount(), 3);
}

TEST_F(CustomTableViewTest, CommandOnAFixedTableOnlySaysSo) {
  auto v = Start();
  OpenJob(*v);
  v->OnCommand(table::ID_CUSTOM);
  EXPECT_EQ(messages.Texts(), (Lines{"本表格不能自定义"}));
  EXPECT_EQ(ports.dialogs, 0);
  EXPECT_EQ(v->TableCode, "PMJSH");
  EXPECT_FALSE(fs::exists(userDir + "table.cus"));
}

TEST_F(CustomTableViewTest, CancelAndAnEmptyChoiceNeitherLoopNorLose) {
  auto v = Start();
  OpenJob(*v);
  ports.ok = false;
  v->ShowTable("CUSTABLE5");
  EXPECT_EQ(ports.dialogs, 1);
  EXPECT_FALSE(fs::exists(userDir + "table.cus")) << "Cancel changes nothing";
  // OK with a name but no columns: kept, but the dialog does not come straight back.
  ports.ok = true;
  ports.edit = [](t::CCusTableSetForm& f) {
    f.name = "待定";
    Tick(f, {});
  };
  v->ShowTable("CUSTABLE5");
  EXPECT_EQ(ports.dialogs, 2);
  EXPECT_EQ(v->m_cusTables[5].name, "待定");
  EXPECT_EQ(ports.renamed.back(), (std::pair<int, std::string>{5, "待定"}));
  EXPECT_TRUE(fs::exists(userDir + "table.cus"));
}

TEST_F(CustomTableViewTest, FailedSaveSaysWhyAndKeepsTheOldFile) {
  userDir = "/proc/no/such/folder/";
  auto v = Start();
  OpenJob(*v);
  ports.edit = [](t::CCusTableSetForm& f) {
    f.name = "甲";
    Tick(f, {"高程"});
  };
  v->ShowTable("CUSTABLE0");
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0].rfind("自定义表格文件“/proc/no/such/folder/table.cus”保存失败：", 0), 0u)
      << messages.Texts()[0];
  EXPECT_EQ(v->m_cusTables[0].name, "甲") << "the definition holds for this run";
}
