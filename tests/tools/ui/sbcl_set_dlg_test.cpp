// The detail-survey settings dialog: it shows the settings it was given, reads
// them back on OK, and stays open with the right message for what OK refuses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QToolTip>

#include "platform/fake_ports.h"
#include "table/ui/tips.h"
#include "tools/ui/sbcl_set_dlg.h"

namespace {

struct DialogTest : ::testing::Test {
  DialogTest() {
    static int argc = 1;
    static char name[] = "sbcl_set_dlg_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  platform::FakeMessagePort messages;
};

QLineEdit* Edit(CSbClSetDlg& d, int id) { return static_cast<QLineEdit*>(d.ControlOf(id)); }

TEST_F(DialogTest, ShowsAndReadsBackEverySetting) {
  tools::DetailSurveySettings s;
  s.mode = 2;
  s.clockwise = false;
  s.station = "K1";
  s.stationX = 3456789.125;
  s.stationH = 43.5;
  s.indexError = -12;
  s.showNameOrHeight = 0;
  s.showDot = false;
  CSbClSetDlg d(s);
  EXPECT_EQ(static_cast<QComboBox*>(d.ControlOf(CSbClSetDlg::kMode))->currentIndex(), 2);
  EXPECT_EQ(Edit(d, CSbClSetDlg::kStationX)->text(), "3456789.125");
  EXPECT_FALSE(static_cast<QCheckBox*>(d.ControlOf(CSbClSetDlg::kDot))->isChecked());

  Edit(d, CSbClSetDlg::kBacksight)->setText(QString::fromUtf8("后视"));
  Edit(d, CSbClSetDlg::kBacksightY)->setText(" -250.5 ");
  Edit(d, CSbClSetDlg::kInstrument)->setText("1.48");
  static_cast<QComboBox*>(d.ControlOf(CSbClSetDlg::kMode))->setCurrentIndex(0);
  ASSERT_TRUE(d.TryAccept());
  EXPECT_TRUE(messages.Messages().empty());
  const tools::DetailSurveySettings& r = d.Settings();
  EXPECT_EQ(r.mode, 0);
  EXPECT_FALSE(r.clockwise);
  EXPECT_EQ(r.backsight, "后视");
  EXPECT_DOUBLE_EQ(r.backsightY, -250.5);
  EXPECT_DOUBLE_EQ(r.instrumentHeight, 1.48);
  EXPECT_DOUBLE_EQ(r.stationX, 3456789.125);
  EXPECT_DOUBLE_EQ(r.indexError, -12);
  EXPECT_EQ(r.showNameOrHeight, 0);
}

TEST_F(DialogTest, OkRefusals) {
  struct Case {
    int id;
    const char* text;
    std::string message;
  } cases[] = {
      {CSbClSetDlg::kStation, "", tools::kDetailStationRequired},
      {CSbClSetDlg::kStation, "K,1", tools::kDetailNameCharsMessage},
      {CSbClSetDlg::kBacksight, "B\n2", tools::kDetailNameCharsMessage},
      {CSbClSetDlg::kStationY, "12a", tools::kDetailNumberMessage},
      {CSbClSetDlg::kIndexError, "", tools::kDetailNumberMessage},
  };
  for (const Case& c : cases) {
    tools::DetailSurveySettings s;
    s.station = "K1";
    CSbClSetDlg d(s);
    Edit(d, c.id)->setText(QString::fromUtf8(c.text));
    messages.Clear();
    EXPECT_FALSE(d.TryAccept()) << c.text;
    ASSERT_EQ(messages.Messages().size(), 1u) << c.text;
    EXPECT_EQ(messages.Messages()[0], c.message);
    EXPECT_EQ(d.Settings().station, "K1");  // nothing taken over from a refused OK
    EXPECT_EQ(d.result(), QDialog::Rejected);
  }
}


// The settings dialogs' tips come 50 ms after the pointer rests on a control, as the
// grids' and the drawing's do, not after the desktop's longer wait.
TEST_F(DialogTest, TipsComeAtOnce) {
  CSbClSetDlg d(tools::DetailSurveySettings{});
  d.show();
  QLineEdit* e = Edit(d, CSbClSetDlg::kIndexError);
  QToolTip::hideText();
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(e, &enter);
  QElapsedTimer t;
  t.start();
  while (!QToolTip::isVisible() && t.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), tips::Wrapped(e->toolTip()));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(e, &leave);
  QToolTip::hideText();
}

}  // namespace
