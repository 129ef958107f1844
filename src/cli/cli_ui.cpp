#include "cli/cli_ui.h"

#include <cstdio>

#include "cli/messages.h"
#include "engine/base/cp932.h"

namespace cli {

void PrintErrorUtf8(const std::string& message) {
  std::fprintf(stderr, "zentabo-cli: %s\n", message.c_str());
}

void PrintError(const std::string& cp932Message) {
  PrintErrorUtf8(engine::FromCp932(cp932Message).toStdString());
}

void CliUi::Message(const std::string& text) {
  ++messages_;
  PrintError(text);
}

bool CliUi::AskYesNo(const std::string& text) {
  // A question nobody can answer is refused; the operation then stops as if told No.
  PrintErrorUtf8(engine::FromCp932(text).toStdString() + " " + Tr("(いいえ)"));
  return false;
}

CliUi::Answer CliUi::AskYesNoCancel(const std::string& text) {
  PrintErrorUtf8(engine::FromCp932(text).toStdString() + " " + Tr("(キャンセル)"));
  return Answer::Cancel;
}

std::string CliUi::SelectOpenFile(const std::string&, const std::string&, const std::string&, int) {
  std::string answer;
  answer.swap(openFile_);
  return answer;
}

std::string CliUi::SelectSaveFile(const std::string&, const std::string&, const std::string&, int) {
  std::string answer;
  answer.swap(saveFile_);
  return answer;
}

}  // namespace cli
