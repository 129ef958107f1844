#pragma once

#include "desktop/lists/titemdialog.h"

namespace engine {
class Book;
class SubjectList;
}  // namespace engine

namespace desktop {

// "勘定科目一覧": the subjects with their counterparts and totals; adds and deletes subjects
// with their ledgers and sets counterparts.
class tsubjectdialog : public titemdialog {
  Q_OBJECT

 public:
  explicit tsubjectdialog(engine::Book& book, QWidget* parent = nullptr);

  QPushButton* btncouple = nullptr;
  QPushButton* btnrename = nullptr;

 protected:
  void FitColumns(int clientWidth) override;

 private:
  void btncoupleClick();
  void btnrenameClick();

  engine::SubjectList& subjects_;
};

}  // namespace desktop
