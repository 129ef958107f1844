#include "desktop/tables/tledgerform.h"

#include <QIcon>

#include "desktop/app/tacc_mdi.h"

namespace desktop {

tledgerform::tledgerform(TAccMDI& mdi, engine::TLedgerGrid& ledger, QWidget* parent)
    : tbookform(mdi, ledger, parent) {
  setWindowIcon(QIcon(QStringLiteral(":/icons/ledger.png")));
}

void tledgerform::SetTableCommands() {
  mdi_.SetLedgerCommands();
}

}  // namespace desktop
