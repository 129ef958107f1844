#include "engine/tables/ledger_grid.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "ledger_fixture.h"

namespace engine::testing {
namespace {

using Lines = std::vector<std::string>;

// Four postings with running balances 1000, 800, 500, 600.
const Lines kFour = {
    "25/04/01\t給料\t入金\t1000\t\t1000",
    "25/04/02\t外食\t昼食\t\t200\t800",
    "25/04/03\t外食\t夕食\t\t300\t500",
    "25/04/04\t雑費\t返金\t100\t\t600",
};

TEST_F(LedgerTest, LoadEndsWithExactlyOneEmptyTrailingRow) {
  const struct {
    const char* name;
    std::string content;
    int rowCount;
  } cases[] = {
      {"three lines", "a\t\t\t\t\t1\r\nb\t\t\t\t\t2\r\nc\t\t\t\t\t3\r\n", 5},
      {"empty file", "", 2},
      {"one line without a line end", "a\tb", 3},
      // A blank first line must not let the next posting overwrite the last data row.
      {"blank first line", "\r\na\t\t\t\t\t1\r\n", 4},
      // A blank last line already is the trailing row.
      {"blank last line", "a\t\t\t\t\t1\r\n\r\n", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    const QString path = PathOf("case.txt");
    WriteFileAtomically(path, c.content);
    ledger.LoadTable(path);
    EXPECT_EQ(ledger.RowCount(), c.rowCount);
    EXPECT_TRUE(ledger.RowAt(ledger.RowCount() - 1).IsEmpty());
    EXPECT_EQ(ledger.Cell(6, 0), Sjis("差引残高"));
  }
}

TEST_F(LedgerTest, SaveWritesCompleteRowsByteForByte) {
  // Balances are stored as they stand (-0, 0120) and any bytes in the texts survive.
  const std::string content = Sjis("25/04/01\t給料\t入金\t0120\t\t0120\r\n") +
                              Sjis("25/04/02\t外食\t昼食\t\t0\t-0\r\n") +
                              "25/4/3\t\x81\x5c\xff\"q\"\t a b \t\t7\t-7\r\n";
  WriteFileAtomically(PathOf("in.txt"), content);
  food.LoadTable(PathOf("in.txt"));
  food.SaveTable(PathOf("out.txt"));
  EXPECT_EQ(ReadFileBytes(PathOf("out.txt")), content);
}

TEST_F(LedgerTest, SaveLeavesOutRowsThatAreNotPostings) {
  Load(food, {
                 "25/04/01\t給料\t入金\t100\t\t100",
                 "\t給料\t入金\t100\t\t100",          // no date
                 "25/04/01\t\t入金\t100\t\t100",      // no counterpart
                 "25/04/01\t給料\t\t100\t\t100",      // no summary
                 "25/04/01\t給料\t入金\t100\t\t",     // no balance
                 "25/04/01\t給料\t入金\t\t\t100",     // neither amount
                 "25/04/02\t給料\t入金\t\tabc\t100",  // a credit that is not numeric still counts
             });
  food.SaveTable(PathOf("out.txt"));
  EXPECT_EQ(ReadTextLines(PathOf("out.txt")),
            SjisLines({"25/04/01\t給料\t入金\t100\t\t100", "25/04/02\t給料\t入金\t\tabc\t100"}));
}

TEST_F(LedgerTest, SortRecomputesBalancesFromTheTop) {
  const struct {
    const char* name;
    Lines rows;
    Lines balances;  // after the sort, in row order
  } cases[] = {
      {"credit first", {"25/05/01\tx\ty\t100\t\t100", "25/04/01\tx\ty\t\t30\t70"}, {"-30", "70"}},
      {"a first credit of 0 is -0", {"25/04/01\tx\ty\t\t0\t5"}, {"-0"}},
      {"a first debit keeps its text",
       {"25/04/01\tx\ty\t0120\t\t9", "25/04/02\tx\ty\t5\t\t9"},
       {"0120", "125"}},
      {"a row with neither amount keeps its balance and the next goes on from it",
       {"25/04/01\tx\ty\t100\t\t100", "25/04/02\tx\ty\t\t\t40", "25/04/03\tx\ty\t\t15\t0"},
       {"100", "40", "25"}},
      {"a non-numeric amount counts as no amount",
       {"25/04/01\tx\ty\t100\t\t100", "25/04/02\tx\ty\t1a\t\t7", "25/04/03\tx\ty\t1\t\t0"},
       {"100", "7", "8"}},
      {"an undated first row with neither amount keeps its balance",
       {"\tx\ty\t\t\t50", "25/04/03\tx\ty\t1\t\t0"},
       {"50", "51"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    Load(ledger, c.rows);
    ledger.SortByDate();
    EXPECT_EQ(Balances(ledger), SjisLines(c.balances));
    EXPECT_TRUE(ledger.RowAt(ledger.RowCount() - 1).IsEmpty());
  }
}

TEST_F(LedgerTest, SortOfManyRowsKeepsTheTrailingRowLast) {
  // More than 20 rows run the partition sort, which must not move the empty trailing row.
  Lines rows;
  for (int day = 28; day >= 1; --day) {
    rows.push_back("25/04/" + std::to_string(day) + "\tx\ty\t1\t\t0");
  }
  Load(food, rows);
  food.SortByDate();
  ASSERT_EQ(food.RowCount(), 30);
  EXPECT_TRUE(food.RowAt(29).IsEmpty());
  for (int r = 1; r <= 28; ++r) {
    EXPECT_EQ(food.Cell(1, r), "25/04/" + std::to_string(r));
    EXPECT_EQ(food.Cell(6, r), std::to_string(r));
  }
}

TEST_F(LedgerTest, SortThatCannotComputeABalanceKeepsTheOldOnes) {
  const struct {
    const char* name;
    Lines rows;
    std::string message;
  } cases[] = {
      {"a kept balance that is not a number",
       {"25/04/03\tx\ty\t5\t\t1", "25/04/01\tx\ty\t100\t\t2", "25/04/02\tx\ty\t\t\tabc"},
       Sjis("'abc' は整数ではありません")},
      {"an amount too long for 32 bits",
       {"25/04/02\tx\ty\t99999999999\t\t1", "25/04/01\tx\ty\t100\t\t2"},
       Sjis("'99999999999' は整数ではありません")},
      {"a balance leaving 32 bits",
       {"25/04/02\tx\ty\t2147483000\t\t1", "25/04/01\tx\ty\t1000\t\t2"},
       OverflowMessage()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    Load(ledger, c.rows);
    try {
      ledger.SortByDate();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    // Sorted, but no balance rewritten: the old balances moved with their rows.
    EXPECT_EQ(ledger.Cell(1, 1), "25/04/01");
    EXPECT_EQ(ledger.Cell(6, 1), "2");
  }
}

TEST_F(LedgerTest, RemovingARowRepairsTheBalancesBelow) {
  const struct {
    const char* name;
    int row;
    Lines balances;
  } cases[] = {
      {"a debit of 1000 lowers them", 1, {"-200", "-500", "-400"}},
      {"a credit of 200 raises them", 2, {"1000", "700", "800"}},
      {"the last posting leaves the rest", 4, {"1000", "800", "500"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    Load(ledger, kFour);
    ledger.RemoveRow(c.row);
    EXPECT_EQ(Balances(ledger), c.balances);
    EXPECT_EQ(ledger.RowCount(), 5);
    EXPECT_EQ(ledger.SelectedLine(), c.row);
    EXPECT_EQ(ledger.CurrentColumn(), 0);
  }
}

TEST_F(LedgerTest, RemovalThatCannotRepairChangesNothing) {
  const struct {
    const char* name;
    Lines rows;
    std::string message;
  } cases[] = {
      {"a balance below is not a number",
       {"25/04/01\tx\ty\t100\t\t100", "25/04/02\tx\ty\t5\t\t105", "25/04/03\tx\ty\t5\t\tabc"},
       Sjis("'abc' は整数ではありません")},
      {"a balance below leaves 32 bits",
       {"25/04/01\tx\ty\t\t100\t-100", "25/04/02\tx\ty\t5\t\t2147483600"},
       OverflowMessage()},
      {"a balance below is not an integer though nothing changes",
       {"25/04/01\tx\ty\t\t\t0", "25/04/02\tx\ty\t5\t\t1.5"},
       Sjis("'1.5' は整数ではありません")},
      {"a row with text but no balance above the last balance",
       {"25/04/01\tx\ty\t100\t\t100", "25/04/02\tx\ty\t5\t\t", "25/04/03\tx\ty\t5\t\t5"},
       Sjis("'' は整数ではありません")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    Load(ledger, c.rows);
    const Lines before = Rows(ledger);
    try {
      ledger.RemoveRow(1);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(Rows(ledger), before);
  }
}

TEST_F(LedgerTest, RepairsWriteEveryBalanceBelowAsAPlainInteger) {
  // Rows 1 and 4 have neither amount, so removing or dragging them shifts the balances by 0;
  // they are rewritten all the same. The wholly empty row 3 is left as it is.
  const Lines rows = {
      "25/04/01\tx\ty\t\t\t7",  "25/04/02\tx\ty\t\t5\t-0",     "",
      "25/04/03\tx\ty\t\t\t05", "25/04/04\tx\ty\t100\t\t0120",
  };
  const struct {
    const char* name;
    int from;
    int to;  // 0: RemoveRow(from)
    Lines balances;
  } cases[] = {
      {"removing a row without amount", 1, 0, {"0", "", "5", "120"}},
      {"removing the last posting", 5, 0, {"7", "-0", "", "05"}},
      {"removing a credit of 5", 2, 0, {"7", "", "10", "125"}},
      // The empty row goes to the end, as an empty row among the rows that moved up does.
      {"dragging a row without amount down", 1, 4, {"0", "5", "5", "120", ""}},
      {"dragging a debit of 100 below the trailing row", 5, 6, {"7", "-0", "", "05", "105"}},
      {"dragging a row without amount up", 4, 1, {"0", "7", "0", "", "0120"}},
      {"dragging a debit of 100 up", 5, 2, {"7", "107", "100", "", "105"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    Load(ledger, rows);
    if (c.to == 0) {
      ledger.RemoveRow(c.from);
    } else {
      ToolkitMove(ledger, c.from, c.to);
      ledger.LineMoved(c.from, c.to);
    }
    EXPECT_EQ(Balances(ledger), c.balances);
    EXPECT_TRUE(ledger.RowAt(ledger.RowCount() - 1).IsEmpty());
  }
}

TEST_F(LedgerTest, DragThatCannotRepairKeepsEveryBalance) {
  const struct {
    const char* name;
    Lines rows;
    int from, to;
    std::string message;
  } cases[] = {
      {"down past a balance that is not an integer, moving no amount",
       {"25/04/01\tx\ty\t\t\t1", "25/04/02\tx\ty\t5\t\tabc", "25/04/03\tx\ty\t5\t\t6"},
       1,
       3,
       Sjis("'abc' は整数ではありません")},
      {"up past a balance that is not an integer, moving no amount",
       {"25/04/01\tx\ty\t5\t\t5", "25/04/02\tx\ty\t5\t\t1x", "25/04/03\tx\ty\t\t\t6"},
       3,
       1,
       Sjis("'1x' は整数ではありません")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLedgerGrid ledger(host);
    Load(ledger, c.rows);
    ToolkitMove(ledger, c.from, c.to);
    const Lines before = Rows(ledger);
    try {
      ledger.LineMoved(c.from, c.to);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(Rows(ledger), before);
  }
}

TEST_F(LedgerTest, APivotWhoseDateDoesNotReadStopsTheSortAfterItsSwap) {
  // 22 rows with the trailing one: the partition sort runs, its middle is row 11, and the
  // first dated row from there is swapped to row 1 before its date is read.
  const struct {
    const char* name;
    int undatedFrom;  // rows undatedFrom..pivot-1 have no date
    int pivot;
  } cases[] = {
      {"the middle row", 11, 11},
      {"the first dated row after undated ones", 11, 13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Lines rows;
    for (int r = 1; r <= 21; ++r) {
      const std::string date = r == c.pivot                        ? "27/02/30"
                               : r >= c.undatedFrom && r < c.pivot ? ""
                                                                   : "25/05/" + std::to_string(r);
      rows.push_back(date + "\tx\trow " + std::to_string(r) + "\t1\t\t0");
    }
    TLedgerGrid ledger(host);
    ledger.SetCaption(Sjis("食費"));
    Load(ledger, rows);
    Lines expected = Rows(ledger);
    std::swap(expected[0], expected[static_cast<std::size_t>(c.pivot - 1)]);
    try {
      ledger.SortByDate();
      ADD_FAILURE() << "no error";
    } catch (const RowError& e) {
      // The row named is where the date now stands.
      EXPECT_EQ(e.MessageWithRow(), Sjis("'27/02/30' は日付ではありません（食費 の 1 行目）"));
      EXPECT_EQ(&e.Table(), &ledger);
      EXPECT_EQ(e.Row(), 1);
    }
    EXPECT_EQ(Rows(ledger), expected);
  }
}

TEST_F(LedgerTest, DraggingARowUpAndBackRepairsTheBalances) {
  Load(food, kFour);
  // The debit of 100 goes from row 4 to row 2.
  ToolkitMove(food, 4, 2);
  food.LineMoved(4, 2);
  EXPECT_EQ(Column(food, 4), (Lines{"1000", "100", "", ""}));
  EXPECT_EQ(Balances(food), (Lines{"1000", "1100", "900", "600"}));
  EXPECT_EQ(food.SelectedLine(), 2);
  EXPECT_EQ(host.fakeUi.status[1], "cell ( 0 : 2 )");
  EXPECT_EQ(host.fakeUi.status[2], Sjis("2 行目選択"));
  EXPECT_TRUE(host.modified);

  ToolkitMove(food, 2, 4);
  food.LineMoved(2, 4);
  EXPECT_EQ(Rows(food), SjisLines({kFour[0], kFour[1], kFour[2], kFour[3], "\t\t\t\t\t"}));
  EXPECT_EQ(food.SelectedLine(), 4);
}

TEST_F(LedgerTest, TheEmptyTrailingRowStaysLast) {
  {
    SCOPED_TRACE("dragged up to row 2");
    TLedgerGrid ledger(host);
    Load(ledger, kFour);
    ToolkitMove(ledger, 5, 2);
    ledger.LineMoved(5, 2);
    EXPECT_EQ(Rows(ledger), SjisLines({kFour[0], kFour[1], kFour[2], kFour[3], "\t\t\t\t\t"}));
  }
  {
    SCOPED_TRACE("a posting dropped below it");
    TLedgerGrid ledger(host);
    Load(ledger, kFour);
    ToolkitMove(ledger, 2, 5);
    ledger.LineMoved(2, 5);
    EXPECT_EQ(ledger.RowCount(), 6);
    EXPECT_TRUE(ledger.RowAt(5).IsEmpty());
    EXPECT_EQ(Column(ledger, 5), (Lines{"", "300", "", "200"}));
    EXPECT_EQ(Balances(ledger), (Lines{"1000", "700", "800", "600"}));
    EXPECT_EQ(ledger.SelectedLine(), 4);
  }
}

TEST_F(LedgerTest, ARowWithTextButNoBalanceIsNotThrownAway) {
  Load(food, {"25/04/01\tx\ty\t100\t\t100", "25/04/02\tx\ty\t5\t\t"});
  ToolkitMove(food, 2, 1);
  food.LineMoved(2, 1);
  EXPECT_EQ(food.RowCount(), 4);
  EXPECT_EQ(food.Cell(1, 1), "25/04/02");
  EXPECT_EQ(food.Cell(1, 2), "25/04/01");
}

TEST_F(LedgerTest, MoveThatCannotRepairLeavesTheBalances) {
  Load(food,
       {"25/04/01\tx\ty\t100\t\t100", "25/04/02\tx\ty\t5\t\tabc", "25/04/03\tx\ty\t5\t\t110"});
  ToolkitMove(food, 1, 3);
  EXPECT_THROW(food.LineMoved(1, 3), Error);
  EXPECT_EQ(Balances(food), (Lines{"abc", "110", "100"}));
}

TEST_F(LedgerTest, FitColumnsRoundsHalvesToEven) {
  const struct {
    int width;
    std::array<int, 6> widths;
  } cases[] = {
      {120, {8, 20, 30, 12, 12, 12}}, {170, {12, 30, 45, 18, 18, 18}},
      {25, {0, 1, 2, 1, 1, 1}},  // 30 x 0.05 = 1.5 goes up to 2
      {35, {1, 3, 4, 2, 2, 2}},  // 30 x 0.15 = 4.5 goes down to 4
      {10, {0, 0, 0, 0, 0, 0}},  // narrower than the row header
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    EXPECT_EQ(food.FitColumns(c.width), c.widths);
  }
}

TEST_F(LedgerTest, SelectingACellDropsTheSelectedLine) {
  Load(food, kFour);
  food.MousePress(0, 3);
  EXPECT_EQ(food.SelectedLine(), 3);
  food.SelectCell(4, 2);
  EXPECT_EQ(food.SelectedLine(), 0);
  EXPECT_EQ(food.CurrentColumn(), 4);
  EXPECT_EQ(food.CurrentRow(), 2);
  EXPECT_EQ(host.fakeUi.status[1], "cell ( 4 : 2 )");
  EXPECT_EQ(host.fakeUi.status[2], "");
}

TEST_F(LedgerTest, JournalCommandsShowTheJournalWindow) {
  void (TLedgerGrid::*commands[])() = {&TLedgerGrid::CellCopy, &TLedgerGrid::CellPaste,
                                       &TLedgerGrid::LineCopy, &TLedgerGrid::LinePaste,
                                       &TLedgerGrid::LineAdd,  &TLedgerGrid::LineDel,
                                       &TLedgerGrid::PostLine};
  Load(food, kFour);
  const Lines before = Rows(food);
  int shown = 0;
  for (auto command : commands) {
    (food.*command)();
    EXPECT_EQ(host.journalShown, ++shown);
  }
  EXPECT_EQ(Rows(food), before);
}

}  // namespace
}  // namespace engine::testing
