#pragma once

#include <QMdiSubWindow>
#include <functional>

namespace desktop {

// The base of the child windows: 430 by 300 pixels in the button-face colour. Minimizing is
// done here rather than by QMdiArea, which would re-tile minimized windows along its bottom
// edge whenever it liked; the main window places minimized windows itself. A minimized child
// is a 160-pixel title strip (a shaded sub-window) that keeps its normal geometry for restoring.
class TAccChild : public QMdiSubWindow {
  Q_OBJECT

 public:
  static constexpr int kMinimizedWidth = 160;

  explicit TAccChild(QWidget* parent = nullptr);

  bool IsMinimized() const { return minimized_; }
  // Rolls the window up to its title strip at its current position.
  void Minimize();
  // Back to the size and place it had before it was minimized.
  void Restore();
  // The position to use when the window is minimized by the user; set by the main window.
  void SetMinimizePlacer(std::function<void(TAccChild&)> placer) { placer_ = std::move(placer); }

 protected:
  // Called when the window was resized while not minimized.
  virtual void WindowResized() {}
  // Called once the window is back from its title strip.
  virtual void WindowRestored() {}
  void resizeEvent(QResizeEvent* event) override;
  // The close box only minimizes: a table window stays in its book until the book closes.
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool minimized_ = false;
  bool changing_ = false;
  QRect normalGeometry_;
  std::function<void(TAccChild&)> placer_;
};

}  // namespace desktop
