#pragma once

#include "desktop/charts/chart_window.h"
#include "engine/plan/budget.h"

class QComboBox;

namespace desktop {

// Budget against actual as pairs of bars: every budgeted subject (and heading) over the
// period, or one of them month by month. An actual over its budget is drawn in red.
class BudgetChartWindow : public ChartWindow {
  Q_OBJECT

 public:
  BudgetChartWindow(engine::BudgetFigures figures, QWidget* parent);

  // -1: every subject over the period; otherwise the entry (an index into the figures' names)
  // month by month.
  void ShowEntry(int entry);

 private:
  void Draw();

  engine::BudgetFigures figures_;
  QComboBox* entry_ = nullptr;
};

}  // namespace desktop
