#pragma once

#include <QSize>
#include <optional>
#include <string>
#include <vector>

#include "desktop/base/tacc_dialog.h"

class QPlainTextEdit;
class QPushButton;

namespace desktop {

// The text window: tab-separated or CSV text the user may edit and save to a file of their
// choosing. Lines are CP932 as the engine keeps them.
class teditform : public TAccDialog {
  Q_OBJECT

 public:
  teditform(const std::vector<std::string>& lines, QWidget* parent);

  // The text's lines as CP932, or nothing (the user told) when a character has no CP932
  // code. A last line break ends the last line rather than starting an empty one.
  std::optional<std::vector<std::string>> Lines();

  // The size of the main window that `owner` belongs to, which the text window takes.
  static QSize MainWindowSize(QWidget* owner);

  QPushButton* btnsave = nullptr;
  QPushButton* btnclose = nullptr;
  QPlainTextEdit* memo = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void btnsaveClick();
};

}  // namespace desktop
