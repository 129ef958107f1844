#pragma once

#include <array>
#include <functional>
#include <vector>

#include "desktop/base/tacc_dialog.h"
#include "engine/amount/result_grid.h"

class QPushButton;
class QTableView;

namespace desktop {

class ResultGridModel;

// "集計表": the grid an aggregation filled, editable, with its tab-separated and CSV output.
class tamounttable : public TAccDialog {
  Q_OBJECT

 public:
  tamounttable(engine::ResultGrid grid, QWidget* parent);
  ~tamounttable() override;

  // The cells as they now stand, the user's edits included.
  const engine::ResultGrid& Grid() const;
  // Paints the rows marked true (grid rows, the header being row 0) in `colour`.
  void MarkRows(std::vector<bool> rows, const QColor& colour);
  // Column widths in per cent of the grid's width, for tables laid out otherwise than an
  // aggregation's.
  void SetColumnShares(const std::array<int, 6>& shares);
  // What "グラフ" draws, for tables whose rows are no aggregation's.
  void SetChart(std::function<void()> draw) { chart_ = std::move(draw); }

  QPushButton* btntext = nullptr;
  QPushButton* btncsv = nullptr;
  QPushButton* btnclose = nullptr;
  QPushButton* btngraph = nullptr;
  QTableView* grid = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowText(const std::vector<std::string>& lines);
  void FitColumns(int clientWidth);

  ResultGridModel* model_ = nullptr;
  std::function<void()> chart_;
  std::array<int, 6> shares_{22, 20, 8, 20, 8, 20};
};

}  // namespace desktop
