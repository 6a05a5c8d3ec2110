// The QPainter canvas, probed in pixels: where lines, dashes, Bézier ellipses,
// circles and anchored text land, in the colour of their index, on an image and
// on a PDF page (the same code draws on screen and on paper).
#include <gtest/gtest.h>

#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

#include "drawing/ui/qt_draw_canvas.h"
#include "tests/table/ui/qt_app.h"

namespace {

using drawing::Colour;
using drawing::DPoint;

QImage White(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

bool Dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 160; }

// Bounding box of the non-white pixels.
QRect Ink(const QImage& img) {
  QRect box;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xffffff) != 0xffffff) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(QtDrawCanvas, LinesTakeTheirIndexColourAndWidth) {
  TestApp();
  QImage img = White(200, 120);
  {
    QPainter p(&img);
    drawing_ui::QtDrawCanvas c(p);
    c.SetPen({Colour::Index(1), 5, drawing::Dash::Solid, 1});
    c.Line({10, 30.5}, {190, 30.5});
    c.SetPen({Colour::Index(5), 0, drawing::Dash::Solid, 1});
    const DPoint pl[] = {{10, 80.5}, {100, 80.5}, {100, 110.5}};
    c.Polyline(pl, 3);
  }
  EXPECT_EQ(Px(img, 100, 30), RgbOf(255, 0, 0));
  EXPECT_EQ(Px(img, 100, 32), RgbOf(255, 0, 0));  // 5 wide: 28..32
  EXPECT_EQ(Px(img, 100, 35), RgbOf(255, 255, 255));
  EXPECT_EQ(Px(img, 50, 80), RgbOf(0, 0, 255));
  EXPECT_EQ(Px(img, 100, 100), RgbOf(0, 0, 255));
  EXPECT_EQ(Px(img, 150, 80), RgbOf(255, 255, 255));
}

TEST(QtDrawCanvas, DashStylesLeaveGapsTheSolidPenDoesNot) {
  TestApp();
  struct Case {
    drawing::Dash dash;
    double unit;
    bool gaps;
  } cases[] = {{drawing::Dash::Solid, 1, false}, {drawing::Dash::Dash, 1, true}, {drawing::Dash::Dot, 1, true},
               {drawing::Dash::DashDot, 2, true}, {drawing::Dash::DashDotDot, 1, true}};
  for (const Case& k : cases) {
    QImage img = White(300, 20);
    {
      QPainter p(&img);
      drawing_ui::QtDrawCanvas c(p);
      c.SetPen({Colour::Index(7), 0, k.dash, k.unit});
      c.Line({0, 10.5}, {300, 10.5});
    }
    int gaps = 0;
    for (int x = 20; x < 280; ++x) gaps += Dark(img, x, 10) ? 0 : 1;
    EXPECT_EQ(gaps > 20, k.gaps) << int(k.dash) << " gaps " << gaps;
  }
}

TEST(QtDrawCanvas, BezierChainAndCircleSpanTheirRadii) {
  TestApp();
  // A circle of radius 40 as four cubic arcs, the construction the error ellipses use.
  const double r = 40, k = 0.5522847498 * r, cx = 60, cy = 60;
  const DPoint chain[] = {{cx - r, cy},     {cx - r, cy - k}, {cx - k, cy - r}, {cx, cy - r}, {cx + k, cy - r},
                          {cx + r, cy - k}, {cx + r, cy},     {cx + r, cy + k}, {cx + k, cy + r}, {cx, cy + r},
                          {cx - k, cy + r}, {cx - r, cy + k}, {cx - r, cy}};
  QImage img = White(240, 120);
  {
    QPainter p(&img);
    drawing_ui::QtDrawCanvas c(p);
    c.SetPen({Colour::Index(7), 1, drawing::Dash::Solid, 1});
    c.Bezier(chain, 13);
  }
  const QRect box = Ink(img);
  EXPECT_NEAR(box.width(), 81, 2);
  EXPECT_NEAR(box.height(), 81, 2);
  EXPECT_FALSE(Dark(img, 60, 60));  // hollow
  img = White(240, 120);
  {
    QPainter p(&img);
    drawing_ui::QtDrawCanvas c(p);
    c.SetPen({Colour::Index(7), 1, drawing::Dash::Solid, 1});
    c.Circle({120, 60}, 12);
  }
  EXPECT_NEAR(Ink(img).width(), 25, 2);
  EXPECT_NEAR(Ink(img).center().x(), 120, 1);
}

TEST(QtDrawCanvas, TextSitsOnItsAnchor) {
  TestApp();
  struct Case {
    drawing::Anchor anchor;
    bool belowAnchor;   // the ink starts at or below the anchor's y
    bool rightOfAnchor; // the ink starts at or right of the anchor's x
  } cases[] = {{drawing::Anchor::TopLeft, true, true},
               {drawing::Anchor::BottomLeft, false, true},
               {drawing::Anchor::Center, false, false},
               {drawing::Anchor::TopCenter, true, false}};
  for (const Case& k : cases) {
    QImage img = White(200, 120);
    {
      QPainter p(&img);
      drawing_ui::QtDrawCanvas c(p);
      drawing::TextStyle st;
      st.height = 24;
      st.colour = Colour::Index(3);
      st.anchor = k.anchor;
      c.Text({100, 60}, "导线点", st);
    }
    const QRect ink = Ink(img);
    ASSERT_FALSE(ink.isEmpty()) << int(k.anchor);
    EXPECT_EQ(ink.top() >= 59, k.belowAnchor) << int(k.anchor) << " top " << ink.top();
    EXPECT_EQ(ink.left() >= 99, k.rightOfAnchor) << int(k.anchor) << " left " << ink.left();
    EXPECT_GT(ink.width(), 48) << "three CJK glyphs";
    if (k.anchor == drawing::Anchor::Center) {
      EXPECT_NEAR(ink.center().y(), 60, 4);
    }
  }
}

TEST(QtDrawCanvas, DirectColoursAndClipping) {
  TestApp();
  QImage img = White(100, 100);
  {
    QPainter p(&img);
    drawing_ui::QtDrawCanvas c(p);
    c.SetClip({0, 0, 50, 100});
    c.FillRect({0, 0, 100, 100}, Colour::Direct(240, 240, 240));
    c.ResetClip();
    c.Pixel({70.4, 70.6}, Colour::Index(1));
  }
  EXPECT_EQ(Px(img, 10, 10), RgbOf(240, 240, 240));
  EXPECT_EQ(Px(img, 60, 10), RgbOf(255, 255, 255));
  EXPECT_EQ(Px(img, 70, 70), RgbOf(255, 0, 0));
}

// The canvas on a PDF page at 254 dots per inch (0.1 mm a dot): a line 1000
// dots long is 100 mm on paper; rasterised at 254 dpi it spans 1000 pixels.
TEST(QtDrawCanvas, PdfPageKeepsDeviceLengths) {
  TestApp();
  const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm not installed";
  QTemporaryDir dir;
  const QString pdf = dir.filePath("line.pdf");
  {
    QPdfWriter w(pdf);
    w.setPageSize(QPageSize(QPageSize::A4));
    w.setPageMargins(QMarginsF(0, 0, 0, 0));
    w.setResolution(254);
    QPainter p(&w);
    drawing_ui::QtDrawCanvas c(p);
    c.SetPen({Colour::Index(7), 3, drawing::Dash::Solid, 1});
    c.Line({200, 300}, {1200, 300});
    c.Line({200, 300}, {200, 800});
  }
  QProcess proc;
  proc.start(pdftoppm, {"-r", "254", "-gray", "-singlefile", pdf, dir.filePath("page")});
  ASSERT_TRUE(proc.waitForFinished(30000));
  QImage page(dir.filePath("page.pgm"));
  ASSERT_FALSE(page.isNull());
  const QRect ink = Ink(page);
  EXPECT_NEAR(ink.width(), 1000, 5);
  EXPECT_NEAR(ink.height(), 500, 5);
  EXPECT_NEAR(ink.left(), 199, 3);
}

}  // namespace
