#pragma once
// One QApplication for the whole test program (the tests run offscreen), with the
// interface scale and the grid fonts set up as the program does at start-up.
#include <QApplication>
#include <QImage>

#include "table/ui/ui_scale.h"

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "table_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* a = new QApplication(argc, argv);
    SetUiScale(9);
    return a;
  }();
  return *app;
}

inline QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xffffff; }
inline QRgb RgbOf(int r, int g, int b) { return qRgb(r, g, b) & 0xffffff; }
