#pragma once
// CvornApp: start-up of the program. Ports, profile and recent files, the ".qvt"
// registration, the command line, the lock "mrlo_qvt", the frame shown maximised.
#include <QLockFile>
#include <QStringList>
#include <memory>

#include "app/doc.h"
#include "app/file_assoc.h"

namespace app_ui {

class CMainFrame;

class CvornApp {
 public:
  struct Options {
    bool installPorts = true;   // tests install their own fakes
    bool fileTypes = true;      // per-user ".qvt" registration and its check
    bool show = true;           // show the frame maximised
  };

  CvornApp();
  ~CvornApp();

  // Runs the start-up with the program's arguments (without argv[0]). False means the
  // program does not start (a named job that cannot be opened, a frame that cannot be
  // built); the reason has been shown.
  bool InitInstance(const QStringList& args, const Options& options);
  bool InitInstance(const QStringList& args) { return InitInstance(args, Options{}); }

  app::CVornDoc& Doc() { return doc_; }
  CMainFrame* Frame() { return frame_.get(); }

 private:
  app::CVornDoc doc_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<QLockFile> mutex_;
  std::unique_ptr<app::IFileAssociation> assoc_;
};

}  // namespace app_ui
