#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>

#include "desktop/app/tacc_mdi.h"
#include "desktop/charts/book_chart_window.h"
#include "desktop/charts/chart_window.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/find_bar.h"
#include "desktop/tables/grid_model.h"
#include "desktop/tables/tbookform.h"
#include "engine/base/cp932.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace desktop {

void TAccMDI::BuildFindCommands() {
  findBar_ = new FindBar(
      [this]() -> AccGridView* {
        tbookform* form = ActiveForm();
        return form ? form->grid : nullptr;
      },
      centralWidget());
  // Between the tab strip and the windows, so it reads as part of the table it searches.
  if (auto* layout = qobject_cast<QBoxLayout*>(centralWidget()->layout())) {
    layout->insertWidget(1, findBar_);
  }
  auto* filterPanel = new QLabel(statusBar());
  filterPanel->setObjectName(QStringLiteral("filterPanel"));
  statusBar()->addPermanentWidget(filterPanel);
  connect(findBar_, &FindBar::filterChanged, filterPanel,
          [this, filterPanel] { filterPanel->setText(findBar_->FilterText()); });
  connect(mdi_, &QMdiArea::subWindowActivated, findBar_, [this] { findBar_->TableChanged(); });

  QMenu* edit = commands_.Menus()[1];
  // The commands work on the active table; the edit menu is switched off while no book is open.
  const auto add = [this, edit](const QString& caption, const QKeySequence& key,
                                const std::function<void()>& handler) {
    QAction* item = edit->addAction(caption);
    item->setShortcut(key);
    connect(item, &QAction::triggered, this, [this, edit, handler] {
      if (edit->isEnabled() && ActiveForm()) handler();
    });
    return item;
  };
  edit->addSeparator();
  add(QStringLiteral("検索(&F)..."), QKeySequence::Find, [this] {
    findBar_->Open();
  })->setObjectName(QStringLiteral("mnuFind"));
  add(QStringLiteral("次を検索(&N)"), QKeySequence(Qt::Key_F3),
      [this] { findBar_->FindNext(true); });
  add(QStringLiteral("前を検索(&V)"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
      [this] { findBar_->FindNext(false); });
  QAction* filter = add(QStringLiteral("絞り込み(&I)"), QKeySequence(), [this] {
    findBar_->Open();
    findBar_->SetFilter(findBar_->FilterText().isEmpty());
  });
  filter->setObjectName(QStringLiteral("mnuFilter"));

  QMenu* amount = commands_.Menus()[5];
  amount->addSeparator();
  QAction* chart = amount->addAction(QStringLiteral("グラフ(&G)..."));
  chart->setObjectName(QStringLiteral("mnuChart"));
  connect(chart, &QAction::triggered, this, [this, amount] {
    if (amount->isEnabled() && book_->IsOpen()) ChartExecute();
  });
  QAction* bookChart = amount->addAction(QStringLiteral("収入と支出のグラフ(&M)..."));
  bookChart->setObjectName(QStringLiteral("mnuBookChart"));
  connect(bookChart, &QAction::triggered, this, [this, amount] {
    if (amount->isEnabled() && book_->IsOpen()) BookChartExecute();
  });
}

void TAccMDI::BookChartExecute() {
  QList<GridModel*> models;
  if (tbookform* form = book_->Journal() ? FormOf(*book_->Journal()) : nullptr)
    models << form->grid->Model();
  for (std::size_t i = 0; i < book_->LedgerCount(); ++i) {
    if (tbookform* form = FormOf(book_->LedgerAt(i))) models << form->grid->Model();
  }
  auto* window = new BookChartWindow(*book_, models, this);
  window->show();
}

void TAccMDI::ChartExecute() {
  // The active ledger, or a subject the user picks.
  tbookform* form = ActiveForm();
  auto* ledger = form ? dynamic_cast<engine::TLedgerGrid*>(&form->Table()) : nullptr;
  if (!ledger) {
    QStringList names;
    for (std::size_t i = 0; i < book_->LedgerCount(); ++i) {
      names << engine::FromCp932(book_->LedgerAt(i).Caption());
    }
    if (names.isEmpty()) return;
    bool ok = false;
    const QString name = QInputDialog::getItem(this, QStringLiteral("グラフ"),
                                               QStringLiteral("科目:"), names, 0, false, &ok);
    if (!ok) return;
    ledger = &book_->LedgerAt(static_cast<std::size_t>(names.indexOf(name)));
  }
  tbookform* ledgerForm = FormOf(*ledger);
  auto* window = new ChartWindow(*ledger, ledgerForm ? ledgerForm->grid->Model() : nullptr, this);
  window->show();
}

}  // namespace desktop
