#pragma once
// "关于 Quintar": the program icon, the version line, the maker's contact lines, "确定".
#include <QDialog>

namespace app_ui {

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
  QString VersionLine() const;
};

}  // namespace app_ui
