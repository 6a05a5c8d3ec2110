// The help view offscreen: topics to pages, the pages' links and pictures, the web
// site through the desktop port, and the help section of the frame.
#include "app/ui/help_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QTextDocument>
#include <map>
#include <set>

#include "app/cusprog.h"
#include "app/help_topics.h"
#include "app/nav.h"
#include "app/ui/main_frame.h"
#include "app/version.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "tests/app/qt_print.h"
#include "tests/app/qt_test_app.h"
#include "table/ui/ui_scale.h"

namespace {

using app_ui::CHelpView;

QApplication& App() { return TestApp(); }

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
};

TEST_F(HelpTest, TopicTextsShowTheirPages) {
  CHelpView view;
  EXPECT_EQ(view.CurrentPage(), 0);
  view.OnInitialUpdate();
  EXPECT_EQ(view.CurrentPage(), 4500) << "the first page on the first update";
  struct Case {
    const char* topic;
    int page;
  } cases[] = {
      {"观测记录", 4501}, {"计算方案", 4502}, {"数据输入", 4503}, {"计算成果", 4504},
      {"常用工具", 4505}, {"编程计算", 4506}, {"最近更新", 4510}, {"常见问答", 4509},
      {"一、功能简介", 4500}, {"观测记录与计算方案", 4501},
      {"平差计算", 4500},  // no word in it: the first page, never an address
  };
  for (const auto& c : cases) {
    view.ShowPage(4508);
    view.ShowHelpTopic(c.topic);
    EXPECT_EQ(view.CurrentPage(), c.page) << c.topic;
    EXPECT_FALSE(view.document()->toPlainText().isEmpty()) << c.topic;
  }
  EXPECT_TRUE(services.desktop.opened.empty());
}

TEST_F(HelpTest, WebSiteAndWebLinksGoToTheDesktopAndThePageStays) {
  CHelpView view;
  view.OnInitialUpdate();
  view.ShowPage(4503);
  view.ShowHelpTopic("访问官方网站");
  EXPECT_EQ(view.CurrentPage(), 4503);
  emit view.anchorClicked(QUrl("quintar:website"));
  emit view.anchorClicked(QUrl("https://example.org/manual"));
  emit view.anchorClicked(QUrl("file:///etc/passwd"));  // not ours to open
  EXPECT_EQ(view.CurrentPage(), 4503);
  EXPECT_EQ(services.desktop.opened,
            (std::vector<std::string>{app::kWebsiteUrl, app::kWebsiteUrl, "https://example.org/manual"}));
  emit view.anchorClicked(QUrl("4502.html#tablestyle"));
  EXPECT_EQ(view.CurrentPage(), 4502);
  EXPECT_EQ(view.source().fragment(), "tablestyle");
}

// Every page: UTF-8 with a title; every picture, stylesheet, page and anchor it names
// exists; external links are web addresses or the web-site link.
TEST_F(HelpTest, CrawlerFindsEveryPictureLinkAndAnchor) {
  std::map<QString, QString> pages;
  for (int p = app::kFirstHelpPage; p <= app::kLastHelpPage; ++p) {
    QFile f(QStringLiteral(":/quintar/help/%1.html").arg(p));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << p;
    QByteArray bytes = f.readAll();
    auto decode = QStringDecoder(QStringDecoder::Utf8);
    QString text = decode(bytes);
    ASSERT_FALSE(decode.hasError()) << p << " is not UTF-8";
    EXPECT_TRUE(text.contains(QRegularExpression("<title>[^<]+</title>"))) << p;
    pages[QStringLiteral("%1.html").arg(p)] = text;
  }
  auto anchors = [](const QString& html) {
    std::set<QString> out;
    QRegularExpression re(R"re((?:name|id)="([^"]+)")re");
    for (auto m = re.globalMatch(html); m.hasNext();) out.insert(m.next().captured(1));
    return out;
  };
  QRegularExpression ref(R"re((href|src)="([^"]*)")re");
  std::set<QString> linkedTo;
  int pictures = 0;
  for (const auto& [name, html] : pages) {
    for (auto m = ref.globalMatch(html); m.hasNext();) {
      auto hit = m.next();
      QString target = hit.captured(2);
      SCOPED_TRACE((name + " -> " + target).toStdString());
      ASSERT_FALSE(target.isEmpty());
      if (target.startsWith("https://") || target.startsWith("http://")) continue;
      if (target == "quintar:website") continue;
      ASSERT_FALSE(target.contains(':')) << "no other scheme";
      QString file = target.section('#', 0, 0), anchor = target.section('#', 1);
      if (file.isEmpty()) file = name;
      if (hit.captured(1) == "src") {
        EXPECT_TRUE(QFile::exists(":/quintar/help/" + file));
        QImage img(":/quintar/help/" + file);
        EXPECT_FALSE(img.isNull());
        ++pictures;
        continue;
      }
      if (file.endsWith(".css")) {
        EXPECT_TRUE(QFile::exists(":/quintar/help/" + file));
        continue;
      }
      ASSERT_TRUE(pages.count(file)) << "page exists";
      linkedTo.insert(file);
      if (!anchor.isEmpty()) {
        EXPECT_TRUE(anchors(pages[file]).count(anchor)) << "anchor exists";
      }
    }
  }
  EXPECT_GE(pictures, 5);
  for (const auto& [name, html] : pages)
    if (name != "4500.html") {
      EXPECT_TRUE(linkedTo.count(name)) << name << " is reachable";
    }
  EXPECT_TRUE(linkedTo.count("4506.html")) << "a page links to 编程计算";
}

TEST_F(HelpTest, TheCustomProgramExampleOfTheHelpLoads) {
  QFile f(":/quintar/help/4506.html");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QString html = QString::fromUtf8(f.readAll());
  auto m = QRegularExpression("<pre>(.*)</pre>", QRegularExpression::DotMatchesEverythingOption).match(html);
  ASSERT_TRUE(m.hasMatch());
  QString text = m.captured(1);
  text.replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
  auto gbk = platform::Utf8ToGbk(text.toStdString());
  ASSERT_TRUE(gbk);
  std::vector<app::CCusProg> progs;
  app::ParseCustomPrograms(*gbk, progs);
  ASSERT_EQ(progs.size(), 1u);
  EXPECT_EQ(progs[0].m_strName, "坐标正算");
  EXPECT_EQ(progs[0].m_nColCount, 5);
  EXPECT_EQ(progs[0].m_nInputCols, 3);
  EXPECT_EQ(progs[0].m_arrCol[1].m_strCaption2, "(m)");
  EXPECT_EQ(progs[0].m_arrCol[2].m_strType, "2");
  EXPECT_EQ(progs[0].m_strCode, "x = s*cos(a);\r\ny = s*sin(a);\r\n");
}

TEST_F(HelpTest, APageWithAPictureIsDrawn) {
  CHelpView view;
  view.resize(900, 700);
  view.OnInitialUpdate();
  view.show();
  QApplication::processEvents();
  QImage shot = view.grab().toImage();
  // The picture of the main window puts many colours and dark pixels on the page;
  // text alone gives a few greys.
  std::set<QRgb> colours;
  int dark = 0;
  for (int y = 0; y < shot.height(); y += 2)
    for (int x = 0; x < shot.width(); x += 2) {
      QRgb c = shot.pixel(x, y);
      colours.insert(c);
      dark += qGray(c) < 128;
    }
  EXPECT_GT(colours.size(), 200u);
  EXPECT_GT(dark, 500);
}

TEST_F(HelpTest, HelpSectionOfTheFrameShowsTheChosenTopic) {
  app_ui::RegisterHelpView();
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  auto* view = qobject_cast<CHelpView*>(frame.View(app::kHelpViewId));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->CurrentPage(), 4500);
  frame.show();  // the pane acts on selections only while it is on screen
  frame.OnHelpTopics();
  EXPECT_EQ(frame.RightViewId(), app::kHelpViewId);
  frame.Nav().OnInitialUpdate();
  ASSERT_TRUE(frame.Nav().SelectHelpItem("1、 计算方案"));
  EXPECT_EQ(view->CurrentPage(), 4502);
  ASSERT_TRUE(frame.Nav().SelectHelpItem("八、访问官方网站"));
  EXPECT_EQ(view->CurrentPage(), 4502);
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{app::kWebsiteUrl});
}

}  // namespace
