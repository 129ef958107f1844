#include "desktop/charts/book_chart_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStandardItemModel>
#include <optional>

#include "engine/amount/aggregation_settings.h"
#include "engine/app/book.h"
#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace desktop {

namespace {

// The "table" entries of the book's aggregation settings; nothing without them.
std::optional<std::vector<engine::TableEntrySetting>> TableEntries(const engine::Book& book) {
  if (book.SettingsPath().empty()) return std::nullopt;
  try {
    return engine::LoadTableSettings(engine::Profile(engine::PathFromCp932(book.SettingsPath())));
  } catch (const engine::Error&) {
    return std::nullopt;  // an unreadable file: the ledgers' sides decide
  }
}

}  // namespace

BookChartWindow::BookChartWindow(engine::Book& book, const QList<GridModel*>& models,
                                 QWidget* parent)
    : ChartWindow(QStringLiteral("グラフ - 収入と支出"), parent), book_(book) {
  mode_ = new QComboBox(this);
  mode_->setObjectName(QStringLiteral("chartMode"));
  mode_->addItems({QStringLiteral("月別の収入と支出"), QStringLiteral("科目別の支出"),
                   QStringLiteral("科目別の収入"), QStringLiteral("集計設定の科目")});
  first_ = new QComboBox(this);
  first_->setObjectName(QStringLiteral("chartFirst"));
  last_ = new QComboBox(this);
  last_->setObjectName(QStringLiteral("chartLast"));
  source_ = new QLabel(this);
  source_->setObjectName(QStringLiteral("chartSource"));
  // Before the bar-or-pie choice and the stretch at the row's end.
  int at = 3;
  for (QWidget* w :
       std::initializer_list<QWidget*>{mode_, new QLabel(QStringLiteral("期間"), this), first_,
                                       new QLabel(QStringLiteral("-"), this), last_})
    TopRow()->insertWidget(at++, w);
  layout()->addWidget(source_);
  resize(760, 480);
  connect(mode_, &QComboBox::currentIndexChanged, this, [this] { Draw(); });
  for (QComboBox* box : {first_, last_}) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
      if (!filling_) Draw();
    });
  }
  FollowModels(models);
  Refresh();
}

void BookChartWindow::SetMode(Mode mode) {
  mode_->setCurrentIndex(mode);
}

void BookChartWindow::SetMonths(int first, int last) {
  filling_ = true;
  first_->setCurrentIndex(first);
  last_->setCurrentIndex(last);
  filling_ = false;
  Draw();
}

QStringList BookChartWindow::Months() const {
  QStringList months;
  for (int i = 0; i < first_->count(); ++i) months << first_->itemText(i);
  return months;
}

void BookChartWindow::Redraw() {
  if (!FollowedGone()) Refresh();
}

void BookChartWindow::Refresh() {
  const auto entries = TableEntries(book_);
  subjects_ = engine::BookFlowSubjects(book_, entries ? &*entries : nullptr);
  months_ = engine::BookMonthlyFlow(book_, subjects_);
  source_->setText(subjects_.fromSettings
                       ? QStringLiteral("収入と支出の科目: 集計設定（テーブルに出力）の科目。"
                                        "入替の科目を収入、その他を支出としています")
                       : QStringLiteral("収入と支出の科目: 貸方だけに使われた科目を収入、"
                                        "借方だけに使われた科目を支出としています"));
  // The table entries are a choice only when the settings name subjects.
  if (!subjects_.fromSettings && mode_->currentIndex() == kTableEntries) mode_->setCurrentIndex(0);
  if (auto* model = qobject_cast<QStandardItemModel*>(mode_->model()))
    model->item(kTableEntries)->setEnabled(subjects_.fromSettings);

  // The month lists keep the months chosen, as far as the book still has them.
  const QString first = first_->currentText();
  const QString last = last_->currentText();
  filling_ = true;
  first_->clear();
  last_->clear();
  for (const engine::MonthFlow& m : months_) {
    first_->addItem(MonthLabel(m.year, m.month));
    last_->addItem(MonthLabel(m.year, m.month));
  }
  const int count = first_->count();
  if (count > 0) {
    // At first the last year of the book, from its January, through its last month.
    int from = first_->findText(first);
    if (from < 0) {
      from = count - 1;
      while (from > 0 && months_[static_cast<std::size_t>(from)].month > 1 &&
             months_[static_cast<std::size_t>(from - 1)].year == months_.back().year)
        --from;
    }
    const int to = last.isEmpty() || last_->findText(last) < 0 ? count - 1 : last_->findText(last);
    first_->setCurrentIndex(from);
    last_->setCurrentIndex(to);
  }
  filling_ = false;
  Draw();
}

std::vector<engine::FlowSubject> BookChartWindow::ChosenSubjects(Mode mode) const {
  std::vector<engine::FlowSubject> chosen;
  for (const engine::FlowSubject& s : subjects_.subjects) {
    if (mode == kTableEntries || (mode == kIncome) == (s.side == engine::FlowSide::kIncome))
      chosen.push_back(s);
  }
  return chosen;
}

void BookChartWindow::Draw() {
  const auto mode = static_cast<Mode>(mode_->currentIndex());
  int first = first_->currentIndex();
  int last = last_->currentIndex();
  if (first > last) std::swap(first, last);
  const QString period =
      first < 0 ? QString()
                : QStringLiteral("（%1 - %2）").arg(first_->itemText(first), last_->itemText(last));
  if (mode == kMonthly) {
    std::vector<MonthBars> bars;
    for (int i = std::max(first, 0); i <= last; ++i) {
      const engine::MonthFlow& m = months_[static_cast<std::size_t>(i)];
      bars.push_back({MonthLabel(m.year, m.month), m.in, m.out, m.balance});
    }
    DrawMonths(
        QStringLiteral("月別の収入と支出") + period,
        {QStringLiteral("収入"), QStringLiteral("支出"), QStringLiteral("残高（収支の累計）")},
        bars);
    return;
  }
  std::vector<engine::ChartItem> items;
  QString title = mode_->currentText() + period;
  if (first >= 0) {
    const engine::MonthFlow& from = months_[static_cast<std::size_t>(first)];
    const engine::MonthFlow& to = months_[static_cast<std::size_t>(last)];
    const engine::Date start{from.year, from.month, 1};
    const engine::Date end =
        to.month == 12 ? engine::Date{to.year + 1, 1, 1} : engine::Date{to.year, to.month + 1, 1};
    try {
      items = engine::SubjectAmounts(book_, ChosenSubjects(mode), start, end);
    } catch (const engine::Error& e) {
      title = engine::FromCp932(e.Message());
    }
  }
  SetItems(std::move(items), title);
}

}  // namespace desktop
