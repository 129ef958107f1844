#include "desktop/base/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace desktop {

namespace {

// Gives the keyboard back to the widget that had it when a message box opened, so what the
// user types next goes where it went before. When that widget was hidden meanwhile (an
// editor the message closed), the nearest visible widget around it that takes focus gets it.
class FocusKeeper {
 public:
  FocusKeeper() : widget_(QApplication::focusWidget()) {}
  ~FocusKeeper() {
    for (QWidget* w = widget_; w; w = w->parentWidget()) {
      if (w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus) {
        w->setFocus(Qt::OtherFocusReason);
        return;
      }
      if (w->isWindow()) return;
    }
  }
  FocusKeeper(const FocusKeeper&) = delete;
  FocusKeeper& operator=(const FocusKeeper&) = delete;

 private:
  QPointer<QWidget> widget_;
};

}  // namespace

void ShowMessage(QWidget* parent, const QString& text) {
  const FocusKeeper keeper;
  QMessageBox::information(parent, QStringLiteral("Zentabo"), text);
}

bool AskYesNo(QWidget* parent, const QString& text) {
  const FocusKeeper keeper;
  return QMessageBox::question(parent, QStringLiteral("Zentabo"), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

engine::Ui::Answer AskYesNoCancel(QWidget* parent, const QString& text) {
  const FocusKeeper keeper;
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
