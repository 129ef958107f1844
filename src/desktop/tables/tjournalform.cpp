#include "desktop/tables/tjournalform.h"

#include <QHeaderView>
#include <QIcon>

#include "desktop/app/guarded.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/journal_editors.h"

namespace desktop {

tjournalform::tjournalform(TAccMDI& mdi, engine::TJournalGrid& journal, QWidget* parent)
    : tbookform(mdi, journal, parent),
      journal_(journal),
      editors_(new JournalEditors(journal, *grid)) {
  setWindowIcon(QIcon(QStringLiteral(":/icons/journal.png")));
  grid->SetUnpostedTest([this](int row) { return !journal_.IsPosted(row); });
  connect(grid, &AccGridView::scrolled, this, [this] {
    RunGuarded(this, [this] { journal_.ScrollCommit(); });
    editors_->Place();
  });
  // A column widened to fit an edit moves the cells to its right, and their editors with them.
  connect(grid->horizontalHeader(), &QHeaderView::sectionResized, editors_,
          [this] { editors_->Place(); });
}

void tjournalform::SetTableCommands() {
  mdi_.SetJournalCommands();
}

void tjournalform::WindowResized() {
  tbookform::WindowResized();
  editors_->Place();
}

}  // namespace desktop
