// The job file: header and version bytes, section order, version rules, the
// low-version alarm, and what a failed open or save leaves behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <filesystem>
#include <fstream>

#include "app/doc.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "tests/app/fake_views.h"

namespace {

namespace fs = std::filesystem;
using apptest::FakeSection;
using apptest::Log;
using platform::Answer;

std::string Gbk(const std::string& utf8) { return *platform::Utf8ToGbk(utf8); }

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

std::string ReadBytes(const std::string& path) { return platform::ReadFileBytes(path).value_or("<missing>"); }

// A document with recording sections in a scratch folder.
class DocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("quintar_doc_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    Wire(doc);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, ec);
    fs::remove_all(dir, ec);
  }
  void Wire(app::CVornDoc& d) {
    app::DocParts p;
    p.records = &records;
    p.traverse = &traverse;
    p.tools = &tools;
    p.drawing = &drawing;
    p.traverseFacts = &facts;
    p.resetTables = [this] { log.push_back("tables.reset"); };
    p.buildTrees = [this](int s) { log.push_back("trees " + std::to_string(s)); };
    p.beforeSave = [this] { log.push_back("focus"); };
    d.SetParts(std::move(p));
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }

  fs::path dir;
  Log log;
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  FakeSection records{"records", app::kRecordsBanner, &log};
  FakeSection traverse{"traverse", app::kTraverseBanner, &log};
  FakeSection tools{"tools", app::kToolsBanner, &log};
  apptest::FakeDrawing drawing{&log};
  apptest::FakeTraverse facts{&log};
  app::CVornDoc doc;
};

TEST_F(DocTest, VersionAndConstructionState) {
  EXPECT_EQ(doc.m_strVersion, "520");
  EXPECT_EQ(doc.m_nFileVersion, 520);
  EXPECT_EQ(doc.Title(), "无标题");
}

TEST_F(DocTest, EmptyJobStartsWithGbkHeaderAndVersion) {
  app::CVornDoc bare;  // no sections at all
  ASSERT_TRUE(bare.OnSaveDocument(Path("bare.qvt")));
  // "Quintar计算文件" in GBK: 计 BC C6, 算 CB E3, 文 CE C4, 件 BC FE.
  EXPECT_EQ(ReadBytes(Path("bare.qvt")), std::string("Quintar\xBC\xC6\xCB\xE3\xCE\xC4\xBC\xFE\r\n520\r\n"));

  ASSERT_TRUE(doc.OnSaveDocument(Path("empty.qvt")));
  const std::string end = std::string(28, '-') + "\r\n";
  EXPECT_EQ(ReadBytes(Path("empty.qvt")),
            Gbk("Quintar计算文件\r\n520\r\n----------观测记录----------\r\n") + end +
                "----------Pelmor----------\r\n" + end + Gbk("----------常用工具----------\r\n") + end);
}

TEST_F(DocTest, ResetAndSaveOrder) {
  doc.DeleteContents();
  // The grids return to their default settings before each part sets its job's own.
  EXPECT_EQ(log, (Log{"tables.reset", "records.reset", "traverse.reset", "drawing.reset", "tools.reset", "trees -1"}));
  log.clear();
  doc.SetModifiedFlag();
  ASSERT_TRUE(doc.OnSaveDocument(Path("a.qvt")));
  EXPECT_EQ(log, (Log{"focus", "records.write", "traverse.write", "tools.write"}));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.Title(), "a.qvt");
}

TEST_F(DocTest, SaveOpenSaveIsByteIdentical) {
  records.model = {"DX:1", "第1页,A,B"};
  traverse.model = {"导线类型:0", "K1,,,1.2345"};
  tools.model = {"[高斯正算]", "P1,3380000.000,500000.000", "[高斯正算结束]"};
  ASSERT_TRUE(doc.OnSaveDocument(Path("one.qvt")));

  Log log2;
  FakeSection r2{"records", app::kRecordsBanner, &log2}, t2{"traverse", app::kTraverseBanner, &log2},
      o2{"tools", app::kToolsBanner, &log2};
  app::CVornDoc doc2;
  app::DocParts p;
  p.records = &r2;
  p.traverse = &t2;
  p.tools = &o2;
  doc2.SetParts(p);
  ASSERT_TRUE(doc2.OnOpenDocument(Path("one.qvt")));
  EXPECT_EQ(t2.model, traverse.model);
  ASSERT_TRUE(doc2.OnSaveDocument(Path("two.qvt")));
  EXPECT_EQ(ReadBytes(Path("one.qvt")), ReadBytes(Path("two.qvt")));
  EXPECT_TRUE(msg.Texts().empty());
}

TEST_F(DocTest, LfOnlyFileLoads) {
  WriteBytes(Path("lf.qvt"), Gbk("Quintar计算文件\n520\n----------Pelmor----------\n导线类型:2\n") + std::string(28, '-') + "\n");
  ASSERT_TRUE(doc.OnOpenDocument(Path("lf.qvt")));
  EXPECT_EQ(traverse.model, (std::vector<std::string>{"导线类型:2"}));
  EXPECT_EQ(doc.m_bJustLoaded, 1);
  EXPECT_EQ(doc.m_nFileVersion, 520);
}

TEST_F(DocTest, SectionsInAnyOrderAndStrayLines) {
  const std::string end = std::string(28, '-');
  WriteBytes(Path("order.qvt"),
             Gbk("Quintar计算文件\r\n520\r\n外来的一行\r\n----------常用工具----------\r\nT1\r\n" + end +
                 "\r\n----------Pelmor---------- \r\nSTRAY\r\n----------观测记录----------\r\nR1\r\n" + end +
                 "\r\n----------Pelmor----------\r\nP1\r\n" + end + "\r\n"));
  ASSERT_TRUE(doc.OnOpenDocument(Path("order.qvt")));
  EXPECT_EQ(tools.model, (std::vector<std::string>{"T1"}));
  EXPECT_EQ(records.model, (std::vector<std::string>{"R1"}));
  // The banner with a trailing blank is skipped, so its line never reaches a reader.
  EXPECT_EQ(traverse.model, (std::vector<std::string>{"P1"}));
}

// Version line -> whether the newer-file question comes, and which readers run.
TEST_F(DocTest, VersionRules) {
  struct Case {
    const char* version;
    bool question;
    int fileVersion;
    Log reads;
  };
  const Case cases[] = {
      {"521", true, 521, {"records.read@3", "traverse.read@6", "tools.read@9"}},
      {"520", false, 520, {"records.read@3", "traverse.read@6", "tools.read@9"}},
      {"410", false, 410, {"records.read@3", "traverse.read@6", "tools.read@9"}},
      // Below 410: records from the third line, then the legacy traverse reader over
      // the whole file from its first line; the tools are never read.
      {"409", false, 409, {"records.read@2", "traverse.legacy@0"}},
      {"", false, 0, {"records.read@2", "traverse.legacy@0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    const std::string end = std::string(28, '-');
    WriteBytes(Path("v.qvt"), Gbk(std::string("Quintar计算文件\r\n") + c.version +
                                  "\r\n----------观测记录----------\r\nR\r\n" + end +
                                  "\r\n----------Pelmor----------\r\nP\r\n" + end +
                                  "\r\n----------常用工具----------\r\nT\r\n" + end + "\r\n"));
    msg.Clear();
    if (c.question) msg.Script({Answer::Yes});
    log.clear();
    ASSERT_TRUE(doc.OnOpenDocument(Path("v.qvt")));
    bool asked = !msg.Texts().empty() && msg.Texts()[0] == "正在读取高版本数据，可能出错！\n是否继续？";
    EXPECT_EQ(asked, c.question);
    EXPECT_EQ(doc.m_nFileVersion, c.fileVersion);
    Log reads;
    for (const auto& l : log)
      if (l.find(".read@") != std::string::npos || l.find(".legacy@") != std::string::npos) reads.push_back(l);
    EXPECT_EQ(reads, c.reads);
    EXPECT_EQ(records.readVersion, c.fileVersion);
  }
}

// A job on screen must survive every failed open untouched.
TEST_F(DocTest, FailedOpenKeepsTheJobOnScreen) {
  traverse.model = {"K1,,,1.0"};
  ASSERT_TRUE(doc.OnSaveDocument(Path("job.qvt")));
  doc.SetModifiedFlag();
  WriteBytes(Path("empty.qvt"), "");
  WriteBytes(Path("foreign.qvt"), "Some other file\r\n520\r\n");
  WriteBytes(Path("newer.qvt"), Gbk("Quintar计算文件\r\n600\r\n----------Pelmor----------\r\nX\r\n"));
  // Millions of empty lines: refused before they become line strings.
  WriteBytes(Path("huge.qvt"), Gbk("Quintar计算文件\r\n520\r\n") + std::string(app::kMaxJobFileBytes, '\n'));
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {Path("missing.qvt"), "无法打开文件“" + Path("missing.qvt") + "”。\n文件或文件夹不存在。"},
      {Path("empty.qvt"), "不是Quintar当前版本文件！"},
      {Path("foreign.qvt"), "不是Quintar当前版本文件！"},
      {Path("newer.qvt"), "正在读取高版本数据，可能出错！\n是否继续？"},  // answered No
      {Path("huge.qvt"), "无法打开文件“" + Path("huge.qvt") + "”。\n文件过大（超过32 MB）。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    msg.Clear();
    log.clear();
    EXPECT_FALSE(doc.OnOpenDocument(c.path));
    EXPECT_EQ(msg.Texts(), (std::vector<std::string>{c.message}));
    EXPECT_EQ(traverse.model, (std::vector<std::string>{"K1,,,1.0"}));
    EXPECT_EQ(doc.PathName(), Path("job.qvt"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_bJustLoaded, 0);
    for (const auto& l : log) EXPECT_EQ(l.find(".reset"), std::string::npos) << l;
  }
  // So the next Ctrl+S writes the job, not an empty one.
  ASSERT_TRUE(doc.FileSave());
  EXPECT_NE(ReadBytes(Path("job.qvt")).find("K1,,,1.0"), std::string::npos);
}

TEST_F(DocTest, FailedSaveKeepsOldFileAndModifiedFlag) {
  traverse.model = {"old"};
  ASSERT_TRUE(doc.OnSaveDocument(Path("job.qvt")));
  const std::string before = ReadBytes(Path("job.qvt"));
  traverse.model = {"new"};
  doc.SetModifiedFlag();
  {
    // Every write fails (a full disk, for whoever runs the test, root included).
    struct FileSizeLimit {
      FileSizeLimit() {
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 1;
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &small);
      }
      ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
      }
      rlimit old{};
      void (*oldHandler)(int) = nullptr;
    } full;
    EXPECT_FALSE(doc.FileSave());
  }
  ASSERT_EQ(msg.Messages().size(), 1u);
  EXPECT_EQ(msg.Messages()[0].rfind("保存文件“" + Path("job.qvt") + "”失败，原文件未改动。\n", 0), 0u) << msg.Messages()[0];
  EXPECT_EQ(ReadBytes(Path("job.qvt")), before);
  EXPECT_TRUE(doc.IsModified());

  // A character GBK cannot store is reported before anything is written.
  msg.Clear();
  traverse.model = {"点名😀"};
  EXPECT_FALSE(doc.FileSave());
  EXPECT_EQ(msg.Messages(), (std::vector<std::string>{"文件第6行含有不能保存的字符“😀”，文件未保存。\n请改掉该字符后再保存。"}));
  EXPECT_EQ(ReadBytes(Path("job.qvt")), before);
  EXPECT_TRUE(doc.IsModified());
}

// A job from a build with all views, opened where only the traverse view reads: the
// records and tools sections, and a section of a banner nobody knows, come back
// byte for byte in their places.
TEST_F(DocTest, SectionsWithoutAReaderAreWrittenBackUnchanged) {
  const std::string end = std::string(28, '-') + "\r\n";
  const std::string records = Gbk("----------观测记录----------\r\n导线记录:1\r\n第1页,K1,K2,  0 00 00\r\n") + end;
  const std::string future = Gbk("----------将来的部分----------\r\n甲,乙\r\n") + end;
  const std::string tools = Gbk("----------常用工具----------\r\n[高斯正算]\r\nP1,3380000.000,500000.000\r\n") + end;
  const std::string file = Gbk("Quintar计算文件\r\n520\r\n") + records + future +
                           Gbk("----------Pelmor----------\r\n导线类型:0\r\n") + end + tools;
  WriteBytes(Path("full.qvt"), file);

  Log log2;
  FakeSection t2{"traverse", app::kTraverseBanner, &log2};
  app::CVornDoc only;
  app::DocParts p;
  p.traverse = &t2;
  only.SetParts(p);
  ASSERT_TRUE(only.OnOpenDocument(Path("full.qvt")));
  EXPECT_EQ(t2.model, (std::vector<std::string>{"导线类型:0"}));
  EXPECT_EQ(only.KeptSectionCount(), 3u);
  ASSERT_TRUE(only.OnSaveDocument(Path("saved.qvt")));
  EXPECT_EQ(ReadBytes(Path("saved.qvt")), file);

  // Sections in another order come back in the written order (records, traverse,
  // tools) with an unknown one where it stood among them; one cut short by the next
  // banner swallows nothing.
  const std::string cut = Gbk("----------将来的部分----------\r\n无结束行\r\n");
  const std::string order = Gbk("Quintar计算文件\r\n520\r\n") + cut + tools + records +
                            Gbk("----------Pelmor----------\r\nP\r\n") + end;
  WriteBytes(Path("order.qvt"), order);
  ASSERT_TRUE(only.OnOpenDocument(Path("order.qvt")));
  EXPECT_EQ(t2.model, (std::vector<std::string>{"P"}));
  ASSERT_TRUE(only.OnSaveDocument(Path("order2.qvt")));
  EXPECT_EQ(ReadBytes(Path("order2.qvt")), Gbk("Quintar计算文件\r\n520\r\n") + cut + records +
                                                Gbk("----------Pelmor----------\r\nP\r\n") + end + tools);

  // A new job forgets them; a failed open keeps those of the job on screen.
  ASSERT_TRUE(only.OnOpenDocument(Path("full.qvt")));
  EXPECT_FALSE(only.OnOpenDocument(Path("missing.qvt")));
  EXPECT_EQ(only.KeptSectionCount(), 3u);
  ASSERT_TRUE(only.OnNewDocument());
  EXPECT_EQ(only.KeptSectionCount(), 0u);
  ASSERT_TRUE(only.OnSaveDocument(Path("new.qvt")));
  EXPECT_EQ(ReadBytes(Path("new.qvt")), Gbk("Quintar计算文件\r\n520\r\n----------Pelmor----------\r\n") + end);
}

// Bytes that are not GBK still open, but the user hears which line held them first.
TEST_F(DocTest, BytesThatAreNotGbkAreReportedOnce) {
  const std::string end = std::string(28, '-') + "\r\n";
  WriteBytes(Path("bad.qvt"), Gbk("Quintar计算文件\r\n520\r\n----------Pelmor----------\r\nK1\r\n") +
                                  "K\x81\x20\r\nok\r\n\xFF\xFF\r\n" + end);
  ASSERT_TRUE(doc.OnOpenDocument(Path("bad.qvt")));
  EXPECT_EQ(msg.Messages(), (std::vector<std::string>{
                                "文件第5行含有不是GBK编码的字节（共2行），已显示为“?”。\n保存后这些字节将以“?”存入文件。"}));
  EXPECT_EQ(traverse.model, (std::vector<std::string>{"K1", "K? ", "ok", "??"}));

  msg.Clear();
  ASSERT_TRUE(doc.OnOpenDocument(Path("bad.qvt")));
  WriteBytes(Path("good.qvt"), Gbk("Quintar计算文件\r\n520\r\n----------Pelmor----------\r\n") + end);
  msg.Clear();
  ASSERT_TRUE(doc.OnOpenDocument(Path("good.qvt")));
  EXPECT_TRUE(msg.Texts().empty());
}

// Only regular files open: a FIFO would block the program for good, a folder is none.
// The message names what the path is.
TEST_F(DocTest, OnlyRegularFilesOpen) {
  ASSERT_EQ(::mkfifo(Path("pipe.qvt").c_str(), 0644), 0);
  fs::create_directories(Path("folder.qvt"));
  const std::pair<std::string, std::string> cases[] = {
      {Path("pipe.qvt"), "这是一个管道（FIFO），不是普通文件"},
      {Path("folder.qvt"), "这是一个文件夹，不是文件"},
      {"/dev/null", "这是一个设备，不是普通文件"},
  };
  for (const auto& [p, why] : cases) {
    SCOPED_TRACE(p);
    msg.Clear();
    EXPECT_FALSE(doc.OnOpenDocument(p));  // returns at once
    EXPECT_EQ(msg.Texts(), (std::vector<std::string>{"无法打开文件“" + p + "”。\n" + why + "。"}));
  }
}

// A copy of a job saved by an editor in another encoding or with other line ends:
// UTF-8 (with or without a byte-order mark) and CR-only line ends read as the job
// they are; UTF-16 is refused with its name, not as a foreign file.
TEST_F(DocTest, JobsInOtherEncodingsAndLineEnds) {
  const std::string end = std::string(28, '-');
  const std::string text = "Quintar计算文件\r\n520\r\n----------Pelmor----------\r\n导线类型:2\r\n点甲,90\r\n" + end + "\r\n";
  auto crOnly = [](std::string s) {
    std::string out;
    for (char c : s)
      if (c != '\n') out += c;
    return out;
  };
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("Quintar\r\n520\r\n")) utf16 += std::string{c, '\0'};
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> messages;
  };
  const std::string utf8Note = "”是UTF-8编码的，已按UTF-8读入。\n保存时将按GBK编码写入。";
  const Case cases[] = {
      {"gbk.qvt", Gbk(text), {}},
      {"cr.qvt", crOnly(Gbk(text)), {}},
      {"utf8.qvt", text, {"文件“" + Path("utf8.qvt") + utf8Note}},
      {"bom.qvt", "\xEF\xBB\xBF" + text, {"文件“" + Path("bom.qvt") + utf8Note}},
      {"utf8cr.qvt", crOnly(text), {"文件“" + Path("utf8cr.qvt") + utf8Note}},
      // A byte that is no UTF-8 in a UTF-8 job is named like a byte that is no GBK.
      {"utf8bad.qvt", text.substr(0, text.size() - 32) + "\xFF" + text.substr(text.size() - 32),
       {"文件第5行含有不是UTF-8编码的字节（共1行），已显示为“?”。\n保存后这些字节将以“?”存入文件。",
        "文件“" + Path("utf8bad.qvt") + utf8Note}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path(c.name), c.bytes);
    msg.Clear();
    ASSERT_TRUE(doc.OnOpenDocument(Path(c.name)));
    EXPECT_EQ(msg.Texts(), c.messages);
    if (std::string(c.name) != "utf8bad.qvt") {
      EXPECT_EQ(traverse.model, (std::vector<std::string>{"导线类型:2", "点甲,90"}));
    }
  }

  traverse.model = {"K1"};
  WriteBytes(Path("utf16.qvt"), utf16);
  msg.Clear();
  EXPECT_FALSE(doc.OnOpenDocument(Path("utf16.qvt")));
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{"无法打开文件“" + Path("utf16.qvt") +
                                                   "”。\n文件是UTF-16编码的文本，不是GBK文本。\n"
                                                   "请用文本编辑器另存为GBK（ANSI）编码后再打开。"}));
  EXPECT_EQ(traverse.model, (std::vector<std::string>{"K1"}));
}

// Which part of a cut or damaged file is incomplete, said once.
TEST_F(DocTest, IncompleteSectionsAreNamed) {
  const std::string end = std::string(28, '-');
  const std::string head = "Quintar计算文件\r\n520\r\n";
  struct Case {
    const char* what;
    std::string text;
    std::string message;  // "" = opens silently
  };
  const Case cases[] = {
      {"whole", head + "----------Pelmor----------\r\nP\r\n" + end + "\r\n", ""},
      {"no last line end", head + "----------Pelmor----------\r\nP\r\n" + end, ""},
      {"cut at the end", head + "----------Pelmor----------\r\nP\r\n", "平差计算部分缺少结束行"},
      {"cut in the closing line", head + "----------Pelmor----------\r\nP\r\n" + end.substr(0, 20), "平差计算部分缺少结束行"},
      {"runs into the next banner",
       head + "----------将来的部分----------\r\n甲\r\n----------常用工具----------\r\nT\r\n" + end + "\r\n",
       "“将来的部分”部分缺少结束行"},
      {"two sections cut",
       head + "----------将来的部分----------\r\n甲\r\n----------常用工具----------\r\nT\r\n",
       "“将来的部分”部分缺少结束行；常用工具部分缺少结束行"},
      {"no section", head, "文件中没有任何数据部分，缺少各部分的结束行"},
      {"cut in a banner", head + "----------Pel", "文件中没有任何数据部分，缺少各部分的结束行"},
      {"header only", "Quintar计算文件\r\n", "文件在标题行后中断，缺少版本行和结束行"},
      {"old file cut in a line", "Quintar计算文件\r\n400\r\n[数据]\r\nK1,9", "文件在第4行中断，缺少结束行"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(Path("cut.qvt"), Gbk(c.text));
    msg.Clear();
    ASSERT_TRUE(doc.OnOpenDocument(Path("cut.qvt")));
    EXPECT_EQ(msg.Texts(), c.message.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{"文件不完整（" + c.message + "），可能已损坏。"});
    EXPECT_EQ(doc.ReadIncomplete(), !c.message.empty());
  }
}

// Empty lines cost nothing: a job padded with millions of them opens as the job it is.
TEST_F(DocTest, EmptyLinesCostNothing) {
  const std::string end = std::string(28, '-');
  const std::string blanks(std::size_t(15) << 20, '\n');
  WriteBytes(Path("blank.qvt"), Gbk("Quintar计算文件\r\n520\r\n") + blanks + Gbk("----------Pelmor----------\r\n") +
                                    blanks + "P1\r\n\r\n\r\nP2\r\n" + end + "\r\n");
  ASSERT_TRUE(doc.OnOpenDocument(Path("blank.qvt")));
  EXPECT_TRUE(msg.Texts().empty());
  // The fake keeps what it is given: at most a short run of the empty lines.
  ASSERT_LE(traverse.model.size(), 2 * app::kEmptyLinesThatCount + 2);
  EXPECT_EQ(traverse.model.front(), "");
  EXPECT_EQ(traverse.model.back(), "P2");
}

TEST(LowVersionAlarm, TruthTable) {
  struct Case {
    int type, rows, alarmOn, version;
    bool alarm;
  };
  const Case cases[] = {
      {0, 4, 1, 420, true},  {1, 4, 1, 420, true},  {0, 4, 1, 409, true},  {0, 100, 1, 300, true},
      {0, 4, 1, 421, false}, {2, 4, 1, 420, false}, {3, 9, 1, 400, false}, {4, 9, 1, 400, false},
      {5, 9, 1, 400, false}, {0, 3, 1, 420, false}, {0, 0, 1, 420, false}, {0, 4, 0, 420, false},
      {1, 4, 0, 300, false}, {0, 4, 1, 520, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(app::LowVersionAlarmApplies(c.type, c.rows, c.alarmOn, c.version), c.alarm)
        << c.type << " " << c.rows << " " << c.alarmOn << " " << c.version;
}

TEST_F(DocTest, LowVersionAlarmNoSilencesLaterOpens) {
  const std::string alarm =
      "您正在打开4.2及以下版本文件，该文件中没有设置限差信息，\n"
      "请在打开文件后在“项目设置”中设置限差，否则软件默认按一级导线的限差处理。\n\n\n"
      "以后在打开低版本文件时是否继续弹出提示？";
  WriteBytes(Path("old.qvt"), Gbk("Quintar计算文件\r\n420\r\n----------Pelmor----------\r\n" + std::string(28, '-') + "\r\n"));
  facts.type = 0;
  facts.rows = 4;
  msg.Script({Answer::Yes});
  ASSERT_TRUE(doc.OnOpenDocument(Path("old.qvt")));
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{alarm}));
  EXPECT_EQ(services.profile.GetInt("settings", "LowVerAlarm", 1), 1);

  msg.Clear();
  msg.Script({Answer::No});  // the answer does not affect the load
  ASSERT_TRUE(doc.OnOpenDocument(Path("old.qvt")));
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{alarm}));
  EXPECT_EQ(services.profile.GetInt("settings", "LowVerAlarm", 1), 0);
  EXPECT_EQ(doc.m_bLowVerAlarm, 0);

  msg.Clear();
  doc.DeleteContents();
  EXPECT_EQ(doc.m_bLowVerAlarm, 0);
  ASSERT_TRUE(doc.OnOpenDocument(Path("old.qvt")));
  EXPECT_TRUE(msg.Texts().empty());
}

TEST_F(DocTest, SaveQuestionOnNewAndOpen) {
  ASSERT_TRUE(doc.OnSaveDocument(Path("job.qvt")));
  traverse.model = {"edited"};
  doc.SetModifiedFlag();
  const std::string question = "是否保存对 " + Path("job.qvt") + " 的更改?";

  msg.Script({Answer::Cancel});
  EXPECT_FALSE(doc.FileNew());
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{question}));
  EXPECT_EQ(traverse.model, (std::vector<std::string>{"edited"}));

  msg.Clear();
  msg.Script({Answer::Yes});
  ASSERT_TRUE(doc.FileOpen(Path("job.qvt")));
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{question}));
  EXPECT_EQ(traverse.model, (std::vector<std::string>{"edited"}));  // saved, then read back

  traverse.model = {"again"};
  doc.SetModifiedFlag();
  msg.Clear();
  msg.Script({Answer::No});
  ASSERT_TRUE(doc.FileNew());
  EXPECT_TRUE(traverse.model.empty());
  EXPECT_EQ(doc.Title(), "无标题");
  EXPECT_EQ(ReadBytes(Path("job.qvt")).find("again"), std::string::npos);

  // An untitled job asks under its title and saves through Save As.
  traverse.model = {"fresh"};
  doc.SetModifiedFlag();
  msg.Clear();
  msg.Script({Answer::Yes});
  services.files.answers = {Path("fresh")};
  ASSERT_TRUE(doc.SaveModified());
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{"是否保存对 无标题 的更改?"}));
  EXPECT_EQ(doc.PathName(), Path("fresh.qvt"));
  EXPECT_FALSE(doc.IsModified());
}

}  // namespace
