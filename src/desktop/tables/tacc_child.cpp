#include "desktop/tables/tacc_child.h"

#include <QCloseEvent>
#include <QPalette>
#include <QTimer>

namespace desktop {

TAccChild::TAccChild(QWidget* parent) : QMdiSubWindow(parent) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setBackgroundRole(QPalette::Button);
  resize(430, 300);
}

void TAccChild::Minimize() {
  if (minimized_) return;
  changing_ = true;
  if (isMinimized() || isMaximized()) showNormal();
  normalGeometry_ = geometry();
  minimized_ = true;
  if (widget()) widget()->hide();
  setMinimumSize(0, 0);
  resize(kMinimizedWidth, height());
  showShaded();
  resize(kMinimizedWidth, height());
  changing_ = false;
}

void TAccChild::Restore() {
  if (!minimized_) return;
  changing_ = true;
  minimized_ = false;
  showNormal();
  if (widget()) widget()->show();
  setGeometry(normalGeometry_);
  changing_ = false;
  WindowResized();
  WindowRestored();
}

void TAccChild::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  if (!minimized_ && !changing_) WindowResized();
}

void TAccChild::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!minimized_) {
    Minimize();
    if (placer_) placer_(*this);
  }
}

void TAccChild::changeEvent(QEvent* event) {
  QMdiSubWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || changing_) return;
  if (isMinimized() && !minimized_) {
    // The title bar's minimize button: turn Qt's minimize into ours once Qt is done with it.
    QTimer::singleShot(0, this, [this] {
      if (!isMinimized() || minimized_) return;
      Minimize();
      if (placer_) placer_(*this);
    });
  } else if (minimized_ && !isShaded() && !isMinimized()) {
    // The title bar's restore button unshades the strip.
    minimized_ = false;
    if (widget()) widget()->show();
    changing_ = true;
    setGeometry(normalGeometry_);
    changing_ = false;
    WindowResized();
    WindowRestored();
  }
}

}  // namespace desktop
