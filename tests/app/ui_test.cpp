// The frame over Qt (offscreen): view switch, the size combo and menu, plugged views,
// the navigation pane's headers, and start-up with a job named on the command line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QTreeWidget>
#include <QScrollBar>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QStackedWidget>
#include <filesystem>

#include "app/ui/cvorn_app.h"
#include "app/ui/main_frame.h"
#include "app/ui/nav_pane.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "table/ui/qt_ports.h"
#include "table/ui/ui_scale.h"

namespace {

namespace fs = std::filesystem;

// One application for the whole test program, never destroyed: tearing Qt down in
// the exit handlers races its own input-device cleanup.
QApplication& App() {
  static int argc = 1;
  static char name[] = "app_ui_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    g_nFontPt = 9;
  }
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
};

TEST_F(FrameTest, SwitchViewPutsTheViewInTheRightPane) {
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  auto* right = frame.findChild<QStackedWidget*>();
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(frame.RightViewId(), 1005);
  EXPECT_EQ(right->currentWidget(), frame.View(1005));
  for (int id : {1004, 1006, 1007, 1008, 1008, 1005}) {
    frame.SwitchView(id);
    EXPECT_EQ(frame.RightViewId(), id);
    EXPECT_EQ(right->currentWidget(), frame.View(id)) << id;
  }
  frame.SwitchView(1001);  // not a right-pane view: the shown one stays
  frame.SwitchView(0);
  EXPECT_EQ(frame.RightViewId(), 1005);
  EXPECT_EQ(right->currentWidget(), frame.View(1005));
  // Views reach the switch and the document through the services the frame hands out.
  frame.Services().SwitchView(1004);
  EXPECT_EQ(frame.RightViewId(), 1004);
  EXPECT_EQ(right->currentWidget(), frame.View(1004));
  EXPECT_FALSE(frame.Services().IsDocumentModified());
  frame.Services().SetDocumentModified();
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(FrameTest, StoredSizeOutsideTheListStartsAtNine) {
  for (int stored : {0, 3, 500, 14}) {
    SCOPED_TRACE(stored);
    services.profile.SetInt("settings", "FontPt", stored);
    app::CVornDoc doc;
    app_ui::CMainFrame frame(doc);
    ASSERT_TRUE(frame.Create());
    const int expected = stored == 14 ? 14 : 9;
    EXPECT_EQ(g_nFontPt, expected);
    EXPECT_EQ(frame.FontCombo()->currentText().toInt(), expected);
    EXPECT_TRUE(frame.FontAction(expected)->isChecked());
    EXPECT_EQ(services.profile.GetInt("settings", "FontPt", -1), expected);
    g_nFontPt = 9;
  }
}

TEST_F(FrameTest, SizeMenuComboAndProfileFollowEachOther) {
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  frame.FontAction(18)->trigger();
  EXPECT_EQ(g_nFontPt, 18);
  EXPECT_EQ(frame.FontCombo()->currentIndex(), 5);
  EXPECT_EQ(services.profile.GetInt("settings", "FontPt", -1), 18);
  EXPECT_EQ(g_nRowHeight, std::max(22, int(g_nCharHeight * 1.5 + 6)));
  frame.SetFontHeight(8);  // keeps 18
  EXPECT_EQ(g_nFontPt, 18);
  frame.FontCombo()->setCurrentIndex(0);
  emit frame.FontCombo()->activated(0);
  EXPECT_EQ(g_nFontPt, 9);
  EXPECT_TRUE(frame.FontAction(9)->isChecked());
  EXPECT_FALSE(frame.FontAction(18)->isChecked());
}

TEST_F(FrameTest, PluggedViewAndEmptyPanes) {
  QLabel* mine = nullptr;
  app_ui::RegisterViewFactory(1008, [&mine](app_ui::CMainFrame&) {
    app_ui::ViewPlug p;
    p.widget = mine = new QLabel(QStringLiteral("drawing"));
    return p;
  });
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  EXPECT_EQ(frame.View(1008), mine);
  auto* empty = qobject_cast<QLabel*>(frame.View(1006));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(table_ui::S(empty->text()), "“常用工具”视图暂无内容");
  app_ui::RegisterViewFactory(1008, nullptr);
}

// Print and preview only where a view prints; the print setup is the session's and
// always there.
TEST_F(FrameTest, PrintCommandsOnlyWhereAViewPrints) {
  std::vector<int> ran;
  app_ui::RegisterViewFactory(1008, [&ran](app_ui::CMainFrame&) {
    app_ui::ViewPlug p;
    p.widget = new QLabel(QStringLiteral("drawing"));
    p.command = [&ran](int cmd) { ran.push_back(cmd); };
    return p;
  });
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  struct {
    int view;
    bool print;
  } cases[] = {{1004, false}, {1005, false}, {1006, false}, {1007, false}, {1008, true}, {1004, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.view);
    frame.SwitchView(c.view);
    EXPECT_EQ(frame.Action(57607)->isEnabled(), c.print);
    EXPECT_EQ(frame.Action(57609)->isEnabled(), c.print);
    EXPECT_TRUE(frame.Action(57606)->isEnabled());
  }
  frame.SwitchView(1008);
  frame.Action(57607)->trigger();
  frame.Action(57609)->trigger();
  EXPECT_EQ(ran, (std::vector<int>{57607, 57609}));
  app_ui::RegisterViewFactory(1008, nullptr);
}

// A tools view in place of the real one, whose navigation tree is the one given.
struct FixedTree final : app::INavSource {
  explicit FixedTree(app::NavTree t) : tree(std::move(t)) {}
  app::NavTree BuildNavTree() const override { return tree; }
  void OnNavSelect(int) override {}
  app::NavTree tree;
};

void PlugToolsView(FixedTree& tree) {
  app_ui::RegisterViewFactory(1006, [&tree](app_ui::CMainFrame& f) {
    app_ui::ViewPlug plug;
    plug.widget = new QWidget(&f);
    plug.nav = &tree;
    return plug;
  });
}

TEST_F(FrameTest, HeaderClickShowsTheToolsSection) {
  // A tools view whose tree has three top-level items, as the tools' own has.
  static FixedTree toolsTree(
      {app::NavBranch("常用计算", true), app::NavBranch("交会", true), app::NavLeaf("碎部测量记录", 300, 2)});
  PlugToolsView(toolsTree);
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  doc.OnNewDocument();
  frame.Nav().OnInitialUpdate();
  frame.resize(1000, 700);
  app_ui::NavPane* pane = frame.NavPaneWidget();
  pane->SetRequireVisible(false);
  pane->resize(200, 600);
  app::NavRect r = app::HeaderRect(2, 1, pane->width(), pane->height(), g_nRowHeight);
  QPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, pane->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pane, &press);
  EXPECT_EQ(frame.Nav().CurrentSection(), 2);
  EXPECT_EQ(frame.RightViewId(), 1006);
  EXPECT_FALSE(pane->Tree(2)->isHidden());
  EXPECT_TRUE(pane->Tree(1)->isHidden());
  EXPECT_EQ(pane->Tree(2)->topLevelItemCount(), 3);
  app_ui::RegisterViewFactory(1006, nullptr);
}

// At a large interface font the tree's rows grow with it, and a name wider than the
// pane scrolls sideways instead of being cut off.
TEST_F(FrameTest, TreeRowsGrowWithTheFontAndLongNamesScroll) {
  static FixedTree toolsTree(
      {app::NavLeaf("空间直角坐标转大地坐标", 300, 2), app::NavLeaf("换带与投影面变换计算1", 301, 2)});
  PlugToolsView(toolsTree);
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  doc.OnNewDocument();
  frame.Nav().OnInitialUpdate();
  frame.SetFontHeight(18);
  app_ui::NavPane* pane = frame.NavPaneWidget();
  pane->SetRequireVisible(false);
  pane->resize(160, 600);
  pane->RecalcLayout();
  QTreeWidget* tree = pane->Tree(2);
  tree->show();
  QApplication::processEvents();
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  const QRect row = tree->visualItemRect(tree->topLevelItem(0));
  EXPECT_GE(row.height(), QFontMetrics(g_fontUI).height());
  EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0);
  frame.SetFontHeight(9);
  app_ui::RegisterViewFactory(1006, nullptr);
}

TEST_F(FrameTest, StartWithJobOnTheCommandLine) {
  fs::path dir = fs::temp_directory_path() / ("quintar_start_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string job = (dir / "外业.qvt").string();
  {
    // A whole job of one empty section (a file of the header alone reads as cut).
    const std::string end = "\r\n" + std::string(28, '-') + "\r\n";
    ASSERT_TRUE(platform::WriteFileAtomic(job, *platform::Utf8ToGbk("Quintar计算文件\r\n520\r\n----------Pelmor----------" + end)));
  }
  app_ui::CvornApp::Options quiet{false, false, false};
  {
    app_ui::CvornApp app;
    ASSERT_TRUE(app.InitInstance({table_ui::Q(job)}, quiet));
    EXPECT_EQ(app.Doc().PathName(), job);
    EXPECT_EQ(table_ui::S(app.Frame()->windowTitle()), "Quintar5.2版 - 外业.qvt");
    EXPECT_TRUE(msg.Texts().empty());
  }
  {
    app_ui::CvornApp app;
    const std::string missing = (dir / "没有.qvt").string();
    EXPECT_FALSE(app.InitInstance({table_ui::Q(missing)}, quiet));
    EXPECT_EQ(msg.Messages(), (std::vector<std::string>{"无法打开文件“" + missing + "”。\n文件或文件夹不存在。"}));
  }
  fs::remove_all(dir);
}

}  // namespace

namespace {

TEST_F(FrameTest, GridsReachTheFrameAndCloseAsksToSave) {
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  doc.OnNewDocument();
  table::Frame().SetStatusPane(1, "当前行：3");
  bool found = false;
  for (QLabel* l : frame.findChildren<QLabel*>()) found |= table_ui::S(l->text()) == "当前行：3";
  EXPECT_TRUE(found);
  table::Frame().SetDocumentModified();
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(table_ui::S(frame.windowTitle()), "Quintar5.2版 - 无标题");

  msg.Script({platform::Answer::Cancel});
  frame.show();
  EXPECT_FALSE(frame.close());
  EXPECT_EQ(msg.Texts(), (std::vector<std::string>{"是否保存对 无标题 的更改?"}));
  msg.Script({platform::Answer::No});
  EXPECT_TRUE(frame.close());
}

}  // namespace
