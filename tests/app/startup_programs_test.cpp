// The frame loads the custom programs once, before its views, from the program
// folder and then the user's data folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "app/doc.h"
#include "app/ui/main_frame.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "tests/app/qt_test_app.h"

namespace {

TEST(FrameStartup, CustomProgramsFromTheUsersDataFolder) {
  TestApp();
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const QByteArray old = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.path().toUtf8());
  const std::string dir = app_ui::UserDataDir();
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "cusprog.prog", std::ios::binary) << "[BEGIN]\r\nA\r\n1\r\n0\r\n0\r\nPROGRAM\r\na;\r\n[END]\r\n"
                                                       << "[BEGIN]\r\nB\r\n1\r\n0\r\n0\r\nPROGRAM\r\n[END]\r\n";
  {
    app::CVornDoc doc;
    app_ui::CMainFrame frame(doc);
    ASSERT_TRUE(frame.Create());
    ASSERT_EQ(frame.CustomPrograms().size(), 2u);
    EXPECT_EQ(frame.CustomPrograms()[0].m_strCode, "a;\r\n");
    EXPECT_EQ(frame.CustomPrograms()[1].m_strName, "B");
  }
  if (old.isEmpty()) qunsetenv("XDG_DATA_HOME");
  else qputenv("XDG_DATA_HOME", old);
  EXPECT_EQ(dir.rfind(home.path().toStdString(), 0), 0u);
}

}  // namespace
