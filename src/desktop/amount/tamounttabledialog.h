#pragma once

#include "desktop/amount/tamountdialog.h"
#include "engine/amount/table_aggregation.h"

class QLabel;

namespace engine {
class Book;
}

namespace desktop {

// "テーブルに出力": accounts and headings in a nested list, totalled over one run of months.
class tamounttabledialog : public tamountdialog {
  Q_OBJECT

 public:
  tamounttabledialog(engine::Book& book, QWidget* parent);

  engine::TableAggregation& Aggregation() { return aggregation_; }

  QLabel* lbl1 = nullptr;
  QLabel* lbl2 = nullptr;
  QLabel* lbl3 = nullptr;

 protected:
  engine::ResultGrid Aggregate() override;

 private:
  engine::TableAggregation aggregation_;
};

}  // namespace desktop
