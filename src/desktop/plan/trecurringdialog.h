#pragma once

#include <optional>

#include "desktop/base/tacc_dialog.h"
#include "engine/plan/recurring.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace engine {
class Book;
}

namespace desktop {

// "定期取引の設定": the recurring lines on the left, the selected one's line and schedule on
// the right. 追加 keeps the form as a new template, 変更 replaces the selected one.
class trecurringdialog : public TAccDialog {
  Q_OBJECT

 public:
  trecurringdialog(engine::Book& book, engine::RecurringLines& lines, QWidget* parent);

  // Selects a template and shows it in the form.
  void Select(int index);

  QListWidget* lsttemplates = nullptr;
  QLineEdit* edtamount = nullptr;
  QComboBox* cmbdebit = nullptr;
  QComboBox* cmbsummary = nullptr;
  QComboBox* cmbcredit = nullptr;
  QComboBox* cmbfrequency = nullptr;
  QSpinBox* spninterval = nullptr;
  QSpinBox* spnday = nullptr;
  QCheckBox* chklastday = nullptr;
  QSpinBox* spnmonth = nullptr;
  QComboBox* cmbweekday = nullptr;
  QComboBox* cmbholiday = nullptr;
  QDateEdit* edtstart = nullptr;
  QCheckBox* chkend = nullptr;
  QDateEdit* edtend = nullptr;
  QSpinBox* spncount = nullptr;
  QCheckBox* chkask = nullptr;
  QCheckBox* chkpost = nullptr;
  QPushButton* btnadd = nullptr;
  QPushButton* btnupdate = nullptr;
  QPushButton* btndelete = nullptr;
  QPushButton* btnclose = nullptr;

 private:
  void Refresh(int selected);
  void Show(const engine::RecurringTemplate& t);
  // The form as a template; nothing (the user told) when a text can't be kept.
  std::optional<engine::RecurringTemplate> FromForm();
  void EnableFields();
  void btnaddClick();
  void btnupdateClick();
  void btndeleteClick();

  engine::RecurringLines& lines_;
};

// One line describing a template in the list: "毎月 27日 家賃 80000".
QString DescribeTemplate(const engine::RecurringTemplate& t);

}  // namespace desktop
