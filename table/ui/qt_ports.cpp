#include "table/ui/qt_ports.h"

#include "table/ui/dialog_texts.h"
#include "table/ui/export_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QUrl>

namespace table_ui {
namespace {

QMessageBox::Icon ToIcon(platform::MsgIcon icon) {
  switch (icon) {
    case platform::MsgIcon::Information: return QMessageBox::Information;
    case platform::MsgIcon::Warning: return QMessageBox::Warning;
    case platform::MsgIcon::Error: return QMessageBox::Critical;
    case platform::MsgIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::Warning;
}

// A dialog must have the program's window as parent, so it stays on top of it.
QWidget* DialogParent() {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  return QApplication::activeWindow();
}

int Ask(const std::string& text, platform::MsgIcon icon, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton def) {
  QMessageBox box(ToIcon(icon), QString::fromUtf8(kMessageCaption), Q(text), buttons, DialogParent());
  box.setDefaultButton(def);
  // The buttons read as on a Chinese desktop whether or not Qt's own translation is installed.
  const struct {
    QMessageBox::StandardButton id;
    const char* text;
  } captions[] = {{QMessageBox::Ok, "确定"}, {QMessageBox::Yes, "是(&Y)"}, {QMessageBox::No, "否(&N)"},
                  {QMessageBox::Cancel, "取消"}};
  for (const auto& c : captions)
    if (QAbstractButton* b = box.button(c.id)) b->setText(QString::fromUtf8(c.text));
  // The wait cursor of a long computation must not sit over a question.
  bool cursor = QApplication::overrideCursor() != nullptr;
  if (cursor) QApplication::setOverrideCursor(Qt::ArrowCursor);
  int r = box.exec();
  if (cursor) QApplication::restoreOverrideCursor();
  return r;
}

QSettings Settings() {
  return QSettings(QString::fromUtf8(kProfileOrganisation), QString::fromUtf8(kProfileApplication));
}

QString Key(const std::string& section, const std::string& key) { return Q(section) + "/" + Q(key); }

}  // namespace

void QtMessagePort::ShowMessage(const std::string& text, platform::MsgIcon icon) {
  Ask(text, icon, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessagePort::AskYesNo(const std::string& text, platform::MsgIcon icon) {
  return Ask(text, icon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

platform::Answer QtMessagePort::AskYesNoCancel(const std::string& text) {
  int r = Ask(text, platform::MsgIcon::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
              QMessageBox::Yes);
  if (r == QMessageBox::Yes) return platform::Answer::Yes;
  if (r == QMessageBox::No) return platform::Answer::No;
  return platform::Answer::Cancel;
}

void QtMessagePort::Beep() { QApplication::beep(); }

void QtMessagePort::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++waitDepth_;
  } else if (waitDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --waitDepth_;
  }
}

std::string QtClipboard::GetText() {
  QClipboard* c = QGuiApplication::clipboard();
  return c ? S(c->text()) : std::string();
}

void QtClipboard::SetText(const std::string& text) {
  if (QClipboard* c = QGuiApplication::clipboard()) c->setText(Q(text));
}

int QtProfile::GetInt(const std::string& section, const std::string& key, int def) {
  bool ok = false;
  int v = Settings().value(Key(section, key), def).toInt(&ok);
  return ok ? v : def;
}

void QtProfile::SetInt(const std::string& section, const std::string& key, int value) {
  QSettings s = Settings();
  s.setValue(Key(section, key), value);
}

std::string QtProfile::GetString(const std::string& section, const std::string& key,
                                 const std::string& def) {
  QVariant v = Settings().value(Key(section, key));
  return v.isValid() ? S(v.toString()) : def;
}

void QtProfile::SetString(const std::string& section, const std::string& key, const std::string& value) {
  QSettings s = Settings();
  s.setValue(Key(section, key), Q(value));
}

namespace {
std::optional<std::string> RunFileDialog(QFileDialog::AcceptMode mode, const std::string& caption,
                                         const std::string& filter, const std::string& suggested,
                                         const platform::FileOptions& o) {
  QFileDialog d(DialogParent(), Q(caption), Q(o.startFolder), Q(filter));
  d.setAcceptMode(mode);
  d.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  UseChineseDates(d);
  if (!o.overwritePrompt) d.setOption(QFileDialog::DontConfirmOverwrite);
  if (!o.defaultSuffix.empty()) d.setDefaultSuffix(Q(o.defaultSuffix));
  if (!suggested.empty()) d.selectFile(Q(suggested));
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  const QString f = d.selectedFiles().front();
  if (f.isEmpty()) return std::nullopt;
  return S(f);
}
}  // namespace

std::optional<std::string> QtFileChooser::OpenFile(const std::string& caption, const std::string& filter,
                                                   const platform::FileOptions& options) {
  return RunFileDialog(QFileDialog::AcceptOpen, caption, filter, std::string(), options);
}

std::optional<std::string> QtFileChooser::SaveFile(const std::string& caption, const std::string& filter,
                                                   const std::string& suggested,
                                                   const platform::FileOptions& options) {
  return RunFileDialog(QFileDialog::AcceptSave, caption, filter, suggested, options);
}

bool QtDesktop::OpenWithDesktop(const std::string& pathOrUrl) {
  QString p = Q(pathOrUrl);
  if (p.isEmpty()) return false;
  // A local path is never parsed as an address: "C:" or "#" in a name must survive.
  QUrl url = QFileInfo::exists(p) ? QUrl::fromLocalFile(QFileInfo(p).absoluteFilePath()) : QUrl::fromUserInput(p);
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

void InstallQtPorts() {
  static QtMessagePort messages;
  static QtClipboard clipboard;
  static QtProfile profile;
  static QtFileChooser files;
  static QtDesktop desktop;
  platform::SetMessagePort(&messages);
  platform::SetServices({&clipboard, &profile, &files, &desktop});
  table::SetExportDialogs(&ExportDialogsOfQt());
}

}  // namespace table_ui
