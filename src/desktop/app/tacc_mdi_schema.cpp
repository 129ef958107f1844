// The schema-driven monthly report command.

#include "desktop/amount/tamountschemadialog.h"
#include "desktop/app/tacc_mdi.h"

namespace desktop {

void TAccMDI::AmountSchemaExecute() {
  if (!book_->PrepareAggregation()) return;
  tamountschemadialog dialog(*book_, this);
  // A dialog whose creation already failed (no schema chosen, unreadable choices) is not shown.
  if (dialog.Failed() || dialog.exec() == tamountschemadialog::kAbortResult) {
    ShowAggregationFailure(*book_, this, dialog.Report().FailedRow());
  }
}

}  // namespace desktop
