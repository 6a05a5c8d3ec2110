#include "table/ui/ui_scale.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdlib>

QFont g_fontUI;
int g_nFontPt = 9;
int g_nCharHeight = 12;
int g_nRowHeight = 24;
QColor g_clrBtnFace(240, 240, 240);

namespace {
bool g_faceTaken = false;
}

QStringList UiFontFamilies() {
  return {QStringLiteral("宋体"), QStringLiteral("WenQuanYi Zen Hei Mono"),
          QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Monospace")};
}

QFont MakeUiFont(int pixelHeight, int weight) {
  QFont f;
  f.setFamilies(UiFontFamilies());
  f.setPixelSize(std::max(1, pixelHeight));
  f.setWeight(QFont::Weight(std::clamp(weight, 100, 900)));
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

void SetUiScale(int pointSize) {
  g_nFontPt = pointSize;
  double dpi = 96.0;
  if (QGuiApplication::primaryScreen()) dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
  if (dpi <= 0) dpi = 96.0;
  // A point font's logical height, as the old interface computed it.
  g_nCharHeight = std::abs(int(std::lround(pointSize * dpi / 72.0)));
  if (g_nCharHeight < 1) g_nCharHeight = 1;
  g_nRowHeight = std::max(22, int(g_nCharHeight * 1.5 + 6));
  g_fontUI = MakeUiFont(g_nCharHeight);
  if (!g_faceTaken && qGuiApp) {
    g_clrBtnFace = QGuiApplication::palette().color(QPalette::Button);
    g_faceTaken = true;
  }
}
