#include "support/dialog_ui.h"

#include "desktop/app/file_dialogs.h"
#include "desktop/base/message_boxes.h"
#include "engine/base/cp932.h"

namespace desktop_tests {

void DialogUi::Message(const std::string& text) {
  messages << engine::FromCp932(text);
  desktop::ShowMessage(nullptr, engine::FromCp932(text));
}

bool DialogUi::AskYesNo(const std::string& text) {
  messages << engine::FromCp932(text);
  return desktop::AskYesNo(nullptr, engine::FromCp932(text));
}

engine::Ui::Answer DialogUi::AskYesNoCancel(const std::string& text) {
  messages << engine::FromCp932(text);
  return desktop::AskYesNoCancel(nullptr, engine::FromCp932(text));
}

std::string DialogUi::SelectOpenFile(const std::string& proposedName, const std::string& title,
                                     const std::string& folder, int filter) {
  if (answerFilesItself) return openAnswer;
  return desktop::SelectOpenFile(nullptr, proposedName, title, folder, filter);
}

std::string DialogUi::SelectSaveFile(const std::string& proposedName, const std::string& title,
                                     const std::string& folder, int filter) {
  if (answerFilesItself) return folder + proposedName;
  return desktop::SelectSaveFile(nullptr, proposedName, title, folder, filter);
}

}  // namespace desktop_tests
