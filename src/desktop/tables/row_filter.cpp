#include "desktop/tables/row_filter.h"

#include <QHeaderView>

#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/grid_model.h"

namespace desktop {

namespace {

// Hides or shows many rows as one change. A header that paints as it goes repaints the area
// below every row it hides, which grows with the rows above it: over a long journal that is
// minutes of work for a single filter.
class HeaderBatch {
 public:
  explicit HeaderBatch(QHeaderView* header) : header_(header) { header_->setUpdatesEnabled(false); }
  ~HeaderBatch() {
    header_->setUpdatesEnabled(true);
    header_->viewport()->update();
  }
  HeaderBatch(const HeaderBatch&) = delete;
  HeaderBatch& operator=(const HeaderBatch&) = delete;

 private:
  QHeaderView* header_;
};

}  // namespace

RowFilter::RowFilter(AccGridView& view) : QObject(&view), view_(view) {
  setObjectName(QStringLiteral("rowFilter"));
  // A reset shows every row again; the filter follows once the view has the new rows.
  connect(view.Model(), &GridModel::rowsReset, this, [this] {
    if (active_) Reapply();
  });
}

RowFilter* RowFilter::Of(AccGridView& view, bool create) {
  auto* filter = view.findChild<RowFilter*>(QString(), Qt::FindDirectChildrenOnly);
  if (!filter && create) filter = new RowFilter(view);
  return filter;
}

void RowFilter::Apply(const engine::FindCondition& condition) {
  if (condition.IsEmpty()) {
    Clear();
    return;
  }
  // Compiling first: a malformed pattern must leave the filter as it was.
  [[maybe_unused]] const engine::LineMatcher check(view_.Table(), condition);
  condition_ = condition;
  active_ = true;
  Reapply();
}

void RowFilter::Apply(const engine::FindCondition& condition, const std::vector<int>& matches) {
  if (condition.IsEmpty()) {
    Clear();
    return;
  }
  condition_ = condition;
  active_ = true;
  Show(matches);
}

void RowFilter::Clear() {
  if (!active_) return;
  active_ = false;
  hidden_ = 0;
  const int rows = view_.Model()->rowCount();
  QHeaderView* header = view_.verticalHeader();
  const HeaderBatch batch(header);
  for (int r = 0; r < rows; ++r) {
    if (header->isSectionHidden(r)) view_.setRowHidden(r, false);
  }
  emit changed();
}

void RowFilter::Reapply() {
  const engine::TAccGrid& table = view_.Table();
  engine::MatchScan scan(table, condition_);
  scan.Finish();
  Show(scan.Rows());
}

void RowFilter::Show(const std::vector<int>& shown) {
  const engine::TAccGrid& table = view_.Table();
  const int last = table.RowCount() - 1;
  const int focused = table.FocusedRow();
  QHeaderView* header = view_.verticalHeader();
  const HeaderBatch batch(header);
  hidden_ = 0;
  auto next = shown.begin();
  for (int row = 1; row <= last; ++row) {
    const bool match = next != shown.end() && *next == row;
    if (match) ++next;
    const bool hide = !match && row != focused && row != last;
    if (hide) ++hidden_;
    if (header->isSectionHidden(row - 1) != hide) view_.setRowHidden(row - 1, hide);
  }
  emit changed();
}

}  // namespace desktop
