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
  // Widening the window widens the columns' shares too, so a few steps settle it.
  const QWidget* area = parentWidget();
  for (int step = 0; step < 20; ++step) {
    int columns = 0;
    for (int c = 0; c < grid->model()->columnCount(); ++c) columns += grid->columnWidth(c);
    const int room =
        grid->viewport()->width() - (grid->verticalScrollBar()->isVisible()
                                         ? 0
                                         : grid->verticalScrollBar()->sizeHint().width());
    int wanted = width() + columns - room;
    if (area) wanted = std::min(wanted, area->width());
    if (wanted <= width()) break;
    // Moved left rather than left sticking out of the frame.
    if (area && x() + wanted > area->width()) move(area->width() - wanted, y());
    resize(wanted, height());
  }
  grid->scrollToBottom();
}

void tledgerform::SetTableCommands() {
  mdi_.SetLedgerCommands();
}

}  // namespace desktop
