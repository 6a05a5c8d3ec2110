// The control-point store: lookup, the same-name rules of WritePoint byte for byte,
// the one atomic write, and the dialog's values and the export text.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "traverse/kzd/kzd_export.h"
#include "traverse/kzd/kzd_file.h"

namespace t = traverse;
using platform::Answer;

namespace {

std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbk(utf8).value(); }

// A fresh folder for files of one test.
struct TempDir {
  TempDir() {
    char tmpl[] = "/tmp/kzd_test_XXXXXX";
    path = ::mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("chmod -R u+w '" + path + "' && rm -rf '" + path + "'").c_str()); }
  std::string File(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

}  // namespace

TEST(KzdFindPoint, KeysAreTrimmedAndValuesSplit) {
  t::CKzdFile f;
  f.LoadBytes(Gbk("P1 ,100.0000,200.0000,,桩\r\nP2,1.5,2.5\r\nP3\r\n,9,9\r\np4,7,7\nP2,8,8\r\n"));
  std::vector<std::string> v;
  ASSERT_TRUE(f.FindPoint("P1", v));
  EXPECT_EQ(v, (std::vector<std::string>{"100.0000", "200.0000", "", "桩"}));
  ASSERT_TRUE(f.FindPoint("P2", v));  // the first line of a name
  EXPECT_EQ(v, (std::vector<std::string>{"1.5", "2.5"}));
  ASSERT_TRUE(f.FindPoint("P3", v));  // a line without a comma is all key
  EXPECT_TRUE(v.empty());
  EXPECT_FALSE(f.FindPoint("P4", v));  // keys are case-sensitive
  EXPECT_FALSE(f.FindPoint("", v));    // an empty name never matches the keyless line
  EXPECT_FALSE(f.FindPoint("P5", v));
}

// Store before, one point written under a policy with scripted answers, store after.
struct WriteCase {
  const char* what;
  std::string before;
  const char* name;
  const char* line;
  int policy;
  std::vector<Answer> answers;
  std::string after;
  bool result;
  int questions;
};

TEST(KzdWritePoint, CasesByteForByte) {
  const std::string old = "A,1.0000,2.0000,,\r\n";
  // Lines nobody changed keep their bytes: an LF-only end, bytes that are not GBK.
  const std::string tail = "Z,5.0000,6.0000,7.0000,\xff\xfe\r\nY,1,1\n";
  const std::vector<WriteCase> cases = {
      {"empty store", "", "P1", "P1,1.0000,2.0000,,\n", 0, {}, "P1,1.0000,2.0000,,\r\n", true, 0},
      {"appended", old, "B", "B,3.0000,4.0000,,\n", 0, {}, old + "B,3.0000,4.0000,,\r\n", true, 0},
      {"last line without line end", "A,1.0000,2.0000,,", "B", "B,3,4,,\n", 0, {}, "A,1.0000,2.0000,,\r\nB,3,4,,\r\n",
       true, 0},
      {"last line ends in CR only", "A,1,2,,\r", "B", "B,3,4,,\n", 0, {}, "A,1,2,,\r\nB,3,4,,\r\n", true, 0},
      {"identical line", old + tail, "A", "A,1.0000,2.0000,,\n", 0, {}, old + tail, true, 0},
      {"identical in an LF-only store", "A,1,2,,\nB,3,4,,\n", "B", "B,3,4,,\n", 0, {}, "A,1,2,,\nB,3,4,,\n", true, 0},
      {"more complete, asked, Yes", old + tail, "A", "A,1.0000,2.0000,3.0000,\n", 0, {Answer::Yes},
       "A,1.0000,2.0000,3.0000,\r\n" + tail, true, 1},
      {"more complete, asked, No", old + tail, "A", "A,1.0000,2.0000,3.0000,\n", 0, {Answer::No}, old + tail, false,
       1},
      {"more complete under keep all overwrites", old + tail, "A", "A,1.0000,2.0000,3.0000,\n", 2, {},
       "A,1.0000,2.0000,3.0000,\r\n" + tail, true, 0},
      {"less complete under overwrite all keeps", "A,1.0000,2.0000,3.0000,\r\n" + tail, "A", "A,1.0000,2.0000,,\n", 1,
       {}, "A,1.0000,2.0000,3.0000,\r\n" + tail, false, 0},
      {"less complete, asked, Yes", "A,1.0000,2.0000,3.0000,\r\n" + tail, "A", "A,1.0000,2.0000,,\n", 0,
       {Answer::Yes}, old + tail, true, 1},
      {"different under overwrite all", old + tail, "A", "A,9.0000,9.0000,,\n", 1, {}, "A,9.0000,9.0000,,\r\n" + tail,
       true, 0},
      {"different under keep all", old + tail, "A", "A,9.0000,9.0000,,\n", 2, {}, old + tail, false, 0},
      {"different, asked, No", old + tail, "A", "A,9.0000,9.0000,,\n", 0, {Answer::No}, old + tail, false, 1},
      {"shorter line in the middle, tail kept", tail + Gbk("A,1.23456789,2.0000,,备注很长\r\n") + tail, "A",
       "A,1.0000,2.0000,,\n", 1, {}, tail + old + tail, true, 0},
      {"first of two lines of a name", old + old, "A", "A,9,9,,\n", 1, {}, "A,9,9,,\r\n" + old, true, 0},
      {"trimmed key matches", "A ,1,2,,\r\n", "A", "A,1,2,3,\n", 1, {}, "A,1,2,3,\r\n", true, 0},
      {"names are case-sensitive", old, "a", "a,1.0000,2.0000,,\n", 0, {}, old + "a,1.0000,2.0000,,\r\n", true, 0},
      {"empty name", old, "", ",1,2,,\n", 0, {}, old, false, 0},
      {"Chinese names in GBK", Gbk("导1,1,2,,\r\n"), "导1", "导1,1,2,3,\n", 1, {}, Gbk("导1,1,2,3,\r\n"), true, 0},
      // Empty lines are kept byte for byte, also after a replaced or a last line.
      {"empty lines around a replaced line", "\r\n\nA,1,2,,\n\r\n\nB,3,4,,\r\n\r\n", "A", "A,1,2,3,\n", 1, {},
       "\r\n\nA,1,2,3,\r\n\r\n\nB,3,4,,\r\n\r\n", true, 0},
      {"appended after empty lines", "A,1,2,,\r\n\n\r\n", "B", "B,3,4,,\n", 0, {}, "A,1,2,,\r\n\n\r\nB,3,4,,\r\n",
       true, 0},
      {"appended after an empty CR-ended last line", "A,1,2,,\r\n\r", "B", "B,3,4,,\n", 0, {},
       "A,1,2,,\r\n\r\nB,3,4,,\r\n", true, 0},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.what);
    platform::FakeMessagePort messages;
    for (Answer a : c.answers) messages.Script({a});
    t::CKzdFile f;
    f.LoadBytes(c.before);
    f.m_nAnswer = c.policy == 1 ? 6 : c.policy == 2 ? 7 : 0;
    EXPECT_EQ(f.WritePoint(c.name, c.line), c.result);
    EXPECT_EQ(f.Bytes(), c.after);
    EXPECT_EQ(static_cast<int>(messages.events.size()), c.questions);
  }
}

// A store of bare line ends costs its bytes, not a line record each, and still
// writes back as it was read.
TEST(KzdOpen, EmptyLinesCostNothing) {
  std::string bytes;
  for (int i = 0; i < (4 << 20); ++i) bytes += i % 3 ? "\n" : "\r\n";
  bytes += "GP01,1,2,3,\r\n";
  bytes += std::string(std::size_t(4) << 20, '\n');
  t::CKzdFile f;
  f.LoadBytes(bytes);
  EXPECT_EQ(f.LineCount(), 2u);
  std::vector<std::string> values;
  EXPECT_TRUE(f.FindPoint("GP01", values));
  EXPECT_TRUE(f.Bytes() == bytes);
}

TEST(KzdWritePoint, QuestionsNameThePointAndShowBothLines) {
  struct Q {
    std::string before, line, text;
  };
  const std::vector<Q> qs = {
      {"P1,1,2,,\r\n", "P1,1,2,3,\n",
       "“P1”  点已存在，但现在的数据比原有的数据全。\n是否覆盖原有的数据？\n原有的数据：P1,1,2,,\n现在的数据：P1,1,2,3,\n"},
      {"P1,1,2,3,\r\n", "P1,1,2,,\n",
       "“P1”  点已存在，但现在的数据不如原有的数据全，\n是否覆盖原有的数据？\n原有的数据：P1,1,2,3,\n现在的数据：P1,1,2,,\n"},
      {"P1,1,2,,\r\n", "P1,5,6,,\n", "“P1”  点已存在，\n是否覆盖？\n原有的数据：P1,1,2,,\n现在的数据：P1,5,6,,\n"},
  };
  for (const Q& q : qs) {
    platform::FakeMessagePort messages;
    t::CKzdFile f;
    f.LoadBytes(q.before);
    f.WritePoint("P1", q.line);
    ASSERT_EQ(messages.events.size(), 1u);
    EXPECT_EQ(messages.events[0].kind, platform::FakeMessagePort::Event::YesNo);
    EXPECT_EQ(messages.events[0].icon, platform::MsgIcon::Question);
    EXPECT_EQ(messages.events[0].text, q.text);
  }
}

TEST(KzdWritePoint, AllPointsOfACommandInOneWrite) {
  TempDir dir;
  const std::string path = dir.File("net.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(path, "A,1,2,,"));  // hand-edited: no final line end
  platform::FakeMessagePort messages;
  t::CKzdFile f;
  ASSERT_TRUE(f.OpenForWrite(path, t::kKzdOverwriteAll));
  EXPECT_TRUE(f.WritePoint("B", "B,3,4,,\n"));
  EXPECT_TRUE(f.WritePoint("A", "A,1,2,5,\n"));
  EXPECT_TRUE(f.WritePoint("B", "B,3,4,,\n"));  // the same point from a second row
  // Nothing reaches the disk before Close.
  EXPECT_EQ(platform::ReadFileBytes(path).value(), "A,1,2,,");
  ASSERT_TRUE(f.Close());
  EXPECT_EQ(platform::ReadFileBytes(path).value(), "A,1,2,5,\r\nB,3,4,,\r\n");
  EXPECT_TRUE(messages.events.empty());

  // A store that gains nothing is not rewritten; a missing one is created.
  ASSERT_TRUE(f.OpenForWrite(path, 0));
  EXPECT_TRUE(f.WritePoint("A", "A,1,2,5,\n"));
  ASSERT_TRUE(::chmod(path.c_str(), 0444) == 0);
  EXPECT_TRUE(f.Close());
  const std::string fresh = dir.File("new.kzd");
  ASSERT_TRUE(f.OpenForWrite(fresh, 0));
  ASSERT_TRUE(f.Close());
  EXPECT_EQ(platform::ReadFileBytes(fresh).value(), "");
}

TEST(KzdWritePoint, ReadOnlyStoreKeepsItsBytesAndSaysWhy) {
  TempDir dir;
  const std::string path = dir.File("ro.kzd");
  const std::string bytes = "A,1,2,,\r\n";
  ASSERT_TRUE(platform::WriteFileAtomic(path, bytes));
  {
    // Read-only before the command: refused at once, no question asked.
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    platform::FakeMessagePort messages;
    t::CKzdFile f;
    EXPECT_FALSE(f.OpenForWrite(path, 0));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].find("ro.kzd"), std::string::npos);
    EXPECT_NE(messages.Messages()[0].find("没有权限"), std::string::npos) << messages.Messages()[0];
  }
  {
    // Read-only by the time the points are written: the write fails, the store is intact.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    platform::FakeMessagePort messages;
    t::CKzdFile f;
    ASSERT_TRUE(f.OpenForWrite(path, t::kKzdOverwriteAll));
    EXPECT_TRUE(f.WritePoint("A", "A,9,9,,\n"));
    EXPECT_TRUE(f.WritePoint("B", "B,9,9,,\n"));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(f.Close());
    EXPECT_EQ(platform::ReadFileBytes(path).value(), bytes);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].rfind("控制点文件“" + path + "”写入失败", 0), 0u) << messages.Messages()[0];
  }
  {
    // A folder that does not exist: nothing to create the store in.
    platform::FakeMessagePort messages;
    t::CKzdFile f;
    ASSERT_TRUE(f.OpenForWrite(dir.File("no/such/x.kzd"), 0));
    f.WritePoint("A", "A,1,2,,\n");
    EXPECT_FALSE(f.Close());
    EXPECT_EQ(messages.Messages().size(), 1u);
  }
}

// Two programs store points into one store at once: the second waits for the first
// and adds to what it wrote, so both points are kept, whichever store existed.
TEST(KzdWritePoint, TwoProgramsStoringAtOnceKeepBothPoints) {
  for (const bool existed : {true, false}) {
    SCOPED_TRACE(existed ? "store existed" : "new store");
    TempDir dir;
    const std::string path = dir.File("shared.kzd");
    if (existed) {
      ASSERT_TRUE(platform::WriteFileAtomic(path, "K0,0,0,,\r\n"));
    }
    platform::FakeMessagePort messages;
    // The other program starts first, so it shares no open file with this one.
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
      ::close(go[1]);
      char c;
      if (::read(go[0], &c, 1) != 1) ::_exit(2);
      t::CKzdFile second;
      const bool ok = second.OpenForWrite(path, t::kKzdOverwriteAll) && second.WritePoint("P2", "P2,2,2,,\n") &&
                      second.Close();
      ::_exit(ok ? 0 : 1);
    }
    ::close(go[0]);
    t::CKzdFile first;
    ASSERT_TRUE(first.OpenForWrite(path, t::kKzdOverwriteAll));
    ASSERT_TRUE(first.WritePoint("P1", "P1,1,1,,\n"));
    ASSERT_EQ(::write(go[1], "x", 1), 1);
    ::close(go[1]);
    // The other program is at its read now, while this one still changes the store.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(first.Close());
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(platform::ReadFileBytes(path).value(), (existed ? "K0,0,0,,\r\n" : "") + std::string("P1,1,1,,\r\nP2,2,2,,\r\n"));
    EXPECT_TRUE(messages.events.empty());
  }
}

// A store another program keeps locked for too long is not written; it says so.
TEST(KzdWritePoint, StoreHeldTooLongByAnotherProgramIsLeftAlone) {
  TempDir dir;
  const std::string path = dir.File("held.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(path, "A,1,2,,\r\n"));
  const int held = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  platform::FakeMessagePort messages;
  t::CKzdFile f;
  f.m_nLockWaitMs = 100;
  EXPECT_FALSE(f.OpenForWrite(path, t::kKzdOverwriteAll));
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(messages.Messages(), (std::vector<std::string>{"控制点文件“" + path + "”正被另一个程序写入，请稍后再试。"}));
  ::close(held);
  EXPECT_EQ(platform::ReadFileBytes(path).value(), "A,1,2,,\r\n");
  // Released, the store is written as usual.
  ASSERT_TRUE(f.OpenForWrite(path, t::kKzdOverwriteAll));
  EXPECT_TRUE(f.WritePoint("B", "B,3,4,,\n"));
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(platform::ReadFileBytes(path).value(), "A,1,2,,\r\nB,3,4,,\r\n");
}

TEST(KzdOpen, OversizedStoreIsRefusedUnread) {
  TempDir dir;
  const std::string path = dir.File("huge.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(path, "A,1,2,,\r\n"));
  // One byte beyond the bound (a sparse file: nothing is written to disk).
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(t::CKzdFile::kMaxBytes + 1)), 0);
  platform::FakeMessagePort messages;
  t::CKzdFile f;
  EXPECT_FALSE(f.OpenForRead(path));
  EXPECT_FALSE(f.OpenForWrite(path, t::kKzdOverwriteAll));
  ASSERT_EQ(messages.Messages().size(), 2u);
  EXPECT_NE(messages.Messages()[0].find("文件过大"), std::string::npos) << messages.Messages()[0];
  EXPECT_EQ(f.LineCount(), 0u);
}

TEST(KzdOpen, ChoosersAndProfile) {
  TempDir dir;
  const std::string path = dir.File("c.kzd");
  ASSERT_TRUE(platform::WriteFileAtomic(path, "K1,1,2,3,\r\n"));
  platform::ScopedMemoryServices services;
  platform::FakeMessagePort messages;
  services.profile.SetString("USER", "控制点文件名称", dir.File("old.kzd"));
  t::CKzdFile f;
  // Cancel: nothing opened, the profile unchanged.
  EXPECT_FALSE(f.OpenForRead(""));
  EXPECT_EQ(services.files.lastOptions.startFolder, dir.path);
  EXPECT_EQ(services.files.lastOptions.defaultSuffix, "kzd");
  services.files.answers = {path};
  ASSERT_TRUE(f.OpenForRead(""));
  EXPECT_EQ(services.profile.GetString("USER", "控制点文件名称", ""), path);
  std::vector<std::string> v;
  EXPECT_TRUE(f.FindPoint("K1", v));
  // The store is added to, never replaced: no overwrite prompt.
  services.files.answers = {dir.File("w.kzd")};
  ASSERT_TRUE(f.OpenForWrite("", 0));
  EXPECT_FALSE(services.files.lastOptions.overwritePrompt);
  EXPECT_EQ(services.profile.GetString("USER", "控制点文件名称", ""), dir.File("w.kzd"));
  // A missing store cannot be read.
  EXPECT_FALSE(f.OpenForRead(dir.File("none.kzd")));
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_NE(messages.Messages()[0].find("none.kzd"), std::string::npos);
}

// ---- the dialog's values ------------------------------------------------------------

TEST(KzdForm, ControlsFollowTheMode) {
  const int exportIds[] = {t::kIdExtension, t::kIdCountLine,  t::kIdSeparator, t::kIdExportPath,
                           t::kIdBrowseOther, t::kIdSequence, t::kIdKnownCode, t::kIdOtherCode};
  t::CExportKzdForm form;
  for (int mode : {t::kKzdRead, t::kKzdStore, t::kKzdExport}) {
    SCOPED_TRACE(mode);
    form.mode = mode;
    EXPECT_EQ(form.IsEnabled(t::kIdKzdPath), mode != t::kKzdExport);
    EXPECT_EQ(form.IsEnabled(t::kIdBrowseKzd), mode != t::kKzdExport);
    EXPECT_EQ(form.IsEnabled(t::kIdPolicy), mode == t::kKzdStore);
    for (int id : exportIds) EXPECT_EQ(form.IsEnabled(id), mode == t::kKzdExport) << id;
  }
}

TEST(KzdForm, OkGathersEveryMessage) {
  struct C {
    int mode;
    const char* kzd;
    const char* ext;
    const char* path;
    const char* sequence;
    const char* messages;
  };
  const C cases[] = {
      {0, "/d/a.kzd", "", "", "", ""},
      {1, "/d/a.txt", "dat", "", "DM", "文件路径不正确\n"},
      {0, "", "dat", "", "DM", "文件路径不正确\n"},
      {2, "", "dat", "/d/out.dat", "DM,X,Y", ""},
      {2, "", ".dat", "/d/out.dat", "DM", ""},  // the extension loses its dot
      {2, "", "..", "/d/out", "", "文件后缀名不能为空\n数据序列不能为空\n"},
      {2, "", "dat", "/d/out.txt", " ", "文件路径不正确\n数据序列不能为空\n"},
      // Items the export does not know are named, not skipped into empty lines.
      {2, "", "dat", "/d/out.dat", "DM，X，Y", "数据序列中的“DM，X，Y”不是可输出的项（DM、BM、X、Y、H）\n"},
      {2, "", "dat", "/d/out.dat", "DM,x,y", "数据序列中的“x”不是可输出的项（DM、BM、X、Y、H）\n"},
      {2, "", "dat", "/d/out.dat", " DM , X ,Y,", ""},
  };
  for (const C& c : cases) {
    SCOPED_TRACE(c.messages);
    t::CExportKzdForm form;
    form.mode = c.mode;
    form.kzdPath = c.kzd;
    form.extension = c.ext;
    form.exportPath = c.path;
    form.sequence = c.sequence;
    EXPECT_EQ(form.Check(), c.messages);
  }
}

TEST(KzdForm, ProfileKeysAndChoosers) {
  platform::ScopedMemoryServices services;
  platform::FakeMessagePort messages;
  t::CExportKzdForm form;
  form.LoadProfile(services.profile);
  EXPECT_EQ(form.extension, "dat");
  EXPECT_EQ(form.sequence, "DM,BM,X,Y,H");
  EXPECT_FALSE(form.countLine);
  EXPECT_EQ(form.separator, 0);

  form.mode = t::kKzdExport;
  form.extension = ".csv";
  form.countLine = true;
  form.separator = t::kKzdTab;
  form.sequence = "DM,X,Y";
  form.exportPath = "/d/a.csv";
  form.kzdPath = "/d/x.kzd";
  ASSERT_TRUE(form.Accept());
  EXPECT_EQ(services.profile.GetString("USER", "OtherExt", ""), "csv");
  EXPECT_EQ(services.profile.GetInt("USER", "OtherBZdsh", 0), 1);
  EXPECT_EQ(services.profile.GetInt("USER", "OtherFgFsh", 0), 3);
  EXPECT_EQ(services.profile.GetString("USER", "OtherDataXl", ""), "DM,X,Y");
  // OK never writes the store path; only the chooser does.
  EXPECT_EQ(services.profile.GetString("USER", "控制点文件名称", "none"), "none");
  t::CExportKzdForm again;
  again.LoadProfile(services.profile);
  EXPECT_EQ(again.extension, "csv");
  EXPECT_EQ(again.separator, t::kKzdTab);

  services.files.answers = {"/d/picked.kzd"};
  ASSERT_TRUE(form.BrowseKzdFile());
  EXPECT_EQ(form.kzdPath, "/d/picked.kzd");
  EXPECT_EQ(services.profile.GetString("USER", "控制点文件名称", ""), "/d/picked.kzd");
  EXPECT_FALSE(services.files.lastOptions.overwritePrompt);

  form.extension = ".";
  EXPECT_FALSE(form.BrowseOtherFile());
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"请先填写文件后缀名！"});
  form.extension = ".dat";
  services.files.answers = {"/d/out.dat"};
  ASSERT_TRUE(form.BrowseOtherFile());
  EXPECT_EQ(form.exportPath, "/d/out.dat");
  EXPECT_EQ(services.files.lastOptions.defaultSuffix, "dat");
  EXPECT_TRUE(services.files.lastOptions.overwritePrompt);

  // A refused OK: one box with the messages, the profile untouched.
  form.sequence = "";
  messages.Clear();
  EXPECT_FALSE(form.Accept());
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"数据序列不能为空\n"});
  EXPECT_EQ(services.profile.GetString("USER", "OtherDataXl", ""), "DM,X,Y");
}

// ---- the export text ---------------------------------------------------------------

namespace {

std::vector<t::KzdExportPoint> Points() {
  return {{"A", true, 3381522.416, 512384.9024, false, 0},
          {"B", true, 3381307.2051, 512660.318, true, 41.562},
          {"导1", false, 3381100.00004, 512700.5, true, -0.00001},
          {"B", true, 3381307.2051, 512660.318, true, 41.562}};  // the closing row again
}

}  // namespace

TEST(KzdExport, SequencesSeparatorsAndCount) {
  struct C {
    const char* sequence;
    int separator;
    bool count;
    std::string text;
  };
  const C cases[] = {
      {"DM,X,Y", t::kKzdBlank, false,
       "A 3381522.4160 512384.9024\nB 3381307.2051 512660.3180\n导1 3381100.0000 512700.5000\n"},
      {"DM,BM,X,Y,H", t::kKzdComma, true,
       "3\nA,K,3381522.4160,512384.9024,0.0000\nB,K,3381307.2051,512660.3180,41.5620\n"
       "导1,P,3381100.0000,512700.5000,0.0000\n"},
      {" Y , X ", t::kKzdSemicolon, false, "512384.9024;3381522.4160\n512660.3180;3381307.2051\n512700.5000;3381100.0000\n"},
      {"DM,Z,dm,H", t::kKzdTab, false, "A\t0.0000\nB\t41.5620\n导1\t0.0000\n"},  // unknown items give nothing
      {"DM,H", t::kKzdLineBreak, true, "3\nA\n0.0000\nB\n41.5620\n导1\n0.0000\n"},
  };
  for (const C& c : cases) {
    SCOPED_TRACE(c.sequence);
    t::CExportKzdForm form;
    form.sequence = c.sequence;
    form.separator = c.separator;
    form.countLine = c.count;
    form.knownCode = "K";
    form.otherCode = "P";
    const t::KzdExportResult r = t::BuildKzdExport(form, Points());
    EXPECT_EQ(r.refused, "");
    EXPECT_EQ(r.records, 3);
    EXPECT_EQ(r.text, c.text);
  }
}

TEST(KzdExport, SeparatorInANameOrCodeIsRefused) {
  platform::FakeMessagePort messages;
  TempDir dir;
  t::CExportKzdForm form;
  form.sequence = "DM,X,Y";
  form.separator = t::kKzdBlank;
  form.exportPath = dir.File("o.dat");
  std::vector<t::KzdExportPoint> pts = Points();
  pts[2].name = "导 1";
  EXPECT_FALSE(t::WriteKzdExport(form, pts));
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"点名“导 1”含有分隔符（空格），无法输出！"});
  EXPECT_FALSE(platform::ReadFileBytes(form.exportPath).has_value());
  // Not written, the name is no problem; a code is.
  form.sequence = "BM,X,Y";
  form.knownCode = "G 1";
  messages.Clear();
  EXPECT_FALSE(t::WriteKzdExport(form, pts));
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"编码“G 1”含有分隔符（空格），无法输出！"});
  form.knownCode = "G1";
  EXPECT_TRUE(t::WriteKzdExport(form, pts));
}

TEST(KzdExport, FileIsGbkWithCrLfWhateverTheLocale) {
  const char* de = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  TempDir dir;
  platform::FakeMessagePort messages;
  t::CExportKzdForm form;
  form.sequence = "DM,X,Y,H";
  form.countLine = true;
  form.exportPath = dir.File("o.dat");
  ASSERT_TRUE(t::WriteKzdExport(form, Points()));
  EXPECT_EQ(platform::ReadFileBytes(form.exportPath).value(),
            Gbk("3\r\nA,3381522.4160,512384.9024,0.0000\r\nB,3381307.2051,512660.3180,41.5620\r\n"
                "导1,3381100.0000,512700.5000,0.0000\r\n"));
  // A folder that does not exist: a message, no file.
  form.exportPath = dir.File("none/o.dat");
  EXPECT_FALSE(t::WriteKzdExport(form, Points()));
  EXPECT_EQ(messages.Messages().size(), 1u);
  if (de) std::setlocale(LC_NUMERIC, "C");
}
