#include <gtest/gtest.h>

#include <functional>

#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "ledger_fixture.h"

namespace engine::testing {
namespace {

using Lines = std::vector<std::string>;

// A journal row's six texts, as CP932, kept alive for the views handed to the ledger.
struct JournalRow {
  std::array<std::string, 6> texts;
  JournalRow(const char* date, const char* amount, const char* debit, const char* summary,
             const char* credit)
      : texts{Sjis(date), Sjis(amount), Sjis(debit), Sjis(summary), Sjis(credit), Sjis(amount)} {}
  RowTexts Views() const {
    RowTexts views;
    for (std::size_t i = 0; i < 6; ++i) views[i] = texts[i];
    return views;
  }
};

TEST_F(LedgerTest, PostingAppendsRowsWithTheirRunningBalances) {
  Load(food, {"25/06/01\t現金\t朝食\t3000\t\t3000"});
  Load(cash, {"25/06/01\t給料\t入金\t50000\t\t50000"});
  const JournalRow line("25/06/05", "1200", "食費", "昼食", "現金");
  food.PostDebit(line.Views());
  cash.PostCredit(line.Views());
  EXPECT_EQ(Rows(food), SjisLines({"25/06/01\t現金\t朝食\t3000\t\t3000",
                                   "25/06/05\t現金\t昼食\t1200\t\t4200", "\t\t\t\t\t"}));
  EXPECT_EQ(Rows(cash), SjisLines({"25/06/01\t給料\t入金\t50000\t\t50000",
                                   "25/06/05\t食費\t昼食\t\t1200\t48800", "\t\t\t\t\t"}));
  EXPECT_FALSE(host.modified);
}

TEST_F(LedgerTest, FirstPostingTakesTheAmountAsBalance) {
  const JournalRow line("25/06/05", "0120", "食費", "昼食", "現金");
  food.PostDebit(line.Views());
  cash.PostCredit(line.Views());
  EXPECT_EQ(Rows(food), SjisLines({"25/06/05\t現金\t昼食\t0120\t\t0120", "\t\t\t\t\t"}));
  EXPECT_EQ(Rows(cash), SjisLines({"25/06/05\t食費\t昼食\t\t0120\t-120", "\t\t\t\t\t"}));
}

TEST_F(LedgerTest, RefusedPostingLeavesTheLedgerAsItWas) {
  const struct {
    const char* name;
    Lines rows;  // the ledger before
    const char* amount;
    bool debit;
    std::string message;
  } cases[] = {
      {"amount with a letter", {}, "12a", true, Sjis("'12a' は整数ではありません")},
      {"amount too long",
       {"25/06/01\tx\ty\t1\t\t1"},
       "99999999999",
       false,
       Sjis("'99999999999' は整数ではありません")},
      {"previous balance not a number",
       {"25/06/01\tx\ty\t1\t\tabc"},
       "5",
       true,
       Sjis("'abc' は整数ではありません")},
      {"debit past the top", {"25/06/01\tx\ty\t1\t\t2147483000"}, "1000", true, OverflowMessage()},
      {"credit past the bottom",
       {"25/06/01\tx\ty\t\t1\t-2147483000"},
       "1000",
       false,
       OverflowMessage()},
      {"first credit of the smallest amount", {}, "-2147483648", false, OverflowMessage()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    if (!c.rows.empty()) Load(ledger, c.rows);
    const Lines before = Rows(ledger);
    const JournalRow line("25/06/05", c.amount, "食費", "昼食", "現金");
    try {
      c.debit ? ledger.PostDebit(line.Views()) : ledger.PostCredit(line.Views());
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(Rows(ledger), before);
  }
}

TEST_F(LedgerTest, PostingNeverOverwritesARowThatHoldsText) {
  food.SetCell(1, 1, "25/06/01");
  food.SetCell(4, 1, "100");
  food.SetCell(6, 1, "100");
  food.PostDebit(JournalRow("25/06/05", "20", "食費", "昼食", "現金").Views());
  ASSERT_EQ(food.RowCount(), 4);
  EXPECT_EQ(food.Cell(1, 1), "25/06/01");
  EXPECT_EQ(food.Cell(6, 2), "120");
  EXPECT_TRUE(food.RowAt(3).IsEmpty());
}

TEST_F(LedgerTest, RemovePostingTakesTheFirstMatchAndRepairsBalances) {
  const JournalRow lunch("25/06/05", "1200", "食費", "昼食", "現金");
  food.PostDebit(JournalRow("25/06/01", "3000", "食費", "朝食", "現金").Views());
  food.PostDebit(lunch.Views());
  food.PostDebit(lunch.Views());
  food.PostCredit(JournalRow("25/06/06", "500", "現金", "返品", "食費").Views());
  ASSERT_EQ(Balances(food), (Lines{"3000", "4200", "5400", "4900"}));

  const LineKey key = {Sjis("25/06/05"), Sjis("現金"), Sjis("昼食"), "1200", ""};
  food.RemovePosting(key);
  EXPECT_EQ(Balances(food), (Lines{"3000", "4200", "3700"}));
  EXPECT_EQ(food.SelectedLine(), 2);

  // The credit key (amount in column 5) does not match a debit row.
  food.RemovePosting({Sjis("25/06/05"), Sjis("現金"), Sjis("昼食"), "", "1200"});
  EXPECT_EQ(food.RowCount(), 5);
}

TEST_F(LedgerTest, AnEmptyKeyRemovesTheFirstRowWithFiveEmptyCells) {
  const struct {
    const char* name;
    Lines rows;   // loaded, then one posting of 1200
    Lines after;  // every row once the empty key is removed and 1 more is posted
  } cases[] = {
      {"the trailing row",
       {},
       {"25/06/05\t現金\t昼食\t1200\t\t1200", "25/06/06\t現金\t昼食\t1\t\t1201", "\t\t\t\t\t"}},
      // Only the balance is left of this row; the balances below are rewritten by 0.
      {"a row holding a balance only",
       {"\t\t\t\t\t5", "25/06/01\tx\ty\t\t\t-0"},
       {"25/06/01\tx\ty\t\t\t0", "25/06/05\t現金\t昼食\t1200\t\t1200",
        "25/06/06\t現金\t昼食\t1\t\t1201", "\t\t\t\t\t"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    if (!c.rows.empty()) Load(ledger, c.rows);
    ledger.PostDebit(JournalRow("25/06/05", "1200", "食費", "昼食", "現金").Views());
    const int count = ledger.RowCount();
    ledger.RemovePosting({"", "", "", "", ""});
    EXPECT_EQ(ledger.RowCount(), count - 1);
    ledger.PostDebit(JournalRow("25/06/06", "1", "食費", "昼食", "現金").Views());
    EXPECT_EQ(Rows(ledger), SjisLines(c.after));
  }
}

TEST_F(LedgerTest, TotalsCountNumericCellsOnly) {
  Load(food, {
                 "25/04/01\tx\ty\t100\t\t100",
                 "25/04/02\tx\ty\t\t30\t70",
                 "25/04/03\tx\ty\t-5\t\t70",  // a sign is not digits only
                 "25/04/04\tx\ty\t1a\t2b\t70",
                 "25/04/05\tx\ty\t0020\t\t90",
             });
  EXPECT_EQ(food.DebitTotal(), 120);
  EXPECT_EQ(food.CreditTotal(), 30);
  EXPECT_EQ(cash.DebitTotal(), 0);
}

TEST_F(LedgerTest, TotalsOutOfRangeAreErrors) {
  Load(food, {"25/04/01\tx\ty\t2147483000\t\t0", "25/05/01\tx\ty\t1000\t\t0"});
  for (auto total : {+[](TLedgerGrid& l) { l.DebitTotal(); },
                     +[](TLedgerGrid& l) {
                       l.DebitTotalBetween({2025, 1, 1}, {2026, 1, 1});
                     }}) {
    try {
      total(food);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Message(), OverflowMessage());
    }
  }
  Load(cash, {"25/04/01\tx\ty\t99999999999\t\t0"});
  EXPECT_THROW(cash.DebitTotal(), Error);
}

TEST_F(LedgerTest, TotalsBetweenDatesIncludeFromAndExcludeTo) {
  Load(food,
       {
           "25/03/31\tx\ty\t1\t\t0", "25/04/01\tx\ty\t10\t\t0", "25/04/30\tx\ty\t100\t1000\t0",
           "2025/4/15\tx\ty\t\t2000\t0", "25/05/01\tx\ty\t10000\t\t0",
           "bad date\tx\ty\t\t\t0",  // no amount: its date is never read
       });
  EXPECT_EQ(food.DebitTotalBetween({2025, 4, 1}, {2025, 5, 1}), 110);
  EXPECT_EQ(food.CreditTotalBetween({2025, 4, 1}, {2025, 5, 1}), 3000);
  EXPECT_EQ(food.DebitTotalBetween({2025, 5, 1}, {2025, 5, 1}), 0);

  food.SetCell(4, 6, "5");
  try {
    food.DebitTotalBetween({2025, 4, 1}, {2025, 5, 1});
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Message(), Sjis("'bad date' は日付ではありません"));
  }
}

TEST_F(LedgerTest, MonthlyTotalsAddByTheYearText) {
  Load(food, {
                 "25/06/10\tx\ty\t\t500\t0",
                 "24/06/10\tx\ty\t\t700\t0",    // another year
                 "2025/06/10\tx\ty\t\t900\t0",  // the same year written otherwise
                 "25/6/20\tx\ty\t\t5\t0",
                 "25/13/01\tx\ty\t\t11\t0",  // no such month
                 "25/01/02\tx\ty\t3\t\t0",   // a debit
                 "25/12/31\tx\ty\t\t1\t0",
             });
  std::array<std::int32_t, 12> totals{};
  totals[5] = 1000;
  food.MonthlyCreditTotals("25", totals);
  EXPECT_EQ(totals, (std::array<std::int32_t, 12>{0, 0, 0, 0, 0, 1505, 0, 0, 0, 0, 0, 1}));
  std::array<std::int32_t, 12> debits{};
  food.MonthlyDebitTotals("25", debits);
  EXPECT_EQ(debits, (std::array<std::int32_t, 12>{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(LedgerTest, DatesThatDoNotReadNameTheirTableAndRow) {
  TJournalGrid& journal = host.journal();
  journal.AppendRow();
  journal.AppendRow();
  journal.SetCell(1, 1, "25/06/01");
  journal.SetCell(1, 2, "25/02/30");
  journal.SetCell(1, 3, "25/06/03");
  Load(food, {"25/04/01\tx\ty\t1\t\t1", "25/4/31\tx\ty\t\t2\t-1", "25/ab/01\tx\ty\t\t3\t-4"});
  const struct {
    const char* name;
    std::function<void()> read;
    const TAccGrid* table;
    int row;
    const char* message;
  } cases[] = {
      {"the journal's date range", [&] { journal.DateRange(); }, &journal, 2,
       "'25/02/30' は日付ではありません（仕訳帳 の 2 行目）"},
      {"a ledger's totals between dates",
       [&] {
         food.CreditTotalBetween({2025, 4, 1}, {2025, 5, 1});
       },
       &food, 2, "'25/4/31' は日付ではありません（食費 の 2 行目）"},
      {"a ledger's monthly totals",
       [&] {
         std::array<std::int32_t, 12> totals{};
         food.MonthlyCreditTotals("25", totals);
       },
       &food, 3, "'ab' は整数ではありません（食費 の 3 行目）"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.read();
      ADD_FAILURE() << "no error";
    } catch (const RowError& e) {
      EXPECT_EQ(e.MessageWithRow(), Sjis(c.message));
      EXPECT_EQ(&e.Table(), c.table);
      EXPECT_EQ(e.Row(), c.row);
    }
  }
}

TEST_F(LedgerTest, MonthlyTotalsOutOfRangeLeaveTheCallersTotals) {
  Load(food, {"25/01/10\tx\ty\t\t5\t0", "25/06/10\tx\ty\t\t500\t0"});
  std::array<std::int32_t, 12> totals{};
  totals[5] = 2147483600;
  const auto before = totals;
  EXPECT_THROW(food.MonthlyCreditTotals("25", totals), Error);
  EXPECT_EQ(totals, before);
}

}  // namespace
}  // namespace engine::testing
