#pragma once

#include <QAbstractTableModel>

namespace engine {
class ItemList;
}

namespace desktop {

// Shows a list dialog's rows to its grid: the list's heading row becomes the view's header and
// model row r its data row r + 1.
class ItemListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ItemListModel(const engine::ItemList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The list changed: the view re-reads every row.
  void Reload();

 private:
  const engine::ItemList& list_;
};

}  // namespace desktop
