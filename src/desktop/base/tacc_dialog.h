#pragma once

#include <QDialog>

class QIcon;
class QPushButton;
class QTableView;

namespace desktop {

// The base of every dialog and result window: the button-face background and the
// application's Japanese font, so that all of them look alike whatever the desktop theme.
class TAccDialog : public QDialog {
  Q_OBJECT

 public:
  // The modal result of a dialog whose work failed (an aggregation, say).
  static constexpr int kAbortResult = 3;

  explicit TAccDialog(QWidget* parent = nullptr);

  // The button-face colour the dialogs are painted in.
  static QColor ButtonFace();

 protected:
  // Gives the dialog a fixed client size, as the dialogs with a plain dialog frame have.
  void FixSize(int width, int height);
  // A 75 x 25 button in the row along the top of a result window, `left` pixels in.
  QPushButton* TopButton(const char* name, const QString& caption, const QIcon& icon, int left);
  // The book tables' colours on a grid of the dialog: a pale green heading over cream cells.
  static void PaintGrid(QTableView& grid);
};

}  // namespace desktop
