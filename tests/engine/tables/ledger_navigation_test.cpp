#include <gtest/gtest.h>

#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "ledger_fixture.h"

namespace engine::testing {
namespace {

// The journal holds a line for 朝食, then the same 昼食 line twice; the 食費 and 現金 ledgers
// hold their postings in the same order.
class LedgerNavigationTest : public LedgerTest {
 protected:
  void SetUp() override {
    const char* lines[][5] = {{"25/06/04", "800", "食費", "朝食", "現金"},
                              {"25/06/05", "1200", "食費", "昼食", "現金"},
                              {"25/06/05", "1200", "食費", "昼食", "現金"}};
    TJournalGrid& journal = host.journal();
    for (int i = 0; i < 3; ++i) {
      const int row = i + 1;
      if (journal.RowCount() <= row) journal.AppendRow();
      std::array<std::string, 6> texts;
      for (int c = 0; c < 5; ++c) texts[static_cast<std::size_t>(c)] = Sjis(lines[i][c]);
      texts[5] = texts[1];
      RowTexts views;
      for (int c = 0; c < 6; ++c) {
        views[static_cast<std::size_t>(c)] = texts[static_cast<std::size_t>(c)];
        journal.SetCell(c + 1, row, texts[static_cast<std::size_t>(c)]);
      }
      food.PostDebit(views);
      cash.PostCredit(views);
    }
    // A row with neither amount, as a hand-made file may hold.
    food.SetCell(1, 4, "25/06/06");
    food.SetCell(2, 4, Sjis("現金"));
    food.SetCell(6, 4, "3200");
    food.AppendRow();
  }
};

TEST_F(LedgerNavigationTest, JumpsLandOnTheFirstMatchingRow) {
  const struct {
    const char* name;
    bool fromFood;
    int line;
    bool toJournal;
    const char* target;
    int targetRow;
  } cases[] = {
      {"debit row to the journal", true, 3, true, "仕訳帳", 2},
      {"credit row to the journal", false, 1, true, "仕訳帳", 1},
      {"debit row to the counterpart's ledger", true, 3, false, "現金", 2},
      {"credit row to the counterpart's ledger", false, 2, false, "食費", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.shownMatching.clear();
    TLedgerGrid& from = c.fromFood ? food : cash;
    from.MousePress(0, c.line);
    c.toJournal ? from.GoToJournal() : from.GoToLedger();
    ASSERT_EQ(host.shownMatching, std::vector<std::string>{Sjis(c.target)});
    TAccGrid& target = c.toJournal ? static_cast<TAccGrid&>(host.journal())
                                   : static_cast<TAccGrid&>(c.fromFood ? cash : food);
    EXPECT_EQ(target.SelectedLine(), c.targetRow);
    EXPECT_EQ(target.CurrentRow(), c.targetRow);
    EXPECT_EQ(target.CurrentColumn(), 0);
    EXPECT_EQ(target.FocusedRow(), c.targetRow);
    if (!c.toJournal) {
      EXPECT_EQ(host.fakeUi.status[2], std::to_string(c.targetRow) + Sjis(" 行目選択"));
    }
  }
}

TEST_F(LedgerNavigationTest, NothingToJumpFromDoesNothing) {
  {
    SCOPED_TRACE("no selected line");
    food.SelectCell(2, 2);
    food.GoToJournal();
    food.GoToLedger();
  }
  {
    SCOPED_TRACE("a row with neither amount");
    food.MousePress(0, 4);
    food.GoToJournal();
    food.GoToLedger();
  }
  {
    SCOPED_TRACE("a counterpart without a ledger");
    food.SetCell(2, 1, Sjis("外食"));
    food.MousePress(0, 1);
    food.GoToLedger();
  }
  EXPECT_TRUE(host.shownMatching.empty());
}

TEST_F(LedgerNavigationTest, UnmatchedKeyShowsTheWindowButSelectsNothing) {
  cash.SelectCell(3, 1);
  food.SetCell(3, 2, Sjis("間食"));
  food.MousePress(0, 2);
  food.GoToLedger();
  EXPECT_EQ(host.shownMatching, std::vector<std::string>{Sjis("現金")});
  EXPECT_EQ(cash.SelectedLine(), 0);
  EXPECT_EQ(cash.CurrentColumn(), 3);
  EXPECT_EQ(cash.CurrentRow(), 1);
}

}  // namespace
}  // namespace engine::testing
