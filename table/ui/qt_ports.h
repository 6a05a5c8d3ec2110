#pragma once
// The Qt implementations of the platform ports: message boxes, beep and wait cursor;
// the clipboard, the profile under "Norvale软件", file choosers and the desktop's
// "open with". Every Qt part of the program runs with these installed.
#include <QString>

#include "platform/ports.h"
#include "platform/services.h"

namespace table_ui {

inline const char* kProfileOrganisation = "Norvale软件";
inline const char* kProfileApplication = "Quintar";
inline const char* kMessageCaption = "Quintar";

class QtMessagePort final : public platform::IMessagePort {
 public:
  void ShowMessage(const std::string& text, platform::MsgIcon icon) override;
  bool AskYesNo(const std::string& text, platform::MsgIcon icon) override;
  platform::Answer AskYesNoCancel(const std::string& text) override;
  void Beep() override;
  void SetWaitCursor(bool on) override;

 private:
  int waitDepth_ = 0;
};

class QtClipboard final : public platform::IClipboard {
 public:
  std::string GetText() override;
  void SetText(const std::string& text) override;
};

// Profile values as "section/key" of QSettings("Norvale软件", "Quintar").
class QtProfile final : public platform::IProfile {
 public:
  int GetInt(const std::string& section, const std::string& key, int def) override;
  void SetInt(const std::string& section, const std::string& key, int value) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& def) override;
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;
};

class QtFileChooser final : public platform::IFileChooser {
 public:
  std::optional<std::string> OpenFile(const std::string& caption, const std::string& filter,
                                      const platform::FileOptions& options = {}) override;
  std::optional<std::string> SaveFile(const std::string& caption, const std::string& filter,
                                      const std::string& suggested,
                                      const platform::FileOptions& options = {}) override;
};

class QtDesktop final : public platform::IDesktop {
 public:
  bool OpenWithDesktop(const std::string& pathOrUrl) override;
};

// Installs the Qt ports for the program's life (idempotent). Needs a QApplication.
void InstallQtPorts();

inline QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string S(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace table_ui
