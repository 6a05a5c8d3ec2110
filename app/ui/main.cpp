// The program: one QApplication, the views that exist registered with the frame,
// one CvornApp, the frame's message loop.
#include <QApplication>

#include "app/ui/cvorn_app.h"
#ifdef QUINTAR_HAVE_TRAVERSE_UI
#include "traverse/ui/traverse_view.h"
#endif

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  Q_INIT_RESOURCE(res);
  QApplication::setApplicationName(QStringLiteral("Quintar"));
  QApplication::setOrganizationName(QString::fromUtf8("Norvale软件"));
#ifdef QUINTAR_HAVE_TRAVERSE_UI
  traverse_ui::RegisterTraverseView();
#endif
  app_ui::CvornApp app;
  QStringList args = QApplication::arguments();
  args.removeFirst();
  if (!app.InitInstance(args)) return 1;
  return qapp.exec();
}
