#include "desktop/tables/acc_grid_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include "desktop/app/guarded.h"
#include "desktop/tables/grid_header.h"
#include "desktop/tables/grid_model.h"
#include "engine/base/integer.h"

namespace desktop {

AccGridView::AccGridView(engine::TAccGrid& table, QWidget* parent)
    : QTableView(parent),
      table_(table),
      model_(new GridModel(table, this)),
      rowHeader_(new GridHeader(Qt::Vertical, this)) {
  setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
  setVerticalHeader(rowHeader_);
  setModel(model_);

  // Uniform, fixed row heights keep a long journal cheap to lay out and scroll.
  rowHeader_->setSectionResizeMode(QHeaderView::Fixed);
  rowHeader_->setMinimumSectionSize(engine::TAccGrid::kRowHeight);
  rowHeader_->setDefaultSectionSize(engine::TAccGrid::kRowHeight);
  rowHeader_->setFixedWidth(engine::TAccGrid::kHeaderWidth);
  horizontalHeader()->setFixedHeight(engine::TAccGrid::kRowHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setMinimumSectionSize(4);
  rowHeader_->SetRowColour([this](int row) { return RowColour(row); });
  rowHeader_->SetPressHandler([this](int row) {
    bool reach = false;
    RunGuarded(this, [&] { reach = table_.MousePress(0, row); });
    return reach;
  });
  rowHeader_->SetMoveHandler(
      [this](int from, int to) { RunGuarded(this, [&] { table_.DragRow(from, to); }); });

  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setWordWrap(false);
  // A text that still doesn't fit its column says so with an ellipsis; its tool tip shows it.
  setTextElideMode(Qt::ElideRight);
  setCornerButtonEnabled(false);
  setTabKeyNavigation(false);
  setGridStyle(Qt::SolidLine);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, CellColour());
  setPalette(colours);

  connect(model_, &GridModel::marksChanged, this, &AccGridView::RepaintMarks);
  connect(model_, &GridModel::focusChanged, this, &AccGridView::SyncFocus);
  connect(model_, &GridModel::rowsReset, this, &AccGridView::SyncFocus);
  connect(model_, &GridModel::rowsReset, this, &AccGridView::FitColumnsToContent);
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& first, const QModelIndex& last) {
            FitRows(first.row(), last.row());
          });
  connect(model_, &GridModel::scrollToEnd, this, [this] {
    syncing_ = true;
    scrollToBottom();
    syncing_ = false;
  });
}

AccGridView::~AccGridView() = default;

QColor AccGridView::RowColour(int row) const {
  if (row == table_.SelectedLine()) return SelectedLineColour();
  if (unposted_ && unposted_(row)) return UnpostedColour();
  return GridHeader::HeadingColour();
}

QRect AccGridView::CellRect(int column, int row) const {
  if (column < 1 || row < 1 || row >= table_.RowCount()) return {};
  return visualRect(model_->index(row - 1, column - 1));
}

void AccGridView::SelectTableCell(int column, int row) {
  if (column < 1 || row < 1 || row >= table_.RowCount()) return;
  setCurrentIndex(model_->index(row - 1, column - 1));
}

void AccGridView::ApplyColumnWidths(const std::array<int, 6>& widths) {
  for (int c = 0; c < 6; ++c) setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
}

int AccGridView::TextWidth(const QString& text) const {
  // The item delegate keeps a focus-frame margin plus one pixel on each side of the text.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  return fontMetrics().horizontalAdvance(text) + 2 * margin + 1;
}

void AccGridView::Widen(int column, int needed) {
  if (!table_.IsAmountColumn(column + 1)) {
    const int limit = static_cast<int>(viewport()->width() * kTextColumnShare);
    needed = std::min(needed, std::max(limit, columnWidth(column)));
  }
  if (needed > columnWidth(column)) setColumnWidth(column, needed);
}

void AccGridView::FitRows(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, model_->rowCount() - 1);
  for (int c = 0; c < model_->columnCount(); ++c) {
    int needed = 0;
    for (int r = first; r <= last; ++r) {
      if (table_.Cell(c + 1, r + 1).empty()) continue;
      needed = std::max(needed, TextWidth(model_->DisplayText(c + 1, r + 1)));
    }
    Widen(c, needed);
  }
}

void AccGridView::FitColumnsToContent() {
  const int rows = model_->rowCount();
  if (rows <= 0) return;
  for (int c = 0; c < model_->columnCount(); ++c) {
    int needed = TextWidth(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    if (table_.IsAmountColumn(c + 1)) {
      // Digits are equally wide in the fonts used here, so the longest amount anywhere is
      // measured by its length alone: a pass over the lengths, no text is converted.
      std::size_t longest = 0;
      bool negative = false;
      for (int r = 1; r <= rows; ++r) {
        const std::string_view text = table_.Cell(c + 1, r);
        if (text.size() > longest) {
          longest = text.size();
          negative = text.starts_with('-');
        }
      }
      std::string widest(longest, '0');
      if (negative && longest > 0) widest[0] = '-';
      const std::string shown = GridModel::DigitGrouping() ? engine::GroupDigits(widest) : widest;
      needed = std::max(needed, TextWidth(QString::fromLatin1(shown)));
    }
    Widen(c, needed);
  }
  const int top = std::max(rowAt(0), 0);
  const int bottom = rowAt(viewport()->height() - 1);
  FitRows(top, bottom < 0 ? rows - 1 : bottom);
}

bool AccGridView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text =
        index.isValid() ? model_->data(index, Qt::DisplayRole).toString() : QString();
    const QRect cell = visualRect(index);
    if (!text.isEmpty() && TextWidth(text) > columnWidth(index.column())) {
      QToolTip::showText(help->globalPos(), text, viewport(), cell);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QTableView::viewportEvent(event);
}

void AccGridView::SyncFocus() {
  const int column = std::max(table_.FocusedColumn(), 1);
  const int row = table_.FocusedRow();
  if (row < 1 || row >= table_.RowCount()) return;
  syncing_ = true;
  const QModelIndex index = model_->index(row - 1, column - 1);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index);
  syncing_ = false;
  RepaintMarks();
}

void AccGridView::RepaintMarks() {
  viewport()->update();
  rowHeader_->viewport()->update();
}

void AccGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  // The base class scrolls the cell into view first, which commits an open editor the way a
  // scroll does; the table then hears of the new cell.
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  RunGuarded(this, [&] { table_.SelectCell(current.column() + 1, current.row() + 1); });
}

void AccGridView::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) {
    bool reach = false;
    RunGuarded(this, [&] { reach = table_.MousePress(index.column() + 1, index.row() + 1); });
    if (!reach) return;
  }
  const QModelIndex before = currentIndex();
  QTableView::mousePressEvent(event);
  // A press on the cell that already has the focus selects it again, reopening its editor.
  if (index.isValid() && before == index && currentIndex() == index)
    RunGuarded(this, [&] { table_.SelectCell(index.column() + 1, index.row() + 1); });
}

void AccGridView::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dy != 0) {
    const int bottom = rowAt(viewport()->height() - 1);
    FitRows(std::max(rowAt(0), 0), bottom < 0 ? model_->rowCount() - 1 : bottom);
  }
  if (!syncing_) emit scrolled();
}

void AccGridView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  const int line = table_.SelectedLine();
  if (line < 1 || line >= table_.RowCount()) return;
  // The selected line's frame: top, right and bottom edges of its data cells.
  const QRect first = CellRect(1, line);
  const QRect last = CellRect(6, line);
  if (!first.isValid() || !last.isValid()) return;
  QPainter painter(viewport());
  painter.setPen(QPen(Qt::red, 1, Qt::DotLine));
  const int left = first.left();
  const int right = last.right();
  const int top = first.top();
  const int bottom = first.bottom();
  painter.drawLine(left, top, right, top);
  painter.drawLine(right, top, right, bottom);
  painter.drawLine(right, bottom, left, bottom);
}

}  // namespace desktop
