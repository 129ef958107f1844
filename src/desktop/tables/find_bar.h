#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "engine/tables/find.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace desktop {

class AccGridView;

// The find bar over the table windows: a text (plain or a pattern), an amount range and a
// date range. Enter and F3 go to the next matching line, Shift with them to the previous one,
// Esc closes the bar. The bar counts the matches of the active table a chunk at a time, so
// typing never waits for a long journal, and shows where the selected line stands among them.
// "絞り込み" hides the other lines of that table; while it is on, an edited condition filters
// again from the count's matches once the user pauses, and typing on drops the work begun.
class FindBar : public QWidget {
  Q_OBJECT

 public:
  // `activeView` answers the grid of the active table window, or null.
  explicit FindBar(std::function<AccGridView*()> activeView, QWidget* parent = nullptr);
  ~FindBar() override;

  // Shows the bar with the text selected, ready for typing.
  void Open();
  void FindNext(bool forward);
  // Hides the lines of the active table that don't match, or shows them all again.
  void SetFilter(bool on);
  // The active table changed or was re-read: count again and follow its filter.
  void TableChanged();

  // "3 / 17", "17 件", "0 件"; with "…" while counting goes on.
  QString CountText() const;
  // What the status bar shows for the active table's filter; empty without a filter.
  QString FilterText() const;
  bool Counting() const { return scan_ && !scan_->Finished(); }
  // An edited condition waits for the pause or the count before the filter follows it.
  bool FilterPending() const { return filterPending_; }

 signals:
  void filterChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The condition the fields give; nothing (and the reason shown) when one is unreadable.
  std::optional<engine::FindCondition> Condition();
  void ConditionEdited();
  void StartCount();
  void CountChunk();
  // Hides the lines the finished count left out, once typing has paused.
  void FollowFilter();
  void ShowCount();
  void ShowProblem(const QString& text);
  void WatchView(AccGridView* view);

  std::function<AccGridView*()> activeView_;
  QLineEdit* text_;
  QCheckBox* pattern_;
  QLineEdit* minAmount_;
  QLineEdit* maxAmount_;
  QLineEdit* from_;
  QLineEdit* to_;
  QToolButton* filter_;
  QLabel* count_;
  QTimer countTimer_;
  QTimer filterPause_;
  bool filterPending_ = false;
  // The condition the running count was started with.
  engine::FindCondition scanCondition_;
  QPointer<AccGridView> view_;
  std::unique_ptr<engine::MatchScan> scan_;
  QString problem_;
  QList<QMetaObject::Connection> viewConnections_;
};

}  // namespace desktop
