#pragma once
// Everything a presenter does outside its computation goes through these ports.
// The Qt side installs real implementations at start-up; tests install the
// recording fake of fake_ports.h and script its answers.
#include <string>

namespace platform {

enum class MsgIcon { Information, Warning, Error, Question };
enum class Answer { Yes, No, Cancel };

class IMessagePort {
 public:
  virtual ~IMessagePort() = default;
  // A modal message box with OK.
  virtual void ShowMessage(const std::string& text, MsgIcon icon = MsgIcon::Warning) = 0;
  // A modal Yes/No question.
  virtual bool AskYesNo(const std::string& text, MsgIcon icon = MsgIcon::Question) = 0;
  // A modal Yes/No/Cancel question (save before closing and the like).
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // The short warning sound of a refused command.
  virtual void Beep() = 0;
  // Wait cursor on (true) and off (false) around long synchronous work.
  virtual void SetWaitCursor(bool on) = 0;
};

// The port in force; never null (a silent default answers No and does nothing).
IMessagePort& Messages();
// Installs a port; returns the previous one (nullptr restores the silent default).
IMessagePort* SetMessagePort(IMessagePort* port);

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  WaitCursor() { Messages().SetWaitCursor(true); }
  ~WaitCursor() { Messages().SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace platform
