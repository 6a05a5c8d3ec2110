// Recent files and the per-user ".qvt" registration with its repair question.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/file_assoc.h"
#include "app/recent.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "platform/textfile.h"

namespace {

namespace fs = std::filesystem;
using platform::Answer;

TEST(RecentFiles, FourEntriesNewestFirstInTheProfile) {
  platform::ScopedMemoryServices services;
  app::RecentFiles r;
  for (const char* p : {"/a.qvt", "/b.qvt", "/c.qvt", "/d.qvt", "/e.qvt", "/c.qvt"}) r.Add(p);
  EXPECT_EQ(r.Paths(), (std::vector<std::string>{"/c.qvt", "/e.qvt", "/d.qvt", "/b.qvt"}));
  r.Save();
  EXPECT_EQ(services.profile.GetString("Recent File List", "File1", ""), "/c.qvt");
  EXPECT_EQ(services.profile.GetString("Recent File List", "File4", ""), "/b.qvt");
  app::RecentFiles back;
  back.Load();
  EXPECT_EQ(back.Paths(), r.Paths());
  back.Remove("/e.qvt");
  back.Save();
  EXPECT_EQ(services.profile.GetString("Recent File List", "File4", "x"), "");
}

class AssocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("quintar_assoc_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
  }
  void TearDown() override { fs::remove_all(root); }
  app::XdgFileAssociation Make(const std::string& program = "/opt/quintar/quintar") {
    return app::XdgFileAssociation(program, (root / "data").string(), (root / "config").string());
  }
  fs::path root;
  platform::FakeMessagePort msg;
};

TEST_F(AssocTest, FreshRegistrationIsComplete) {
  auto a = Make();
  EXPECT_FALSE(a.IsAssociated());
  ASSERT_TRUE(a.RegisterFileTypes());
  EXPECT_TRUE(a.IsAssociated());
  std::string desktop = *platform::ReadFileBytes(a.DesktopFile());
  EXPECT_NE(desktop.find("Exec=\"/opt/quintar/quintar\" %f\n"), std::string::npos);
  EXPECT_NE(desktop.find("MimeType=application/x-quintar-qvt;\n"), std::string::npos);
  EXPECT_NE(platform::ReadFileBytes(a.MimeFile())->find("<glob pattern=\"*.qvt\"/>"), std::string::npos);
  EXPECT_TRUE(app::CheckFileAssociationAtStartup(a));
  EXPECT_TRUE(msg.Texts().empty());
}

TEST_F(AssocTest, AnotherProgramsDefaultAsksBeforeRepair) {
  fs::create_directories(root / "config");
  std::ofstream(root / "config" / "mimeapps.list")
      << "[Added Associations]\ntext/plain=gedit.desktop;\n[Default Applications]\n"
         "application/x-quintar-qvt=other.desktop;\ntext/html=firefox.desktop\n";
  auto a = Make();
  ASSERT_TRUE(a.RegisterFileTypes());  // does not take over another program's choice
  EXPECT_EQ(a.DefaultApp(), "other.desktop");

  msg.Script({Answer::No});
  EXPECT_FALSE(app::CheckFileAssociationAtStartup(a));
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{"本软件文件关联不正确，\n\n是否立即修复？\n"}));
  EXPECT_EQ(a.DefaultApp(), "other.desktop");

  msg.Script({Answer::Yes});
  EXPECT_TRUE(app::CheckFileAssociationAtStartup(a));
  EXPECT_EQ(a.DefaultApp(), "quintar.desktop");
  std::string list = *platform::ReadFileBytes(a.MimeAppsFile());
  EXPECT_NE(list.find("text/plain=gedit.desktop;"), std::string::npos);  // the rest kept
  EXPECT_NE(list.find("text/html=firefox.desktop"), std::string::npos);
}

// A home the repair cannot write (here a file stands where its folder would be, which
// holds for the superuser too): said once, never asked, and asked again once the
// repair can succeed.
TEST_F(AssocTest, RepairThatCannotSucceedIsNotOfferedAgain) {
  platform::ScopedMemoryServices services;
  std::ofstream(root / "data") << "not a folder";
  auto a = Make();
  EXPECT_FALSE(a.CanRepair());
  for (int start = 0; start < 3; ++start) {
    SCOPED_TRACE(start);
    msg.Clear();
    EXPECT_FALSE(app::CheckFileAssociationAtStartup(a));
    EXPECT_EQ(msg.Texts(), start == 0 ? std::vector<std::string>{app::kAssocCannotRepair} : std::vector<std::string>{});
  }
  fs::remove(root / "data");
  EXPECT_TRUE(a.CanRepair());
  msg.Clear();
  msg.Script({Answer::Yes});
  EXPECT_TRUE(app::CheckFileAssociationAtStartup(a));
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{"本软件文件关联不正确，\n\n是否立即修复？\n"}));
  EXPECT_EQ(services.profile.GetInt("settings", "AssocRepairFailed", -1), 0);

  // A read-only list of default programs cannot be replaced either.
  fs::permissions(a.MimeAppsFile(), fs::perms(0444));
  EXPECT_FALSE(a.CanRepair());
  fs::permissions(a.MimeAppsFile(), fs::perms(0644));
}

TEST_F(AssocTest, MovedProgramIsNotAssociated) {
  auto a = Make("/old/place/quintar");
  ASSERT_TRUE(a.RegisterFileTypes());
  auto b = Make("/new/place/quintar");
  EXPECT_FALSE(b.IsAssociated());
  ASSERT_TRUE(b.RegisterFileTypes());  // its own default: refreshed
  EXPECT_TRUE(b.IsAssociated());
}

}  // namespace
