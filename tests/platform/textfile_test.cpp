#include "platform/textfile.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

using namespace platform;
namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("qtf_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
  fs::path dir;
};

// Names in a folder that look like a save's temporary file.
std::vector<std::string> Temporaries(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().find(".tmp~") != std::string::npos) out.push_back(e.path().filename().string());
  return out;
}

void MakeOld(const fs::path& p) {
  fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(1));
}

TEST_F(TextFileTest, CrLfAndLfOnlyReadTheSame) {
  EXPECT_EQ(SplitGbkLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitGbkLines("a\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitGbkLines("a\n\nb\n", nullptr, 1), (std::vector<std::string>{"a", "", "b"}));
}

// Line ends and empty lines: LF, CR LF and, in bytes without LF, CR end a line; a run
// of empty lines keeps at most as many as the caller says can mean something.
TEST(SplitTextLines, LineEndsAndEmptyRuns) {
  using V = std::vector<std::string>;
  struct Case {
    const char* bytes;
    std::size_t keepEmpty;
    V lines;
  };
  const Case cases[] = {
      {"a\n\n\nb\n", 0, V{"a", "b"}},
      {"a\n\n\nb\n", 2, V{"a", "", "", "b"}},
      {"a\r\n\r\n\r\n\r\nb", 2, V{"a", "", "", "b"}},
      {"\n\na\n\nb\n\n", 1, V{"", "a", "", "b", ""}},
      {"a\rb\r\rc\r", 0, V{"a", "b", "c"}},       // CR-only line ends
      {"a\rb\r\rc", 5, V{"a", "b", "", "c"}},
      {"a\rb\nc", 0, V{"a\rb", "c"}},             // with LF about, a lone CR stays in its line
      {"\r\n\r\n", 0, V{}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(SplitGbkLines(c.bytes, nullptr, c.keepEmpty), c.lines);
  }
  // Damage counts the file's own lines, empty ones included.
  GbkDamage d;
  SplitGbkLines("a\n\n\n\xFF\n", &d);
  EXPECT_EQ(d.firstLine, 4);
  SplitTextLines("a\r\r\xC3\r", TextEncoding::Utf8, &d);
  EXPECT_EQ(d.firstLine, 3);
  EXPECT_EQ(SplitTextLines("点\n\xC3(\n", TextEncoding::Utf8, &d), (std::vector<std::string>{"点", "?("}));
}

// A file of bare line ends: the lines read stay few and small, whatever its size.
TEST(SplitTextLines, BareLineEndsStayBounded) {
  for (const std::string& unit : {std::string("\n"), std::string("\r\n"), std::string("\r")}) {
    std::string bytes;
    for (int i = 0; i < (8 << 20); ++i) bytes += unit;
    bytes += "x" + unit;
    const auto lines = SplitGbkLines(bytes, nullptr, 400);
    ASSERT_EQ(lines.size(), 401u);
    EXPECT_TRUE(lines.back() == "x");
    EXPECT_LE(lines.capacity(), 2 * lines.size() + 64);
  }
}

TEST(GuessTextEncoding, BomValidUtf8OrGbk) {
  std::size_t bom = 9;
  EXPECT_EQ(GuessTextEncoding("\xEF\xBB\xBF" "abc", &bom), TextEncoding::Utf8);
  EXPECT_EQ(bom, 3u);
  EXPECT_EQ(GuessTextEncoding("导线", &bom), TextEncoding::Utf8);
  EXPECT_EQ(bom, 0u);
  EXPECT_EQ(GuessTextEncoding("\xB5\xBC\xCF\xDF"), TextEncoding::Gbk);  // 导线 in GBK
  EXPECT_EQ(GuessTextEncoding("plain ascii"), TextEncoding::Gbk);
  EXPECT_EQ(GuessTextEncoding("\xED\xA0\x80"), TextEncoding::Gbk);  // a surrogate is no UTF-8
  EXPECT_TRUE(LooksLikeUtf16("\xFF\xFEQ\0"));
  EXPECT_TRUE(LooksLikeUtf16(std::string("Q\0u\0", 4)));
  EXPECT_FALSE(LooksLikeUtf16("Quintar\r\n"));
}

TEST_F(TextFileTest, EncodeWritesGbkWithCrLfAndReportsTheBadLine) {
  auto b = EncodeGbkLines({"点", "x"});
  ASSERT_TRUE(b);
  EXPECT_EQ(*b, std::string("\xB5\xE3\r\nx\r\n"));
  int line = 0;
  std::string ch;
  EXPECT_FALSE(EncodeGbkLines({"ok", "a😀"}, &line, &ch));
  EXPECT_EQ(line, 2);
  EXPECT_EQ(ch, "😀");
}

TEST_F(TextFileTest, AtomicWriteReplacesAndRoundTrips) {
  std::string p = (dir / "job.qvt").string();
  ASSERT_TRUE(WriteFileAtomic(p, "old"));
  ASSERT_TRUE(WriteFileAtomic(p, "new\r\n"));
  EXPECT_EQ(*ReadFileBytes(p), "new\r\n");
  EXPECT_TRUE(Temporaries(dir).empty());
}

TEST_F(TextFileTest, PiecewiseWriteTakesEffectOnlyOnCommit) {
  const std::string p = (dir / "t.dxf").string();
  ASSERT_TRUE(WriteFileAtomic(p, "old"));
  {
    CAtomicFile f;
    ASSERT_TRUE(f.Open(p));
    ASSERT_TRUE(f.Write("0\r\n"));
    EXPECT_EQ(*ReadFileBytes(p), "old") << "nothing replaced before the commit";
  }  // given up
  EXPECT_EQ(*ReadFileBytes(p), "old");
  EXPECT_TRUE(Temporaries(dir).empty());
  CAtomicFile f;
  ASSERT_TRUE(f.Open(p));
  ASSERT_TRUE(f.Write("0\r\n"));
  ASSERT_TRUE(f.Write("EOF\r\n"));
  ASSERT_TRUE(f.Commit());
  EXPECT_EQ(*ReadFileBytes(p), "0\r\nEOF\r\n");
  // A folder that is not there: every step refuses and the commit says why.
  CAtomicFile g;
  EXPECT_FALSE(g.Open((dir / "no" / "t.dxf").string()));
  EXPECT_FALSE(g.Write("x"));
  std::string err;
  EXPECT_FALSE(g.Commit(&err));
  EXPECT_NE(err.find("无法创建临时文件"), std::string::npos) << err;
}

TEST_F(TextFileTest, FailedWriteKeepsTheOldFile) {
  if (::geteuid() == 0) {
    // root ignores permissions; /dev/full gives a real write failure instead.
    std::string err;
    EXPECT_FALSE(WriteFileAtomic("/proc/no/such/dir/x", "data", &err));
    EXPECT_FALSE(err.empty());
    return;
  }
  std::string p = (dir / "job.qvt").string();
  ASSERT_TRUE(WriteFileAtomic(p, "old"));
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  std::string err;
  EXPECT_FALSE(WriteFileAtomic(p, "new", &err));
  EXPECT_FALSE(err.empty());
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_EQ(*ReadFileBytes(p), "old");
}

TEST_F(TextFileTest, MissingFileIsNotAnEmptyFile) {
  EXPECT_FALSE(ReadFileBytes((dir / "none").string()));
}

// Saving onto a link writes the file it names; the link stays a link.
TEST_F(TextFileTest, SaveThroughSymbolicLinks) {
  fs::create_directories(dir / "real");
  const std::string real = (dir / "real" / "job.qvt").string();
  ASSERT_TRUE(WriteFileAtomic(real, "old"));
  struct Case {
    const char* link;
    std::string target;  // as stored in the link
  } cases[] = {
      {"abs.qvt", real},
      {"rel.qvt", "real/job.qvt"},
      {"chain.qvt", "abs.qvt"},  // a link to a link
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.link);
    const std::string link = (dir / c.link).string();
    fs::create_symlink(c.target, link);
    ASSERT_TRUE(WriteFileAtomic(link, std::string("via ") + c.link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(*ReadFileBytes(real), std::string("via ") + c.link);
    EXPECT_TRUE(Temporaries(dir / "real").empty());
  }
  // A dangling link creates the file it names.
  const std::string dangling = (dir / "dangling.qvt").string();
  fs::create_symlink("real/fresh.qvt", dangling);
  ASSERT_TRUE(WriteFileAtomic(dangling, "fresh"));
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(*ReadFileBytes((dir / "real" / "fresh.qvt").string()), "fresh");
  // A loop of links is refused.
  fs::create_symlink("loop2", dir / "loop1");
  fs::create_symlink("loop1", dir / "loop2");
  std::string err;
  EXPECT_FALSE(WriteFileAtomic((dir / "loop1").string(), "x", &err));
  EXPECT_EQ(err, "符号链接过多或成环");
}

// A replaced file keeps its permission bits and owner; a read-only one is refused
// and left as it was, whoever runs the program.
TEST_F(TextFileTest, ReplacedFileKeepsItsModeAndReadOnlyIsRefused) {
  const std::string p = (dir / "job.qvt").string();
  for (fs::perms mode : {fs::perms(0640), fs::perms(0600), fs::perms(0664)}) {
    ASSERT_TRUE(WriteFileAtomic(p, "a"));
    fs::permissions(p, mode);
    ASSERT_TRUE(WriteFileAtomic(p, "b"));
    EXPECT_EQ(fs::status(p).permissions(), mode);
  }
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(p.c_str(), 4321, 4321), 0);
    ASSERT_TRUE(WriteFileAtomic(p, "c"));
    struct stat st;
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4321u);
  }
  fs::permissions(p, fs::perms(0444));
  std::string err;
  EXPECT_FALSE(WriteFileAtomic(p, "replaced", &err));
  EXPECT_EQ(err, "文件是只读的或没有写入权限");
  EXPECT_NE(*ReadFileBytes(p), "replaced");
  EXPECT_EQ(fs::status(p).permissions(), fs::perms(0444));
  EXPECT_TRUE(Temporaries(dir).empty());

  // What stands in the way is named in Chinese.
  fs::create_directories(dir / "folder.qvt");
  EXPECT_FALSE(WriteFileAtomic((dir / "folder.qvt").string(), "x", &err));
  EXPECT_EQ(err, "该位置是一个文件夹");
  EXPECT_FALSE(WriteFileAtomic((dir / "none" / "job.qvt").string(), "x", &err));
  EXPECT_EQ(err, "无法创建临时文件：文件或文件夹不存在");
  EXPECT_FALSE(WriteFileAtomic("/dev/null", "x", &err));
  EXPECT_EQ(err, "目标不是普通文件");
}

TEST(FileErrorText, CommonCausesInChinese) {
  struct {
    int err;
    const char* text;
  } cases[] = {
      {EACCES, "没有权限（文件或文件夹不允许写入或读取）"},
      {EPERM, "没有权限（文件或文件夹不允许写入或读取）"},
      {ENOSPC, "磁盘空间已满"},
      {EDQUOT, "磁盘空间已满"},
      {EISDIR, "该位置是一个文件夹"},
      {ENOENT, "文件或文件夹不存在"},
      {EROFS, "磁盘是只读的"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileErrorText(c.err), c.text) << c.err;
  // Rare causes keep the system's own words rather than none.
  EXPECT_EQ(FileErrorText(EXDEV), std::strerror(EXDEV));
}

// Whatever stands at a name a temporary file might take is neither followed nor
// overwritten, and does not stop the save.
TEST_F(TextFileTest, NothingAtTheTemporaryNameIsFollowedOrOverwritten) {
  const std::string p = (dir / "job.qvt").string();
  const std::string victim = (dir / "victim.txt").string();
  struct Case {
    const char* what;
    void (*plant)(const std::string& at, const std::string& victim);
  } cases[] = {
      {"hard link", [](const std::string& at, const std::string& v) { fs::create_hard_link(v, at); }},
      {"symbolic link", [](const std::string& at, const std::string& v) { fs::create_symlink(v, at); }},
      {"folder", [](const std::string& at, const std::string&) { fs::create_directories(at + "/x"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir);
    fs::create_directories(dir);
    ASSERT_TRUE(WriteFileAtomic(victim, "precious"));
    ASSERT_TRUE(WriteFileAtomic(p, "old"));
    // The name earlier builds used, and names of the current pattern.
    for (const char* suffix : {".tmp~", ".tmp~AAAAAA", ".tmp~zzzzzz"}) c.plant(p + suffix, victim);
    std::string err;
    EXPECT_TRUE(WriteFileAtomic(p, "new", &err)) << err;
    EXPECT_EQ(*ReadFileBytes(p), "new");
    EXPECT_EQ(*ReadFileBytes(victim), "precious");
    EXPECT_EQ(Temporaries(dir).size(), 3u) << "what was planted stays";
  }
}

// The temporary file of a write that was given up (the writer killed) is removed
// at the next write to the same target; nothing else is.
TEST_F(TextFileTest, StaleTemporaryOfAKilledWriterIsRemovedAtTheNextWrite) {
  const std::string p = (dir / "job.qvt").string();
  ASSERT_TRUE(WriteFileAtomic(p, "old"));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CAtomicFile f;
    if (f.Open(p)) f.Write("half a job");
    ::raise(SIGKILL);
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  auto left = Temporaries(dir);
  ASSERT_EQ(left.size(), 1u) << "the killed writer left its temporary beside the target";
  EXPECT_EQ(left[0].rfind("job.qvt.tmp~", 0), 0u) << left[0];
  EXPECT_EQ(*ReadFileBytes(p), "old");

  // Files that look similar but are not a stale temporary of this target stay.
  struct Keep {
    const char* name;
    const char* why;
  } keep[] = {
      {"job.qvt.tmp~", "the old fixed name: may be the user's"},
      {"job.qvt.tmp~abc", "too short"},
      {"job.qvt.tmp~abcdefg", "too long"},
      {"job.qvt.tmp~ab.def", "not letters or digits"},
      {"other.qvt.tmp~Abc123", "another target's"},
      {"job.qvt.tmp~Young1", "written a moment ago"},
      {"job.qvt.tmp~Locked", "held by a writer"},
      {"job.qvt.tmp~Linked", "has another link"},
      {"job.qvt.tmp~Symlnk", "a symbolic link"},
      {"job.qvt.tmp~Folder", "a folder"},
  };
  for (const auto& k : keep) {
    const fs::path at = dir / k.name;
    const std::string n = k.name;
    if (n.ends_with("Folder")) {
      fs::create_directories(at);
    } else if (n.ends_with("Symlnk")) {
      fs::create_symlink(left[0], at);
    } else {
      ASSERT_TRUE(WriteFileAtomic(at.string(), k.why));
    }
  }
  fs::create_hard_link(dir / "job.qvt.tmp~Linked", dir / "linked-copy");
  for (const auto& k : keep)
    if (fs::is_regular_file(fs::symlink_status(dir / k.name)) && std::string(k.name) != "job.qvt.tmp~Young1")
      MakeOld(dir / k.name);
  const int held = ::open((dir / "job.qvt.tmp~Locked").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);

  // Young, the killed writer's file is still spared.
  ASSERT_TRUE(WriteFileAtomic(p, "new"));
  EXPECT_TRUE(fs::exists(dir / left[0]));
  MakeOld(dir / left[0]);
  ASSERT_TRUE(WriteFileAtomic(p, "newer"));
  ::close(held);
  EXPECT_FALSE(fs::exists(dir / left[0]));
  EXPECT_EQ(*ReadFileBytes(p), "newer");
  for (const auto& k : keep) EXPECT_TRUE(fs::symlink_status(dir / k.name).type() != fs::file_type::not_found) << k.name << ": " << k.why;
}

TEST_F(TextFileTest, ReadsOnlyRegularFilesWithoutBlocking) {
  const std::string fifo = (dir / "pipe.qvt").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  std::string err;
  EXPECT_FALSE(ReadFileBytes(fifo, 1 << 20, &err));  // returns at once, no writer needed
  EXPECT_EQ(err, "这是一个管道（FIFO），不是普通文件");
  EXPECT_FALSE(ReadFileBytes(dir.string(), 1 << 20, &err));
  EXPECT_EQ(err, "这是一个文件夹，不是文件");
  EXPECT_FALSE(ReadFileBytes("/dev/zero", 1 << 20, &err));
  EXPECT_EQ(err, "这是一个设备，不是普通文件");
  EXPECT_FALSE(ReadFileBytes((dir / "none").string(), 1 << 20, &err));
  EXPECT_EQ(err, "文件或文件夹不存在");
  const std::string big = (dir / "big").string();
  ASSERT_TRUE(WriteFileAtomic(big, std::string(100, 'x')));
  EXPECT_FALSE(ReadFileBytes(big, 99, &err));
  EXPECT_EQ(err, "文件过大（超过99字节）");
  EXPECT_EQ(ReadFileBytes(big, 100)->size(), 100u);
}

TEST_F(TextFileTest, SplitReportsLinesThatAreNotGbk) {
  GbkDamage d;
  EXPECT_EQ(SplitGbkLines("a\r\n\xB5\xE3\r\nb", &d), (std::vector<std::string>{"a", "点", "b"}));
  EXPECT_EQ(d.lines, 0);
  EXPECT_EQ(d.firstLine, 0);
  EXPECT_EQ(SplitGbkLines("a\r\nb\x81\r\nc\r\n\xFF", &d), (std::vector<std::string>{"a", "b?", "c", "?"}));
  EXPECT_EQ(d.firstLine, 2);
  EXPECT_EQ(d.lines, 2);
}
