// The household plan's commands in the データ menu: recurring lines, budgets and next
// year's book.

#include <QAction>
#include <QMenu>

#include "desktop/app/tacc_mdi.h"
#include "desktop/base/message_boxes.h"
#include "desktop/plan/tbudgetdialog.h"
#include "desktop/plan/tnewyeardialog.h"
#include "desktop/plan/trecurringdialog.h"
#include "desktop/plan/trecurringduedialog.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/plan/recurring.h"

namespace desktop {

namespace {

// The book's recurring lines; a damaged file is told and gives nothing.
bool LoadLines(engine::RecurringLines& lines, QWidget* owner) {
  try {
    lines.Load();
    return true;
  } catch (const engine::Error& e) {
    ShowMessage(owner, engine::FromCp932(e.Message()));
    return false;
  }
}

}  // namespace

void TAccMDI::BuildPlanMenu() {
  QMenu* menu = commands_.Menus()[4];
  menu->addSeparator();
  const std::pair<const char*, void (TAccMDI::*)()> items[] = {
      {"定期取引の記入(&R)...", &TAccMDI::RecurringDueExecute},
      {"定期取引の設定(&T)...", &TAccMDI::RecurringExecute},
      {"選択行から定期取引を作成(&L)", &TAccMDI::RecurringFromLineExecute},
      {"予算と実績(&B)...", &TAccMDI::BudgetExecute},
      {"年度の繰越(&Y)...", &TAccMDI::NewYearExecute},
  };
  for (const auto& [caption, handler] : items) {
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromUtf8(caption));
    connect(item, &QAction::triggered, this, [this, item, handler] {
      if (commands_.Offered(item)) Guarded([this, handler] { (this->*handler)(); });
    });
    planItems_.append(item);
  }
}

void TAccMDI::BookOpened() {
  if (!book_->IsOpen()) return;
  engine::RecurringLines lines(*book_);
  if (!LoadLines(lines, this) || lines.Due(engine::Today()).empty()) return;
  trecurringduedialog dialog(lines, this);
  dialog.exec();
}

void TAccMDI::RecurringDueExecute() {
  engine::RecurringLines lines(*book_);
  if (!LoadLines(lines, this)) return;
  trecurringduedialog dialog(lines, this);
  dialog.exec();
}

void TAccMDI::RecurringExecute() {
  engine::RecurringLines lines(*book_);
  if (!LoadLines(lines, this)) return;
  trecurringdialog dialog(*book_, lines, this);
  dialog.exec();
}

void TAccMDI::RecurringFromLineExecute() {
  engine::RecurringLines lines(*book_);
  if (!LoadLines(lines, this)) return;
  const auto index = lines.AddFromSelectedLine();
  if (!index) return;
  // The new template opens for the user to check its day and the rest of its schedule.
  trecurringdialog dialog(*book_, lines, this);
  dialog.Select(static_cast<int>(*index));
  dialog.exec();
}

void TAccMDI::BudgetExecute() {
  if (!book_->ReadinessCheck()) {
    ShowMessage(this, QStringLiteral("集計出来ませんでした"));
    return;
  }
  tbudgetdialog dialog(*book_, this);
  dialog.exec();
}

void TAccMDI::NewYearExecute() {
  if (!book_->ReadinessCheck()) {
    ShowMessage(this, QStringLiteral("繰越できませんでした"));
    return;
  }
  tnewyeardialog dialog(*book_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string index = dialog.CreatedIndex();
  if (!AskYesNo(this, QStringLiteral("新しい家計簿 [%1] を作成しました。開きますか ?")
                          .arg(engine::FromCp932(index))))
    return;
  if (!book_->QuerySaveBook()) return;
  book_->CloseBook();
  book_->OpenBook(index);
  BookOpened();
}

}  // namespace desktop
