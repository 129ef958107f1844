#include "desktop/plan/tnewyeardialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/base/fonts.h"
#include "desktop/base/message_boxes.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace desktop {

QString NextBookName(const QString& name, int oldYear, int newYear) {
  const QString old = QString::number(oldYear);
  const int at = name.lastIndexOf(old);
  if (at >= 0) return name.left(at) + QString::number(newYear) + name.mid(at + old.size());
  return name + QString::number(newYear);
}

tnewyeardialog::tnewyeardialog(engine::Book& book, QWidget* parent)
    : TAccDialog(parent), book_(book) {
  setWindowTitle(QStringLiteral("年度の繰越"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  // The book's year is the year of its last line; a book without lines is this year's.
  int oldYear = engine::Today().year();
  if (const engine::TJournalGrid* journal = book.Journal()) {
    try {
      oldYear = journal->DateRange().second.year;
    } catch (const engine::Error&) {
    }
  }
  spnyear = new QSpinBox(this);
  spnyear->setObjectName(QStringLiteral("spnyear"));
  spnyear->setRange(1900, 9999);
  spnyear->setValue(oldYear + 1);
  edtname = new QLineEdit(NextBookName(engine::FromCp932(book.Name()), oldYear, oldYear + 1), this);
  edtname->setObjectName(QStringLiteral("edtname"));
  cmbopening = new QComboBox(this);
  cmbopening->setObjectName(QStringLiteral("cmbopening"));
  cmbopening->setEditable(true);
  for (std::size_t i = 0; i < book.LedgerCount(); ++i)
    cmbopening->addItem(engine::FromCp932(book.LedgerAt(i).Caption()));
  const int capital = cmbopening->findText(QStringLiteral("元入金"));
  cmbopening->setCurrentIndex(capital);
  if (capital < 0) cmbopening->setEditText(QStringLiteral("元入金"));
  form->addRow(QStringLiteral("新しい家計簿の名前"), edtname);
  form->addRow(QStringLiteral("年度"), spnyear);
  form->addRow(QStringLiteral("繰越の相手科目"), cmbopening);
  layout->addLayout(form);

  grid = new QTableWidget(0, 2, this);
  grid->setObjectName(QStringLiteral("grid"));
  grid->setHorizontalHeaderLabels({QStringLiteral("勘定科目"), QStringLiteral("残高")});
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  PaintGrid(*grid);
  layout->addWidget(grid, 1);

  auto* buttons = new QHBoxLayout;
  btncreate = new QPushButton(QStringLiteral("作成"), this);
  btncreate->setObjectName(QStringLiteral("btncreate"));
  btncreate->setDefault(true);
  btncancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  btncancel->setObjectName(QStringLiteral("btncancel"));
  buttons->addStretch(1);
  buttons->addWidget(btncreate);
  buttons->addWidget(btncancel);
  layout->addLayout(buttons);
  connect(btncreate, &QPushButton::clicked, this, &tnewyeardialog::btncreateClick);
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmbopening, &QComboBox::currentTextChanged, this, &tnewyeardialog::FillBalances);
  FillBalances();
  resize(420, 420);
}

void tnewyeardialog::FillBalances() {
  const auto opening = engine::ToCp932(cmbopening->currentText());
  try {
    balances_ = engine::ClosingBalances(book_, opening.value_or(std::string()));
  } catch (const engine::Error& e) {
    balances_.clear();
    ShowMessage(this, engine::FromCp932(e.Message()));
  }
  grid->setRowCount(static_cast<int>(balances_.size()));
  for (int row = 0; row < grid->rowCount(); ++row) {
    const engine::ClosingBalance& line = balances_[static_cast<std::size_t>(row)];
    auto* subject = new QTableWidgetItem(engine::FromCp932(line.subject));
    subject->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    subject->setCheckState(line.proposed ? Qt::Checked : Qt::Unchecked);
    grid->setItem(row, 0, subject);
    auto* balance = new QTableWidgetItem(QString::number(line.balance));
    balance->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->setItem(row, 1, balance);
  }
}

void tnewyeardialog::btncreateClick() {
  const auto name = TypedText(this, edtname->text().trimmed());
  const auto opening = TypedText(this, cmbopening->currentText().trimmed());
  if (!name || !opening) return;
  engine::NewYearRequest request{*name, spnyear->value(), {}, *opening};
  for (int row = 0; row < grid->rowCount(); ++row) {
    if (grid->item(row, 0)->checkState() == Qt::Checked)
      request.subjects.push_back(balances_[static_cast<std::size_t>(row)].subject);
  }
  try {
    created_ = engine::CreateNewYearBook(book_, request);
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
    return;
  }
  accept();
}

}  // namespace desktop
