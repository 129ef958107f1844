#include "desktop/import/timportrulesdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/base/message_boxes.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"

namespace desktop {

namespace {

using engine::FromCp932;
using engine::import::Direction;
using engine::import::ImportRule;

QString Text(const std::optional<std::int32_t>& value) {
  return value ? QString::number(*value) : QString();
}

}  // namespace

timportrulesdialog::timportrulesdialog(std::vector<ImportRule> rules,
                                       engine::import::ImportSettings settings, QString rulePath,
                                       QStringList subjects, QWidget* parent)
    : TAccDialog(parent),
      rules_(std::move(rules)),
      settings_(std::move(settings)),
      rulePath_(std::move(rulePath)),
      subjects_(std::move(subjects)) {
  setWindowTitle(QStringLiteral("取り込みルール"));
  resize(860, 420);
  grid = new QTableWidget(0, ColumnCount, this);
  grid->setHorizontalHeaderLabels({QStringLiteral("摘要のパターン"), QStringLiteral("全角半角"),
                                   QStringLiteral("金額の下限"), QStringLiteral("金額の上限"),
                                   QStringLiteral("入出金"), QStringLiteral("相手科目"),
                                   QStringLiteral("仕訳帳の摘要")});
  grid->horizontalHeader()->setSectionResizeMode(Pattern, QHeaderView::Stretch);
  grid->horizontalHeader()->setSectionResizeMode(Summary, QHeaderView::Stretch);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  for (std::size_t i = 0; i < rules_.size(); ++i) {
    grid->insertRow(static_cast<int>(i));
    SetRow(static_cast<int>(i), rules_[i]);
  }

  btnadd = new QPushButton(QStringLiteral("追加(&A)"), this);
  btndelete = new QPushButton(QStringLiteral("削除(&D)"), this);
  btnup = new QPushButton(QStringLiteral("上へ(&U)"), this);
  btndown = new QPushButton(QStringLiteral("下へ(&N)"), this);
  btnok = new QPushButton(QStringLiteral("OK"), this);
  auto* btncancel = new QPushButton(QStringLiteral("キャンセル"), this);
  btnok->setDefault(true);
  connect(btnadd, &QPushButton::clicked, this, [this] {
    ImportRule rule;
    rule.fold = true;
    AddRule(rule);
  });
  connect(btndelete, &QPushButton::clicked, this, [this] {
    if (grid->currentRow() >= 0) grid->removeRow(grid->currentRow());
  });
  connect(btnup, &QPushButton::clicked, this, [this] { MoveRow(-1); });
  connect(btndown, &QPushButton::clicked, this, [this] { MoveRow(1); });
  connect(btnok, &QPushButton::clicked, this, &timportrulesdialog::Accept);
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);

  swindow = new QSpinBox(this);
  swindow->setRange(0, 60);
  swindow->setValue(settings_.dateWindow);
  swindow->setSuffix(QStringLiteral(" 日"));
  auto* window = new QLabel(QStringLiteral("重複とみなす日付の幅 ±(&W)"), this);
  window->setBuddy(swindow);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {btnadd, btndelete, btnup, btndown}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(window);
  buttons->addWidget(swindow);
  buttons->addWidget(btnok);
  buttons->addWidget(btncancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid);
  layout->addLayout(buttons);
}

void timportrulesdialog::SetRow(int row, const ImportRule& rule) {
  grid->setItem(row, Pattern, new QTableWidgetItem(FromCp932(rule.pattern)));
  auto* fold = new QCheckBox(grid);
  fold->setChecked(rule.fold);
  grid->setCellWidget(row, Dictionary, fold);
  grid->setItem(row, Min, new QTableWidgetItem(Text(rule.minAmount)));
  grid->setItem(row, Max, new QTableWidgetItem(Text(rule.maxAmount)));
  auto* direction = new QComboBox(grid);
  direction->addItems({QStringLiteral("両方"), QStringLiteral("出金"), QStringLiteral("入金")});
  direction->setCurrentIndex(static_cast<int>(rule.direction));
  grid->setCellWidget(row, DirectionColumn, direction);
  auto* subject = new QComboBox(grid);
  subject->addItems(subjects_);
  subject->setCurrentIndex(subjects_.indexOf(FromCp932(rule.subject)));
  grid->setCellWidget(row, SubjectColumn, subject);
  grid->setItem(row, Summary, new QTableWidgetItem(FromCp932(rule.summary)));
}

void timportrulesdialog::AddRule(const ImportRule& rule) {
  const int row = grid->rowCount();
  grid->insertRow(row);
  SetRow(row, rule);
  grid->setCurrentCell(row, Pattern);
}

void timportrulesdialog::MoveRow(int delta) {
  const int row = grid->currentRow();
  const int to = row + delta;
  if (row < 0 || to < 0 || to >= grid->rowCount()) return;
  // Cell widgets can't move between rows, so the two rows are read and written back.
  std::vector<ImportRule> both;
  for (const int r : {row, to}) {
    ImportRule rule;
    rule.pattern = engine::ToCp932(grid->item(r, Pattern)->text()).value_or(std::string());
    rule.fold = static_cast<QCheckBox*>(grid->cellWidget(r, Dictionary))->isChecked();
    rule.minAmount = engine::ParseInt32(grid->item(r, Min)->text().toStdString());
    rule.maxAmount = engine::ParseInt32(grid->item(r, Max)->text().toStdString());
    rule.direction = static_cast<Direction>(
        static_cast<QComboBox*>(grid->cellWidget(r, DirectionColumn))->currentIndex());
    rule.subject =
        engine::ToCp932(static_cast<QComboBox*>(grid->cellWidget(r, SubjectColumn))->currentText())
            .value_or(std::string());
    rule.summary = engine::ToCp932(grid->item(r, Summary)->text()).value_or(std::string());
    both.push_back(std::move(rule));
  }
  SetRow(row, both[1]);
  SetRow(to, both[0]);
  grid->setCurrentCell(to, Pattern);
}

void timportrulesdialog::Accept() {
  std::vector<ImportRule> rules;
  for (int r = 0; r < grid->rowCount(); ++r) {
    const QString where = QStringLiteral("ルール %1: ").arg(r + 1);
    auto text = [&](int column) {
      const QTableWidgetItem* item = grid->item(r, column);
      return item ? item->text().trimmed() : QString();
    };
    ImportRule rule;
    const QString pattern = text(Pattern);
    const QString summary = text(Summary);
    const auto cpPattern = engine::ToCp932(pattern);
    const auto cpSummary = engine::ToCp932(summary);
    if (!cpPattern || !cpSummary) {
      ShowMessage(this, where + QStringLiteral("「%1」は Shift_JIS で書けません")
                                    .arg(engine::FirstNonCp932Character(pattern + summary)));
      return;
    }
    rule.pattern = *cpPattern;
    rule.summary = *cpSummary;
    rule.fold = static_cast<QCheckBox*>(grid->cellWidget(r, Dictionary))->isChecked();
    for (const auto& [column, target] :
         {std::pair{int(Min), &rule.minAmount}, std::pair{int(Max), &rule.maxAmount}}) {
      if (text(column).isEmpty()) continue;
      *target = engine::ParseInt32(text(column).toStdString());
      if (!*target) {
        ShowMessage(this,
                    where + QStringLiteral("金額「%1」は整数ではありません").arg(text(column)));
        return;
      }
    }
    rule.direction = static_cast<Direction>(
        static_cast<QComboBox*>(grid->cellWidget(r, DirectionColumn))->currentIndex());
    rule.subject =
        engine::ToCp932(static_cast<QComboBox*>(grid->cellWidget(r, SubjectColumn))->currentText())
            .value_or(std::string());
    const std::string problem = engine::import::RuleProblem(rule);
    if (!problem.empty()) {
      grid->setCurrentCell(r, Pattern);
      ShowMessage(this, where + FromCp932(problem));
      return;
    }
    rules.push_back(std::move(rule));
  }
  settings_.dateWindow = swindow->value();
  try {
    engine::import::RuleFile(rulePath_).Save(rules, settings_);
  } catch (const engine::Error& e) {
    ShowMessage(this, FromCp932(e.Message()));
    return;
  }
  rules_ = std::move(rules);
  accept();
}

}  // namespace desktop
