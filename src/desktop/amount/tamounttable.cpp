#include "desktop/amount/tamounttable.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <cmath>

#include "desktop/amount/result_grid_model.h"
#include "desktop/amount/teditform.h"
#include "desktop/charts/chart_window.h"

namespace desktop {

namespace {
constexpr int kGridTop = 33;

// w ÷ 100 × p with halves going to the even neighbour: 82.5 gives 82, 93.5 gives 94.
int Share(int width, int percent) {
  return static_cast<int>(std::nearbyint(width / 100.0 * percent));
}

// The narrow percentage columns cut "33.3 %" short: a cell whose text doesn't fit shows it
// whole as a tool tip.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip) {
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    if (sizeHint(option, index).width() > option.rect.width()) {
      QToolTip::showText(event->globalPos(), index.data().toString(), view);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
};
}  // namespace

tamounttable::tamounttable(engine::ResultGrid result, QWidget* parent) : TAccDialog(parent) {
  setWindowTitle(QStringLiteral("集計表"));
  setSizeGripEnabled(true);

  btntext =
      TopButton("btntext", QStringLiteral("出力"), QIcon(QStringLiteral(":/icons/textout.png")), 4);
  btncsv =
      TopButton("btncsv", QStringLiteral("出力"), QIcon(QStringLiteral(":/icons/csvout.png")), 83);
  btnclose = TopButton("btnclose", QStringLiteral("閉じる"),
                       style()->standardIcon(QStyle::SP_DialogCloseButton), 162);
  btntext->setToolTip(QStringLiteral("テキスト出力"));
  btncsv->setToolTip(QStringLiteral("CSV出力"));
  connect(btntext, &QPushButton::clicked, this,
          [this] { ShowText(engine::ResultGridText(Grid())); });
  connect(btncsv, &QPushButton::clicked, this, [this] { ShowText(engine::ResultGridCsv(Grid())); });
  connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);
  btngraph = TopButton("btngraph", QStringLiteral("グラフ"), QIcon(), 241);
  btngraph->setToolTip(QStringLiteral("表の行をグラフにします"));
  connect(btngraph, &QPushButton::clicked, this, [this] {
    if (chart_) return chart_();
    auto* chart = new ChartWindow(engine::ResultChartItems(Grid()), this);
    chart->show();
  });

  grid = new QTableView(this);
  grid->setObjectName(QStringLiteral("grid"));
  model_ = new ResultGridModel(std::move(result), grid);
  grid->setModel(model_);
  grid->setItemDelegate(new CellDelegate(grid));
  grid->setShowGrid(true);
  grid->setWordWrap(false);
  grid->setTabKeyNavigation(true);
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setDefaultSectionSize(20);
  grid->horizontalHeader()->setFixedHeight(20);
  // The percentage columns are narrow by design; the style's minimum would widen them.
  grid->horizontalHeader()->setMinimumSectionSize(1);
  grid->setTextElideMode(Qt::ElideNone);
  grid->horizontalHeader()->setHighlightSections(false);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  PaintGrid(*grid);
  grid->viewport()->installEventFilter(this);

  resize(432, 432);
}

tamounttable::~tamounttable() {
  grid->viewport()->removeEventFilter(this);
}

const engine::ResultGrid& tamounttable::Grid() const {
  return model_->Grid();
}

void tamounttable::ShowText(const std::vector<std::string>& lines) {
  teditform text(lines, this);
  text.exec();
}

void tamounttable::MarkRows(std::vector<bool> rows, const QColor& colour) {
  model_->MarkRows(std::move(rows), colour);
}

void tamounttable::SetColumnShares(const std::array<int, 6>& shares) {
  shares_ = shares;
  FitColumns(grid->viewport()->width());
}

void tamounttable::FitColumns(int w) {
  for (int c = 0; c < 6; ++c)
    grid->setColumnWidth(c, Share(w, shares_[static_cast<std::size_t>(c)]));
}

void tamounttable::resizeEvent(QResizeEvent* event) {
  TAccDialog::resizeEvent(event);
  grid->setGeometry(4, kGridTop, std::max(0, width() - 8), std::max(0, height() - kGridTop - 4));
}

bool tamounttable::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid->viewport() && event->type() == QEvent::Resize) {
    FitColumns(static_cast<QResizeEvent*>(event)->size().width());
  }
  return TAccDialog::eventFilter(watched, event);
}

}  // namespace desktop
