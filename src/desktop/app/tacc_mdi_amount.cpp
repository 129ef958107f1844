// The aggregation commands and the text output of the book tables.

#include "desktop/amount/tamountcomparedialog.h"
#include "desktop/amount/tamounttabledialog.h"
#include "desktop/amount/teditform.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/base/message_boxes.h"
#include "desktop/tables/tbookform.h"
#include "engine/tables/acc_grid.h"

namespace desktop {

namespace {
template <typename Dialog>
void RunAggregation(engine::Book& book, QWidget* owner) {
  if (!book.PrepareAggregation()) return;
  Dialog dialog(book, owner);
  if (dialog.exec() == tamountdialog::kAbortResult)
    ShowMessage(owner, QStringLiteral("集計に失敗しました"));
}
}  // namespace

void TAccMDI::AmountTableExecute() {
  RunAggregation<tamounttabledialog>(*book_, this);
}

void TAccMDI::AmountCompareExecute() {
  RunAggregation<tamountcomparedialog>(*book_, this);
}

void TAccMDI::FileTextOutExecute() {
  if (tbookform* form = ActiveForm()) {
    teditform text(form->Table().TextOut(), this);
    text.exec();
  }
}

void TAccMDI::FileCSVOutExecute() {
  if (tbookform* form = ActiveForm()) {
    teditform text(form->Table().CSVOut(), this);
    text.exec();
  }
}

}  // namespace desktop
