#include "desktop/tables/tledgerform.h"

#include <QIcon>
#include <QScrollBar>
#include <algorithm>

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"

namespace desktop {

tledgerform::tledgerform(TAccMDI& mdi, engine::TLedgerGrid& ledger, QWidget* parent)
    : tbookform(mdi, ledger, parent) {
  setWindowIcon(QIcon(QStringLiteral(":/icons/ledger.png")));
}

void tledgerform::WindowRestored() {
  int columns = 0;
  for (int c = 0; c < grid->model()->columnCount(); ++c) columns += grid->columnWidth(c);
  // Everything around the columns: the window frame, the row header and the scroll bar.
  const int around =
      width() - grid->viewport()->width() + grid->verticalScrollBar()->sizeHint().width();
  int needed = columns + around;
  if (QWidget* area = parentWidget()) needed = std::min(needed, area->width() - x());
  if (needed > width()) resize(needed, height());
  grid->scrollToBottom();
}

void tledgerform::SetTableCommands() {
  mdi_.SetLedgerCommands();
}

}  // namespace desktop
