#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

#include "engine/amount/result_grid.h"

namespace desktop {

// The result grid for a table view: row 0 of the grid is the view's header, the other rows
// are editable cells. Typed text that CP932 cannot hold is refused where it was typed.
class ResultGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ResultGridModel(engine::ResultGrid grid, QObject* parent);

  const engine::ResultGrid& Grid() const { return grid_; }
  // Rows (grid rows, the header being row 0) painted in `colour`, such as budgets overrun.
  void MarkRows(std::vector<bool> rows, const QColor& colour);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  engine::ResultGrid grid_;
  std::vector<bool> marked_;
  QColor markColour_;
};

}  // namespace desktop
