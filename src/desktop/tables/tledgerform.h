#pragma once

#include "desktop/tables/tbookform.h"
#include "engine/tables/ledger_grid.h"

namespace desktop {

// A subject's ledger window. Ledgers are not edited cell by cell, so the grid has no editors.
class tledgerform : public tbookform {
  Q_OBJECT

 public:
  tledgerform(TAccMDI& mdi, engine::TLedgerGrid& ledger, QWidget* parent = nullptr);

 protected:
  void SetTableCommands() override;
  // Wide enough for the six columns and showing the latest rows.
  void WindowRestored() override;
};

}  // namespace desktop
