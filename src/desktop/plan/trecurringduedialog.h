#pragma once

#include <vector>

#include "desktop/base/tacc_dialog.h"
#include "engine/plan/recurring.h"

class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace desktop {

// "定期取引の記入": the occurrences due up to today that were neither entered nor skipped;
// each selected one can be entered into the journal, skipped or postponed.
class trecurringduedialog : public TAccDialog {
  Q_OBJECT

 public:
  trecurringduedialog(engine::RecurringLines& lines, QWidget* parent);

  const std::vector<engine::DueOccurrence>& Due() const { return due_; }

  QLabel* lblcount = nullptr;
  QTableWidget* grid = nullptr;
  QDateEdit* edtpostpone = nullptr;
  QPushButton* btnenter = nullptr;
  QPushButton* btnskip = nullptr;
  QPushButton* btnpostpone = nullptr;
  QPushButton* btnclose = nullptr;

 private:
  void Refresh();
  // The chosen occurrences with the amounts typed for them, top down.
  std::vector<int> ChosenRows() const;
  void btnenterClick();
  void btnskipClick();
  void btnpostponeClick();

  engine::RecurringLines& lines_;
  std::vector<engine::DueOccurrence> due_;
};

}  // namespace desktop
