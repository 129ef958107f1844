#include "support/modal_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace desktop_tests {

namespace {
constexpr int kTickMs = 10;
// How long a modal window may wait for a step that fits it before it counts as unexpected:
// long enough for a loaded machine running the sanitizers.
constexpr int kPatienceTicks = 1000;
}  // namespace

ModalDriver::ModalDriver() : previous_(newest_) {
  newest_ = this;
  connect(&timer_, &QTimer::timeout, this, &ModalDriver::Poll);
  timer_.start(kTickMs);
}

ModalDriver::~ModalDriver() {
  if (newest_ == this) newest_ = previous_;
}

void ModalDriver::Poll() {
  if (busy_ || newest_ != this) return;
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible()) {
    waiting_ = nullptr;
    return;
  }
  if (!steps_.empty() && steps_.front().matches(modal)) {
    Step step = std::move(steps_.front());
    steps_.pop_front();
    busy_ = true;
    waiting_ = nullptr;
    // The step runs from a single-shot timer, outside this timer's slot, so that the nested
    // event loop of any window it opens keeps this timer polling.
    QPointer<QWidget> target = modal;
    QTimer::singleShot(0, this, [this, step = std::move(step), target] {
      busy_ = false;
      if (target) step.run(target);
    });
    return;
  }
  if (waiting_ != modal) {
    waiting_ = modal;
    waitedTicks_ = 0;
    return;
  }
  if (++waitedTicks_ < kPatienceTicks && !steps_.empty()) return;
  auto* box = qobject_cast<QMessageBox*>(modal);
  unexpected_ << modal->windowTitle() + QStringLiteral(": ") + (box ? box->text() : QString());
  waiting_ = nullptr;
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->reject();
  } else {
    modal->close();
  }
}

ModalDriver& ModalDriver::Box(int button) {
  return Then<QMessageBox>([this, button](QMessageBox* box) {
    messages_ << box->text();
    if (QAbstractButton* b = box->button(static_cast<QMessageBox::StandardButton>(button))) {
      b->click();
    } else {
      box->reject();
    }
  });
}

ModalDriver& ModalDriver::File(const QString& name, int filter) {
  return Then<QFileDialog>([this, name, filter](QFileDialog* dialog) {
    fileTitles_ << dialog->windowTitle();
    if (filter > 0) dialog->selectNameFilter(dialog->nameFilters().value(filter - 1));
    // selectFile() leaves a focused name edit alone, so the name is typed into it instead.
    if (!name.isEmpty()) {
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (edit) {
        edit->setText(name);
      } else {
        dialog->selectFile(name);
      }
    }
    // QFileDialog hides its accept(); the dialog's own check of the name runs all the same.
    static_cast<QDialog*>(dialog)->accept();
  });
}

ModalDriver& ModalDriver::CancelFile() {
  return Then<QFileDialog>([this](QFileDialog* dialog) {
    fileTitles_ << dialog->windowTitle();
    dialog->reject();
  });
}

}  // namespace desktop_tests
