#include "desktop/tables/grid_model.h"

#include <QColor>
#include <algorithm>

#include "engine/base/cp932.h"
#include "engine/base/integer.h"

namespace desktop {

GridModel::GridModel(engine::TAccGrid& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
  table_.SetView(this);
}

GridModel::~GridModel() {
  if (table_.View() == this) table_.SetView(nullptr);
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.RowCount() - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : engine::TAccGrid::kColumnCount - 1;
}

QString GridModel::DisplayText(int column, int row) const {
  const std::string_view text = table_.Cell(column, row);
  if (digitGrouping_ && table_.IsAmountColumn(column))
    return engine::FromCp932(engine::GroupDigits(text));
  return engine::FromCp932(text);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + 1;
  const int column = index.column() + 1;
  if (row >= table_.RowCount()) return {};
  switch (role) {
    case Qt::DisplayRole: {
      if (table_.Cell(column, row).empty()) return {};
      return DisplayText(column, row);
    }
    case Qt::TextAlignmentRole:
      if (table_.IsAmountColumn(column)) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    case Qt::ForegroundRole:
      // A balance below zero is what the user most needs to notice in a ledger.
      if (column == table_.BalanceColumn() && table_.Cell(column, row).starts_with('-'))
        return QColor(Qt::red);
      return {};
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  // The row header never holds text; its marks are painted by the header itself.
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return engine::FromCp932(table_.Cell(section + 1, 0));
}

void GridModel::RowsReset() {
  beginResetModel();
  endResetModel();
  emit rowsReset();
}

void GridModel::RowsChanged(int first, int last) {
  const int lastRow = table_.RowCount() - 2;
  first = std::max(first - 1, 0);
  last = std::min(last - 1, lastRow);
  if (first > last) return;
  emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}

void GridModel::MarksChanged() {
  emit marksChanged();
}
void GridModel::FocusChanged() {
  emit focusChanged();
}
void GridModel::EditorChanged() {
  emit editorChanged();
}
void GridModel::ScrollToEnd() {
  emit scrollToEnd();
}

}  // namespace desktop
