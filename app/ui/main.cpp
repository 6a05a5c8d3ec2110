// The program: one QApplication, one CvornApp, the frame's message loop.
#include <QApplication>

#include "app/ui/cvorn_app.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  Q_INIT_RESOURCE(res);
  QApplication::setApplicationName(QStringLiteral("Quintar"));
  QApplication::setOrganizationName(QString::fromUtf8("Norvale软件"));
  app_ui::CvornApp app;
  QStringList args = QApplication::arguments();
  args.removeFirst();
  if (!app.InitInstance(args)) return 1;
  return qapp.exec();
}
