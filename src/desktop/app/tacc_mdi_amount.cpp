// The aggregation commands and the text output of the book tables.

#include "desktop/amount/tamountcomparedialog.h"
#include "desktop/amount/tamounttabledialog.h"
#include "desktop/amount/teditform.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/base/message_boxes.h"
#include "desktop/tables/tbookform.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/tables/acc_grid.h"

namespace desktop {

void ShowAggregationFailure(engine::Book& book, QWidget* owner, const engine::RowError* where) {
  QString message = QStringLiteral("集計に失敗しました");
  if (where) message += QLatin1Char('\n') + engine::FromCp932(where->MessageWithRow());
  ShowMessage(owner, message);
  if (where) book.ShowFailedRow(*where);
}

namespace {
template <typename Dialog>
void RunAggregation(engine::Book& book, QWidget* owner) {
  if (!book.PrepareAggregation()) return;
  Dialog dialog(book, owner);
  if (dialog.exec() == tamountdialog::kAbortResult)
    ShowAggregationFailure(book, owner, dialog.FailedRow());
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
