#include "platform/ports.h"

namespace platform {
namespace {

class SilentPort final : public IMessagePort {
 public:
  void ShowMessage(const std::string&, MsgIcon) override {}
  bool AskYesNo(const std::string&, MsgIcon) override { return false; }
  Answer AskYesNoCancel(const std::string&) override { return Answer::Cancel; }
  void Beep() override {}
  void SetWaitCursor(bool) override {}
};

SilentPort g_silent;
IMessagePort* g_port = &g_silent;

}  // namespace

IMessagePort& Messages() { return *g_port; }

IMessagePort* SetMessagePort(IMessagePort* port) {
  IMessagePort* old = g_port == &g_silent ? nullptr : g_port;
  g_port = port ? port : &g_silent;
  return old;
}

}  // namespace platform
