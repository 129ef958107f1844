#include "desktop/amount/result_grid_model.h"

#include <QApplication>

#include "desktop/base/fonts.h"
#include "engine/base/cp932.h"

namespace desktop {

ResultGridModel::ResultGridModel(engine::ResultGrid grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(std::move(grid)) {}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.RowCount() - 1;
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : engine::ResultGrid::kColumnCount;
}

void ResultGridModel::MarkRows(std::vector<bool> rows, const QColor& colour) {
  beginResetModel();
  marked_ = std::move(rows);
  markColour_ = colour;
  endResetModel();
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
  if (index.isValid() && role == Qt::BackgroundRole) {
    const auto row = static_cast<std::size_t>(index.row() + 1);
    if (row < marked_.size() && marked_[row]) return markColour_;
    return {};
  }
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return engine::FromCp932(grid_.rows[static_cast<std::size_t>(index.row() + 1)]
                                     [static_cast<std::size_t>(index.column())]);
}

bool ResultGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const std::optional<std::string> text = TypedText(QApplication::activeWindow(), value.toString());
  if (!text) return false;
  grid_.rows[static_cast<std::size_t>(index.row() + 1)][static_cast<std::size_t>(index.column())] =
      *text;
  emit dataChanged(index, index);
  return true;
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= engine::ResultGrid::kColumnCount) return {};
  return engine::FromCp932(grid_.rows[0][static_cast<std::size_t>(section)]);
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

}  // namespace desktop
