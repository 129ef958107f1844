#pragma once

#include "desktop/amount/tamountdialog.h"
#include "engine/amount/table_aggregation.h"

class QLabel;

namespace engine {
class Book;
}

namespace desktop {

// "比較集計": the nested list of the table aggregation with a run of months per entry, so
// one account over several periods stands side by side. Its month texts are "yy/mm", made by
// the dialog itself; nothing else in the program sees another date format.
class tamountcomparedialog : public tamountdialog {
  Q_OBJECT

 public:
  tamountcomparedialog(engine::Book& book, QWidget* parent);

  engine::CompareAggregation& Aggregation() { return aggregation_; }

  QLabel* lbl1 = nullptr;
  QLabel* lbl2 = nullptr;
  QCheckBox* chkmonthout = nullptr;

 protected:
  void ShowMonths() override;
  engine::ResultGrid Aggregate() override;

 private:
  engine::CompareAggregation aggregation_;
};

}  // namespace desktop
