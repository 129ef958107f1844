#include "desktop/plan/tbudgetdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/amount/tamounttable.h"
#include "desktop/base/message_boxes.h"
#include "desktop/charts/budget_chart_window.h"
#include "engine/amount/aggregation_settings.h"
#include "engine/app/book.h"
#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/tables/ledger_grid.h"

namespace desktop {

namespace {
constexpr int kEveryMonth = 0;  // the "毎月" column; months are columns 1 to 12
}

tbudgetdialog::tbudgetdialog(engine::Book& book, QWidget* parent)
    : TAccDialog(parent), book_(book) {
  setWindowTitle(QStringLiteral("予算と実績"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  spnyear = new QSpinBox(this);
  spnyear->setObjectName(QStringLiteral("spnyear"));
  spnyear->setRange(1900, 9999);
  spnyear->setSuffix(QStringLiteral(" 年"));
  top->addWidget(new QLabel(QStringLiteral("予算の年"), this));
  top->addWidget(spnyear);
  top->addStretch(1);
  layout->addLayout(top);

  grid = new QTableWidget(0, 13, this);
  grid->setObjectName(QStringLiteral("grid"));
  QStringList headings{QStringLiteral("毎月")};
  for (int m = 1; m <= 12; ++m) headings << QStringLiteral("%1月").arg(m);
  grid->setHorizontalHeaderLabels(headings);
  grid->horizontalHeader()->setDefaultSectionSize(64);
  PaintGrid(*grid);
  layout->addWidget(grid, 1);

  auto* options = new QHBoxLayout;
  cmbfirst = new QComboBox(this);
  cmbfirst->setObjectName(QStringLiteral("cmbfirst"));
  cmblast = new QComboBox(this);
  cmblast->setObjectName(QStringLiteral("cmblast"));
  for (int m = 1; m <= 12; ++m) {
    cmbfirst->addItem(QStringLiteral("%1月").arg(m));
    cmblast->addItem(QStringLiteral("%1月").arg(m));
  }
  chkmonthly = new QCheckBox(QStringLiteral("月ごとに表示"), this);
  chkmonthly->setObjectName(QStringLiteral("chkmonthly"));
  chkmonthly->setChecked(true);
  chkheadings = new QCheckBox(QStringLiteral("集計設定の見出しで小計"), this);
  chkheadings->setObjectName(QStringLiteral("chkheadings"));
  options->addWidget(new QLabel(QStringLiteral("期間"), this));
  options->addWidget(cmbfirst);
  options->addWidget(new QLabel(QStringLiteral("-"), this));
  options->addWidget(cmblast);
  options->addWidget(chkmonthly);
  options->addWidget(chkheadings);
  options->addStretch(1);
  layout->addLayout(options);

  auto* buttons = new QHBoxLayout;
  btnsave = new QPushButton(QStringLiteral("予算を保存"), this);
  btnsave->setObjectName(QStringLiteral("btnsave"));
  btntable = new QPushButton(QStringLiteral("予算と実績"), this);
  btntable->setObjectName(QStringLiteral("btntable"));
  btntable->setDefault(true);
  btngraph = new QPushButton(QStringLiteral("グラフ"), this);
  btngraph->setObjectName(QStringLiteral("btngraph"));
  btngraph->setToolTip(QStringLiteral("予算と実績をグラフにします"));
  btnclose = new QPushButton(QStringLiteral("閉じる"), this);
  btnclose->setObjectName(QStringLiteral("btnclose"));
  buttons->addStretch(1);
  for (QPushButton* button : {btnsave, btntable, btngraph, btnclose}) buttons->addWidget(button);
  layout->addLayout(buttons);

  // The heading structure is the one of "テーブルに出力", when the book has one.
  const bool hasHeadings =
      !book_.SettingsPath().empty() &&
      engine::LoadTableSettings(engine::Profile(engine::PathFromCp932(book_.SettingsPath())))
          .has_value();
  chkheadings->setEnabled(hasHeadings);

  const QDate today = engine::Today();
  stored_ = engine::LoadBudget(book_, today.year());  // a damaged file stops the command
  Fill(stored_);
  const bool thisYear = stored_.year == today.year();
  cmbfirst->setCurrentIndex(0);
  cmblast->setCurrentIndex(thisYear ? today.month() - 1 : 11);

  connect(grid, &QTableWidget::cellChanged, this, &tbudgetdialog::CellChanged);
  connect(btnsave, &QPushButton::clicked, this, [this] { Keep(); });
  connect(btntable, &QPushButton::clicked, this, &tbudgetdialog::btntableClick);
  connect(btngraph, &QPushButton::clicked, this, &tbudgetdialog::btngraphClick);
  connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);
  resize(900, 480);
}

void tbudgetdialog::Fill(const engine::Budget& budget) {
  filling_ = true;
  spnyear->setValue(budget.year);
  // Every subject of the book gets a row, in ledger order; budgets of subjects the book no
  // longer has stay at the end so that nothing typed is lost.
  std::vector<std::string>& subjects = subjects_;
  subjects.clear();
  for (std::size_t i = 0; i < book_.LedgerCount(); ++i)
    subjects.push_back(book_.LedgerAt(i).Caption());
  for (const engine::BudgetLine& line : budget.lines) {
    if (std::find(subjects.begin(), subjects.end(), line.subject) == subjects.end())
      subjects.push_back(line.subject);
  }
  grid->setRowCount(static_cast<int>(subjects.size()));
  QStringList names;
  for (int row = 0; row < grid->rowCount(); ++row) {
    const std::string& subject = subjects[static_cast<std::size_t>(row)];
    names << engine::FromCp932(subject);
    const engine::BudgetLine* line = budget.Find(subject);
    bool same = line != nullptr;
    for (int m = 1; m <= 12; ++m) {
      const std::int32_t amount = line ? line->months[static_cast<std::size_t>(m - 1)] : 0;
      same = same && amount == line->months[0];
      grid->setItem(row, m, new QTableWidgetItem(amount ? QString::number(amount) : QString()));
    }
    grid->setItem(row, kEveryMonth,
                  new QTableWidgetItem(same && line->months[0] ? QString::number(line->months[0])
                                                               : QString()));
  }
  grid->setVerticalHeaderLabels(names);
  filling_ = false;
}

void tbudgetdialog::CellChanged(int row, int column) {
  if (filling_ || column != kEveryMonth) return;
  filling_ = true;
  const QString text = grid->item(row, kEveryMonth)->text();
  for (int m = 1; m <= 12; ++m) grid->item(row, m)->setText(text);
  filling_ = false;
}

std::optional<engine::Budget> tbudgetdialog::GridBudget() {
  engine::Budget budget;
  budget.year = spnyear->value();
  for (int row = 0; row < grid->rowCount(); ++row) {
    engine::BudgetLine line{subjects_[static_cast<std::size_t>(row)], {}};
    for (int m = 1; m <= 12; ++m) {
      const QString text = grid->item(row, m)->text().trimmed();
      if (text.isEmpty()) continue;
      const auto amount = engine::ParseInt32(text.toStdString());
      if (!amount || *amount < 0) {
        grid->setCurrentCell(row, m);
        ShowMessage(this, QStringLiteral("予算は 0 以上の整数で入力してください"));
        return std::nullopt;
      }
      line.months[static_cast<std::size_t>(m - 1)] = *amount;
    }
    budget.lines.push_back(std::move(line));
  }
  return budget;
}

bool tbudgetdialog::Keep() {
  std::optional<engine::Budget> budget = GridBudget();
  if (!budget) return false;
  std::erase_if(budget->lines, [](const engine::BudgetLine& line) {
    return std::all_of(line.months.begin(), line.months.end(),
                       [](std::int32_t a) { return a == 0; });
  });
  if (*budget == stored_) return true;
  engine::StoreBudget(book_, *budget);
  stored_ = std::move(*budget);
  return true;
}

std::optional<engine::BudgetTableOptions> tbudgetdialog::TableOptions() {
  if (!Keep()) return std::nullopt;
  engine::BudgetTableOptions options;
  options.firstMonth = cmbfirst->currentIndex() + 1;
  options.lastMonth = cmblast->currentIndex() + 1;
  if (options.firstMonth > options.lastMonth) {
    ShowMessage(this, QStringLiteral("期間の始めの月が終わりの月より後になっています"));
    return std::nullopt;
  }
  options.monthly = chkmonthly->isChecked();
  if (chkheadings->isChecked() && chkheadings->isEnabled()) {
    options.headings =
        engine::LoadTableSettings(engine::Profile(engine::PathFromCp932(book_.SettingsPath())))
            .value_or(std::vector<engine::TableEntrySetting>{});
  }
  return options;
}

void tbudgetdialog::btngraphClick() {
  const std::optional<engine::BudgetTableOptions> options = TableOptions();
  if (!options) return;
  try {
    auto* chart =
        new BudgetChartWindow(engine::BudgetVsActualFigures(book_, stored_, *options), this);
    chart->show();
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
  }
}

void tbudgetdialog::btntableClick() {
  const std::optional<engine::BudgetTableOptions> options = TableOptions();
  if (!options) return;
  engine::BudgetTable table;
  engine::BudgetFigures figures;
  try {
    figures = engine::BudgetVsActualFigures(book_, stored_, *options);
    table = engine::BudgetVsActual(figures, options->monthly);
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
    return;
  }
  tamounttable result(std::move(table.grid), this);
  result.setWindowTitle(QStringLiteral("予算と実績"));
  result.SetColumnShares({24, 10, 18, 18, 18, 12});
  result.MarkRows(std::move(table.over), QColor(255, 190, 190));
  // The table's own columns are no chart; its figures are.
  result.SetChart([&result, figures] {
    auto* chart = new BudgetChartWindow(figures, &result);
    chart->show();
  });
  result.resize(560, 480);
  result.exec();
}

}  // namespace desktop
