#pragma once

#include <QObject>

#include "engine/tables/find.h"

namespace desktop {

class AccGridView;

// Hides the rows of one grid that a condition leaves out. The table keeps every row and its
// order: hiding is the view's business, so every command still works on table rows. After the
// table is re-read (a sort, a new line, a paste) the filter is applied again; the focused row
// and the last row stay shown so that the line being worked on never disappears.
class RowFilter : public QObject {
  Q_OBJECT

 public:
  // The view's filter; created when `create` is set, otherwise null when there is none.
  static RowFilter* Of(AccGridView& view, bool create);

  // Throws engine::Error when the condition's pattern is malformed; the rows stay as they were.
  void Apply(const engine::FindCondition& condition);
  // The same with the matching rows already found (by a count of the same condition over the
  // table as it stands), so a long table isn't scanned twice.
  void Apply(const engine::FindCondition& condition, const std::vector<int>& matches);
  void Clear();
  bool Active() const { return active_; }
  int HiddenCount() const { return hidden_; }

 signals:
  void changed();

 private:
  explicit RowFilter(AccGridView& view);
  void Reapply();
  void Show(const std::vector<int>& matches);

  AccGridView& view_;
  engine::FindCondition condition_;
  bool active_ = false;
  int hidden_ = 0;
};

}  // namespace desktop
