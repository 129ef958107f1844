#include "desktop/base/tacc_dialog.h"

#include <QPalette>

#include "desktop/base/fonts.h"

namespace desktop {

QColor TAccDialog::ButtonFace() {
  return QColor(240, 240, 240);
}

TAccDialog::TAccDialog(QWidget* parent) : QDialog(parent) {
  setFont(ApplicationFont());
  QPalette face = palette();
  face.setColor(QPalette::Window, ButtonFace());
  face.setColor(QPalette::Button, ButtonFace());
  setPalette(face);
  setAutoFillBackground(true);
  // The dialogs have nothing for a "?" button to explain.
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TAccDialog::FixSize(int width, int height) {
  setFixedSize(width, height);
  setSizeGripEnabled(false);
}

}  // namespace desktop
