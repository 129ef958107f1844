#pragma once

#include <string>

#include "engine/base/ui.h"

namespace cli {

// The engine's user interface for a run without a display: messages go to the error
// stream, questions are refused (No, Cancel, no file), so nothing waits for an answer and
// nothing is written on the user's behalf. A file choice the command line has already made
// (the schema to read, the report to write) can be given as the one answer to a question.
class CliUi : public engine::Ui {
 public:
  void Message(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  std::string SelectOpenFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override;
  std::string SelectSaveFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override;
  void SetStatus(int /*panel*/, const std::string& /*text*/) override {}

  // The answers to the next open-file and save-file questions (CP932 paths).
  void SetOpenFileAnswer(std::string path) { openFile_ = std::move(path); }
  void SetSaveFileAnswer(std::string path) { saveFile_ = std::move(path); }
  int MessageCount() const { return messages_; }

 private:
  std::string openFile_;
  std::string saveFile_;
  int messages_ = 0;
};

// Writes "zentabo-cli: " and a CP932 message as UTF-8 to the error stream.
void PrintError(const std::string& cp932Message);
// The same for a message written in the source (UTF-8).
void PrintErrorUtf8(const std::string& message);

}  // namespace cli
