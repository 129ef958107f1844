#pragma once

#include "desktop/base/tacc_dialog.h"
#include "engine/plan/budget.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace engine {
class Book;
}

namespace desktop {

// "予算と実績": the year's budget per subject and month, typed into a grid (a value in
// "毎月" goes into every month), and the table of budget against actual for a run of
// months, with subtotals by the aggregation's headings when asked.
class tbudgetdialog : public TAccDialog {
  Q_OBJECT

 public:
  tbudgetdialog(engine::Book& book, QWidget* parent);

  // The budget as the grid now stands; nothing (the user told) when a cell isn't an amount.
  std::optional<engine::Budget> GridBudget();

  QSpinBox* spnyear = nullptr;
  QTableWidget* grid = nullptr;
  QComboBox* cmbfirst = nullptr;
  QComboBox* cmblast = nullptr;
  QCheckBox* chkmonthly = nullptr;
  QCheckBox* chkheadings = nullptr;
  QPushButton* btnsave = nullptr;
  QPushButton* btntable = nullptr;
  QPushButton* btngraph = nullptr;
  QPushButton* btnclose = nullptr;

 private:
  void Fill(const engine::Budget& budget);
  void CellChanged(int row, int column);
  // Keeps the grid's budget in the book when it changed; false when a cell was refused.
  bool Keep();
  void btntableClick();
  void btngraphClick();
  // The table's layout as the controls set it; nothing (the user told) when the months are
  // the wrong way round or a budget cell isn't an amount.
  std::optional<engine::BudgetTableOptions> TableOptions();

  engine::Book& book_;
  engine::Budget stored_;
  // The subject of each grid row, CP932.
  std::vector<std::string> subjects_;
  bool filling_ = false;
};

}  // namespace desktop
