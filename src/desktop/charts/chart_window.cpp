#include "desktop/charts/chart_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QLocale>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "desktop/base/message_boxes.h"
#include "desktop/tables/grid_model.h"
#include "engine/base/cp932.h"
#include "engine/tables/ledger_grid.h"

namespace desktop {
namespace {

QLocale Japanese() {
  return QLocale(QLocale::Japanese, QLocale::Japan);
}

void ShowTip(const QString& text) {
  QToolTip::showText(QCursor::pos(), text);
}

// A value axis whose labels group digits.
QValueAxis* AmountAxis(double low, double high) {
  auto* axis = new QValueAxis;
  axis->setRange(std::min(low, 0.0), std::max(high, 1.0));
  axis->applyNiceNumbers();
  axis->setLabelFormat(QStringLiteral("%.0f"));
  return axis;
}

}  // namespace

QString GroupedAmount(std::int64_t amount) {
  return Japanese().toString(static_cast<qlonglong>(amount));
}

ChartWindow::ChartWindow(std::vector<engine::ChartItem> items, QWidget* parent)
    : QDialog(parent), items_(std::move(items)) {
  Build(QStringLiteral("グラフ - 集計表"));
  kind_ = new QComboBox(this);
  kind_->setObjectName(QStringLiteral("chartKind"));
  kind_->addItems({QStringLiteral("棒グラフ"), QStringLiteral("円グラフ")});
  layout()->itemAt(0)->layout()->addWidget(kind_);
  connect(kind_, &QComboBox::currentIndexChanged, this, [this](int index) { SetPie(index == 1); });
  DrawItems();
}

ChartWindow::ChartWindow(const engine::TLedgerGrid& ledger, GridModel* model, QWidget* parent)
    : QDialog(parent), ledger_(&ledger) {
  Build(QStringLiteral("グラフ - ") + engine::FromCp932(ledger.Caption()));
  // A posting touches the ledger a row at a time; one redraw follows the last change.
  redraw_.setSingleShot(true);
  redraw_.setInterval(50);
  connect(&redraw_, &QTimer::timeout, this, &ChartWindow::DrawLedger);
  if (model) {
    connect(model, &GridModel::rowsReset, &redraw_, qOverload<>(&QTimer::start));
    connect(model, &QAbstractItemModel::dataChanged, &redraw_, qOverload<>(&QTimer::start));
    // The ledger goes with its window when the book closes; so does this chart.
    connect(model, &QObject::destroyed, this, [this] {
      ledger_ = nullptr;
      close();
    });
  }
  DrawLedger();
}

void ChartWindow::Build(const QString& title) {
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  setSizeGripEnabled(true);
  resize(640, 420);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* save = new QPushButton(QStringLiteral("画像として保存…"), this);
  save->setObjectName(QStringLiteral("btnsaveimage"));
  top->addWidget(save);
  top->addStretch(1);
  layout->addLayout(top);
  chart_ = new QChart;
  chart_->setLocalizeNumbers(true);
  chart_->setLocale(Japanese());
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setAnimationOptions(QChart::NoAnimation);
  view_ = new QChartView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  layout->addWidget(view_, 1);
  connect(save, &QPushButton::clicked, this, &ChartWindow::SaveImageClicked);
}

void ChartWindow::Clear() {
  chart_->removeAllSeries();
  // A removed axis belongs to the caller.
  for (QAbstractAxis* axis : chart_->axes()) {
    chart_->removeAxis(axis);
    delete axis;
  }
}

void ChartWindow::SetPie(bool pie) {
  pie_ = pie;
  if (kind_ && kind_->currentIndex() != (pie ? 1 : 0)) kind_->setCurrentIndex(pie ? 1 : 0);
  DrawItems();
}

void ChartWindow::DrawItems() {
  Clear();
  chart_->setTitle(QStringLiteral("科目別の金額"));
  if (pie_) {
    auto* series = new QPieSeries;
    for (const engine::ChartItem& item : items_) {
      // A share can't be negative or nothing; those rows stay in the bar chart only.
      if (item.amount <= 0) continue;
      QPieSlice* slice =
          series->append(engine::FromCp932(item.name), static_cast<double>(item.amount));
      const QString tip =
          QStringLiteral("%1: %2 円").arg(slice->label(), GroupedAmount(item.amount));
      connect(slice, &QPieSlice::hovered, this,
              [tip](bool on) { on ? ShowTip(tip) : QToolTip::hideText(); });
    }
    chart_->addSeries(series);
    chart_->legend()->setVisible(true);
    return;
  }
  auto* set = new QBarSet(QStringLiteral("金額"));
  QStringList names;
  double low = 0, high = 0;
  for (const engine::ChartItem& item : items_) {
    *set << static_cast<double>(item.amount);
    names << engine::FromCp932(item.name);
    low = std::min(low, static_cast<double>(item.amount));
    high = std::max(high, static_cast<double>(item.amount));
  }
  connect(set, &QBarSet::hovered, this, [this, names](bool on, int index) {
    if (!on) return QToolTip::hideText();
    ShowTip(QStringLiteral("%1: %2 円")
                .arg(names.value(index),
                     GroupedAmount(items_[static_cast<std::size_t>(index)].amount)));
  });
  auto* series = new QBarSeries;
  series->append(set);
  chart_->addSeries(series);
  auto* categories = new QBarCategoryAxis;
  categories->append(names);
  chart_->addAxis(categories, Qt::AlignBottom);
  series->attachAxis(categories);
  QValueAxis* amounts = AmountAxis(low, high);
  chart_->addAxis(amounts, Qt::AlignLeft);
  series->attachAxis(amounts);
  chart_->legend()->setVisible(true);
}

void ChartWindow::DrawLedger() {
  if (!ledger_) return;
  const std::vector<engine::MonthFlow> months = engine::LedgerMonthlyFlow(*ledger_);
  Clear();
  chart_->setTitle(engine::FromCp932(ledger_->Caption()) + QStringLiteral(" の月別の入出金と残高"));
  auto* in = new QBarSet(QStringLiteral("借方(入金)"));
  auto* out = new QBarSet(QStringLiteral("貸方(出金)"));
  auto* balance = new QLineSeries;
  balance->setName(QStringLiteral("残高"));
  QStringList names;
  double low = 0, high = 0;
  for (std::size_t i = 0; i < months.size(); ++i) {
    const engine::MonthFlow& m = months[i];
    *in << static_cast<double>(m.in);
    *out << static_cast<double>(m.out);
    // The line's points sit over the middle of each month's bars.
    balance->append(static_cast<double>(i), static_cast<double>(m.balance));
    names << QStringLiteral("%1/%2")
                 .arg(m.year % 100, 2, 10, QLatin1Char('0'))
                 .arg(m.month, 2, 10, QLatin1Char('0'));
    low = std::min({low, static_cast<double>(m.balance)});
    high = std::max({high, static_cast<double>(m.in), static_cast<double>(m.out),
                     static_cast<double>(m.balance)});
  }
  const auto tip = [names](QBarSet* set) {
    return [names, set](bool on, int index) {
      if (!on) return QToolTip::hideText();
      ShowTip(QStringLiteral("%1 %2: %3 円")
                  .arg(names.value(index), set->label(),
                       GroupedAmount(static_cast<std::int64_t>(set->at(index)))));
    };
  };
  connect(in, &QBarSet::hovered, this, tip(in));
  connect(out, &QBarSet::hovered, this, tip(out));
  connect(balance, &QLineSeries::hovered, this, [names, months](const QPointF& point, bool on) {
    if (!on) return QToolTip::hideText();
    const auto i =
        static_cast<std::size_t>(std::clamp<qsizetype>(qRound(point.x()), 0, months.size() - 1));
    ShowTip(QStringLiteral("%1 残高: %2 円")
                .arg(names.value(static_cast<int>(i)), GroupedAmount(months[i].balance)));
  });
  auto* bars = new QBarSeries;
  bars->append(in);
  bars->append(out);
  chart_->addSeries(bars);
  chart_->addSeries(balance);
  auto* categories = new QBarCategoryAxis;
  categories->append(names);
  chart_->addAxis(categories, Qt::AlignBottom);
  bars->attachAxis(categories);
  balance->attachAxis(categories);
  QValueAxis* amounts = AmountAxis(low, high);
  chart_->addAxis(amounts, Qt::AlignLeft);
  bars->attachAxis(amounts);
  balance->attachAxis(amounts);
  chart_->legend()->setVisible(true);
}

bool ChartWindow::SaveImage(const QString& path) const {
  return view_->grab().save(path, "PNG");
}

void ChartWindow::SaveImageClicked() {
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("画像として保存"), QString(),
                                              QStringLiteral("PNG 画像 (*.png)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
  if (!SaveImage(path)) ShowMessage(this, QStringLiteral("画像を保存できませんでした"));
}

}  // namespace desktop
