#pragma once

#include "desktop/base/tacc_dialog.h"

class QPushButton;

namespace desktop {

// "バージョン情報": the program's name, version and what it is for.
class AboutDialog : public TAccDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  static QString VersionText();

  QPushButton* btnok = nullptr;
};

}  // namespace desktop
