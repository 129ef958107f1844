#include "desktop/plan/trecurringduedialog.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/base/fonts.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/plan/plan_file.h"

namespace desktop {

namespace {
enum Column { kDate, kAmount, kDebit, kSummary, kCredit, kNote, kColumns };
}

trecurringduedialog::trecurringduedialog(engine::RecurringLines& lines, QWidget* parent)
    : TAccDialog(parent), lines_(lines) {
  setWindowTitle(QStringLiteral("定期取引の記入"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  lblcount = new QLabel(this);
  lblcount->setObjectName(QStringLiteral("lblcount"));
  layout->addWidget(lblcount);

  grid = new QTableWidget(0, kColumns, this);
  grid->setObjectName(QStringLiteral("grid"));
  grid->setHorizontalHeaderLabels({QStringLiteral("日付"), QStringLiteral("金額"),
                                   QStringLiteral("借方科目"), QStringLiteral("摘要"),
                                   QStringLiteral("貸方科目"), QStringLiteral("備考")});
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  PaintGrid(*grid);
  layout->addWidget(grid, 1);

  auto* buttons = new QHBoxLayout;
  btnenter = new QPushButton(QStringLiteral("記入(&E)"), this);
  btnenter->setObjectName(QStringLiteral("btnenter"));
  btnskip = new QPushButton(QStringLiteral("スキップ(&S)"), this);
  btnskip->setObjectName(QStringLiteral("btnskip"));
  btnpostpone = new QPushButton(QStringLiteral("延期(&P)"), this);
  btnpostpone->setObjectName(QStringLiteral("btnpostpone"));
  edtpostpone = new QDateEdit(engine::Today().addDays(7), this);
  edtpostpone->setObjectName(QStringLiteral("edtpostpone"));
  edtpostpone->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
  edtpostpone->setCalendarPopup(true);
  btnclose = new QPushButton(QStringLiteral("閉じる"), this);
  btnclose->setObjectName(QStringLiteral("btnclose"));
  buttons->addWidget(btnenter);
  buttons->addWidget(btnskip);
  buttons->addWidget(btnpostpone);
  buttons->addWidget(new QLabel(QStringLiteral("延期先"), this));
  buttons->addWidget(edtpostpone);
  buttons->addStretch(1);
  buttons->addWidget(btnclose);
  layout->addLayout(buttons);

  connect(btnenter, &QPushButton::clicked, this, &trecurringduedialog::btnenterClick);
  connect(btnskip, &QPushButton::clicked, this, &trecurringduedialog::btnskipClick);
  connect(btnpostpone, &QPushButton::clicked, this, &trecurringduedialog::btnpostponeClick);
  connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);
  resize(640, 360);
  Refresh();
}

void trecurringduedialog::Refresh() {
  bool truncated = false;
  due_ = lines_.Due(engine::Today(), &truncated);
  QString count = QStringLiteral("記入していない定期取引: %1 件").arg(due_.size());
  if (due_.size() > engine::RecurringLines::kDueWarning) {
    count += truncated
                 ? QStringLiteral(
                       "（多すぎるため一部だけを表示しています。スケジュールを確かめてください）")
                 : QStringLiteral("（100 件を超えています。スケジュールを確かめてください）");
  }
  lblcount->setText(count);
  grid->clearContents();
  grid->setRowCount(static_cast<int>(due_.size()));
  const auto& templates = lines_.Templates();
  for (int row = 0; row < grid->rowCount(); ++row) {
    const engine::DueOccurrence& due = due_[static_cast<std::size_t>(row)];
    const engine::RecurringTemplate& t = templates[due.templateIndex];
    const QString texts[kColumns] = {engine::FromCp932(engine::PlanDateText(due.due)),
                                     engine::FromCp932(t.amount),
                                     engine::FromCp932(t.debit),
                                     engine::FromCp932(t.summary),
                                     engine::FromCp932(t.credit),
                                     engine::FromCp932(due.problem)};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem(texts[c]);
      // Only a variable amount is typed here; everything else comes from the template.
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (c == kAmount && t.askAmount) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      grid->setItem(row, c, item);
    }
  }
  const bool any = !due_.empty();
  btnenter->setEnabled(any);
  btnskip->setEnabled(any);
  btnpostpone->setEnabled(any);
}

std::vector<int> trecurringduedialog::ChosenRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : grid->selectionModel()->selectedRows())
    rows.push_back(index.row());
  if (rows.empty() && grid->currentRow() >= 0) rows.push_back(grid->currentRow());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void trecurringduedialog::btnenterClick() {
  for (int row : ChosenRows()) {
    const std::optional<std::string> amount =
        TypedText(this, grid->item(row, kAmount)->text().trimmed());
    if (!amount) break;
    // A refusal has been told; the rest waits for the user to put it right.
    if (!lines_.Enter(due_[static_cast<std::size_t>(row)], *amount)) break;
  }
  Refresh();
}

void trecurringduedialog::btnskipClick() {
  for (int row : ChosenRows()) lines_.Skip(due_[static_cast<std::size_t>(row)]);
  Refresh();
}

void trecurringduedialog::btnpostponeClick() {
  const QDate until = edtpostpone->date();
  if (until <= engine::Today()) {
    ShowMessage(this, QStringLiteral("延期先には明日以降の日付を指定してください"));
    return;
  }
  for (int row : ChosenRows()) lines_.Postpone(due_[static_cast<std::size_t>(row)], until);
  Refresh();
}

}  // namespace desktop
