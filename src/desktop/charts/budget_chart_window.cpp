#include "desktop/charts/budget_chart_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>

#include "engine/amount/aggregation.h"
#include "engine/base/cp932.h"
#include "engine/base/integer.h"

namespace desktop {

BudgetChartWindow::BudgetChartWindow(engine::BudgetFigures figures, QWidget* parent)
    : ChartWindow(QStringLiteral("グラフ - 予算と実績"), parent), figures_(std::move(figures)) {
  entry_ = new QComboBox(this);
  entry_->setObjectName(QStringLiteral("chartEntry"));
  entry_->addItem(QStringLiteral("科目別（期間の合計）"), -1);
  for (std::size_t i = 0; i < figures_.names.size(); ++i) {
    if (!figures_.budgeted[i]) continue;
    entry_->addItem(engine::FromCp932(figures_.names[i]) + QStringLiteral(" の月別"),
                    static_cast<int>(i));
  }
  TopRow()->insertWidget(3, entry_);
  connect(entry_, &QComboBox::currentIndexChanged, this, [this] { Draw(); });
  Draw();
}

void BudgetChartWindow::ShowEntry(int entry) {
  const int index = entry_->findData(entry);
  if (index >= 0) entry_->setCurrentIndex(index);
}

void BudgetChartWindow::Draw() {
  const int entry = entry_->currentData().toInt();
  const std::vector<engine::BudgetBar> bars =
      entry < 0 ? engine::BudgetBarsBySubject(figures_)
                : engine::BudgetBarsByMonth(figures_, static_cast<std::size_t>(entry));
  const int last = figures_.firstMonth + static_cast<int>(figures_.budgets.size()) - 1;
  const QString period =
      QStringLiteral("（%1年 %2月 - %3月）").arg(figures_.year).arg(figures_.firstMonth).arg(last);
  Clear();
  Chart()->setTitle(entry < 0 ? QStringLiteral("科目別の予算と実績") + period
                              : engine::FromCp932(figures_.names[static_cast<std::size_t>(entry)]) +
                                    QStringLiteral(" の月別の予算と実績") + period);
  auto* budget = new QBarSet(QStringLiteral("予算"));
  auto* actual = new QBarSet(QStringLiteral("実績"));
  budget->setColor(QColor(0xa8, 0xb4, 0xc0));
  actual->setColor(QColor(0x3a, 0x7d, 0xc9));
  // Selection is the one way a bar set colours single bars: the actuals over their budget.
  actual->setSelectedColor(QColor(0xd9, 0x3b, 0x2f));
  QStringList labels;
  double low = 0, high = 0;
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const engine::BudgetBar& bar = bars[i];
    *budget << static_cast<double>(bar.budget);
    *actual << static_cast<double>(bar.actual);
    if (bar.actual > bar.budget) actual->selectBar(static_cast<int>(i));
    labels << engine::FromCp932(bar.name);
    low = std::min({low, static_cast<double>(bar.budget), static_cast<double>(bar.actual)});
    high = std::max({high, static_cast<double>(bar.budget), static_cast<double>(bar.actual)});
  }
  const auto tip = [labels, bars](bool on, int index) {
    if (!on || index < 0 || index >= labels.size()) return QToolTip::hideText();
    const engine::BudgetBar& bar = bars[static_cast<std::size_t>(index)];
    QString text = QStringLiteral("%1\n予算: %2 円\n実績: %3 円")
                       .arg(labels[index], GroupedAmount(bar.budget), GroupedAmount(bar.actual));
    if (bar.budget > 0 && bar.actual >= 0 && bar.budget <= INT32_MAX && bar.actual <= INT32_MAX)
      text += QStringLiteral("（%1）").arg(QString::fromStdString(engine::PercentageText(
          static_cast<std::int32_t>(bar.actual), static_cast<std::int32_t>(bar.budget))));
    QToolTip::showText(QCursor::pos(), text);
  };
  connect(budget, &QBarSet::hovered, this, tip);
  connect(actual, &QBarSet::hovered, this, tip);
  auto* series = new QBarSeries;
  series->append(budget);
  series->append(actual);
  Chart()->addSeries(series);
  auto* categories = new QBarCategoryAxis;
  categories->append(labels);
  Chart()->addAxis(categories, Qt::AlignBottom);
  series->attachAxis(categories);
  QValueAxis* amounts = AmountAxis(low, high);
  Chart()->addAxis(amounts, Qt::AlignLeft);
  series->attachAxis(amounts);
  Chart()->legend()->setVisible(true);
}

}  // namespace desktop
