// The program: one QApplication, the views that exist registered with the frame,
// one CvornApp, the frame's message loop.
#include <QApplication>

#include "app/ui/cvorn_app.h"
#include "app/ui/help_view.h"
#include "drawing/ui/draw_view_plug.h"
#include "drawing/ui/table_cad_dlg.h"
#include "records/ui/records_view.h"
#include "table/ui/dialog_texts.h"
#include "tools/ui/tools_view.h"
#include "traverse/ui/traverse_view.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  Q_INIT_RESOURCE(res);
  QApplication::setApplicationName(QStringLiteral("Quintar"));
  QApplication::setOrganizationName(QString::fromUtf8("Norvale软件"));
  // Qt's own buttons and dialogs ("确定", "取消", file and print dialogs) in Chinese.
  table_ui::InstallDialogTranslations(qapp);
  records_ui::RegisterRecordsView();
  traverse_ui::RegisterTraverseView();
  tools_ui::RegisterToolsView();
  app_ui::RegisterHelpView();
  drawing_ui::RegisterDrawView();
  drawing_ui::RegisterTableCadDialog();
  app_ui::CvornApp app;
  QStringList args = QApplication::arguments();
  args.removeFirst();
  if (!app.InitInstance(args)) return 1;
  return qapp.exec();
}
