#pragma once

#include <QDialog>

namespace desktop {

// The base of every dialog and result window: the button-face background and the
// application's Japanese font, so that all of them look alike whatever the desktop theme.
class TAccDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TAccDialog(QWidget* parent = nullptr);

  // The button-face colour the dialogs are painted in.
  static QColor ButtonFace();

 protected:
  // Gives the dialog a fixed client size, as the dialogs with a plain dialog frame have.
  void FixSize(int width, int height);
};

}  // namespace desktop
