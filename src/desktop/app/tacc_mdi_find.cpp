#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/find_bar.h"
#include "desktop/tables/tbookform.h"

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
}

}  // namespace desktop
