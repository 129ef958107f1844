// The history's bounds: how many steps it keeps, what a new step does to the undone ones,
// and what a change outside any step does to the steps that no longer fit.

#include <gtest/gtest.h>

#include "engine/base/cp932.h"
#include "engine/history/history.h"
#include "fake_host.h"

namespace engine {
namespace {

using testing::FakeHost;

class HistoryLimitsTest : public ::testing::Test {
 protected:
  FakeHost host;
  TJournalGrid& journal = host.journal();

  // One step that writes `text` into the amount cell of row 1.
  void Write(const std::string& text) {
    HistoryStep step(&host.history, "write " + text);
    journal.SetCell(2, 1, text);
  }
};

TEST_F(HistoryLimitsTest, KeepsTheNewestStepsUpToTheLimit) {
  const struct {
    int limit;
    int steps;
    int kept;
  } cases[] = {{100, 99, 99}, {100, 100, 100}, {100, 130, 100}, {3, 5, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.steps);
    host.history.Clear();
    host.history.SetLimit(c.limit);
    journal.SetCell(2, 1, "0");  // outside any step
    for (int i = 1; i <= c.steps; ++i) Write(std::to_string(i));
    EXPECT_EQ(host.history.Count(), c.kept);
    int undone = 0;
    while (host.history.CanUndo()) {
      host.history.Undo();
      ++undone;
    }
    EXPECT_EQ(undone, c.kept);
    // The oldest kept step takes the cell back to what the first dropped step wrote.
    EXPECT_EQ(journal.Cell(2, 1), std::to_string(c.steps - c.kept));
    while (host.history.CanRedo()) host.history.Redo();
    EXPECT_EQ(journal.Cell(2, 1), std::to_string(c.steps));
  }
}

TEST_F(HistoryLimitsTest, ANewStepDropsTheUndoneOnesAndEmptyStepsAreNotKept) {
  Write("1");
  Write("2");
  host.history.Undo();
  EXPECT_EQ(host.history.RedoLabel(), "write 2");
  Write("3");
  EXPECT_FALSE(host.history.CanRedo());
  {
    HistoryStep nothing(&host.history, "nothing");
    journal.SetCell(2, 1, "3");  // the same text: no change
  }
  EXPECT_EQ(host.history.Count(), 2);
  EXPECT_EQ(host.history.UndoLabel(), "write 3");
}

TEST_F(HistoryLimitsTest, NestedStepsMakeOneStepUnderTheOuterLabel) {
  {
    HistoryStep outer(&host.history, "outer");
    Write("1");
    Write("2");
  }
  EXPECT_EQ(host.history.Count(), 1);
  EXPECT_EQ(host.history.UndoLabel(), "outer");
  host.history.Undo();
  EXPECT_EQ(journal.Cell(2, 1), "");
}

TEST_F(HistoryLimitsTest, AChangeOutsideAnyStepForgetsTheSteps) {
  Write("1");
  host.history.MarkClean();
  journal.SetCell(2, 1, "7");
  EXPECT_FALSE(host.history.CanUndo());
  EXPECT_FALSE(host.history.AtClean());
}

TEST_F(HistoryLimitsTest, ShiftedBalancesAreKeptAsOneRun) {
  TLedgerGrid& ledger = host.AddLedger("L");
  const std::size_t empty = host.history.Bytes();
  {
    HistoryStep step(&host.history, "post");
    for (int i = 0; i < 1000; ++i) {
      ledger.PostDebit({"25/01/01", "10", "A", "s", "B", "10"});
    }
  }
  const std::size_t posted = host.history.Bytes() - empty;
  {
    HistoryStep step(&host.history, "unpost the first");
    ledger.RemovePosting({"25/01/01", "B", "s", "10", ""});
  }
  const std::size_t removed = host.history.Bytes() - empty - posted;
  EXPECT_EQ(ledger.Cell(6, ledger.RowCount() - 2), "9990");
  // A thousand appended rows and a thousand repaired balances, each kept in a few bytes.
  EXPECT_LT(posted, 2000u);
  EXPECT_LT(removed, 1000u);
  host.history.Undo();
  EXPECT_EQ(ledger.Cell(6, ledger.RowCount() - 2), "10000");
  EXPECT_EQ(ledger.Cell(6, 1), "10");
  host.history.Undo();
  EXPECT_EQ(ledger.RowCount(), 2);
}

}  // namespace
}  // namespace engine
