#pragma once

#include <QAbstractTableModel>

#include "engine/tables/acc_grid.h"

namespace desktop {

// Shows one engine table to a QTableView. Model row r is the table's data row r + 1 and model
// column c its column c + 1: the heading row and the row-header column become the view's
// headers. Texts are read on demand, so a journal of a million lines costs no more than the
// rows on screen.
class GridModel : public QAbstractTableModel, public engine::GridView {
  Q_OBJECT

 public:
  explicit GridModel(engine::TAccGrid& table, QObject* parent = nullptr);
  ~GridModel() override;

  engine::TAccGrid& Table() const { return table_; }

  // Whether amounts are shown with their digits grouped ("1,234,567"). One choice for every
  // table of the program; the stored texts never change with it.
  static bool DigitGrouping() { return digitGrouping_; }
  static void SetDigitGrouping(bool on) { digitGrouping_ = on; }
  // A cell's text as shown: amounts grouped when grouping is on, any other text as stored.
  QString DisplayText(int column, int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // engine::GridView.
  void RowsReset() override;
  void RowsChanged(int first, int last) override;
  void MarksChanged() override;
  void FocusChanged() override;
  void EditorChanged() override;
  void ScrollToEnd() override;

 signals:
  void marksChanged();
  void focusChanged();
  void editorChanged();
  void scrollToEnd();
  // Sent after a reset, once the view may read the new rows.
  void rowsReset();

 private:
  engine::TAccGrid& table_;
  static inline bool digitGrouping_ = true;
};

}  // namespace desktop
