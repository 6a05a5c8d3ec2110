// The Qt ports: message boxes answer through the real dialogs, the clipboard and
// the profile keep Chinese text, the profile lives under "Norvale软件".
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QDir>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/ports.h"
#include "platform/services.h"
#include "table/ui/dialog_texts.h"
#include "table/ui/qt_ports.h"
#include "tests/table/ui/qt_app.h"

namespace {

QStringList Sorted(QStringList l) {
  l.sort();
  return l;
}

// Installs the Qt ports for one test and puts the defaults back afterwards.
class QtPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(config_.isValid());
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    table_ui::InstallQtPorts();
  }
  void TearDown() override {
    platform::SetMessagePort(nullptr);
    platform::SetServices({});
    qputenv("XDG_CONFIG_HOME", oldConfig_);
  }
  // Presses a button of the next message box as soon as it is shown; records its text.
  void AnswerNextBox(QMessageBox::StandardButton which) {
    QTimer::singleShot(0, [this, which] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      seenText_ = box->text();
      seenIcon_ = box->icon();
      seenCaption_ = box->windowTitle();
      seenButtons_.clear();
      for (QAbstractButton* b : box->buttons()) seenButtons_ << b->text();
      seenButtons_.sort();
      if (QAbstractButton* b = box->button(which)) b->click();
    });
  }
  QTemporaryDir config_;
  QByteArray oldConfig_;
  QString seenText_, seenCaption_;
  QStringList seenButtons_;  // sorted
  QMessageBox::Icon seenIcon_ = QMessageBox::NoIcon;
};

TEST_F(QtPortsTest, QuestionsShowTheTextAndReturnTheAnswer) {
  const std::string q = "要粘贴的内容超出当前选择区域，\n按“是”允许超出，按“否”忽略超出部分";
  AnswerNextBox(QMessageBox::Yes);
  EXPECT_TRUE(platform::Messages().AskYesNo(q, platform::MsgIcon::Question));
  EXPECT_EQ(seenText_.toStdString(), q);
  EXPECT_EQ(seenIcon_, QMessageBox::Question);
  EXPECT_EQ(seenCaption_, QStringLiteral("Quintar"));
  EXPECT_EQ(seenButtons_, Sorted({"否(&N)", "是(&Y)"})) << "Chinese buttons without a translator";

  AnswerNextBox(QMessageBox::No);
  EXPECT_FALSE(platform::Messages().AskYesNo(q, platform::MsgIcon::Question));

  struct Case { QMessageBox::StandardButton press; platform::Answer answer; } cases[] = {
      {QMessageBox::Yes, platform::Answer::Yes},
      {QMessageBox::No, platform::Answer::No},
      {QMessageBox::Cancel, platform::Answer::Cancel}};
  for (const Case& c : cases) {
    AnswerNextBox(c.press);
    EXPECT_EQ(platform::Messages().AskYesNoCancel("是否保存对 a.qvt 的更改?"), c.answer);
    EXPECT_EQ(seenButtons_, Sorted({"取消", "否(&N)", "是(&Y)"}));
  }
}

TEST_F(QtPortsTest, MessageBoxShowsIconAndText) {
  AnswerNextBox(QMessageBox::Ok);
  platform::Messages().ShowMessage("第3点(A1)处没有输入角度", platform::MsgIcon::Error);
  EXPECT_EQ(seenText_, QStringLiteral("第3点(A1)处没有输入角度"));
  EXPECT_EQ(seenIcon_, QMessageBox::Critical);
  EXPECT_EQ(seenButtons_, QStringList({"确定"}));
}

TEST_F(QtPortsTest, WaitCursorNestsAndNeverUnderflows) {
  auto& m = platform::Messages();
  m.SetWaitCursor(false);  // stray "off" must not pop someone else's cursor
  QApplication::setOverrideCursor(Qt::IBeamCursor);
  m.SetWaitCursor(true);
  m.SetWaitCursor(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  m.SetWaitCursor(false);
  m.SetWaitCursor(false);
  m.SetWaitCursor(false);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
  QApplication::restoreOverrideCursor();
}

TEST_F(QtPortsTest, ClipboardKeepsChineseTabsAndLineEnds) {
  const std::string text = "点号\t观测角\r\nA1\t123 45 30\r\nB2\t";
  platform::Desktop().clipboard->SetText(text);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), text);
  QGuiApplication::clipboard()->setText(QStringLiteral("边长\t152.314"));
  EXPECT_EQ(platform::Desktop().clipboard->GetText(), "边长\t152.314");
}

TEST_F(QtPortsTest, ProfileRoundTripUnderTheOrganisationKey) {
  auto* prof = platform::Desktop().profile;
  EXPECT_EQ(prof->GetInt("settings", "FontPt", 9), 9);
  EXPECT_EQ(prof->GetString("USER", "name", "无"), "无");
  prof->SetInt("settings", "FontPt", 12);
  prof->SetString("USER", "name", "测量一队");
  EXPECT_EQ(prof->GetInt("settings", "FontPt", 9), 12);
  EXPECT_EQ(prof->GetString("USER", "name", ""), "测量一队");
  // A value that is not a number reads as the default.
  prof->SetString("settings", "LowVerAlarm", "abc");
  EXPECT_EQ(prof->GetInt("settings", "LowVerAlarm", 1), 1);

  QSettings s(QStringLiteral("Norvale软件"), QStringLiteral("Quintar"));
  EXPECT_TRUE(s.fileName().contains(QStringLiteral("Norvale软件"))) << s.fileName().toStdString();
  EXPECT_TRUE(s.fileName().startsWith(config_.path())) << s.fileName().toStdString();
  EXPECT_EQ(s.value("settings/FontPt").toInt(), 12);
}

// The file chooser in Chinese: the file types Qt asks for under a context its
// translations miss, and the dates, which Qt takes from the desktop's (English)
// locale.
TEST_F(QtPortsTest, FileChooserShowsChineseTypesAndDates) {
  ASSERT_TRUE(table_ui::InstallDialogTranslations(TestApp())) << "qt6-translations-l10n is installed by setup";
  EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QStringLiteral("文件夹"));
  EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "%1 File").arg("QVT"), QStringLiteral("QVT 文件"));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("打开"));

  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
  QFileSystemModel files;
  QSignalSpy loaded(&files, &QFileSystemModel::directoryLoaded);
  const QModelIndex root = files.setRootPath(dir.path());
  ASSERT_TRUE(loaded.wait(5000));
  table_ui::ChineseFileDates dates;
  dates.setSourceModel(&files);
  ASSERT_EQ(files.rowCount(root), 1);
  const QModelIndex sub = dates.mapFromSource(files.index(0, 0, root));
  EXPECT_EQ(dates.index(sub.row(), 2, sub.parent()).data().toString(), QStringLiteral("文件夹"));
  const QString when = dates.index(sub.row(), 3, sub.parent()).data().toString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}/\\d{1,2}/\\d{1,2} \\d{1,2}:\\d{2}$")).match(when).hasMatch())
      << when.toStdString();
  EXPECT_EQ(dates.index(sub.row(), 0, sub.parent()).data().toString(), QStringLiteral("sub"));
}

TEST_F(QtPortsTest, DesktopRefusesEmptyAddress) {
  EXPECT_FALSE(platform::Desktop().desktop->OpenWithDesktop(""));
}

}  // namespace
