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
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "desktop/base/message_boxes.h"
#include "desktop/print/page_image.h"
#include "desktop/print/print_dialogs.h"
#include "desktop/print/printer_device.h"
#include "desktop/print/tpreviewform.h"
#include "desktop/tables/grid_model.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/tables/ledger_grid.h"

namespace desktop {
namespace {

QLocale Japanese() {
  return QLocale(QLocale::Japanese, QLocale::Japan);
}

void ShowTip(const QString& text) {
  QToolTip::showText(QCursor::pos(), text);
}

}  // namespace

// A value axis whose labels group digits.
QValueAxis* AmountAxis(double low, double high) {
  auto* axis = new QValueAxis;
  axis->setRange(std::min(low, 0.0), std::max(high, 1.0));
  axis->applyNiceNumbers();
  axis->setLabelFormat(QStringLiteral("%.0f"));
  return axis;
}

QString GroupedAmount(std::int64_t amount) {
  return Japanese().toString(static_cast<qlonglong>(amount));
}

ChartWindow::ChartWindow(const QString& title, QWidget* parent) : QDialog(parent) {
  Build(title);
}

ChartWindow::ChartWindow(std::vector<engine::ChartItem> items, QWidget* parent)
    : ChartWindow(QStringLiteral("グラフ - 集計表"), parent) {
  SetItems(std::move(items), QStringLiteral("科目別の金額"));
}

ChartWindow::ChartWindow(const engine::TLedgerGrid& ledger, GridModel* model, QWidget* parent)
    : ChartWindow(QStringLiteral("グラフ - ") + engine::FromCp932(ledger.Caption()), parent) {
  ledger_ = &ledger;
  if (model) FollowModels({model});
  DrawLedger();
}

void ChartWindow::Build(const QString& title) {
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  setSizeGripEnabled(true);
  resize(640, 420);
  auto* layout = new QVBoxLayout(this);
  top_ = new QHBoxLayout;
  const auto button = [this](const QString& caption, const char* name) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    top_->addWidget(b);
    return b;
  };
  QPushButton* save = button(QStringLiteral("画像として保存…"), "btnsaveimage");
  QPushButton* print = button(QStringLiteral("印刷…"), "btnprint");
  QPushButton* preview = button(QStringLiteral("印刷プレビュー"), "btnpreview");
  kind_ = new QComboBox(this);
  kind_->setObjectName(QStringLiteral("chartKind"));
  kind_->addItems({QStringLiteral("棒グラフ"), QStringLiteral("円グラフ")});
  kind_->hide();
  top_->addWidget(kind_);
  top_->addStretch(1);
  layout->addLayout(top_);
  chart_ = new QChart;
  chart_->setLocalizeNumbers(true);
  chart_->setLocale(Japanese());
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setAnimationOptions(QChart::NoAnimation);
  view_ = new QChartView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  layout->addWidget(view_, 1);
  connect(save, &QPushButton::clicked, this, &ChartWindow::SaveImageClicked);
  connect(print, &QPushButton::clicked, this, &ChartWindow::PrintClicked);
  connect(preview, &QPushButton::clicked, this, &ChartWindow::PreviewClicked);
  connect(kind_, &QComboBox::currentIndexChanged, this, [this](int index) { SetPie(index == 1); });
  redraw_.setSingleShot(true);
  redraw_.setInterval(50);
  connect(&redraw_, &QTimer::timeout, this, &ChartWindow::Redraw);
}

void ChartWindow::FollowModels(const QList<GridModel*>& models) {
  for (GridModel* model : models) {
    connect(model, &GridModel::rowsReset, &redraw_, qOverload<>(&QTimer::start),
            Qt::UniqueConnection);
    connect(model, &QAbstractItemModel::dataChanged, &redraw_, qOverload<>(&QTimer::start),
            Qt::UniqueConnection);
    // The tables go with their windows when the book closes; so does this chart.
    connect(model, &QObject::destroyed, this, [this] {
      ledger_ = nullptr;
      followedGone_ = true;
      redraw_.stop();
      close();
    });
  }
}

void ChartWindow::Redraw() {
  if (ledger_) {
    DrawLedger();
  } else if (!followedGone_) {
    DrawItems();
  }
}

void ChartWindow::Clear() {
  chart_->removeAllSeries();
  // A removed axis belongs to the caller.
  for (QAbstractAxis* axis : chart_->axes()) {
    chart_->removeAxis(axis);
    delete axis;
  }
  kind_->hide();
}

void ChartWindow::SetItems(std::vector<engine::ChartItem> items, const QString& title) {
  items_ = std::move(items);
  itemsTitle_ = title;
  DrawItems();
}

void ChartWindow::SetPie(bool pie) {
  pie_ = pie;
  if (kind_ && kind_->currentIndex() != (pie ? 1 : 0)) kind_->setCurrentIndex(pie ? 1 : 0);
  DrawItems();
}

void ChartWindow::DrawItems() {
  Clear();
  kind_->show();
  chart_->setTitle(itemsTitle_);
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
    // The larger slices say their amount beside them, the legend keeps the bare names, and the
    // small slices have their tool tip.
    const QList<QLegendMarker*> markers = chart_->legend()->markers(series);
    for (qsizetype i = 0; i < series->count(); ++i) {
      QPieSlice* slice = series->slices()[i];
      if (i < markers.size()) markers[i]->setLabel(slice->label());
      if (slice->percentage() < 0.05) continue;
      slice->setLabel(QStringLiteral("%1 %2 円")
                          .arg(slice->label(), GroupedAmount(static_cast<qint64>(slice->value()))));
      slice->setLabelVisible(true);
    }
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
  std::vector<MonthBars> months;
  for (const engine::MonthFlow& m : engine::LedgerMonthlyFlow(*ledger_))
    months.push_back({MonthLabel(m.year, m.month), m.in, m.out, m.balance});
  DrawMonths(engine::FromCp932(ledger_->Caption()) + QStringLiteral(" の月別の入出金と残高"),
             {QStringLiteral("借方(入金)"), QStringLiteral("貸方(出金)"), QStringLiteral("残高")},
             months);
}

QString ChartWindow::MonthLabel(int year, int month) {
  return QStringLiteral("%1/%2")
      .arg(year % 100, 2, 10, QLatin1Char('0'))
      .arg(month, 2, 10, QLatin1Char('0'));
}

void ChartWindow::DrawMonths(const QString& title, const std::array<QString, 3>& names,
                             const std::vector<MonthBars>& months) {
  Clear();
  chart_->setTitle(title);
  auto* in = new QBarSet(names[0]);
  auto* out = new QBarSet(names[1]);
  auto* balance = new QLineSeries;
  balance->setName(names[2]);
  // Fixed colours, so money in and out read the same in every chart and a lone month's
  // balance still shows as a point.
  in->setColor(QColor(0x3a, 0x7d, 0xc9));
  out->setColor(QColor(0xe0, 0x6c, 0x4a));
  balance->setColor(QColor(0x30, 0x30, 0x30));
  balance->setPointsVisible(true);
  QStringList labels;
  double low = 0, high = 0;
  for (std::size_t i = 0; i < months.size(); ++i) {
    const MonthBars& m = months[i];
    *in << static_cast<double>(m.in);
    *out << static_cast<double>(m.out);
    // The line's points sit over the middle of each month's bars.
    balance->append(static_cast<double>(i), static_cast<double>(m.balance));
    labels << m.label;
    low = std::min({low, static_cast<double>(m.in), static_cast<double>(m.out),
                    static_cast<double>(m.balance)});
    high = std::max({high, static_cast<double>(m.in), static_cast<double>(m.out),
                     static_cast<double>(m.balance)});
  }
  const auto tip = [labels](QBarSet* set) {
    return [labels, set](bool on, int index) {
      if (!on) return QToolTip::hideText();
      ShowTip(QStringLiteral("%1 %2: %3 円")
                  .arg(labels.value(index), set->label(),
                       GroupedAmount(static_cast<std::int64_t>(set->at(index)))));
    };
  };
  connect(in, &QBarSet::hovered, this, tip(in));
  connect(out, &QBarSet::hovered, this, tip(out));
  connect(balance, &QLineSeries::hovered, this,
          [labels, months, name = names[2]](const QPointF& point, bool on) {
            if (!on) return QToolTip::hideText();
            const auto i = static_cast<std::size_t>(
                std::clamp<qsizetype>(qRound(point.x()), 0, months.size() - 1));
            ShowTip(QStringLiteral("%1 %2: %3 円")
                        .arg(labels.value(static_cast<int>(i)), name,
                             GroupedAmount(months[i].balance)));
          });
  auto* bars = new QBarSeries;
  bars->append(in);
  bars->append(out);
  chart_->addSeries(bars);
  chart_->addSeries(balance);
  auto* categories = new QBarCategoryAxis;
  categories->append(labels);
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
  // Through a temporary, so a failed write leaves an older image whole.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(view_->size());
    svg.setViewBox(QRect(QPoint(0, 0), view_->size()));
    svg.setTitle(chart_->title());
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    view_->render(&painter);
    if (!painter.end()) return false;
  } else if (!view_->grab().save(&file, "PNG")) {
    return false;
  }
  return file.commit();
}

void ChartWindow::SaveImageClicked() {
  const QString png = QStringLiteral("PNG 画像 (*.png)");
  const QString svg = QStringLiteral("SVG 画像 (*.svg)");
  QString filter = png;
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("画像として保存"), QString(),
                                              png + QStringLiteral(";;") + svg, &filter);
  if (path.isEmpty()) return;
  const QString suffix = filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
  if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) &&
      !path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
    path += suffix;
  if (!SaveImage(path)) ShowMessage(this, QStringLiteral("画像を保存できませんでした"));
}

QPicture ChartWindow::PrintPage(engine::PageSize size) const {
  // 15 mm of paper around the chart; the chart keeps the proportions it has on screen.
  constexpr double kMargin = 150;
  const QRectF area(kMargin, kMargin, size.width - 2 * kMargin, size.height - 2 * kMargin);
  const QRectF source(QPointF(0, 0), QSizeF(view_->size()));
  QPicture picture;
  if (area.width() > 0 && area.height() > 0 && !source.isEmpty()) {
    const double scale = std::min(area.width() / source.width(), area.height() / source.height());
    const QRectF target(area.topLeft(), source.size() * scale);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    view_->scene()->render(&painter, target,
                           view_->mapToScene(view_->viewport()->rect()).boundingRect());
  }
  picture.setBoundingRect(QRect(0, 0, size.width, size.height));
  return picture;
}

bool ChartWindow::MakePages(QList<QPicture>& pages) {
  TPrinterDevice& device = TPrinterDevice::Instance();
  if (device.Printers().isEmpty()) {
    ShowMessage(this, QStringLiteral("プリンタが見つかりません"));
    return false;
  }
  device.SetJobName(windowTitle());
  pages = {PrintPage(device.GetPageSize())};
  return true;
}

void ChartWindow::PrintClicked() {
  QList<QPicture> pages;
  if (!MakePages(pages)) return;
  TPrinterDevice& device = TPrinterDevice::Instance();
  TDevicePrintDialog dialog(device, this);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setMinMax(1, 1);
  dialog.setFromTo(1, 1);
  if (dialog.exec() != QDialog::Accepted) return;
  try {
    PrintPages(device, pages, 1, 1);
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
  }
}

void ChartWindow::PreviewClicked() {
  QList<QPicture> pages;
  if (!MakePages(pages)) return;
  TPreviewForm preview(TPrinterDevice::Instance(), this);
  preview.resize(width(), height() + TPreviewForm::kToolBarHeight + TPreviewForm::kStatusBarHeight);
  preview.SetPages(&pages);
  preview.exec();
}

}  // namespace desktop
