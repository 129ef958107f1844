#pragma once

#include <string>
#include <vector>

#include "desktop/base/tacc_dialog.h"
#include "engine/plan/new_year.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace engine {
class Book;
}

namespace desktop {

// "年度の繰越": the closing balance of every subject, the ones to carry ticked, the subject
// on the other side and the new book's name and year. 作成 writes the new book; the open
// book is not changed.
class tnewyeardialog : public TAccDialog {
  Q_OBJECT

 public:
  tnewyeardialog(engine::Book& book, QWidget* parent);

  // The index path of the book that was created, or empty.
  const std::string& CreatedIndex() const { return created_; }

  QLineEdit* edtname = nullptr;
  QSpinBox* spnyear = nullptr;
  QComboBox* cmbopening = nullptr;
  QTableWidget* grid = nullptr;
  QPushButton* btncreate = nullptr;
  QPushButton* btncancel = nullptr;

 private:
  void FillBalances();
  void btncreateClick();

  engine::Book& book_;
  std::vector<engine::ClosingBalance> balances_;
  std::string created_;
};

// The proposed name of next year's book: the old name with its year moved on when it holds
// that year ("家計簿2025" → "家計簿2026"), otherwise the old name followed by the new year.
QString NextBookName(const QString& name, int oldYear, int newYear);

}  // namespace desktop
