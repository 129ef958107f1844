#include "desktop/tables/tbookform.h"

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"
#include "engine/base/cp932.h"

namespace desktop {

tbookform::tbookform(TAccMDI& mdi, engine::TAccGrid& table, QWidget* parent)
    : TAccChild(parent), mdi_(mdi), table_(table) {
  grid = new AccGridView(table, this);
  grid->setObjectName(QStringLiteral("grid"));
  setWidget(grid);
  setWindowTitle(engine::FromCp932(table.Caption()));
}

void tbookform::WindowResized() {
  grid->ApplyColumnWidths(table_.FitColumns(width()));
  grid->FitColumnsToContent();
}

void tbookform::WindowActivated() {
  const QString caption = engine::FromCp932(table_.Caption());
  mdi_.SetStatus(0, caption);
  mdi_.SelectTab(caption);
  table_.RefreshStatus();
  SetTableCommands();
}

}  // namespace desktop
