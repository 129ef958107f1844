#include "support/dialog_ui.h"

#include <QMessageBox>

#include "desktop/app/file_dialogs.h"
#include "desktop/base/fonts.h"
#include "engine/base/cp932.h"

namespace desktop_tests {

void DialogUi::Message(const std::string& text) {
  messages << engine::FromCp932(text);
  desktop::ShowMessage(nullptr, engine::FromCp932(text));
}

bool DialogUi::AskYesNo(const std::string& text) {
  messages << engine::FromCp932(text);
  return QMessageBox::question(nullptr, QStringLiteral("Zentabo"), engine::FromCp932(text)) ==
         QMessageBox::Yes;
}

engine::Ui::Answer DialogUi::AskYesNoCancel(const std::string& text) {
  messages << engine::FromCp932(text);
  switch (QMessageBox::question(nullptr, QStringLiteral("Zentabo"), engine::FromCp932(text),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
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
