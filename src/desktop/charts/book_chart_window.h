#pragma once

#include <vector>

#include "desktop/charts/chart_window.h"
#include "engine/amount/chart_series.h"

class QComboBox;
class QLabel;

namespace engine {
class Book;
}

namespace desktop {

// The whole book in a chart: income and spending per month as bars with the running balance
// as a line, or the subjects of spending, of income or of the aggregation's table for a run
// of months as sorted bars or a pie. Which subjects are income and which spending comes from
// the aggregation settings, or else from the sides the ledgers are used on; the window says
// which. The chart is drawn again after the book's tables change.
class BookChartWindow : public ChartWindow {
  Q_OBJECT

 public:
  enum Mode { kMonthly = 0, kSpending = 1, kIncome = 2, kTableEntries = 3 };

  // `models` are the book's tables' models, followed for changes.
  BookChartWindow(engine::Book& book, const QList<GridModel*>& models, QWidget* parent);

  void SetMode(Mode mode);
  // Indices into the month list, first to last.
  void SetMonths(int first, int last);
  QStringList Months() const;
  const engine::FlowSubjects& Subjects() const { return subjects_; }

 protected:
  void Redraw() override;

 private:
  // Reads the subjects and the months again and draws.
  void Refresh();
  void Draw();
  std::vector<engine::FlowSubject> ChosenSubjects(Mode mode) const;

  engine::Book& book_;
  engine::FlowSubjects subjects_;
  std::vector<engine::MonthFlow> months_;
  QComboBox* mode_ = nullptr;
  QComboBox* first_ = nullptr;
  QComboBox* last_ = nullptr;
  QLabel* source_ = nullptr;
  bool filling_ = false;
};

}  // namespace desktop
