#pragma once
// Qt's standard dialogs (file chooser, print and page setup, message box buttons)
// in Chinese, whatever the desktop's language: Qt's own translations, a fallback
// for the texts whose context those translations miss, and dates written the
// Chinese way in the file chooser.
#include <QIdentityProxyModel>

class QCoreApplication;
class QFileDialog;

namespace table_ui {

// Loads Qt's Chinese translations (qtbase_zh_CN from the system's translations
// folder) into the application. False when they are not installed: the dialogs
// then stay in English.
bool InstallDialogTranslations(QCoreApplication& app);

// The file chooser's list with its dates written as a Chinese desktop writes them
// ("2026/12/11 11:22", not "11 Dec 2026"): Qt's file list takes its dates from the
// desktop's locale, which is English on most machines of this program.
class ChineseFileDates : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override;
};

// Gives a (non-native) file dialog the Chinese dates above.
void UseChineseDates(QFileDialog& dialog);

}  // namespace table_ui
