#pragma once

#include <deque>
#include <string>

#include "engine/base/ui.h"

namespace bench {

// A user who says yes to every question and picks the files queued for it.
class BenchUi : public engine::Ui {
 public:
  std::deque<std::string> files;
  int messages = 0;
  std::string lastMessage;

  void Message(const std::string& text) override {
    ++messages;
    lastMessage = text;
  }
  bool AskYesNo(const std::string&) override { return true; }
  Answer AskYesNoCancel(const std::string&) override { return Answer::Yes; }
  std::string SelectOpenFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return Next();
  }
  std::string SelectSaveFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return Next();
  }
  void SetStatus(int, const std::string&) override {}

 private:
  std::string Next();
};

}  // namespace bench
