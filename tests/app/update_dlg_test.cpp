// The update dialog against a local HTTP server started here on 127.0.0.1: checks
// and downloads that succeed, and every way a server can fail or lie. Each waits a
// bounded time; nothing touches a real network.
#include "app/ui/update_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTcpServer>
#include <QTemporaryDir>
#include <set>

#include "app/doc.h"
#include "app/ui/main_frame.h"
#include "app/update.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "tests/app/qt_print.h"
#include "tests/app/qt_test_app.h"
#include "tests/app/http_fixture.h"

namespace {

using app_ui::CUpdateDlg;

QApplication& App() { return TestApp(); }

// NIST's long test vector: SHA-256 of one million "a".
const QByteArray kPackage(1000000, 'a');
const QByteArray kPackageSha = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";

QByteArray Info(const QByteArray& url, const QByteArray& version = "521", const QByteArray& importance = "0",
                const QByteArray& sha = kPackageSha, qint64 size = 1000000) {
  return "version=" + version + "\r\nsize=" + QByteArray::number(size) + "\r\ndate=2026-12-01\r\nurl=" + url +
         "\r\nsha256=" + sha + "\r\nimportance=" + importance + "\r\nnotes=平差更快\r\nnotes=修正打印\r\n";
}

class UpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(tmp.isValid());
    QDir(tmp.path()).mkpath("dl");
    QDir(tmp.path()).mkpath("t");
    http.Route("/pkg", Resp(200, kPackage));
    http.Route("/info", Resp(200, Info("pkg"), "text/plain"));
  }
  CUpdateDlg::Options Opts(const QString& infoPath = "/info") {
    CUpdateDlg::Options o;
    o.infoUrl = http.Url(infoPath);
    o.downloadDir = tmp.filePath("dl");
    o.tempRoot = tmp.filePath("t");
    o.loopbackHttpForTests = true;  // the fixture's server speaks plain http
    return o;
  }
  std::unique_ptr<CUpdateDlg> Dialog(const QString& infoPath = "/info") { return Dialog(Opts(infoPath)); }
  std::unique_ptr<CUpdateDlg> Dialog(const CUpdateDlg::Options& o) {
    auto d = std::make_unique<CUpdateDlg>("520", nullptr, o);
    // Every signal is emitted from inside the dialog's handlers: where they run.
    auto record = [this] { threads.insert(QThread::currentThread()); };
    QObject::connect(d.get(), &CUpdateDlg::progressChanged, d.get(), record, Qt::DirectConnection);
    QObject::connect(d.get(), &CUpdateDlg::checkFinished, d.get(), record, Qt::DirectConnection);
    QObject::connect(d.get(), &CUpdateDlg::downloadFinished, d.get(), record, Qt::DirectConnection);
    return d;
  }
  bool Check(CUpdateDlg& d) {
    bool done = false;
    auto c = QObject::connect(&d, &CUpdateDlg::checkFinished, [&] { done = true; });
    d.OnCheckUpdate();
    bool ok = WaitFor([&] { return done; });
    QObject::disconnect(c);
    return ok;
  }
  int Download(CUpdateDlg& d) {
    int code = 0;
    auto c = QObject::connect(&d, &CUpdateDlg::downloadFinished, [&](int r) { code = r; });
    d.OnDownload();
    WaitFor([&] { return code != 0; });
    QObject::disconnect(c);
    return code;
  }
  QStringList Files(const char* sub) const { return QDir(tmp.filePath(sub)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }
  void ExpectOnlyGuiThread() {
    EXPECT_FALSE(threads.empty());
    for (QThread* t : threads) EXPECT_EQ(t, App().thread());
  }

  QApplication& app = App();  // before the server, whose socket needs the event loop
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  QTemporaryDir tmp;
  HttpFixture http;
  std::set<QThread*> threads;
};

TEST_F(UpdateTest, NewVersionDownloadedVerifiedAndSavedNothingElseTouched) {
  app::CVornDoc doc;
  doc.SetModifiedFlag(true);
  auto d = Dialog();
  EXPECT_EQ(d->MessageText(), "请检测新版本");
  EXPECT_FALSE(d->Button(1)->isEnabled());
  ASSERT_TRUE(Check(*d));
  EXPECT_EQ(d->MessageText(), "检测到新版本，请升级软件。\r\n软件最近更新：平差更快\r\n修正打印");
  EXPECT_EQ(d->ProgressText(), QString::fromUtf8("检测到新版本"));
  EXPECT_TRUE(d->Button(1)->isEnabled());
  EXPECT_FALSE(d->Button(1007)->isEnabled());
  EXPECT_TRUE(d->FieldText(1129).startsWith("5.21"));
  EXPECT_EQ(d->FieldText(1130), "2026-12-01");
  EXPECT_EQ(d->FieldText(1131), "976.6 KB");

  int code = 0;
  QObject::connect(d.get(), &CUpdateDlg::downloadFinished, [&](int r) { code = r; });
  d->OnDownload();
  EXPECT_EQ(d->MessageText().rfind("开始下载升级文件", 0), 0u);
  EXPECT_TRUE(d->TempFolder().startsWith(tmp.filePath("t")));
  ASSERT_TRUE(WaitFor([&] { return code != 0; }));
  ASSERT_EQ(code, app::kDownloadOk) << d->MessageText();

  ASSERT_EQ(Files("dl"), QStringList{"pkg"});
  QFile saved(tmp.filePath("dl/pkg"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), kPackage);
  EXPECT_TRUE(Files("t").isEmpty()) << "the private folder is gone";
  EXPECT_EQ(d->ProgressText(), QString::fromUtf8("下载升级文件完成"));
  EXPECT_NE(d->MessageText().find(d->SavedPath()), std::string::npos);
  EXPECT_NE(d->MessageText().find("不会自动安装"), std::string::npos);
  EXPECT_TRUE(doc.IsModified()) << "the job is left as it was";
  EXPECT_TRUE(msg.events.empty());
  ExpectOnlyGuiThread();

  // A second verified download beside the first gets its own name.
  auto again = Dialog();
  ASSERT_TRUE(Check(*again));
  ASSERT_EQ(Download(*again), app::kDownloadOk);
  EXPECT_EQ(Files("dl"), (QStringList{"pkg", "pkg(1)"}));
}

TEST_F(UpdateTest, EveryFaultyDownloadIsDeletedAndNamed) {
  HttpRoute shortBody = Resp(200, kPackage);
  shortBody.cutAfter = 300000;
  HttpRoute noLength = Resp(200, kPackage.left(999999));
  noLength.sendLength = false;
  HttpRoute html = Resp(200, "<html><body>维护中</body></html>", "text/html");
  HttpRoute toOtherHost = Resp(302);
  toOtherHost.location = QStringLiteral("http://localhost:%1/pkg").arg(http.Port()).toUtf8();
  HttpRoute longer = Resp(200, kPackage + "extra");
  http.Route("/short", shortBody);
  http.Route("/nolen", noLength);
  http.Route("/html", html);
  http.Route("/500", Resp(500, "boom", "text/plain"));
  http.Route("/away", toOtherHost);
  http.Route("/longer", longer);
  for (int i = 1; i <= 4; ++i) {
    HttpRoute hop = Resp(302);
    hop.location = i < 4 ? "/hop" + QByteArray::number(i + 1) : "/pkg";
    http.Route("/hop" + QByteArray::number(i), hop);
  }
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const quint16 closedPort = closed.serverPort();
  closed.close();

  struct Case {
    const char* what;
    QByteArray info;
    int code;
    const char* prefix;
  } cases[] = {
      {"short body", Info("short"), app::kDownloadReadFailed, "读取网络文件失败，"},
      {"wrong hash", Info("pkg", "521", "0", QByteArray(64, 'b')), app::kDownloadNotVerified, "校验升级文件失败，"},
      {"404", Info("missing"), app::kDownloadServerRefused, "连接网络文件失败，"},
      {"500", Info("500"), app::kDownloadServerRefused, "连接网络文件失败，"},
      {"a 200 HTML page", Info("html"), app::kDownloadNotVerified, "校验升级文件失败，"},
      {"no length and a wrong size", Info("nolen"), app::kDownloadNotVerified, "校验升级文件失败，"},
      {"more than announced", Info("longer"), app::kDownloadNotVerified, "校验升级文件失败，"},
      {"redirect to another host", Info("away"), app::kDownloadServerRefused, "连接网络文件失败，"},
      {"four redirects", Info("hop1"), app::kDownloadServerRefused, "连接网络文件失败，"},
  };
  for (const auto& c : cases) {
    http.Route("/info", Resp(200, c.info, "text/plain"));
    http.requests.clear();
    auto d = Dialog();
    ASSERT_TRUE(Check(*d)) << c.what;
    ASSERT_TRUE(d->Button(1)->isEnabled()) << c.what << ": " << d->MessageText();
    EXPECT_EQ(Download(*d), c.code) << c.what;
    EXPECT_EQ(d->MessageText().rfind(c.prefix, 0), 0u) << c.what << ": " << d->MessageText();
    EXPECT_EQ(d->ProgressText(), QString::fromUtf8("下载升级文件失败")) << c.what;
    // The message says to try again: both buttons let the user do so.
    EXPECT_TRUE(d->Button(1)->isEnabled()) << c.what;
    EXPECT_TRUE(d->Button(1007)->isEnabled()) << c.what;
    EXPECT_TRUE(Files("dl").isEmpty()) << c.what;
    EXPECT_TRUE(Files("t").isEmpty()) << c.what;
    if (c.info.contains("url=away") || c.info.contains("url=hop")) {
      for (const auto& r : http.requests) EXPECT_NE(r, "/pkg") << c.what << ": a refused redirect is not followed";
    }
  }

  // A package on a server that is gone: the address cannot be opened.
  auto d = Dialog();
  ASSERT_TRUE(Check(*d));
  d->m_strDownloadUrl = QStringLiteral("http://127.0.0.1:%1/pkg").arg(closedPort).toStdString();
  EXPECT_EQ(Download(*d), app::kDownloadConnectFailed);
  EXPECT_EQ(d->MessageText().rfind("连接网络失败，", 0), 0u);
  ExpectOnlyGuiThread();
}

TEST_F(UpdateTest, RedirectsOnTheUpdateServerAreFollowed) {
  HttpRoute a = Resp(301), b = Resp(307);
  a.location = "/b";
  b.location = QStringLiteral("http://127.0.0.1:%1/pkg").arg(http.Port()).toUtf8();
  http.Route("/a", a);
  http.Route("/b", b);
  HttpRoute infoHop = Resp(302);
  infoHop.location = "/info";
  http.Route("/latest", infoHop);
  http.Route("/info", Resp(200, Info("a"), "text/plain"));
  auto d = Dialog("/latest");
  ASSERT_TRUE(Check(*d));
  EXPECT_EQ(Download(*d), app::kDownloadOk) << d->MessageText();
  EXPECT_EQ(Files("dl"), QStringList{"pkg"});
}

TEST_F(UpdateTest, ChecksThatFindNothingToOffer) {
  HttpRoute endless = Resp(200, {}, "text/plain");
  endless.endless = true;
  endless.paceBytes = 16384;
  http.Route("/endless", endless);
  http.Route("/same", Resp(200, Info("pkg", "520"), "text/plain"));
  http.Route("/older", Resp(200, Info("pkg", "519"), "text/plain"));
  http.Route("/nourl", Resp(200, "version=530\nsize=10\nsha256=" + kPackageSha + "\n", "text/plain"));
  http.Route("/nohash", Resp(200, Info("pkg", "530", "0", ""), "text/plain"));
  http.Route("/elsewhere", Resp(200, Info("https://mirror.example.net/pkg"), "text/plain"));
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const QString gone = QStringLiteral("http://127.0.0.1:%1/info").arg(closed.serverPort());
  closed.close();

  const std::string upToDate = app::kMsgUpToDate, failed = app::kMsgCheckFailed;
  struct Case {
    const char* what;
    QString url;
    std::string message;
    bool checkAgain;
  } cases[] = {
      {"same version", http.Url("/same"), upToDate, false},
      {"older on the server", http.Url("/older"), upToDate, false},
      {"no package address", http.Url("/nourl"), failed, true},
      {"no SHA-256 to verify against", http.Url("/nohash"), failed, true},
      {"package on another host", http.Url("/elsewhere"), failed, true},
      {"version document without end", http.Url("/endless"), failed, true},
      {"404 for the document", http.Url("/nothing"), failed, true},
      {"closed port", gone, app::kMsgConnectFailed, true},
  };
  for (const auto& c : cases) {
    CUpdateDlg::Options o;
    o.infoUrl = c.url;
    o.downloadDir = tmp.filePath("dl");
    o.loopbackHttpForTests = true;
    CUpdateDlg d("520", nullptr, o);
    ASSERT_TRUE(Check(d)) << c.what;
    EXPECT_EQ(d.MessageText(), c.message) << c.what;
    EXPECT_FALSE(d.Button(1)->isEnabled()) << c.what;
    EXPECT_EQ(d.Button(1007)->isEnabled(), c.checkAgain) << c.what;
  }
  EXPECT_GE(http.disconnects, 1) << "the endless document was cut off";
}

// The fields show what the server wrote as text, never as markup; and the
// document that names the package and its hash comes over https only.
TEST_F(UpdateTest, FieldsArePlainTextAndOnlyHttpsIsAsked) {
  const QByteArray huge = "<font size=7 color=red>HUGE</font>";
  const QByteArray link = "<a href=\"https://x.example/\">点此</a>";
  http.Route("/info", Resp(200, "version=" + huge + "\r\nsize=10\r\ndate=" + link + "\r\n", "text/plain"));
  auto d = Dialog();
  ASSERT_TRUE(Check(*d));
  for (int id = 1128; id <= 1131; ++id) {
    const auto* field = d->findChild<QLabel*>(QStringLiteral("field%1").arg(id));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->textFormat(), Qt::PlainText) << id;
  }
  EXPECT_TRUE(d->FieldText(1129).contains(QString::fromUtf8(huge)));
  EXPECT_EQ(d->FieldText(1130), QString::fromUtf8(link));

  // Without the tests' allowance plain http is refused before anything is asked,
  // whether the address was given or came from the profile.
  const QString plain = http.Url("/info");
  services.profile.SetString("settings", "UpdateUrl", plain.toStdString());
  for (const QString& given : {plain, QString()}) {
    http.requests.clear();
    CUpdateDlg::Options o = Opts();
    o.infoUrl = given;
    o.loopbackHttpForTests = false;
    auto refused = Dialog(o);
    ASSERT_TRUE(Check(*refused));
    EXPECT_EQ(refused->MessageText(), app::InsecureAddressMessage(plain.toStdString()));
    EXPECT_EQ(refused->ProgressText(), QString::fromUtf8("检测更新失败"));
    EXPECT_TRUE(refused->Button(1007)->isEnabled());
    EXPECT_FALSE(refused->Button(1)->isEnabled());
    EXPECT_TRUE(http.requests.empty());
  }
}

// A server that crawls cannot keep a check or a download going for ever; Ctrl+D
// offers nothing the check did not; a package larger than the disk is not fetched;
// a failed download can be tried again.
TEST_F(UpdateTest, LimitsAndSecondChances) {
  HttpRoute trickle = Resp(200, Info("pkg"), "text/plain");
  trickle.paceMs = 100;
  trickle.paceBytes = 1;
  http.Route("/trickle", trickle);
  HttpRoute crawl = Resp(200, kPackage);
  crawl.paceMs = 20;
  crawl.paceBytes = 1;
  http.Route("/crawl", crawl);
  http.Route("/crawlinfo", Resp(200, Info("crawl"), "text/plain"));
  http.Route("/same", Resp(200, Info("pkg", "520"), "text/plain"));
  http.Route("/huge", Resp(200, Info("pkg", "521", "0", kPackageSha, 900000000000000), "text/plain"));

  {
    CUpdateDlg::Options o = Opts("/trickle");
    o.checkLimitMs = 500;
    auto d = Dialog(o);
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(Check(*d));
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(d->MessageText(), app::kMsgCheckTimedOut);
    EXPECT_TRUE(d->Button(1007)->isEnabled());
    EXPECT_FALSE(d->Button(1)->isEnabled());
  }
  {
    CUpdateDlg::Options o = Opts("/crawlinfo");
    o.downloadWindowMs = 300;
    auto d = Dialog(o);
    ASSERT_TRUE(Check(*d));
    EXPECT_EQ(Download(*d), app::kDownloadTooSlow);
    EXPECT_EQ(d->MessageText().rfind("网络传输过慢，下载已中止，", 0), 0u) << d->MessageText();
    EXPECT_TRUE(Files("t").isEmpty());
    EXPECT_TRUE(Files("dl").isEmpty());
  }
  {
    http.requests.clear();
    auto d = Dialog("/same");
    ASSERT_TRUE(Check(*d));
    ASSERT_EQ(d->MessageText(), app::kMsgUpToDate);
    QKeyEvent ctrlD(QEvent::KeyPress, Qt::Key_D, Qt::ControlModifier);
    QApplication::sendEvent(d.get(), &ctrlD);
    WaitFor([] { return false; }, 200);
    EXPECT_FALSE(d->Busy());
    EXPECT_EQ(d->MessageText(), app::kMsgUpToDate);
    EXPECT_EQ(http.requests, std::vector<QByteArray>{"/same"});
  }
  {
    http.requests.clear();
    auto d = Dialog("/huge");
    ASSERT_TRUE(Check(*d));
    EXPECT_EQ(Download(*d), app::kDownloadNoSpace);
    EXPECT_EQ(d->MessageText().rfind("磁盘空间不足：升级文件有", 0), 0u) << d->MessageText();
    EXPECT_EQ(http.requests, std::vector<QByteArray>{"/huge"}) << "nothing fetched";
    EXPECT_TRUE(Files("t").isEmpty());
  }
  {
    // A server error first, then the package: the second try succeeds.
    http.Route("/info", Resp(200, Info("flaky"), "text/plain"));
    http.Route("/flaky", Resp(500, "boom", "text/plain"));
    auto d = Dialog();
    ASSERT_TRUE(Check(*d));
    EXPECT_EQ(Download(*d), app::kDownloadServerRefused);
    http.Route("/flaky", Resp(200, kPackage));
    EXPECT_EQ(Download(*d), app::kDownloadOk) << d->MessageText();
    EXPECT_EQ(Files("dl"), QStringList{"flaky"});
  }
}

TEST_F(UpdateTest, ImportantUpdatesSayHowImportant) {
  struct Case {
    QByteArray importance;
    const char* first;
  } cases[] = {{"5", "检测到重要更新，请立即升级软件。\r\n"}, {"10", "检测到重要更新，必须升级软件。\r\n"}};
  for (const auto& c : cases) {
    http.Route("/info", Resp(200, Info("pkg", "521", c.importance), "text/plain"));
    auto d = Dialog();
    ASSERT_TRUE(Check(*d));
    EXPECT_EQ(d->MessageText(), std::string(c.first) + "软件最近更新：平差更快\r\n修正打印");
    EXPECT_TRUE(d->Button(1)->isEnabled());
  }
}

TEST_F(UpdateTest, QuitAbortsASlowDownloadAndLeavesNothing) {
  HttpRoute slow = Resp(200, kPackage);
  slow.paceMs = 20;
  http.Route("/slow", slow);
  http.Route("/info", Resp(200, Info("slow"), "text/plain"));
  auto owned = Dialog();
  ASSERT_TRUE(Check(*owned));
  QPointer<CUpdateDlg> d = owned.release();
  d->OnDownload();
  ASSERT_TRUE(WaitFor([&] { return d->ProgressText().startsWith(QString::fromUtf8("已下载:")); }));
  EXPECT_TRUE(d->Busy());
  EXPECT_FALSE(Files("t").isEmpty()) << "the partial file is in its private folder";
  d->OnQuit();
  ASSERT_TRUE(WaitFor([&] { return d.isNull(); }, 3000)) << "退出 destroys the dialog";
  EXPECT_TRUE(Files("t").isEmpty());
  EXPECT_TRUE(Files("dl").isEmpty());
  EXPECT_TRUE(WaitFor([&] { return http.disconnects >= 1; }, 3000)) << "the transfer was cut";
}

TEST_F(UpdateTest, KeysNeverCloseAndCtrlDStartsOneDownload) {
  auto d = Dialog();
  d->show();
  auto press = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent ev(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(d.get(), &ev);
  };
  press(Qt::Key_Escape);
  press(Qt::Key_Return);
  press(Qt::Key_Enter);
  EXPECT_TRUE(d->isVisible());
  press(Qt::Key_D, Qt::ControlModifier);  // nothing checked yet
  EXPECT_EQ(msg.Messages(), std::vector<std::string>{"连接服务器失败，\n请检查网络"});

  HttpRoute slow = Resp(200, kPackage);
  slow.paceMs = 20;
  http.Route("/slow", slow);
  http.Route("/info", Resp(200, Info("slow"), "text/plain"));
  ASSERT_TRUE(Check(*d));
  press(Qt::Key_D, Qt::ControlModifier);
  EXPECT_TRUE(d->Busy());
  press(Qt::Key_D, Qt::ControlModifier);
  WaitFor([] { return false; }, 200);
  int asked = 0;
  for (const auto& r : http.requests) asked += r == "/slow";
  EXPECT_EQ(asked, 1);
  d->OnHide();
  EXPECT_FALSE(d->isVisible());
  EXPECT_TRUE(d->Busy()) << "hiding does not stop the download";
}

TEST_F(UpdateTest, F3ShowsTheOneDialogUntilQuit) {
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  EXPECT_EQ(frame.UpdateDialog(), nullptr) << "created on first use";
  frame.OnSoftwareUpdate();
  QPointer<CUpdateDlg> first = frame.UpdateDialog();
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->m_strCurrentVersion, "520");
  EXPECT_EQ(first->m_strInfoUrl, app::DefaultUpdateInfoUrl());
  first->OnHide();
  frame.OnSoftwareUpdate();
  EXPECT_EQ(frame.UpdateDialog(), first.data());
  EXPECT_TRUE(first->isVisible());
  first->OnQuit();
  ASSERT_TRUE(WaitFor([&] { return first.isNull(); }, 3000));
  services.profile.SetString("settings", "UpdateUrl", "https://mirror.example.org/v.txt");
  frame.OnSoftwareUpdate();
  ASSERT_NE(frame.UpdateDialog(), nullptr);
  EXPECT_EQ(frame.UpdateDialog()->m_strInfoUrl, "https://mirror.example.org/v.txt");
  EXPECT_EQ(frame.UpdateDialog()->MessageText(), "请检测新版本") << "fresh state";
}

}  // namespace
