#include "desktop/lists/item_list_model.h"

#include "engine/base/cp932.h"
#include "engine/lists/item_list.h"

namespace desktop {

ItemListModel::ItemListModel(const engine::ItemList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

int ItemListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_.RowCount();
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.Heading().size());
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const auto& texts = list_.RowTexts(index.row() + 1);
  const auto column = static_cast<std::size_t>(index.column());
  return column < texts.size() ? engine::FromCp932(texts[column]) : QString();
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  const auto column = static_cast<std::size_t>(section);
  return column < list_.Heading().size() ? engine::FromCp932(list_.Heading()[column]) : QString();
}

void ItemListModel::Reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace desktop
