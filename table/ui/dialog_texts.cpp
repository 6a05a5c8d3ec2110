#include "table/ui/dialog_texts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace table_ui {
namespace {

// Qt 6 asks for the file types ("Folder", "Drive", "%1 File") under the icon
// provider's context, while its translations still hold them under the file
// dialog's: look them up there.
class FileTypeTexts : public QTranslator {
 public:
  explicit FileTypeTexts(const QTranslator* qt, QObject* parent) : QTranslator(parent), qt_(qt) {}
  QString translate(const char* context, const char* source, const char* /*disambiguation*/, int n) const override {
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
    return qt_->translate("QFileDialog", source, nullptr, n);
  }
  bool isEmpty() const override { return false; }

 private:
  const QTranslator* qt_;
};

}  // namespace

bool InstallDialogTranslations(QCoreApplication& app) {
  auto* qt = new QTranslator(&app);
  if (!qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qt;
    return false;
  }
  QCoreApplication::installTranslator(qt);
  QCoreApplication::installTranslator(new FileTypeTexts(qt, &app));
  return true;
}

QVariant ChineseFileDates::data(const QModelIndex& index, int role) const {
  // The fourth column of the file list is the modification time.
  if (role == Qt::DisplayRole && index.column() == 3) {
    if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel())) {
      const QDateTime t = files->lastModified(mapToSource(index));
      if (t.isValid()) return QLocale(QLocale::Chinese, QLocale::China).toString(t, QLocale::ShortFormat);
    }
  }
  return QIdentityProxyModel::data(index, role);
}

void UseChineseDates(QFileDialog& dialog) { dialog.setProxyModel(new ChineseFileDates(&dialog)); }

}  // namespace table_ui
