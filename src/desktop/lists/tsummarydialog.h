#pragma once

#include "desktop/lists/titemdialog.h"

namespace engine {
class Book;
}

namespace desktop {

// "摘要一覧": the summaries offered for the journal's summary cell.
class tsummarydialog : public titemdialog {
  Q_OBJECT

 public:
  explicit tsummarydialog(engine::Book& book, QWidget* parent = nullptr);

 protected:
  void FitColumns(int clientWidth) override;
};

}  // namespace desktop
