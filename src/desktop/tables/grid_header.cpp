#include "desktop/tables/grid_header.h"

#include <QMouseEvent>
#include <QPainter>

namespace desktop {

GridHeader::GridHeader(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent) {
  setHighlightSections(false);
  setSectionsClickable(orientation == Qt::Vertical);
  setSectionsMovable(false);
}

int GridHeader::RowAt(const QPoint& pos) const {
  const int section = logicalIndexAt(pos);
  return section < 0 ? 0 : section + 1;
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  painter->save();
  QColor fill = HeadingColour();
  if (orientation() == Qt::Vertical && rowColour_) fill = rowColour_(logicalIndex + 1);
  painter->fillRect(rect, fill);
  painter->setPen(QColor(128, 128, 128));
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  if (orientation() == Qt::Horizontal) {
    painter->setPen(palette().color(QPalette::WindowText));
    const QString text =
        model() ? model()->headerData(logicalIndex, Qt::Horizontal).toString() : QString();
    painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  painter->restore();
}

void GridHeader::paintEvent(QPaintEvent* event) {
  QHeaderView::paintEvent(event);
  if (orientation() != Qt::Vertical || dragFrom_ == 0 || dragTo_ == 0 || dragTo_ == dragFrom_)
    return;
  // Where the dragged line will land.
  QPainter painter(viewport());
  const int top = sectionViewportPosition(dragTo_ - 1);
  const int y = dragTo_ > dragFrom_ ? top + sectionSize(dragTo_ - 1) - 1 : top;
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(0, y, viewport()->width(), y);
}

void GridHeader::mousePressEvent(QMouseEvent* event) {
  if (orientation() != Qt::Vertical) {
    QHeaderView::mousePressEvent(event);
    return;
  }
  // The row header neither selects rows nor resizes them: a press marks the line and may
  // start a drag, both decided by the table.
  const int row = RowAt(event->position().toPoint());
  dragFrom_ = 0;
  dragTo_ = 0;
  if (row == 0) return;
  if (press_ && !press_(row)) return;
  if (event->button() == Qt::LeftButton) dragFrom_ = row;
}

void GridHeader::mouseMoveEvent(QMouseEvent* event) {
  if (orientation() != Qt::Vertical) {
    QHeaderView::mouseMoveEvent(event);
    return;
  }
  if (dragFrom_ == 0 || !(event->buttons() & Qt::LeftButton)) return;
  const int y = event->position().toPoint().y();
  int row = RowAt(QPoint(0, y));
  if (row == 0) row = y < 0 ? 1 : count();
  if (row != dragTo_) {
    dragTo_ = row;
    viewport()->update();
  }
}

void GridHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (orientation() != Qt::Vertical) {
    QHeaderView::mouseReleaseEvent(event);
    return;
  }
  const int from = dragFrom_;
  const int to = dragTo_;
  dragFrom_ = 0;
  dragTo_ = 0;
  viewport()->update();
  if (from != 0 && to != 0 && from != to && move_) move_(from, to);
}

}  // namespace desktop
