#pragma once
// Recording fake of the ports for tests: every message, question and beep is kept
// in order, and questions take their answers from a script (default No / Cancel).
#include <deque>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace platform {

class FakeMessagePort final : public IMessagePort {
 public:
  struct Event {
    enum Kind { Message, YesNo, YesNoCancel, Beep } kind;
    std::string text;
    MsgIcon icon = MsgIcon::Warning;
  };

  FakeMessagePort() { previous_ = SetMessagePort(this); }
  ~FakeMessagePort() override { SetMessagePort(previous_); }
  FakeMessagePort(const FakeMessagePort&) = delete;
  FakeMessagePort& operator=(const FakeMessagePort&) = delete;

  void ShowMessage(const std::string& text, MsgIcon icon) override {
    events.push_back({Event::Message, text, icon});
  }
  bool AskYesNo(const std::string& text, MsgIcon icon) override {
    events.push_back({Event::YesNo, text, icon});
    Answer a = Next(Answer::No);
    return a == Answer::Yes;
  }
  Answer AskYesNoCancel(const std::string& text) override {
    events.push_back({Event::YesNoCancel, text, MsgIcon::Question});
    return Next(Answer::Cancel);
  }
  void Beep() override { events.push_back({Event::Beep, {}, MsgIcon::Warning}); }
  void SetWaitCursor(bool on) override { waitDepth += on ? 1 : -1; ++waitCalls; }

  // Answers for the next questions, in order.
  void Script(std::initializer_list<Answer> answers) { answers_.insert(answers_.end(), answers); }

  // Texts of the message boxes (not questions, not beeps), in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.kind == Event::Message) out.push_back(e.text);
    return out;
  }
  // Texts of every box shown, questions included.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.kind != Event::Beep) out.push_back(e.text);
    return out;
  }
  int Beeps() const {
    int n = 0;
    for (const auto& e : events) n += e.kind == Event::Beep;
    return n;
  }
  void Clear() { events.clear(); }

  std::vector<Event> events;
  int waitDepth = 0;
  int waitCalls = 0;

 private:
  Answer Next(Answer fallback) {
    if (answers_.empty()) return fallback;
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  std::deque<Answer> answers_;
  IMessagePort* previous_ = nullptr;
};

}  // namespace platform
