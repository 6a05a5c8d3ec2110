#include "platform/textfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
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

TEST_F(TextFileTest, CrLfAndLfOnlyReadTheSame) {
  EXPECT_EQ(SplitGbkLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitGbkLines("a\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitGbkLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
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
  EXPECT_FALSE(fs::exists(p + ".tmp~"));
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
