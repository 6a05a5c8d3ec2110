// The program with the traverse view registered: as app/ui/main.cpp, plus view 1005.
#include <QApplication>

#include "app/ui/cvorn_app.h"
#include "traverse/ui/traverse_view.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  Q_INIT_RESOURCE(res);
  QApplication::setApplicationName(QStringLiteral("Quintar"));
  QApplication::setOrganizationName(QString::fromUtf8("Norvale软件"));
  traverse_ui::RegisterTraverseView();
  app_ui::CvornApp app;
  QStringList args = QApplication::arguments();
  args.removeFirst();
  if (!app.InitInstance(args)) return 1;
  return qapp.exec();
}
