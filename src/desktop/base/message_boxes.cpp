#include "desktop/base/message_boxes.h"

#include <QMessageBox>

namespace desktop {

void ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QStringLiteral("Zentabo"), text);
}

bool AskYesNo(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QStringLiteral("Zentabo"), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

engine::Ui::Answer AskYesNoCancel(QWidget* parent, const QString& text) {
  switch (QMessageBox::question(parent, QStringLiteral("Zentabo"), text,
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                QMessageBox::Yes)) {
    case QMessageBox::Yes:
      return engine::Ui::Answer::Yes;
    case QMessageBox::No:
      return engine::Ui::Answer::No;
    default:
      return engine::Ui::Answer::Cancel;
  }
}

}  // namespace desktop
