#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "engine/base/cp932.h"
#include "engine/base/ui.h"

namespace engine::testing {

// A scripted user: records everything the engine says and answers from queues the test fills.
// Texts are kept as CP932 bytes; tests write their expectations with Sjis("…").
class FakeUi : public Ui {
 public:
  std::vector<std::string> messages;   // plain messages, in order
  std::vector<std::string> questions;  // Yes/No and Yes/No/Cancel questions, in order
  std::deque<bool> yesNoAnswers;       // empty queue answers No
  std::deque<Answer> yesNoCancelAnswers;  // empty queue answers Cancel
  std::deque<std::string> openFileAnswers;  // empty queue cancels
  std::deque<std::string> saveFileAnswers;
  struct FileRequest {
    std::string proposedName, title, folder;
    int filter;
  };
  std::vector<FileRequest> openFileRequests, saveFileRequests;
  std::map<int, std::string> status;
  std::string mainCaption;
  std::vector<std::string> events;  // window events, e.g. "added 食費", "show 仕訳帳"

  void Message(const std::string& text) override { messages.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
  }
  Answer AskYesNoCancel(const std::string& text) override {
    questions.push_back(text);
    if (yesNoCancelAnswers.empty()) return Answer::Cancel;
    const Answer answer = yesNoCancelAnswers.front();
    yesNoCancelAnswers.pop_front();
    return answer;
  }
  std::string SelectOpenFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override {
    openFileRequests.push_back({proposedName, title, folder, filter});
    return Pop(openFileAnswers);
  }
  std::string SelectSaveFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override {
    saveFileRequests.push_back({proposedName, title, folder, filter});
    return Pop(saveFileAnswers);
  }
  void SetStatus(int panel, const std::string& text) override { status[panel] = text; }
  void SetMainCaption(const std::string& caption) override { mainCaption = caption; }
  void TableAdded(TAccGrid& table) override;
  void TableRemoving(TAccGrid& table) override;
  void ShowTable(TAccGrid& table, bool restore) override;
  void ArrangeWindows() override { events.push_back("arrange"); }
  void SetNoBookCommands() override { events.push_back("no-book commands"); }
  void SetBookCommands() override { events.push_back("book commands"); }

  // The last message, or empty.
  std::string LastMessage() const { return messages.empty() ? std::string() : messages.back(); }

 private:
  static std::string Pop(std::deque<std::string>& queue) {
    if (queue.empty()) return {};
    std::string answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace engine::testing
