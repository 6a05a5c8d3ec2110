// Damaged jobs with the real section readers: a cut file opens but says what is
// missing, and its first save asks before replacing it; what the readers cannot hold
// is named or refused, never dropped without a word.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/doc.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "records/gcjl_view.h"
#include "records/records_docsection.h"
#include "tools/aux_section.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"

namespace {

namespace fs = std::filesystem;
using platform::Answer;

std::string Gbk(const std::string& utf8) { return *platform::Utf8ToGbk(utf8); }

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

std::string ReadBytes(const std::string& path) { return platform::ReadFileBytes(path).value_or("<missing>"); }

std::string Example(const std::string& name) {
  return platform::ReadFileBytes(std::string(QUINTAR_SOURCE_DIR) + "/examples/" + name).value_or("");
}

class DamagedJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    dir = base / ("quintar_damaged_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    app::DocParts p;
    p.records = &recordsSection;
    p.traverse = &traverseSection;
    p.tools = &toolsSection;
    doc.SetParts(std::move(p));
    doc.OnNewDocument();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  // The job as it would be saved now.
  std::vector<std::string> Job() {
    app::LineWriter out;
    recordsSection.WriteSection(out);
    traverseSection.WriteSection(out);
    toolsSection.WriteSection(out);
    return out.Lines();
  }

  fs::path dir;
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  CGcJlView records;
  CDxView traverse;
  CAuxView tools;
  records::CRecordsDocSection recordsSection{records};
  traverse::CTraverseDocSection traverseSection{traverse};
  tools::CToolsDocSection toolsSection{tools};
  app::CVornDoc doc;
};

// Every prefix of a real job that loses something says so; the whole file and the
// file without its last line end open silently. A cut exactly after an inner
// section's closing line cannot be told from a job without the later sections.
TEST_F(DamagedJobTest, EveryCutThatLosesDataWarns) {
  for (const char* name : {"field-books.qvt", "survey-tools.qvt", "closed-traverse.qvt"}) {
    SCOPED_TRACE(name);
    const std::string whole = Example(name);
    ASSERT_FALSE(whole.empty());
    const std::string closing = std::string(28, '-');
    const std::size_t lastClose = whole.rfind(closing) + closing.size();
    // Ends of inner closing lines (before the last): a cut there, or inside their
    // line end, keeps whole sections only.
    std::vector<std::size_t> inner;
    for (std::size_t at = whole.find("\n" + closing); at != std::string::npos && at + 1 + closing.size() < lastClose;
         at = whole.find("\n" + closing, at + 1))
      inner.push_back(at + 1 + closing.size());
    int warned = 0;
    for (std::size_t cut = 1; cut <= whole.size(); ++cut) {
      const std::string path = Path("cut.qvt");
      WriteBytes(path, whole.substr(0, cut));
      msg.Clear();
      if (!doc.OnOpenDocument(path)) {
        // Only a header cut short is refused.
        ASSERT_EQ(msg.Texts(), (std::vector<std::string>{"不是Quintar当前版本文件！"})) << cut;
        ASSERT_LT(cut, whole.find('\n'));
        continue;
      }
      bool silentOk = cut >= lastClose;
      for (std::size_t at : inner) silentOk |= cut >= at && cut <= at + 2;
      if (silentOk) {
        EXPECT_TRUE(msg.Texts().empty()) << cut;
        EXPECT_FALSE(doc.ReadIncomplete()) << cut;
        continue;
      }
      // Once; a character cut in half may add the message about bytes that are no GBK.
      int incomplete = 0;
      for (const std::string& m : msg.Messages())
        incomplete += m.rfind("文件不完整（", 0) == 0 && m.find("），可能已损坏。") != std::string::npos;
      EXPECT_EQ(incomplete, 1) << cut;
      EXPECT_TRUE(doc.ReadIncomplete()) << cut;
      ++warned;
    }
    EXPECT_GT(warned, 0);
  }
}

TEST_F(DamagedJobTest, FirstSaveOfACutJobAsks) {
  const std::string whole = Example("closed-traverse.qvt");
  // Cut inside the last data row, which loses its last characters.
  const std::size_t dataEnd = whole.rfind(Gbk("[数据结束]"));
  ASSERT_NE(dataEnd, std::string::npos);
  const std::string cut = whole.substr(0, dataEnd - 5);
  WriteBytes(Path("job.qvt"), cut);
  ASSERT_TRUE(doc.OnOpenDocument(Path("job.qvt")));
  EXPECT_EQ(msg.Messages(), (std::vector<std::string>{"文件不完整（平差计算部分缺少结束行），可能已损坏。"}));

  // No: the file stays as it was, nothing else is offered, the job stays modified.
  doc.SetModifiedFlag();
  msg.Clear();
  msg.Script({Answer::No});
  EXPECT_FALSE(doc.FileSave());
  ASSERT_EQ(msg.Texts().size(), 1u);
  EXPECT_EQ(msg.events[0].kind, platform::FakeMessagePort::Event::YesNo);
  EXPECT_NE(msg.Texts()[0].find("平差计算部分缺少结束行"), std::string::npos) << msg.Texts()[0];
  EXPECT_EQ(ReadBytes(Path("job.qvt")), cut);
  EXPECT_TRUE(doc.IsModified());

  // Save As elsewhere replaces nothing: no question, and the job is whole from then on.
  msg.Clear();
  ASSERT_TRUE(doc.OnSaveDocument(Path("copy.qvt")));
  EXPECT_TRUE(msg.Texts().empty());
  EXPECT_FALSE(doc.ReadIncomplete());

  // Yes writes it; only the first save asks.
  ASSERT_TRUE(doc.OnOpenDocument(Path("job.qvt")));
  msg.Clear();
  msg.Script({Answer::Yes});
  ASSERT_TRUE(doc.FileSave());
  EXPECT_EQ(msg.Texts().size(), 1u);
  EXPECT_NE(ReadBytes(Path("job.qvt")), cut);
  msg.Clear();
  ASSERT_TRUE(doc.FileSave());
  EXPECT_TRUE(msg.Texts().empty());
  // The saved job is whole.
  ASSERT_TRUE(doc.OnOpenDocument(Path("job.qvt")));
  EXPECT_TRUE(msg.Texts().empty());
}

// A scheme value the job cannot take as it stands: the job opens with the value used
// instead, says so once, and the first save over the file asks, as for a cut file.
TEST_F(DamagedJobTest, SchemeValuesNotTakenAreNamedAndTheFirstSaveAsks) {
  std::string whole = Example("closed-traverse.qvt");
  const std::pair<std::string, std::string> bad[] = {{"测角中误差:", "abc"}, {"导线类型:", "2.5x"}};
  for (const auto& [key, text] : bad) {
    const std::size_t at = whole.find(Gbk(key));
    ASSERT_NE(at, std::string::npos) << key;
    whole.replace(at, whole.find("\r\n", at) - at, Gbk(key + text));
  }
  WriteBytes(Path("job.qvt"), whole);
  ASSERT_TRUE(doc.OnOpenDocument(Path("job.qvt")));
  EXPECT_EQ(msg.Messages(), (std::vector<std::string>{"计算方案中的“导线类型”不是整数（2.5x），已改用0。\n"
                                                      "计算方案中的“测角中误差”不是数字（abc），已改用5。"}));
  EXPECT_DOUBLE_EQ(traverse.m_dAngleRms, 5.0);
  EXPECT_EQ(traverse.m_nTraverseType, 0);
  EXPECT_TRUE(doc.ReadIncomplete());
  msg.Clear();
  EXPECT_FALSE(doc.FileSave());  // answered No
  ASSERT_EQ(msg.Texts().size(), 1u);
  EXPECT_NE(msg.Texts()[0].find("“测角中误差”不是数字（abc）"), std::string::npos) << msg.Texts()[0];
  EXPECT_EQ(ReadBytes(Path("job.qvt")), whole);
  // Saved elsewhere, the job reopens without a word.
  ASSERT_TRUE(doc.OnSaveDocument(Path("saved.qvt")));
  msg.Clear();
  ASSERT_TRUE(doc.OnOpenDocument(Path("saved.qvt")));
  EXPECT_TRUE(msg.Texts().empty());
  EXPECT_FALSE(doc.ReadIncomplete());
}

// A book holds at most 990 (traverse) or 1000 pages: the others are named on open and
// the first save asks.
TEST_F(DamagedJobTest, PagesBeyondABookAreNamed) {
  std::string pages;
  for (int i = 0; i < 1003; ++i) pages += "第" + std::to_string(i + 1) + "页\r\n";
  WriteBytes(Path("books.qvt"), Gbk("Quintar计算文件\r\n520\r\n----------观测记录----------\r\n[水平角记录]\r\n表格行数:1\r\n"
                                    "[PAGE]\r\n" + pages + "PAGEEND\r\nEND\r\n" + std::string(28, '-') + "\r\n"));
  ASSERT_TRUE(doc.OnOpenDocument(Path("books.qvt")));
  EXPECT_EQ(msg.Messages(), (std::vector<std::string>{"水平角记录有3页未读入（最多可有1000页），保存后将丢失。"}));
  EXPECT_TRUE(doc.ReadIncomplete());
  msg.Clear();
  EXPECT_FALSE(doc.FileSave());  // answered No
  EXPECT_EQ(msg.Texts().size(), 1u);
}

// Rows beyond what a job holds refuse the open: nothing is read in part, and the job
// on screen stays.
TEST_F(DamagedJobTest, RowsBeyondTheCapRefuseTheOpen) {
  const std::size_t rows[] = {traverse::kMaxSectionRows, traverse::kMaxSectionRows + 1};
  for (std::size_t n : rows) {
    SCOPED_TRACE(n);
    traverse.m_arrUnit.resize(2);
    traverse.m_arrUnit[0].name = "K1";
    const std::vector<std::string> before = Job();
    std::string file = "Quintar计算文件\r\n520\r\n----------Pelmor----------\r\n[数据]\r\n";
    for (std::size_t i = 0; i < n; ++i) file += "P" + std::to_string(i) + ",90\r\n";
    WriteBytes(Path("big.qvt"), Gbk(file + "[数据结束]\r\n" + std::string(28, '-') + "\r\n"));
    msg.Clear();
    const bool opened = doc.OnOpenDocument(Path("big.qvt"));
    if (n <= traverse::kMaxSectionRows) {
      ASSERT_TRUE(opened);
      EXPECT_TRUE(msg.Texts().empty());
      EXPECT_EQ(traverse.m_arrUnit.size(), n);
      continue;
    }
    EXPECT_FALSE(opened);
    EXPECT_EQ(msg.Texts(), (std::vector<std::string>{"无法打开文件“" + Path("big.qvt") + "”。\n平差计算数据有" +
                                                     std::to_string(n) + "行，超过本程序能读入的" +
                                                     std::to_string(traverse::kMaxSectionRows) +
                                                     "行。\n为免丢失数据，文件未打开。"}));
    EXPECT_TRUE(Job() == before);
  }
}

}  // namespace
