// The schema-driven monthly report command.

#include "desktop/amount/tamountschemadialog.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/base/message_boxes.h"

namespace desktop {

void TAccMDI::AmountSchemaExecute() {
  if (!book_->PrepareAggregation()) return;
  tamountschemadialog dialog(*book_, this);
  // A dialog whose creation already failed (no schema chosen, unreadable choices) is not shown.
  if (dialog.Failed() || dialog.exec() == tamountschemadialog::kAbortResult) {
    ShowMessage(this, QStringLiteral("集計に失敗しました"));
  }
}

}  // namespace desktop
