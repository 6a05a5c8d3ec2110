// The custom calculation programs file: blocks as a surveyor writes them, the odd
// files the loader must read sensibly, and hostile files that must stay cheap.
#include "app/cusprog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gbk.h"

namespace {

namespace fs = std::filesystem;
using app::CCusProg;

std::string Gbk(const std::string& utf8) { return *platform::Utf8ToGbk(utf8); }

std::vector<CCusProg> Parse(const std::string& bytes) {
  std::vector<CCusProg> out;
  app::ParseCustomPrograms(bytes, out);
  return out;
}

// Short picture of a record: name|rows|cols|inputs|captions...|code.
std::string Brief(const CCusProg& p) {
  std::ostringstream s;
  s << p.m_strName << '|' << p.m_nInitRows << '|' << p.m_nColCount << '|' << p.m_nInputCols << '|';
  for (const auto& c : p.m_arrCol) s << c.m_strCaption1 << ',' << c.m_strCaption2 << ',' << c.m_strType << ',' << c.m_strStagger << ';';
  s << '|' << p.m_strCode;
  return s.str();
}

const std::string kTwoBlocks =
    "; 文件头的说明不属于任何程序\r\n"
    "[BEGIN]\r\n"
    "坐标正算\r\n"
    "10\r\n"
    "3\r\n"
    "5\r\n"           // more inputs than columns
    "点名\r\n\r\n0\r\n0\r\n"
    "边长\r\n(m)\r\n1\r\n0\r\n"
    "方位角\r\n\r\n2\r\n1\r\n"
    "PROGRAM\r\n"
    "z1 = 10.23;\r\n"
    "\r\n"
    "x = s*cos(a);\r\n"
    "[END]\r\n"
    "中间的行被忽略\r\n"
    "\r\n"
    "[BEGIN]\r\n"
    "高差\r\n"
    "2\r\n"
    "1\r\n"
    "1\r\n"
    "h\r\n\r\n1\r\n0\r\n"
    "PROGRAM\r\n"
    "h = h;\r\n"
    "[END]\r\n";

TEST(CustomPrograms, TwoBlocksInFileOrderWithTheirColumnsAndCode) {
  auto progs = Parse(Gbk(kTwoBlocks));
  ASSERT_EQ(progs.size(), 2u);
  EXPECT_EQ(Brief(progs[0]),
            "坐标正算|10|3|3|点名,,0,0;边长,(m),1,0;方位角,,2,1;|z1 = 10.23;\r\n\r\nx = s*cos(a);\r\n");
  EXPECT_EQ(Brief(progs[1]), "高差|2|1|1|h,,1,0;|h = h;\r\n");
}

TEST(CustomPrograms, OddFilesReadAsTheSurveyorMeantThem) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> expected;
  } cases[] = {
      {"LF-only lines, stray CR inside a program line",
       "[BEGIN]\nA\n1\n1\n1\nc\n\n1\n0\nPROGRAM\nx\r = 1;\n[END]\n",
       {"A|1|1|1|c,,1,0;|x = 1;\r\n"}},
      {"[END] where PROGRAM belongs: no code, the next block is found",
       "[BEGIN]\nA\n1\n1\n0\nc\n\n1\n0\n[END]\n[BEGIN]\nB\n0\n0\n0\nPROGRAM\ny;\n[END]\n",
       {"A|1|1|0|c,,1,0;|", "B|0|0|0||y;\r\n"}},
      {"PROGRAM missing: the next [BEGIN] still opens its block",
       "[BEGIN]\nA\n1\n1\n0\nc\n\n1\n0\n[BEGIN]\nB\n0\n0\n0\nPROGRAM\ny;\n[END]\n",
       {"A|1|1|0|c,,1,0;|", "B|0|0|0||y;\r\n"}},
      {"fewer columns than announced: PROGRAM ends them, the code is kept",
       "[BEGIN]\nA\n1\n3\n3\nc1\n\n1\n0\nPROGRAM\nz;\n[END]\n[BEGIN]\nB\n0\n0\n0\n[END]\n",
       {"A|1|1|1|c1,,1,0;|z;\r\n", "B|0|0|0||"}},
      {"a short block cut by the next [BEGIN] inside its descriptors",
       "[BEGIN]\nA\n1\n2\n0\nc1\n\n[BEGIN]\nB\n0\n0\n0\nPROGRAM\n[END]\n",
       {"A|1|1|0|c1,,,;|", "B|0|0|0||"}},
      {"[END] missing: the program stops at the next [BEGIN]",
       "[BEGIN]\nA\n0\n0\n0\nPROGRAM\na;\n[BEGIN]\nB\n0\n0\n0\nPROGRAM\nb;\n[END]\n",
       {"A|0|0|0||a;\r\n", "B|0|0|0||b;\r\n"}},
      {"block cut at the end of the file keeps what was read",
       "[BEGIN]\nA\n7\n2\n2\nc1\nd1\n1\n0\nc2\n",
       {"A|7|2|2|c1,d1,1,0;c2,,,;|"}},
      {"PROGRAM as the last line", "[BEGIN]\nA\n0\n0\n0\nPROGRAM\n", {"A|0|0|0||"}},
      {"numbers read like atoi", "[BEGIN]\nA\n 12rows\nx\n4\nPROGRAM\n[END]\n", {"A|12|0|0||"}},
      {"negative counts give no columns", "[BEGIN]\nA\n-3\n-5\n-1\nPROGRAM\nq;\n[END]\n", {"A|0|0|0||q;\r\n"}},
      {"[BEGIN] must be the whole line", " [BEGIN]\nA\n[BEGIN] \nB\n", {}},
      {"nothing but lines outside blocks", "x\r\n\r\n[END]\r\nPROGRAM\r\n", {}},
      {"empty file", "", {}},
  };
  for (const auto& c : cases) {
    auto progs = Parse(c.file);
    std::vector<std::string> got;
    for (const auto& p : progs) got.push_back(Brief(p));
    EXPECT_EQ(got, c.expected) << c.what;
    for (const auto& p : progs) {
      EXPECT_EQ(p.m_nColCount, static_cast<int>(p.m_arrCol.size())) << c.what;
      EXPECT_LE(p.m_nInputCols, p.m_nColCount) << c.what;
    }
  }
}

// Peak resident memory of a call: the kernel's high-water mark, reset before it.
long PeakKbDuring(const std::function<void()>& fn) {
  auto field = [](const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
      if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
    return -1L;
  };
  { std::ofstream("/proc/self/clear_refs") << "5"; }
  long before = field("VmRSS:");
  fn();
  long peak = field("VmHWM:");
  return before < 0 || peak < 0 ? -1 : peak - before;
}

class CustomProgramFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("quintar_cusprog_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    fs::create_directories(root / "user");
  }
  void TearDown() override { fs::remove_all(root); }
  void Write(const fs::path& dir, const std::string& bytes) {
    std::ofstream(dir / "cusprog.prog", std::ios::binary) << bytes;
  }
  std::vector<CCusProg> Load() {
    std::vector<CCusProg> out(3);  // whatever was there goes
    app::LoadCustomPrograms({(root / "prog").string() + "/", "", (root / "user").string()}, out);
    return out;
  }
  fs::path root;
};

TEST_F(CustomProgramFiles, ProgramFolderFirstThenTheUsersFolder) {
  EXPECT_TRUE(Load().empty()) << "no file anywhere is no error";
  Write(root / "user", "[BEGIN]\nU\n0\n0\n0\n[END]\n");
  Write(root / "prog", Gbk(kTwoBlocks));
  auto progs = Load();
  ASSERT_EQ(progs.size(), 3u);
  EXPECT_EQ(progs[0].m_strName, "坐标正算");
  EXPECT_EQ(progs[2].m_strName, "U");
  // A folder whose cusprog.prog is not a regular file is passed over.
  fs::remove(root / "prog" / "cusprog.prog");
  fs::create_directory(root / "prog" / "cusprog.prog");
  ASSERT_EQ(Load().size(), 1u);
}

TEST_F(CustomProgramFiles, HostileFilesStayCheap) {
  std::string manyLines(4 << 20, '\n');
  struct Case {
    const char* what;
    std::string file;
    std::size_t programs;
    int columns;  // of the first program
  } cases[] = {
      {"column count 999999999", "[BEGIN]\nA\n1\n999999999\n999999999\nc\n\n1\n0\n", 1, 1},
      {"column count beyond int", "[BEGIN]\nA\n1\n99999999999999999999\n3\n" + manyLines, 1, app::kMaxCusProgColumns},
      {"negative column count", "[BEGIN]\nA\n1\n-999999999\n5\nPROGRAM\n[END]\n", 1, 0},
      {"block cut at the end", "[BEGIN]\nA\n1\n100000\n0\nc", 1, 1},
      {"a flood of empty blocks", [] {
         std::string s;
         for (int i = 0; i < 100000; ++i) s += "[BEGIN]\n";
         return s;
       }(), app::kMaxCusPrograms, 0},
  };
  for (const auto& c : cases) {
    Write(root / "prog", c.file);
    std::vector<CCusProg> progs;
    long kb = PeakKbDuring([&] { progs = Load(); });
    ASSERT_EQ(progs.size(), c.programs) << c.what;
    EXPECT_EQ(progs[0].m_nColCount, c.columns) << c.what;
    EXPECT_LT(kb, 50 * 1024) << c.what;
  }
}

TEST_F(CustomProgramFiles, AFileOverTheSizeCapIsNotRead) {
  const std::string block = "[BEGIN]\nA\n0\n0\n0\n[END]\n";
  for (std::size_t size : {app::kMaxCusProgBytes, app::kMaxCusProgBytes + 1}) {
    {
      std::ofstream out(root / "prog" / "cusprog.prog", std::ios::binary | std::ios::trunc);
      out << block;
    }
    // Padded with blank lines to the size, without writing them: a sparse file.
    fs::resize_file(root / "prog" / "cusprog.prog", size);
    std::vector<CCusProg> progs;
    long kb = PeakKbDuring([&] { progs = Load(); });
    if (size <= app::kMaxCusProgBytes) {
      EXPECT_EQ(progs.size(), 1u) << "a file at the cap is read";
    } else {
      EXPECT_TRUE(progs.empty()) << "cap + 1 byte";
      EXPECT_LT(kb, 4 * 1024) << "refused before a byte is read";
    }
    EXPECT_LT(kb, 50 * 1024);
  }
}

}  // namespace
