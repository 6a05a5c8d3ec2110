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

// One frame of small pieces: lines at every slope, a polyline, an error
// ellipse, symbols, pixels and labels, in two colours.
void PaintPieces(drawing_ui::QtDrawCanvas& c) {
  c.SetPen({Colour::Index(7), 0, drawing::Dash::Solid, 1});
  c.Line({10, 20.5}, {190, 20.5});
  c.Line({10, 30}, {190, 75.3});
  c.Line({20.2, 40}, {45.7, 190});
  c.Line({300, 190}, {210.4, 100.2});
  const DPoint pl[] = {{210, 20}, {260, 60.5}, {330, 22.25}, {390, 80}};
  c.Polyline(pl, 4);
  const double a = 30, b = 14, k = 0.5522847498, cx = 120.3, cy = 130.7;
  const DPoint ell[] = {{cx - a, cy},     {cx - a, cy - k * b}, {cx - k * a, cy - b}, {cx, cy - b},
                        {cx + k * a, cy - b}, {cx + a, cy - k * b}, {cx + a, cy},     {cx + a, cy + k * b},
                        {cx + k * a, cy + b}, {cx, cy + b},     {cx - k * a, cy + b}, {cx - a, cy + k * b},
                        {cx - a, cy}};
  c.Bezier(ell, 13);
  c.SetPen({Colour::Index(1), 0, drawing::Dash::Solid, 1});
  const DPoint tri[] = {{60.3, 170.2}, {71.6, 170.2}, {65.9, 160.1}};
  c.Polygon(tri, 3);
  c.Circle({90.6, 165.2}, 4.5);
  c.Pixel({95.5, 150.5}, Colour::Index(5));
  drawing::TextStyle st;
  st.height = 15;
  st.colour = Colour::Index(7);
  c.Text({210.3, 120.6}, "导线点P12", st);
  st.colour = Colour::Index(5);
  st.anchor = drawing::Anchor::Center;
  c.Text({300, 160}, "碎2049", st);
  // A label at its font's width: every half-width character 8 units wide.
  st.colour = Colour::Index(7);
  st.anchor = drawing::Anchor::TopLeft;
  st.width = 8;
  c.Text({310.4, 176.2}, "GP02导线", st);
}

QImage PaintedPieces(QImage::Format format, drawing_ui::QtDrawCanvas::Cache* cache = nullptr) {
  QImage img(400, 200, format);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  drawing_ui::QtDrawCanvas c(p, cache);
  PaintPieces(c);
  return img;
}

// On a screen image the canvas writes thin lines, pixels and labels itself;
// the picture is the one the painter draws (an image it cannot write directly
// goes through the painter): the same ink to a pixel, no piece shifted by half
// a pixel or lost, labels where their glyphs belong.
TEST(QtDrawCanvas, DirectPiecesLookAsThePainterDrawsThem) {
  TestApp();
  const QImage direct = PaintedPieces(QImage::Format_ARGB32_Premultiplied);
  const QImage painter = PaintedPieces(QImage::Format_ARGB32).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRect inkA = Ink(direct), inkB = Ink(painter);
  EXPECT_NEAR(inkA.left(), inkB.left(), 1);
  EXPECT_NEAR(inkA.top(), inkB.top(), 1);
  EXPECT_NEAR(inkA.right(), inkB.right(), 1);
  EXPECT_NEAR(inkA.bottom(), inkB.bottom(), 1);
  int ink = 0, far = 0;
  for (int y = 0; y < direct.height(); ++y)
    for (int x = 0; x < direct.width(); ++x) {
      const int ga = qGray(direct.pixel(x, y)), gb = qGray(painter.pixel(x, y));
      if (ga < 250 || gb < 250) ++ink;
      if (std::abs(ga - gb) > 96) ++far;
    }
  EXPECT_GT(ink, 1500);
  EXPECT_LT(far, ink / 25) << far << " of " << ink << " ink pixels differ by more than 96 grey levels";
  // The colours stay the layers' own.
  EXPECT_EQ(Px(direct, 95, 150), RgbOf(0, 0, 255));
  EXPECT_EQ(Px(direct, 100, 20), RgbOf(0, 0, 0));
}

// A cache carried from frame to frame (the view's) gives each symbol and label
// its own colour and place, and the same frame again gives the same pixels.
TEST(QtDrawCanvas, CachedFramesRepeatAndKeepEachLookApart) {
  TestApp();
  drawing_ui::QtDrawCanvas::Cache cache;
  const QImage first = PaintedPieces(QImage::Format_ARGB32_Premultiplied, &cache);
  const QImage again = PaintedPieces(QImage::Format_ARGB32_Premultiplied, &cache);
  EXPECT_EQ(first, again);
  EXPECT_EQ(first, PaintedPieces(QImage::Format_ARGB32_Premultiplied));
  // The same circle and label in another colour, then the circle moved.
  auto reddish = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 140 && qBlue(c) < 140; };
  auto bluish = [](QRgb c) { return qBlue(c) > 200 && qRed(c) < 140 && qGreen(c) < 140; };
  auto count = [](const QImage& img, QRect r, auto is) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += is(img.pixel(x, y)) ? 1 : 0;
    return n;
  };
  const QRect circle(12, 12, 18, 18), label(40, 8, 40, 22);
  QImage img(100, 60, QImage::Format_ARGB32_Premultiplied);
  auto paint = [&](int colour, double cx) {
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawing_ui::QtDrawCanvas c(p, &cache);
    c.SetPen({Colour::Index(colour), 0, drawing::Dash::Solid, 1});
    c.Circle({cx, 20.5}, 6);
    drawing::TextStyle st;
    st.height = 15;
    st.colour = Colour::Index(colour);
    c.Text({40, 10}, "P12", st);
  };
  paint(1, 20.5);
  EXPECT_GT(count(img, circle, reddish), 10);
  EXPECT_GT(count(img, label, reddish), 10);
  paint(5, 20.5);
  EXPECT_EQ(count(img, circle, reddish) + count(img, label, reddish), 0) << "a red stamp or label served for blue";
  EXPECT_GT(count(img, circle, bluish), 10);
  EXPECT_GT(count(img, label, bluish), 10);
  paint(5, 60.5);  // moved: stamped at its new place
  EXPECT_EQ(count(img, circle, bluish), 0);
  EXPECT_GT(count(img, circle.translated(40, 0), bluish), 10);
}

// Direct lines and labels keep to the clip like the painter's.
TEST(QtDrawCanvas, DirectPiecesKeepToTheClip) {
  TestApp();
  QImage img(200, 100, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawing_ui::QtDrawCanvas c(p);
    c.SetClip({0, 0, 100, 100});
    c.SetPen({Colour::Index(7), 0, drawing::Dash::Solid, 1});
    c.Line({-1e6, 50.5}, {1e6, 50.5});  // far outside at both ends
    drawing::TextStyle st;
    st.height = 20;
    c.Text({80, 10}, "导线点导线点", st);
  }
  EXPECT_EQ(Px(img, 50, 50), RgbOf(0, 0, 0));
  for (int y = 0; y < 100; ++y)
    for (int x = 101; x < 200; ++x) ASSERT_EQ(Px(img, x, y), RgbOf(255, 255, 255)) << x << "," << y;
  EXPECT_FALSE(Ink(img).isEmpty());
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
