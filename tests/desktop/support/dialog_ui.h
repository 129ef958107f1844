#pragma once

#include <QStringList>
#include <string>

#include "engine/base/ui.h"

namespace desktop_tests {

// The engine's Ui as the dialogs meet it in the program: real message boxes and the real file
// dialogs, answered by a ModalDriver; it also keeps every message, decoded, for the checks.
class DialogUi : public engine::Ui {
 public:
  void Message(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  std::string SelectOpenFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override;
  std::string SelectSaveFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override;
  void SetStatus(int /*panel*/, const std::string& /*text*/) override {}

  QStringList messages;
  // When set, file choices are answered without a dialog: the save dialog with the proposed
  // name in the given folder, the open dialog with `openAnswer`.
  bool answerFilesItself = false;
  std::string openAnswer;
};

}  // namespace desktop_tests
