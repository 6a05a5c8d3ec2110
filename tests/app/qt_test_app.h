#pragma once
// One QApplication for the whole test program, however its tests are picked and
// ordered, with the interface scale of the program's start and its resources.
#include <QApplication>

#include "table/ui/ui_scale.h"

// Resources of a static library are registered by hand, at global scope.
inline void InitQuintarResources() { Q_INIT_RESOURCE(res); }

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "app_help_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!a) a = new QApplication(argc, argv);  // never destroyed: Qt's exit handlers race it
    InitQuintarResources();
    SetUiScale(9);
    return a;
  }();
  return *app;
}
