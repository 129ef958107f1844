#pragma once

#include <QColor>
#include <QHeaderView>
#include <functional>

namespace desktop {

// The heading row (horizontal) or the row-header column (vertical) of a book grid. Sections
// are painted in the heading colour; the vertical one paints each row's mark colour instead
// and lets the user drag a line by its row-header cell.
class GridHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit GridHeader(Qt::Orientation orientation, QWidget* parent = nullptr);

  static QColor HeadingColour() { return QColor(192, 220, 192); }

  // The fill of a data row's row-header cell (table row numbers, from 1).
  void SetRowColour(std::function<QColor(int row)> colour) { rowColour_ = std::move(colour); }
  // A press on a row-header cell; false when the press must go no further.
  void SetPressHandler(std::function<bool(int row)> handler) { press_ = std::move(handler); }
  // A line dragged from one row to another.
  void SetMoveHandler(std::function<void(int from, int to)> handler) { move_ = std::move(handler); }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int RowAt(const QPoint& pos) const;

  std::function<QColor(int)> rowColour_;
  std::function<bool(int)> press_;
  std::function<void(int, int)> move_;
  int dragFrom_ = 0;
  int dragTo_ = 0;
};

}  // namespace desktop
