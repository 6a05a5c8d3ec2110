// The drawing view on screen and paper: tool buttons, painting at the mapped
// places, wheel and query through the widget, print scale on a PDF page measured
// in pixels at 254 dpi (1 px = 0.1 mm), the settings and colour dialogs, and the
// frame's "图形" / "表格" round trip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QWheelEvent>
#include <numbers>

#include "app/doc.h"
#include "app/ui/main_frame.h"
#include "drawing/draw_settings.h"
#include "drawing/recording_canvas.h"
#include "drawing/ui/aci_color_dlg.h"
#include "drawing/ui/draw_print.h"
#include "drawing/ui/draw_set_dlg.h"
#include "drawing/ui/draw_view_plug.h"
#include "drawing/ui/draw_widget.h"
#include "platform/commands.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/table_view.h"
#include "table/ui/button_st.h"
#include "table/ui/table_print.h"
#include "table/ui/tips.h"
#include "table/ui/ui_scale.h"
#include "tests/table/ui/qt_app.h"

namespace {

using drawing::CDrawView;

QRect Ink(const QImage& img, QRect within = QRect()) {
  if (within.isNull()) within = img.rect();
  QRect box;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if (qGray(img.pixel(x, y)) < 200) box |= QRect(x, y, 1, 1);
  return box;
}

QPoint DeviceOf(const CDrawView& v, double x, double y) {
  const drawing::DPoint d = drawing::DeviceMapping::Screen(v.Metrics()).ToDevice(v.WorldToLogical(x, y));
  return QPoint(int(std::lround(d.x)), int(std::lround(d.y)));
}

class DrawWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    widget_ = std::make_unique<drawing_ui::CDrawWidget>(view_);
    widget_->resize(800, 600);
  }
  CDrawView view_;
  std::unique_ptr<drawing_ui::CDrawWidget> widget_;
};

TEST_F(DrawWidgetTest, EightToolButtonsInOrder) {
  const char* captions[8] = {"设置", "全显", "窗显", "缩放", "平移", "CAD", "查询", "表格"};
  const int ids[8] = {1225, 1226, 1227, 1228, 1229, 1022, 1231, 1232};
  int lastX = -1;
  for (int i = 0; i < 8; ++i) {
    CButtonST* b = widget_->ToolButton(ids[i]);
    ASSERT_NE(b, nullptr) << ids[i];
    EXPECT_EQ(b->text().toStdString(), captions[i]);
    EXPECT_FALSE(b->toolTip().isEmpty());
    EXPECT_GT(b->x(), lastX);
    EXPECT_LE(b->geometry().bottom(), g_nRowHeight);
    lastX = b->x();
  }
  widget_->show();
  EXPECT_FALSE(widget_->ToolButton(1232)->isVisible());
  view_.ShowTableButton(1);
  EXPECT_TRUE(widget_->ToolButton(1232)->isVisible());
  view_.BeginDrawing(0);  // every clear hides it
  EXPECT_FALSE(widget_->ToolButton(1232)->isVisible());
  EXPECT_EQ(drawing::g_pDrawView, &view_);
}

TEST_F(DrawWidgetTest, PaintsSymbolsWhereTheMappingSays) {
  view_.BeginDrawing(0);
  view_.SetLayer("往", -1, 1, 0, true);
  view_.AddControlPoint("A", 1, 1000, 2000, 0, -1, -1, -1);
  view_.AddLine("往", 1000, 2000, 1000, 2100);  // 100 m east
  view_.SetScale(2000);                          // 100 m = 50 mm on screen
  const QImage img = widget_->grab().toImage();
  const QPoint a = DeviceOf(view_, 1000, 2000), b = DeviceOf(view_, 1000, 2100);
  int green = 255;
  for (int dy = -1; dy <= 1; ++dy) {
    const QRgb c = img.pixel((a.x() + b.x()) / 2, a.y() + dy);
    if (qRed(c) > 200) green = std::min(green, qGreen(c));
  }
  EXPECT_LT(green, 160) << "the line in colour 1";
  // The triangle's base 1.5 mm below the point, in black.
  const int below = a.y() + int(15 * view_.Metrics().dpiY / 254);
  EXPECT_FALSE(Ink(img, QRect(a.x() - 3, below - 2, 7, 5)).isEmpty());
  // The tool band in the button face colour at the right end.
  EXPECT_NE(img.pixel(795, 10) & 0xffffff, 0xffffffu);
}

TEST_F(DrawWidgetTest, WheelAndQueryThroughTheWidget) {
  platform::ScopedMemoryServices services;
  view_.BeginDrawing(0);
  view_.AddControlPoint("P7", 0, 1000, 2000, 0, -1, -1, -1);
  widget_->show();
  const QPoint p = DeviceOf(view_, 1000, 2000);
  auto exact = [this] {
    return drawing::DeviceMapping::Screen(view_.Metrics()).ToDevice(view_.WorldToLogical(1000, 2000));
  };
  const drawing::DPoint before = exact();
  QWheelEvent up(QPointF(p), QPointF(widget_->mapToGlobal(p)), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget_.get(), &up);
  EXPECT_NEAR(view_.m_dScale, 8000, 1e-9);
  // The world point under the cursor stays; the point beside it moves away 1.25 times.
  EXPECT_NEAR(exact().x - p.x(), (before.x - p.x()) * 1.25, 1e-6);
  EXPECT_NEAR(exact().y - p.y(), (before.y - p.y()) * 1.25, 1e-6);

  widget_->ToolButton(1231)->click();
  EXPECT_EQ(view_.m_nToolMode, 1231);
  QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(widget_->mapToGlobal(p)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(widget_.get(), &move);
  EXPECT_TRUE(view_.m_bHit);
  const QImage img = widget_->grab().toImage();
  bool red = false;
  for (int dx = -8; dx <= 8; ++dx)
    for (int dy = -8; dy <= 8; ++dy) {
      const QRgb c = img.pixel(p.x() + dx, p.y() + dy);
      red |= qRed(c) > 200 && qGreen(c) < 120 && qBlue(c) < 120;  // the box's thin edge, anti-aliased
    }
  EXPECT_TRUE(red) << "the red highlight around the point";
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), QPointF(widget_->mapToGlobal(p)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget_.get(), &press);
  EXPECT_EQ(services.clipboard.text, "P7: X=1000.0000; Y=2000.0000");
}

// 打印设置 in the drawing opens the session's page setup, and the landscape chosen
// there is the orientation of the drawing's preview.
TEST_F(DrawWidgetTest, PrintSetupHoldsForTheDrawingsPreview) {
  QPrinter& session = table_ui::SessionPrinter();
  session.setOutputFormat(QPrinter::PdfFormat);
  session.setPageOrientation(QPageLayout::Portrait);
  bool setupShown = false;
  QTimer::singleShot(200, [&] {
    QWidget* w = QApplication::activeModalWidget();
    auto* dlg = qobject_cast<QPageSetupDialog*>(w);
    if (!dlg) {
      if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
      return;
    }
    setupShown = true;
    if (auto* landscape = dlg->findChild<QRadioButton*>(QStringLiteral("landscape"))) landscape->click();
    dlg->accept();
  });
  widget_->OnCommand(platform::ID_FILE_PRINT_SETUP);
  EXPECT_TRUE(setupShown);

  QPageLayout::Orientation inPreview = QPageLayout::Portrait;
  QTimer::singleShot(200, [&] {
    auto* dlg = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    if (!dlg) return;
    inPreview = dlg->printer()->pageLayout().orientation();
    dlg->reject();
  });
  widget_->OnCommand(platform::ID_FILE_PRINT_PREVIEW);
  EXPECT_EQ(inPreview, QPageLayout::Landscape);
  session.setPageOrientation(QPageLayout::Portrait);
}

// A print that cannot start says so.
TEST_F(DrawWidgetTest, AFailedPrintSaysSo) {
  platform::FakeMessagePort messages;
  view_.BeginDrawing(0);
  view_.AddLine("L", 0, 0, 10, 10);
  QPrinter& session = table_ui::SessionPrinter();
  const QString oldFile = session.outputFileName();
  const QPrinter::OutputFormat oldFormat = session.outputFormat();
  session.setOutputFormat(QPrinter::PdfFormat);
  session.setOutputFileName(QStringLiteral("/nonexistent-quintar-dir/drawing.pdf"));
  widget_->OnCommand(platform::ID_FILE_PRINT_DIRECT);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0], "图形打印失败：无法写入文件“/nonexistent-quintar-dir/drawing.pdf”。");
  QTemporaryDir dir;
  session.setOutputFileName(dir.filePath("ok.pdf"));
  messages.Clear();
  widget_->OnCommand(platform::ID_FILE_PRINT_DIRECT);
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("ok.pdf")));
  session.setOutputFileName(oldFile);
  session.setOutputFormat(oldFormat);
}

// The dialogs' tips come 50 ms after the pointer rests on a control, not after
// the desktop's longer wait.
TEST(DrawDialogs, TipsComeAtOnce) {
  TestApp();
  CDrawView v;
  v.BeginDrawing(0);
  drawing_ui::CDrawSetDlg dlg(v);
  dlg.show();
  QToolTip::hideText();
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(dlg.outputEdit, &enter);
  QElapsedTimer t;
  t.start();
  while (!QToolTip::isVisible() && t.elapsed() < 400) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), tips::Wrapped(QString::fromUtf8("图形打印及输出到CAD中的字体大小。")));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(dlg.outputEdit, &leave);
  QToolTip::hideText();
}

// Prints to a PDF and rasterises it at 254 dpi: one pixel is 0.1 mm on paper.
class PrintScaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    pdftoppm_ = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  }
  QImage PrintPage(CDrawView& v, int* pages = nullptr) {
    const QString pdf = dir_.filePath("d.pdf");
    {
      QPdfWriter w(pdf);
      w.setPageSize(QPageSize(QPageSize::A4));
      w.setResolution(600);
      EXPECT_TRUE(drawing_ui::PrintDrawing(v, w));
    }
    QProcess proc;
    proc.start(pdftoppm_, {"-r", "254", "-gray", pdf, dir_.filePath("p")});
    proc.waitForFinished(30000);
    QDir d(dir_.path());
    const QStringList files = d.entryList({"p*.pgm"});
    if (pages) *pages = int(files.size());
    return files.isEmpty() ? QImage() : QImage(d.filePath(files.first()));
  }
  QTemporaryDir dir_;
  QString pdftoppm_;
};

TEST_F(PrintScaleTest, LengthsOnPaperFollowThePrintScale) {
  if (pdftoppm_.isEmpty()) GTEST_SKIP() << "pdftoppm not installed";
  struct Case {
    double scale;
    int eastPx, northPx;  // 100 m east, 50 m north, in 0.1 mm
  } cases[] = {{1000, 1000, 500}, {500, 2000, 1000}};
  for (const Case& c : cases) {
    CDrawView v;
    v.BeginDrawing(0);
    v.AddLine("L", 5000, 3000, 5000, 3100);  // west end (5000, 3000), 100 m east
    v.AddLine("L", 5000, 3000, 5050, 3000);  // 50 m north from the west end
    v.m_dPrintScale = c.scale;
    int pages = 0;
    const QImage page = PrintPage(v, &pages);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(pages, 1);
    const QRect ink = Ink(page);
    EXPECT_NEAR(ink.width(), c.eastPx, 5) << c.scale;    // ± 0.5 mm
    EXPECT_NEAR(ink.height(), c.northPx, 5) << c.scale;
    // North up: the short line rises from the west end, above the long one.
    int west = 255, east = 255;
    for (int dx = 0; dx < 4; ++dx) {
      west = std::min(west, qGray(page.pixel(ink.left() + dx, ink.top() + 20)));
      east = std::min(east, qGray(page.pixel(ink.right() - dx, ink.top() + 20)));
    }
    EXPECT_LT(west, 200);
    EXPECT_GT(east, 200);
    // The extent's centre at the page centre.
    EXPECT_NEAR(ink.center().x(), page.width() / 2, 8);
    EXPECT_NEAR(ink.center().y(), page.height() / 2, 8);
  }
}

TEST_F(PrintScaleTest, ErrorEllipseSizeOnPaper) {
  if (pdftoppm_.isEmpty()) GTEST_SKIP() << "pdftoppm not installed";
  CDrawView v;
  v.BeginDrawing(0);
  v.SetLayer(drawing::kLayerUnknown, 0, -1, -1, false);  // no name beside it
  v.AddControlPoint("P", 0, 5000, 3000, 0, 10, 5, std::numbers::pi / 2);  // E along east
  const QImage page = PrintPage(v);
  ASSERT_FALSE(page.isNull());
  const QRect ink = Ink(page);
  EXPECT_NEAR(ink.width(), 200, 4);   // 2 E = 20 mm
  EXPECT_NEAR(ink.height(), 100, 4);  // 2 F = 10 mm
}

// A label's output height is its character cell on paper, and each half-width
// character is (h + 1) / 2 wide: 2.5 mm gives a 2.5 mm cell and 1.3 mm per
// character. The ink of a text fills a known share of the cell and of the advance
// in this face, measured on the face itself.
TEST_F(PrintScaleTest, LabelHeightAndWidthOnPaper) {
  if (pdftoppm_.isEmpty()) GTEST_SKIP() << "pdftoppm not installed";
  const QString text = QString::fromUtf8("GP02导线");  // 4 + 4 half-width places
  QFont probe = MakeUiFont(1000);
  const QFontMetricsF pm(probe);
  QPainterPath outline;
  outline.addText(0, 0, probe, text);
  const QRectF ink1000 = outline.boundingRect();
  const double inkPerCell = ink1000.height() / (pm.ascent() + pm.descent());
  const double inkPerAdvance = ink1000.width() / pm.horizontalAdvance(text);
  struct Case {
    double outputHeight;  // 0.1 mm
    int half;             // (h + 1) / 2
  } cases[] = {{25, 13}, {50, 25}};
  for (const Case& c : cases) {
    CDrawView v;
    v.BeginDrawing(0);
    v.SetLayer(drawing::kLayerKnownSymbol, 0, -1, -1, false);  // the name alone
    v.AddControlPoint(text.toStdString(), 1, 5000, 3000, 0, -1, -1, -1);
    v.m_dOutputTextHeight = c.outputHeight;
    const QImage page = PrintPage(v);
    ASSERT_FALSE(page.isNull());
    // The name starts 2 mm right of the point, which is at the page centre.
    const QRect right(page.width() / 2 + 10, 0, page.width() / 2 - 10, page.height());
    const QRect ink = Ink(page, right);
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.height(), c.outputHeight * inkPerCell, 1.5) << c.outputHeight;
    EXPECT_NEAR(ink.width(), 8 * c.half * inkPerAdvance, 2) << c.outputHeight;
    // Vertically centred on the point, as TextOut at (X', Y + h / 2) puts the cell.
    EXPECT_NEAR(ink.left(), page.width() / 2 + 20, 4);
  }
}

TEST(DrawDialogs, HiddenLayersVanishOnOkAndStayOnCancel) {
  TestApp();
  platform::FakeMessagePort messages;
  for (bool ok : {true, false}) {
    CDrawView v;
    v.BeginDrawing(0);
    v.AddLine("边长", 0, 0, 1, 1);
    v.SetLayer("未用", -1, 3, -1, false);  // not used: not listed
    drawing_ui::CDrawSetDlg dlg(v);
    ASSERT_EQ(dlg.List()->rowCount(), 1);
    dlg.List()->ClickCell(0, 1);
    EXPECT_EQ(dlg.List()->item(0, 1)->text().toStdString(), "0");
    dlg.List()->pickColour = [](int current, int* chosen) {
      EXPECT_EQ(current, 7);
      *chosen = 30;
      return true;
    };
    dlg.List()->ClickCell(0, 2);
    dlg.List()->ClickCell(0, 3);
    EXPECT_TRUE(dlg.List()->Picker()->isVisibleTo(dlg.List()));
    dlg.List()->OnPickEnd("16");
    if (ok) {
      dlg.accept();
      ASSERT_EQ(dlg.result(), QDialog::Accepted);
      drawing::ApplyDrawSettings(v, dlg.Values());
    } else {
      dlg.reject();
    }
    const auto& layer = v.m_arrLayer[v.FindLayer("边长")];
    EXPECT_EQ(layer.visible, ok ? 0 : 1);
    EXPECT_EQ(layer.colour, ok ? 30 : 7);
    EXPECT_EQ(layer.style, ok ? 16 : 0);
  }
}

TEST(DrawDialogs, RangesAndModeLayout) {
  TestApp();
  platform::FakeMessagePort messages;
  CDrawView v;
  v.BeginDrawing(1);
  drawing_ui::CDrawSetDlg dlg(v);
  EXPECT_FALSE(dlg.ellipseEdit->isEnabled());
  EXPECT_EQ(dlg.printLabel->text().toStdString(), "打印比例　1：");
  struct Case {
    QLineEdit* edit;
    const char* text;
    const char* message;
  } cases[] = {
      {dlg.outputEdit, "40", "请输入一个介于 0.1 和 30 之间的数。"},
      {dlg.printEdit, "0", "请输入一个介于 1 和 10000000 之间的数。"},
      {dlg.displayEdit, "31", "请输入一个介于 1 和 30 之间的数。"},
      // Text that is not one number is refused, not read by its first digits.
      {dlg.outputEdit, "2.5x", "请输入一个数。"},
      {dlg.outputEdit, "", "请输入一个数。"},
      {dlg.printEdit, "1000,5", "请输入一个数。"},
      {dlg.printEdit, "nan", "请输入一个数。"},
      {dlg.printEdit, "1e309", "请输入一个数。"},
      {dlg.displayEdit, "4mm", "请输入一个数。"},
      {dlg.displayEdit, "2.5", "请输入一个整数。"},
  };
  const drawing::DrawSettings before = dlg.Values();
  for (const Case& c : cases) {
    const QString old = c.edit->text();
    c.edit->setText(c.text);
    messages.Clear();
    EXPECT_FALSE(dlg.TakeValues()) << c.text;
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0], c.message) << c.text;
    EXPECT_EQ(dlg.Values().outputHeightMm, before.outputHeightMm) << c.text;
    EXPECT_EQ(dlg.Values().printScale, before.printScale) << c.text;
    EXPECT_EQ(dlg.Values().displayHeightMm, before.displayHeightMm) << c.text;
    c.edit->setText(old);
  }
  EXPECT_TRUE(dlg.TakeValues());
  CDrawView net;
  net.BeginDrawing(0);
  drawing_ui::CDrawSetDlg dlg0(net);
  EXPECT_TRUE(dlg0.ellipseEdit->isEnabled());
  dlg0.ellipseEdit->setText("0");
  messages.Clear();
  EXPECT_FALSE(dlg0.TakeValues());
  EXPECT_EQ(messages.Messages().at(0), "请输入一个介于 0.001 和 1000000 之间的数。");
}

// The check decides the screen labels: off, they keep their paper size against
// the network (2.5 mm at 1:1000 is nothing at 1:100000); on, they stay 4 mm.
TEST(DrawDialogs, FixedHeightCheckDecidesTheScreenLabels) {
  TestApp();
  platform::FakeMessagePort messages;
  struct Case {
    bool fixed;
    double screenScale;
    int height;   // logical units (0.1 mm)
    int labels;   // label texts drawn besides the caption
  } cases[] = {
      {false, 100000, 0, 0},
      {false, 2000, 12, 1},
      {true, 100000, 40, 1},
      {true, 2000, 40, 1},
  };
  for (const Case& c : cases) {
    CDrawView v;
    v.BeginDrawing(0);
    v.AddControlPoint("A", 1, 1000, 2000, 0, -1, -1, -1);
    v.SetScale(c.screenScale);
    drawing_ui::CDrawSetDlg dlg(v);
    EXPECT_TRUE(dlg.fixedCheck->isChecked()) << "every clear sets it";
    dlg.fixedCheck->setChecked(c.fixed);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    drawing::ApplyDrawSettings(v, dlg.Values());
    EXPECT_EQ(v.m_bFixedTextHeight, c.fixed ? 1 : 0);
    EXPECT_EQ(v.LabelHeight(false), c.height) << c.screenScale;
    drawing::RecordingCanvas rec;
    v.DrawNetwork(rec, drawing::DeviceMapping::Screen(v.Metrics()), false);
    EXPECT_EQ(int(rec.Texts().size()) - 1, c.labels) << c.fixed << " " << c.screenScale;
    // The dialog opened again shows the view's state.
    drawing_ui::CDrawSetDlg again(v);
    EXPECT_EQ(again.fixedCheck->isChecked(), c.fixed);
  }
}

TEST(DrawDialogs, ColourPickerFramesAndReports) {
  TestApp();
  drawing_ui::CAciColorDlg dlg;
  dlg.SetIndex(0, 0);
  EXPECT_EQ(dlg.Index(), 7) << "forced into 1..255";
  // Column of hue group 1 (indices 10..19): 18 at the top, 10 in the middle, 19 at the bottom.
  EXPECT_LT(dlg.CellOf(18).top(), dlg.CellOf(10).top());
  EXPECT_LT(dlg.CellOf(10).top(), dlg.CellOf(11).top());
  EXPECT_EQ(dlg.CellOf(20).left(), dlg.CellOf(10).left() + 20);
  EXPECT_EQ(dlg.IndexAt(dlg.CellOf(135).center()), 135);
  EXPECT_EQ(dlg.IndexAt(dlg.CellOf(253).center()), 253);
  QWidget* area = dlg.findChild<QWidget*>("aciArea");
  ASSERT_NE(area, nullptr);
  const QPoint c = dlg.CellOf(1).center();
  QMouseEvent move(QEvent::MouseMove, QPointF(c), QPointF(area->mapToGlobal(c)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(area, &move);
  EXPECT_EQ(dlg.HoverIndexText().toStdString(), "索引颜色：1");
  EXPECT_EQ(dlg.HoverRgbText().toStdString(), "RGB：(255,  0,  0)");
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(c), QPointF(area->mapToGlobal(c)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(area, &press);
  EXPECT_EQ(dlg.Index(), 1);
  EXPECT_EQ(dlg.findChild<QLineEdit*>("edit1011")->text().toStdString(), "1");
}

// The style picker opens over the whole cell showing the style's line, not its
// number; the colour dialog's "旧颜色"/"新颜色" are written in full.
TEST(DrawDialogs, PickerShowsItsLineAndColourCaptionsFit) {
  TestApp();
  CDrawView v;
  v.BeginDrawing(0);
  v.AddLine("边长", 0, 0, 1, 1);
  drawing_ui::CDrawSetDlg dlg(v);
  dlg.show();
  {
    auto* list = dlg.List();
    list->ClickCell(0, 3);
    auto* picker = list->Picker();
    ASSERT_TRUE(picker->isVisibleTo(list));
    EXPECT_EQ(picker->geometry(), list->visualItemRect(list->item(0, 3))) << "over the whole cell";
    EXPECT_GE(picker->width(), 140);
    EXPECT_EQ(picker->currentText(), "0");
    const QImage img = picker->grab().toImage();
    QStyleOptionComboBox opt;
    opt.initFrom(picker);
    const QRect field =
        picker->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, picker);
    int inked = 0;
    for (int x = field.left(); x <= field.right(); ++x) {
      bool dark = false;
      for (int y = field.center().y() - 1; y <= field.center().y() + 1; ++y)
        dark = dark || qGray(img.pixel(x, y)) < 128;
      inked += dark;
    }
    EXPECT_GT(inked, field.width() * 6 / 10) << "a solid line across the field";
  }
  drawing_ui::CAciColorDlg colours;
  colours.show();
  QWidget* area = colours.findChild<QWidget*>("aciArea");
  ASSERT_NE(area, nullptr);
  const QImage pic = area->grab().toImage();
  const int lineHeight = QFontMetrics(area->font()).height();
  for (bool old : {true, false}) {
    const QRect caption = colours.CaptionRect(old);
    QRect ink;
    for (int y = caption.top(); y < pic.height(); ++y)
      for (int x = caption.left(); x <= caption.right(); ++x)
        if (qGray(pic.pixel(x, y)) < 100) ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isNull()) << old;
    EXPECT_LT(ink.bottom(), pic.height() - 2) << "the caption ends above the area's edge";
    EXPECT_GT(ink.height(), lineHeight / 2) << old;
    EXPECT_GT(ink.left(), caption.left()) << "not cut at the sides";
    EXPECT_LT(ink.right(), caption.right());
  }
}

TEST(DrawFrame, DrawingStandsInForTheTableAndGoesBack) {
  TestApp();
  platform::ScopedMemoryServices services;
  drawing_ui::RegisterDrawView();
  app::CVornDoc doc;
  app_ui::CMainFrame frame(doc);
  ASSERT_TRUE(frame.Create());
  frame.SwitchView(app::kTraverseViewId);
  CTableView table;
  frame.SwitchToDrawing(table);
  EXPECT_EQ(frame.ShownViewId(), app::kDrawViewId);
  EXPECT_EQ(frame.RightViewId(), app::kTraverseViewId);
  auto* w = qobject_cast<drawing_ui::CDrawWidget*>(frame.View(app::kDrawViewId));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->ToolButton(1232)->isVisibleTo(w));
  w->ToolButton(1232)->click();
  EXPECT_EQ(frame.ShownViewId(), app::kTraverseViewId);
  EXPECT_FALSE(w->ToolButton(1232)->isVisibleTo(w));
  app_ui::RegisterViewFactory(app::kDrawViewId, nullptr);
}

}  // namespace
