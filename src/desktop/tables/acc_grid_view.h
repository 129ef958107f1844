#pragma once

#include <QTableView>
#include <functional>

#include "engine/tables/acc_grid.h"

namespace desktop {

class GridHeader;
class GridModel;

// The grid of a book table: a QTableView over the table's GridModel with the table's colours,
// 20-pixel rows and row header, the line marks, and the toolkit events passed to the table
// (cell selection, mouse press, row drag, scrolling).
class AccGridView : public QTableView {
  Q_OBJECT

 public:
  static QColor CellColour() { return QColor(255, 251, 240); }
  static QColor SelectedLineColour() { return QColor(0, 255, 255); }
  static QColor UnpostedColour() { return QColor(166, 202, 240); }

  AccGridView(engine::TAccGrid& table, QWidget* parent = nullptr);
  ~AccGridView() override;

  engine::TAccGrid& Table() const { return table_; }
  GridModel* Model() const { return model_; }
  GridHeader* RowHeader() const { return rowHeader_; }
  // The journal marks its unposted rows; other tables leave this unset.
  void SetUnpostedTest(std::function<bool(int row)> test) { unposted_ = std::move(test); }

  // The screen rectangle of a table cell (data rows and columns 1 to 6), in viewport
  // coordinates; empty when the cell doesn't exist.
  QRect CellRect(int column, int row) const;
  // Moves the toolkit's focus to a cell as if the user had selected it.
  void SelectTableCell(int column, int row);
  void ApplyColumnWidths(const std::array<int, 6>& widths);
  // Widens the columns that are too narrow for the texts of the rows on screen or for the
  // table's longest amount. Columns are never narrowed here; a text column stops at
  // kTextColumnShare of the view, beyond which its texts end in an ellipsis.
  void FitColumnsToContent();
  // The same for the texts of model rows first..last only (an edit, a scroll).
  void FitRows(int first, int last);
  // The width a text needs in a cell of this view, margins and grid line included.
  int TextWidth(const QString& text) const;
  static constexpr double kTextColumnShare = 0.4;

 signals:
  // The visible part moved (the top-left cell changed).
  void scrolled();

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;

 private:
  // Puts the toolkit's focus on the table's focused cell without telling the table.
  void SyncFocus();
  void RepaintMarks();
  QColor RowColour(int row) const;
  // Widens column c (0-based) to `needed`, within its limit.
  void Widen(int column, int needed);

  engine::TAccGrid& table_;
  GridModel* model_;
  GridHeader* rowHeader_;
  std::function<bool(int)> unposted_;
  // Set while the view follows the table, so the table isn't told about its own moves.
  bool syncing_ = false;
};

}  // namespace desktop
