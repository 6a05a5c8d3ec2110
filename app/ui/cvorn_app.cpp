#include "app/ui/cvorn_app.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QProcess>
#include <QStandardPaths>

#include "app/ui/main_frame.h"
#include "table/ui/qt_ports.h"

namespace app_ui {

CvornApp::CvornApp() = default;
CvornApp::~CvornApp() = default;

bool CvornApp::InitInstance(const QStringList& args, const Options& options) {
  if (options.installPorts) table_ui::InstallQtPorts();

  if (options.fileTypes) {
    // Registered at every start, so the entry follows the program when it moves.
    auto* xdg = new app::XdgFileAssociation(table_ui::S(QCoreApplication::applicationFilePath()));
    assoc_.reset(xdg);
    if (assoc_->RegisterFileTypes()) {
      QString update = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
      QString mimeDir = QFileInfo(table_ui::Q(xdg->MimeFile())).absolutePath() + QStringLiteral("/..");
      if (!update.isEmpty()) QProcess::startDetached(update, {QDir::cleanPath(mimeDir)});
    }
  }

  // The command line: the first argument that is not a switch names the job.
  QString job;
  for (const QString& a : args)
    if (!a.startsWith('-')) {
      job = a;
      break;
    }

  frame_ = std::make_unique<CMainFrame>(doc_);
  if (!frame_->Create()) return false;
  if (assoc_) app::CheckFileAssociationAtStartup(*assoc_);

  if (job.isEmpty()) {
    doc_.OnNewDocument();
    frame_->Nav().OnInitialUpdate();
  } else {
    if (!doc_.OnOpenDocument(table_ui::S(job))) return false;
    frame_->Recent().Add(table_ui::S(QFileInfo(job).absoluteFilePath()));
    frame_->Recent().Save();
    frame_->Nav().OnInitialUpdate();
  }

  // Held for the life of the process; nothing tests it.
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  mutex_ = std::make_unique<QLockFile>(QDir(runtime).filePath(QStringLiteral("mrlo_qvt")));
  mutex_->tryLock(0);

  if (options.show) {
    // Without a window manager (a bare X server) "maximised" alone leaves the default size.
    if (QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
    frame_->showMaximized();
    frame_->OnViewDefaultLayout();  // now that the client area has its real width
  }
  // The pane picks the section for the loaded job once it is on screen (a hidden pane
  // ignores selections).
  frame_->AfterLoad();
  return true;
}

}  // namespace app_ui
