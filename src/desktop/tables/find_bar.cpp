#include "desktop/tables/find_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

#include "desktop/app/guarded.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/grid_model.h"
#include "desktop/tables/row_filter.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"

namespace desktop {
namespace {

// Rows examined per step of the count: a few milliseconds, so typing stays immediate.
constexpr int kCountChunk = 100000;
// How long typing must pause before a filter that is on follows the edited condition: hiding
// and showing the lines of a long journal after every key would make typing stutter.
constexpr int kFilterPauseMs = 300;

QLineEdit* SmallEdit(QWidget* parent, const QString& name, const QString& hint, int width) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setPlaceholderText(hint);
  edit->setFixedWidth(width);
  edit->setClearButtonEnabled(false);
  return edit;
}

QString Grouped(int value) {
  return QLocale(QLocale::Japanese, QLocale::Japan).toString(value);
}

}  // namespace

FindBar::FindBar(std::function<AccGridView*()> activeView, QWidget* parent)
    : QWidget(parent), activeView_(std::move(activeView)) {
  setObjectName(QStringLiteral("findBar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->setSpacing(4);
  auto* label = new QLabel(QStringLiteral("検索(&F):"), this);
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("findText"));
  text_->setPlaceholderText(QStringLiteral("摘要・科目"));
  text_->setMinimumWidth(120);
  label->setBuddy(text_);
  pattern_ = new QCheckBox(QStringLiteral("パターン"), this);
  pattern_->setObjectName(QStringLiteral("findPattern"));
  pattern_->setToolTip(QStringLiteral("正規表現として探します"));
  minAmount_ = SmallEdit(this, QStringLiteral("findMinAmount"), QStringLiteral("金額から"), 70);
  maxAmount_ = SmallEdit(this, QStringLiteral("findMaxAmount"), QStringLiteral("まで"), 70);
  from_ = SmallEdit(this, QStringLiteral("findFrom"), QStringLiteral("日付から"), 70);
  to_ = SmallEdit(this, QStringLiteral("findTo"), QStringLiteral("まで"), 70);
  auto* previous = new QToolButton(this);
  previous->setText(QStringLiteral("▲"));
  previous->setToolTip(QStringLiteral("前を検索 (Shift+F3)"));
  auto* next = new QToolButton(this);
  next->setText(QStringLiteral("▼"));
  next->setToolTip(QStringLiteral("次を検索 (F3)"));
  filter_ = new QToolButton(this);
  filter_->setObjectName(QStringLiteral("findFilter"));
  filter_->setText(QStringLiteral("絞り込み"));
  filter_->setCheckable(true);
  filter_->setToolTip(QStringLiteral("条件に合わない行を隠します"));
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("findCount"));
  count_->setMinimumWidth(110);
  auto* close = new QToolButton(this);
  close->setText(QStringLiteral("×"));
  close->setToolTip(QStringLiteral("閉じる (Esc)"));
  close->setAutoRaise(true);

  layout->addWidget(label);
  layout->addWidget(text_, 1);
  layout->addWidget(pattern_);
  layout->addWidget(minAmount_);
  layout->addWidget(new QLabel(QStringLiteral("～"), this));
  layout->addWidget(maxAmount_);
  layout->addWidget(from_);
  layout->addWidget(new QLabel(QStringLiteral("～"), this));
  layout->addWidget(to_);
  layout->addWidget(previous);
  layout->addWidget(next);
  layout->addWidget(filter_);
  layout->addWidget(count_);
  layout->addWidget(close);

  for (QLineEdit* edit : {text_, minAmount_, maxAmount_, from_, to_}) {
    connect(edit, &QLineEdit::textEdited, this, &FindBar::ConditionEdited);
  }
  connect(pattern_, &QCheckBox::toggled, this, &FindBar::ConditionEdited);
  connect(previous, &QToolButton::clicked, this, [this] { FindNext(false); });
  connect(next, &QToolButton::clicked, this, [this] { FindNext(true); });
  connect(filter_, &QToolButton::clicked, this, [this](bool on) { SetFilter(on); });
  connect(close, &QToolButton::clicked, this, &QWidget::hide);
  connect(&countTimer_, &QTimer::timeout, this, &FindBar::CountChunk);
  filterPause_.setSingleShot(true);
  filterPause_.setInterval(kFilterPauseMs);
  connect(&filterPause_, &QTimer::timeout, this, &FindBar::FollowFilter);
  hide();
}

FindBar::~FindBar() = default;

void FindBar::Open() {
  show();
  text_->setFocus(Qt::ShortcutFocusReason);
  text_->selectAll();
  TableChanged();
}

std::optional<engine::FindCondition> FindBar::Condition() {
  engine::FindCondition condition;
  const std::optional<std::string> text = engine::ToCp932(text_->text());
  if (!text) {
    ShowProblem(QStringLiteral("シフトJISで表せない文字は探せません"));
    return std::nullopt;
  }
  condition.text = *text;
  condition.pattern = pattern_->isChecked();
  const auto amount = [this](QLineEdit* edit, std::optional<std::int32_t>& out) {
    const QString typed = edit->text().trimmed();
    if (typed.isEmpty()) return true;
    out = engine::ParseInt32(typed.toStdString());
    if (!out) ShowProblem(QStringLiteral("金額は整数で入力してください"));
    return out.has_value();
  };
  const auto date = [this](QLineEdit* edit, std::optional<engine::Date>& out) {
    const QString typed = edit->text().trimmed();
    if (typed.isEmpty()) return true;
    out = engine::ParseDate(typed.toStdString());
    if (!out) ShowProblem(QStringLiteral("日付は yy/mm/dd の形で入力してください"));
    return out.has_value();
  };
  if (!amount(minAmount_, condition.minAmount) || !amount(maxAmount_, condition.maxAmount) ||
      !date(from_, condition.from) || !date(to_, condition.to)) {
    return std::nullopt;
  }
  return condition;
}

void FindBar::ShowProblem(const QString& text) {
  problem_ = text;
  count_->setText(text);
  count_->setToolTip(text);
  count_->setStyleSheet(QStringLiteral("color: #c00000"));
}

void FindBar::ConditionEdited() {
  StartCount();
  AccGridView* view = view_.data();
  RowFilter* filter = view ? RowFilter::Of(*view, false) : nullptr;
  // The filter follows the condition while it is on, from the count's matches once the user
  // pauses; every further edit restarts both the pause and the count.
  if (!filter || !filter->Active()) return;
  filterPending_ = true;
  filterPause_.start();
}

void FindBar::FollowFilter() {
  if (!filterPending_ || filterPause_.isActive() || !view_) return;
  RowFilter* filter = RowFilter::Of(*view_, false);
  if (filter && filter->Active() && Counting()) return;  // the count's last chunk comes back
  filterPending_ = false;
  if (!filter || !filter->Active()) return;
  if (scan_) {
    filter->Apply(scanCondition_, scan_->Rows());
  } else if (const auto condition = Condition(); condition && condition->IsEmpty()) {
    filter->Clear();  // an empty condition shows every line
    filter_->setChecked(false);
  } else {
    return;  // an unreadable condition leaves the lines as they were until it reads again
  }
  emit filterChanged();
}

void FindBar::WatchView(AccGridView* view) {
  if (view == view_.data()) return;
  // A filter waiting for the pause was meant for the table the user left.
  filterPause_.stop();
  filterPending_ = false;
  for (const auto& c : viewConnections_) disconnect(c);
  viewConnections_.clear();
  view_ = view;
  if (!view) return;
  GridModel* model = view->Model();
  viewConnections_ << connect(model, &GridModel::rowsReset, this, &FindBar::StartCount)
                   << connect(model, &QAbstractItemModel::dataChanged, this, &FindBar::StartCount)
                   << connect(model, &GridModel::marksChanged, this, &FindBar::ShowCount)
                   << connect(model, &GridModel::focusChanged, this, &FindBar::ShowCount)
                   << connect(view, &QObject::destroyed, this, [this] {
                        scan_.reset();
                        countTimer_.stop();
                        filterPause_.stop();
                        filterPending_ = false;
                      });
}

void FindBar::TableChanged() {
  WatchView(activeView_());
  filter_->setChecked(view_ && RowFilter::Of(*view_, false) &&
                      RowFilter::Of(*view_, false)->Active());
  StartCount();
  emit filterChanged();
}

void FindBar::StartCount() {
  countTimer_.stop();
  scan_.reset();
  problem_.clear();
  count_->setStyleSheet(QString());
  count_->setToolTip(QString());
  if (!view_ || !isVisible()) return ShowCount();
  const std::optional<engine::FindCondition> condition = Condition();
  if (!condition) return;
  if (condition->IsEmpty()) return ShowCount();
  try {
    scan_ = std::make_unique<engine::MatchScan>(view_->Table(), *condition);
  } catch (const engine::Error& e) {
    return ShowProblem(engine::FromCp932(e.Message()));
  }
  scanCondition_ = *condition;
  CountChunk();
  if (Counting()) countTimer_.start(0);
}

void FindBar::CountChunk() {
  if (!scan_ || scan_->Step(kCountChunk)) {
    countTimer_.stop();
    FollowFilter();
  }
  ShowCount();
}

QString FindBar::CountText() const {
  if (!scan_) return QString();
  const int total = static_cast<int>(scan_->Rows().size());
  const QString more = Counting() ? QStringLiteral("…") : QString();
  const engine::TAccGrid& table = view_->Table();
  const int here = table.SelectedLine() > 0 ? table.SelectedLine() : table.FocusedRow();
  const int ordinal = scan_->OrdinalOf(here);
  if (ordinal > 0) return QStringLiteral("%1 / %2%3").arg(Grouped(ordinal), Grouped(total), more);
  return QStringLiteral("%1 件%2").arg(Grouped(total), more);
}

void FindBar::ShowCount() {
  if (!problem_.isEmpty()) return;
  count_->setText(CountText());
}

void FindBar::FindNext(bool forward) {
  if (!isVisible()) return Open();
  WatchView(activeView_());
  if (!view_) return;
  const std::optional<engine::FindCondition> condition = Condition();
  if (!condition || condition->IsEmpty()) return;
  engine::TAccGrid& table = view_->Table();
  // Typing on after a jump must still reach the bar.
  QWidget* focus = QApplication::focusWidget();
  std::optional<engine::LineMatcher> matcher;
  try {
    matcher.emplace(table, *condition);
  } catch (const engine::Error& e) {
    return ShowProblem(engine::FromCp932(e.Message()));
  }
  const int here = table.SelectedLine() > 0 ? table.SelectedLine() : table.FocusedRow();
  const int row = engine::FindNextLine(*matcher, here, forward);
  if (row == 0) return ShowProblem(QStringLiteral("見つかりません"));
  // As the user would: put the focus on the line, then select the line itself.
  RunGuarded(this, [&] {
    table.FocusRow(row);
    table.MousePress(0, row);
  });
  if (focus && isAncestorOf(focus)) focus->setFocus();
  if (scan_ && problem_.isEmpty()) ShowCount();
}

void FindBar::SetFilter(bool on) {
  WatchView(activeView_());
  if (!view_) {
    filter_->setChecked(false);
    return;
  }
  filterPause_.stop();
  filterPending_ = false;
  RowFilter* filter = RowFilter::Of(*view_, on);
  if (!filter) return;
  connect(filter, &RowFilter::changed, this, &FindBar::filterChanged, Qt::UniqueConnection);
  if (on) {
    const std::optional<engine::FindCondition> condition = Condition();
    if (!condition) {
      filter_->setChecked(filter->Active());
      return;
    }
    try {
      filter->Apply(*condition);
    } catch (const engine::Error& e) {
      ShowProblem(engine::FromCp932(e.Message()));
    }
  } else {
    filter->Clear();
  }
  filter_->setChecked(filter->Active());
  emit filterChanged();
}

QString FindBar::FilterText() const {
  if (!view_) return QString();
  const RowFilter* filter = RowFilter::Of(*view_, false);
  if (!filter || !filter->Active()) return QString();
  return QStringLiteral("絞り込み: %1 行を非表示").arg(Grouped(filter->HiddenCount()));
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F3:
      FindNext(!shift);
      return;
    case Qt::Key_Escape:
      hide();
      if (view_) view_->setFocus();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace desktop
