#pragma once

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

  QPushButton* btntext = nullptr;
  QPushButton* btncsv = nullptr;
  QPushButton* btnclose = nullptr;
  QTableView* grid = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowText(const std::vector<std::string>& lines);
  void FitColumns(int clientWidth);

  ResultGridModel* model_ = nullptr;
};

}  // namespace desktop
