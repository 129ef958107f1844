#pragma once

#include <exception>
#include <initializer_list>
#include <optional>

#include "desktop/base/tacc_dialog.h"
#include "engine/amount/result_grid.h"
#include "engine/tables/row_error.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace engine {
class EntryListEditing;
}

namespace desktop {

// What the two aggregation dialogs share: the entry list with its name box, flags and
// editing buttons, the two month lists, OK and キャンセル. The entries live in the engine;
// the controls show them. OK runs the aggregation and shows its result; a failure ends the
// dialog with kAbortResult.
class tamountdialog : public TAccDialog {
  Q_OBJECT

 public:
  QListWidget* lsttable = nullptr;
  QComboBox* cmbname = nullptr;
  QComboBox* lstfirst = nullptr;
  QComboBox* lstlast = nullptr;
  QCheckBox* chkdebtor = nullptr;
  QCheckBox* chkcredit = nullptr;
  QCheckBox* chkmark = nullptr;
  QPushButton* btnleft = nullptr;
  QPushButton* btnright = nullptr;
  QPushButton* btnup = nullptr;
  QPushButton* btndown = nullptr;
  QPushButton* btninsert = nullptr;
  QPushButton* btndelete = nullptr;
  QPushButton* btnok = nullptr;
  QPushButton* btncancel = nullptr;

  // The row of the book that made the aggregation fail (a date that doesn't read), or null.
  const engine::RowError* FailedRow() const { return failedRow_ ? &*failedRow_ : nullptr; }

 protected:
  explicit tamountdialog(QWidget* parent);

  // Called by the derived dialog once its engine state is open.
  void Attach(engine::EntryListEditing& entries, const std::vector<std::string>& subjects,
              const std::vector<std::string>& months);
  // Tab goes from the entry list through `fields` in turn, the check boxes, the editing
  // buttons and `beforeOk` (when given) to OK and キャンセル.
  void SetTabOrder(std::initializer_list<QWidget*> fields, QWidget* beforeOk = nullptr);
  // Rewrites the entry list's texts and shows the selected entry.
  void RefreshList();
  void ShowSelected();
  // The month lists for the selected entry (the comparative dialog's lists follow it).
  virtual void ShowMonths() {}
  // OK's work; throws on failure.
  virtual engine::ResultGrid Aggregate() = 0;
  // Keeps the first failure that names a row, for the command to show.
  void NoteFailure(const std::exception& failure);

 private:
  void NameEdited(const QString& text);
  void Edit(void (engine::EntryListEditing::*operation)());
  void btnokClick();

  engine::EntryListEditing* entries_ = nullptr;
  std::optional<engine::RowError> failedRow_;
};

}  // namespace desktop
