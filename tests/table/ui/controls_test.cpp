// The shared controls: bar buttons, the progress bar with its two-colour text, the
// hyperlink, the list header and the flat splitter.
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/ui/bar_icons.h"
#include "table/ui/button_st.h"
#include "table/ui/flat_splitter.h"
#include "table/ui/header_ctrl_ex.h"
#include "table/ui/hyperlink.h"
#include "table/ui/text_progress.h"
#include "tests/table/ui/qt_app.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

struct ScaleGuard {
  int old = g_nCharHeight;
  ~ScaleGuard() { g_nCharHeight = old; }
};

// ---- CButtonST -------------------------------------------------------------

TEST(ButtonST, CaptionDroppedWhenNarrowerThanIconAndCaption) {
  TestApp();
  ScaleGuard guard;
  g_nCharHeight = 12;
  CButtonST b(QStringLiteral("方案"));
  b.SetIcon(BarIcon(144), 16, 16);
  // icon 16 + 4 bytes x 12 / 2 + 4 = 44 pixels needed
  struct Case { int width; bool caption; } cases[] = {{30, false}, {43, false}, {44, true}, {78, true}};
  for (const Case& c : cases) {
    b.resize(c.width, 22);
    EXPECT_EQ(b.CaptionShown(), c.caption) << "width " << c.width;
  }
  b.SetShowText(false);
  EXPECT_FALSE(b.CaptionShown());
}

TEST(ButtonST, IconAloneIsCentredWhenCaptionDropped) {
  TestApp();
  ScaleGuard guard;
  g_nCharHeight = 12;
  CButtonST b(QStringLiteral("方案"));
  b.SetIcon(BarIcon(146), 16, 16);
  b.resize(40, 22);
  QImage img = b.grab().toImage();
  // The table icon's dark frame: leftmost non-background column.
  int minX = 1000, maxX = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (QColor(img.pixel(x, y)).lightness() < 120) { minX = std::min(minX, x); maxX = std::max(maxX, x); }
  ASSERT_LE(minX, maxX);
  EXPECT_NEAR((minX + maxX) / 2.0, 20.0, 2.0);
}

TEST(ButtonST, IconSizeFollowsCharacterHeight) {
  TestApp();
  struct Case { int charHeight, icon; } cases[] = {{12, 16}, {22, 16}, {23, 16}, {24, 24}, {31, 24},
                                                   {32, 32}, {47, 32}, {48, 48}, {60, 48}};
  for (const Case& c : cases) EXPECT_EQ(CButtonST::IconSizeFor(c.charHeight), c.icon) << c.charHeight;

  ScaleGuard guard;
  CButtonST b(QStringLiteral("表格"));
  b.SetIcon(BarIcon(146), 16, 16);
  b.resize(120, 40);
  g_nCharHeight = 24;
  (void)b.grab();
  EXPECT_EQ(b.IconWidth(), 24);
  g_nCharHeight = 22;
  (void)b.grab();
  EXPECT_EQ(b.IconWidth(), 16);
}

TEST(ButtonST, HoverLightsTheFlatButtonAndCaptionTurnsRed) {
  TestApp();
  ScaleGuard guard;
  g_nCharHeight = 12;
  CButtonST b(QStringLiteral("计算"));
  b.resize(78, 22);
  QImage idle = b.grab().toImage();
  EXPECT_EQ(Px(idle, 5, 5), g_clrBtnFace.rgb() & 0xffffff);

  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&b, &enter);
  ASSERT_TRUE(b.IsHovered());
  QImage lit = b.grab().toImage();
  EXPECT_EQ(Px(lit, 5, 5), RgbOf(243, 243, 239));
  // raised border: white top-left, shadow bottom-right
  EXPECT_EQ(Px(lit, 10, 0), RgbOf(255, 255, 255));
  EXPECT_EQ(Px(lit, 10, 21), RgbOf(160, 160, 160));
  bool red = false;
  for (int y = 0; y < lit.height(); ++y)
    for (int x = 0; x < lit.width(); ++x) {
      QColor c(lit.pixel(x, y));
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) red = true;
    }
  EXPECT_TRUE(red) << "hovered caption in the active red";

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&b, &leave);
  EXPECT_FALSE(b.IsHovered());
}

TEST(ButtonST, DisabledCaptionIsGreyed) {
  TestApp();
  ScaleGuard guard;
  g_nCharHeight = 12;
  CButtonST b(QStringLiteral("撤消"));
  b.resize(78, 22);
  auto darkest = [](const QImage& img) {
    int d = 255;
    for (int y = 2; y < img.height() - 2; ++y)
      for (int x = 2; x < img.width() - 2; ++x) d = std::min(d, QColor(img.pixel(x, y)).lightness());
    return d;
  };
  int enabled = darkest(b.grab().toImage());
  b.setEnabled(false);
  int disabled = darkest(b.grab().toImage());
  EXPECT_LT(enabled, 60);
  EXPECT_GT(disabled, 120);
}

TEST(ButtonST, ClassicFocusedButtonHasBlackFrameAnd3dBorderInside) {
  TestApp();
  CButtonST b(QStringLiteral("确定"));
  b.SetFlat(false);
  b.resize(78, 24);
  b.show();
  b.activateWindow();
  b.setFocus();
  Settle();
  ASSERT_TRUE(b.hasFocus());
  QImage img = b.grab().toImage();
  EXPECT_EQ(Px(img, 10, 0), RgbOf(0, 0, 0));
  EXPECT_EQ(Px(img, 10, 1), RgbOf(255, 255, 255));  // highlight edge inside the frame
  EXPECT_EQ(Px(img, 10, 22), RgbOf(105, 105, 105)); // dark shadow at the bottom
}

// ---- CTextProgressCtrl -----------------------------------------------------

TEST(TextProgress, HalfwayFillsHalfAndShowsPercent) {
  TestApp();
  CTextProgressCtrl p;
  p.resize(200, 20);
  p.SetRange(0, 100);
  p.SetPos(50);
  EXPECT_EQ(p.ShownText(), QStringLiteral("50%"));
  EXPECT_EQ(p.BarWidth(), 100);
  QImage img = p.grab().toImage();
  EXPECT_EQ(Px(img, 2, 1), p.BarColour().rgb() & 0xffffff);
  EXPECT_EQ(Px(img, 99, 1), p.BarColour().rgb() & 0xffffff);
  EXPECT_EQ(Px(img, 100, 1), p.BackgroundColour().rgb() & 0xffffff);
  EXPECT_EQ(Px(img, 197, 1), p.BackgroundColour().rgb() & 0xffffff);
}

TEST(TextProgress, TextChangesColourWhereTheBarEnds) {
  TestApp();
  CTextProgressCtrl p;
  p.resize(200, 24);
  p.SetRange(0, 100);
  p.SetPos(50);
  p.SetText(QStringLiteral("正在下载 8888"));
  QImage img = p.grab().toImage();
  const QRgb bar = p.BarColour().rgb() & 0xffffff, bg = p.BackgroundColour().rgb() & 0xffffff;
  int onBar = 0, onBg = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < 100; ++x) onBar += Px(img, x, y) != bar;
    for (int x = 100; x < 200; ++x) onBg += Px(img, x, y) != bg;
  }
  EXPECT_GT(onBar, 10) << "text drawn over the bar in the bar text colour";
  EXPECT_GT(onBg, 10) << "text drawn over the rest in the background text colour";
}

TEST(TextProgress, PositionsAreClampedToTheRange) {
  TestApp();
  CTextProgressCtrl p;
  p.resize(200, 20);
  p.SetRange(10, 20);
  struct Case { int pos, stored, bar; const char* text; } cases[] = {
      {15, 15, 100, "50%"}, {25, 20, 200, "100%"}, {-3, 10, 0, "0%"}, {20, 20, 200, "100%"}};
  for (const Case& c : cases) {
    p.SetPos(c.pos);
    EXPECT_EQ(p.GetPos(), c.stored) << c.pos;
    EXPECT_EQ(p.BarWidth(), c.bar) << c.pos;
    EXPECT_EQ(p.ShownText(), QString::fromLatin1(c.text)) << c.pos;
  }
  // A narrower range pulls the stored position inside it.
  p.SetRange(0, 5);
  EXPECT_EQ(p.GetPos(), 5);
}

TEST(TextProgress, SetPosReturnsPreviousAndRepaintsOnlyWhenBarWidthChanges) {
  TestApp();
  CTextProgressCtrl p;
  p.resize(100, 20);
  p.SetRange(0, 1000);
  p.show();
  Settle();
  PaintCounter count(&p);
  EXPECT_EQ(p.SetPos(500), 0);
  Settle();
  int afterFirst = count.paints;
  EXPECT_GE(afterFirst, 1);
  EXPECT_EQ(p.SetPos(505), 500);  // still 50 pixels
  Settle();
  EXPECT_EQ(count.paints, afterFirst);
  p.SetPos(520);  // 52 pixels
  Settle();
  EXPECT_GT(count.paints, afterFirst);
}

TEST(TextProgress, TextChangeRepaintsSameTextDoesNot) {
  TestApp();
  CTextProgressCtrl p;
  p.resize(100, 20);
  p.show();
  Settle();
  PaintCounter count(&p);
  p.SetText(QStringLiteral("连接服务器"));
  Settle();
  int n = count.paints;
  EXPECT_GE(n, 1);
  p.SetText(QStringLiteral("连接服务器"));
  Settle();
  EXPECT_EQ(count.paints, n);
  p.SetText(QStringLiteral("下载中"));
  Settle();
  EXPECT_GT(count.paints, n);
}

TEST(TextProgress, EmptyRangeDrawsNothing) {
  TestApp();
  CTextProgressCtrl p;
  p.resize(100, 20);
  p.SetRange(5, 5);
  p.SetPos(5);
  EXPECT_EQ(p.BarWidth(), 0);
  (void)p.grab();  // must not divide by zero
}

// ---- CHyperLink -------------------------------------------------------------

TEST(HyperLink, ErrorTexts) {
  TestApp();
  struct Case { int code; const char* text; } cases[] = {
      {26, "A sharing violation occurred. "},
      {2, "The specified file was not found."},
      {31, "There is no application associated\nwith the given filename extension."},
      {99, "Unknown Error (99) occurred."}};
  for (const Case& c : cases) EXPECT_EQ(CHyperLink::ErrorText(c.code).toStdString(), c.text);
}

TEST(HyperLink, ClickOpensAddressAndMarksVisited) {
  TestApp();
  platform::ScopedMemoryServices services;
  platform::FakeMessagePort port;
  CHyperLink link(QStringLiteral("http://www.example.com/quintar"));
  EXPECT_EQ(link.LinkAddress(), QStringLiteral("http://www.example.com/quintar"));
  EXPECT_EQ(link.TextColour(), CHyperLink::kLinkColour);
  link.OnClicked();
  ASSERT_EQ(services.desktop.opened.size(), 1u);
  EXPECT_EQ(services.desktop.opened[0], "http://www.example.com/quintar");
  EXPECT_TRUE(link.Visited());
  EXPECT_EQ(link.TextColour(), CHyperLink::kVisitedColour);
  EXPECT_EQ(port.Beeps(), 0);
}

TEST(HyperLink, FailureBeepsAndExplains) {
  TestApp();
  platform::ScopedMemoryServices services;
  services.desktop.result = false;
  platform::FakeMessagePort port;
  CHyperLink link(QStringLiteral("关于"));
  link.SetLinkAddress(QStringLiteral("mailto:nobody"));
  link.OnClicked();
  EXPECT_FALSE(link.Visited());
  EXPECT_EQ(port.Beeps(), 1);
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0],
            "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
}

TEST(HyperLink, HoverColourAndFitToText) {
  TestApp();
  CHyperLink link(QStringLiteral("www.example.com"));
  QFontMetrics fm(link.font());
  EXPECT_EQ(link.width(), fm.horizontalAdvance(link.text()));
  EXPECT_TRUE(link.font().underline());
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(&link, &enter);
  EXPECT_EQ(link.TextColour(), CHyperLink::kHoverColour);
  link.SetUnderlineFont(false);
  EXPECT_FALSE(link.font().underline());
}

// ---- CHeaderCtrlEx and CFlatSplitterWnd -------------------------------------

TEST(HeaderCtrlEx, StaysTwentyFourPixelsWhateverTheFont) {
  TestApp();
  for (int px : {9, 12, 30, 48}) {
    CHeaderCtrlEx h;
    QFont f = h.font();
    f.setPixelSize(px);
    h.setFont(f);
    EXPECT_EQ(h.height(), 24) << px;
    EXPECT_EQ(h.sizeHint().height(), 24) << px;
  }
}

TEST(FlatSplitter, BarIsFlatAndDraggableOnlyWhileTracking) {
  TestApp();
  for (bool tracking : {true, false}) {
    CFlatSplitterWnd s(Qt::Horizontal);
    auto* a = new QWidget;
    auto* b = new QWidget;
    s.addWidget(a);
    s.addWidget(b);
    s.resize(400, 200);
    s.setSizes({200, 195});
    s.SetTracking(tracking);
    s.show();
    Settle();
    EXPECT_EQ(s.handleWidth(), 5);
    QSplitterHandle* h = s.handle(1);
    ASSERT_NE(h, nullptr);
    QImage img = h->grab().toImage();
    EXPECT_EQ(Px(img, 2, 100), g_clrBtnFace.rgb() & 0xffffff);
    int before = a->width();
    QPoint local(2, 50);
    QMouseEvent press(QEvent::MouseButtonPress, local, h->mapToGlobal(local), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(h, &press);
    QPoint to(-78, 50);
    QMouseEvent move(QEvent::MouseMove, to, h->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, h->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(h, &release);
    Settle();
    if (tracking) EXPECT_LT(a->width(), before - 50);
    else EXPECT_EQ(a->width(), before);
  }
}

}  // namespace
