#include <functional>
#include <string>
#include <vector>

#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "journal_fixture.h"

namespace engine::testing {
namespace {

// A journal with the ledgers 食費 and 現金.
class PostingTest : public JournalTest {
 protected:
  TLedgerGrid& food = host.AddLedger(Sjis("食費"));
  TLedgerGrid& cash = host.AddLedger(Sjis("現金"));

  // Loads a ledger file of one opening row whose balance is `balance`.
  void Open(TLedgerGrid& ledger, const std::string& balance) {
    const QString path = PathOf("ledger.txt");
    WriteTextLines(path, {Line({"25/01/01", "開始", "期首", balance, "", balance})});
    ledger.LoadTable(path);
  }

  void PostSelected(int row) {
    SelectLine(row);
    journal.PostLine();
  }
};

TEST_F(PostingTest, PostingAppendsADebitAndACreditRowWithTheirBalances) {
  Open(food, "3000");
  Open(cash, "50000");
  const int row = AddLine({"25/06/05", "1200", "食費", "昼食", "現金", "1200"});
  PostSelected(row);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(journal.IsPosted(row));
  EXPECT_TRUE(host.modified);
  EXPECT_EQ(LedgerRows(food).back(), Line({"25/06/05", "現金", "昼食", "1200", "", "4200"}));
  EXPECT_EQ(LedgerRows(cash).back(), Line({"25/06/05", "食費", "昼食", "", "1200", "48800"}));
  EXPECT_TRUE(food.RowAt(food.RowCount() - 1).IsEmpty());
}

TEST_F(PostingTest, FirstRowsOfEmptyLedgersTakeTheAmountAndItsNegation) {
  const int row = AddLine({"25/06/05", "0120", "食費", "昼食", "現金", "0120"});
  PostSelected(row);
  EXPECT_EQ(LedgerRows(food),
            (std::vector<std::string>{Line({"25/06/05", "現金", "昼食", "0120", "", "0120"})}));
  EXPECT_EQ(LedgerRows(cash),
            (std::vector<std::string>{Line({"25/06/05", "食費", "昼食", "", "0120", "-120"})}));
}

TEST_F(PostingTest, ASideWithoutALedgerGetsNoRow) {
  const int row = AddLine({"25/06/05", "800", "食費", "昼食", "財布", "800"});
  PostSelected(row);
  EXPECT_TRUE(journal.IsPosted(row));
  EXPECT_EQ(LedgerRows(food).size(), 1u);
  EXPECT_TRUE(LedgerRows(cash).empty());

  journal.Unpost(row);
  EXPECT_FALSE(journal.IsPosted(row));
  EXPECT_TRUE(LedgerRows(food).empty());

  // Neither side has a ledger: the row is posted all the same, whatever its amount.
  const int other = AddLine({"25/06/06", "99999999999", "交通費", "x", "財布", "1"});
  PostSelected(other);
  EXPECT_TRUE(journal.IsPosted(other));
}

TEST_F(PostingTest, PostLineExplainsWhatItCannotPost) {
  journal.PostLine();
  const int row = AddLine({"25/06/05", "100", "食費", "", "現金", "100"});
  PostSelected(row);
  journal.SetCell(4, row, Sjis("昼食"));
  PostSelected(row);
  PostSelected(row);
  EXPECT_EQ(ui.messages, Messages({"転記する行を選択してください", "転記する行に空白があります",
                                   "この行は転記済みです"}));
  EXPECT_EQ(LedgerRows(food).size(), 1u);
}

TEST_F(PostingTest, ChangingAPostedAmountTakesItsRowsOutOfTheLedgers) {
  Open(food, "3000");
  const int first = AddLine({"25/06/05", "1200", "食費", "昼食", "現金", "1200"});
  const int second = AddLine({"25/06/06", "100", "食費", "夕食", "現金", "100"});
  EXPECT_TRUE(journal.PostAll());
  EXPECT_EQ(food.Cell(6, 3), "4300");

  host.modified = false;
  EXPECT_TRUE(Type(2, first, "1200"));  // the same text changes nothing
  EXPECT_TRUE(journal.IsPosted(first));
  EXPECT_FALSE(host.modified);

  EXPECT_TRUE(Type(2, first, "1500"));
  EXPECT_FALSE(journal.IsPosted(first));
  EXPECT_TRUE(journal.IsPosted(second));
  EXPECT_EQ(LedgerRows(food),
            (std::vector<std::string>{Line({"25/01/01", "開始", "期首", "3000", "", "3000"}),
                                      Line({"25/06/06", "現金", "夕食", "100", "", "3100"})}));
  EXPECT_EQ(LedgerRows(cash),
            (std::vector<std::string>{Line({"25/06/06", "食費", "夕食", "", "100", "-100"})}));

  EXPECT_TRUE(journal.PostAll());
  EXPECT_EQ(LedgerRows(food).back(), Line({"25/06/05", "現金", "昼食", "1500", "", "4600"}));
  EXPECT_EQ(LedgerRows(cash).back(), Line({"25/06/05", "食費", "昼食", "", "1500", "-1600"}));
}

TEST_F(PostingTest, EveryKindOfEditUnpostsFirst) {
  journal.Subjects().Add(Sjis("食費"));
  journal.Subjects().Add(Sjis("現金"));
  journal.Subjects().Add(Sjis("雑費"));
  const std::vector<std::string> line = {"25/06/05", "1200", "食費", "昼食", "現金", "1200"};
  const struct {
    const char* name;
    std::function<void()> edit;
  } cases[] = {
      {"date", [this] { Type(1, 1, "6"); }},
      {"summary", [this] { Type(4, 1, "夕食"); }},
      {"debit", [this] { Choose(3, 1, "雑費"); }},
      {"credit", [this] { Choose(5, 1, "雑費"); }},
      {"paste", [this] { journal.LinePaste(); }},
      {"delete",
       [this] {
         SelectLine(1);
         journal.LineDel();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AddLine(line);
    ASSERT_TRUE(journal.PostAll());
    ASSERT_EQ(LedgerRows(food).size(), 1u);
    c.edit();
    EXPECT_FALSE(journal.IsPosted(1));
    EXPECT_TRUE(LedgerRows(food).empty());
    EXPECT_TRUE(LedgerRows(cash).empty());
    SelectLine(1);
    journal.LineDel();
  }
}

TEST_F(PostingTest, UnpostingRemovesTheFirstMatchingRowFromTheTop) {
  const std::vector<std::string> line = {"25/06/05", "100", "食費", "昼食", "現金", "100"};
  AddLine(line);
  AddLine({"25/06/05", "7", "食費", "間食", "現金", "7"});
  AddLine(line);
  journal.PostAll();
  EXPECT_EQ(food.Cell(6, 3), "207");
  journal.Unpost(3);
  EXPECT_TRUE(journal.IsPosted(1));
  EXPECT_EQ(LedgerRows(food),
            (std::vector<std::string>{Line({"25/06/05", "現金", "間食", "7", "", "7"}),
                                      Line({"25/06/05", "現金", "昼食", "100", "", "107"})}));
}

TEST_F(PostingTest, PostAllPostsCompleteUnpostedRowsInOrder) {
  LoadLines({{"25/06/01", "10", "食費", "a", "現金", "10"}});
  journal.SetCell(1, 2, Sjis("25/06/02"));
  AddLine({"25/06/02", "20", "食費", "b", "現金", "20"});
  AddLine({"25/06/03", "30", "食費", "", "現金", "30"});
  AddLine({"25/06/04", "40", "食費", "d", "現金", "40"});
  AddLine({"25/06/05"});
  // Row 2 has only a date; rows 3 and 5 are complete, row 4 lacks its summary.
  host.modified = false;
  EXPECT_TRUE(journal.PostAll());
  EXPECT_TRUE(host.modified);
  EXPECT_EQ(LedgerRows(food),
            (std::vector<std::string>{Line({"25/06/02", "現金", "b", "20", "", "20"}),
                                      Line({"25/06/04", "現金", "d", "40", "", "60"})}));
  EXPECT_TRUE(journal.HasUnpostedLines());
  ui.yesNoAnswers = {false};
  EXPECT_FALSE(journal.ReadinessCheck());
  EXPECT_EQ(ui.questions, Messages({"すべて転記しますか ?"}));

  host.modified = false;
  EXPECT_TRUE(journal.PostAll());  // nothing left to post still marks the book
  EXPECT_TRUE(host.modified);
}

TEST_F(PostingTest, APostingThatCannotBeComputedChangesNoLedger) {
  const struct {
    const char* name;
    const char* foodBalance;  // nullptr: an empty ledger
    const char* cashBalance;
    const char* amount;
    std::string message;
  } cases[] = {
      {"amount too long", nullptr, nullptr, "99999999999",
       Sjis("'99999999999' は整数ではありません")},
      {"bad credit balance", "3000", "x", "100", Sjis("'x' は整数ではありません")},
      {"debit overflow", "2147483600", "0", "100", OverflowMessage()},
      {"credit overflow", "0", "-2147483600", "100", OverflowMessage()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost book;
    TJournalGrid& j = book.journal();
    TLedgerGrid& f = book.AddLedger(Sjis("食費"));
    TLedgerGrid& k = book.AddLedger(Sjis("現金"));
    if (c.foodBalance) Open(f, c.foodBalance);
    if (c.cashBalance) Open(k, c.cashBalance);
    const std::vector<std::string> before = {RowText(f, f.RowCount() - 2),
                                             RowText(k, k.RowCount() - 2)};
    const int fRows = f.RowCount(), kRows = k.RowCount();
    j.SetCell(1, 1, "25/06/05");
    j.SetCell(2, 1, c.amount);
    j.SetCell(3, 1, Sjis("食費"));
    j.SetCell(4, 1, Sjis("昼食"));
    j.SetCell(5, 1, Sjis("現金"));
    j.SetCell(6, 1, c.amount);
    j.MousePress(0, 1);
    j.PostLine();
    EXPECT_EQ(book.fakeUi.messages, std::vector<std::string>{c.message});
    EXPECT_FALSE(j.IsPosted(1));
    EXPECT_EQ(f.RowCount(), fRows);
    EXPECT_EQ(k.RowCount(), kRows);
    EXPECT_EQ(RowText(f, f.RowCount() - 2), before[0]);
    EXPECT_EQ(RowText(k, k.RowCount() - 2), before[1]);
    EXPECT_TRUE(f.RowAt(f.RowCount() - 1).IsEmpty());
    EXPECT_THROW(j.PostRow(1), Error);
  }
}

TEST_F(PostingTest, PostAllStopsAtARowThatCannotBePosted) {
  AddLine({"25/06/01", "10", "食費", "a", "現金", "10"});
  AddLine({"25/06/02", "3000000000", "食費", "b", "現金", "3000000000"});
  AddLine({"25/06/03", "30", "食費", "c", "現金", "30"});
  EXPECT_FALSE(journal.PostAll());
  EXPECT_EQ(ui.messages, Messages({"'3000000000' は整数ではありません"}));
  EXPECT_TRUE(journal.IsPosted(1));
  EXPECT_FALSE(journal.IsPosted(2));
  EXPECT_FALSE(journal.IsPosted(3));
  EXPECT_EQ(LedgerRows(food).size(), 1u);
  EXPECT_TRUE(host.modified);

  ui.yesNoAnswers = {true};
  EXPECT_FALSE(journal.ReadinessCheck());  // the save must not go on
}

TEST_F(PostingTest, ALineWithTheSameSubjectOnBothSidesPostsItsDebitOnly) {
  const int row = AddLine({"25/06/05", "50", "現金", "両替", "現金", "50"});
  PostSelected(row);
  EXPECT_TRUE(journal.IsPosted(row));
  EXPECT_EQ(LedgerRows(cash),
            (std::vector<std::string>{Line({"25/06/05", "現金", "両替", "50", "", "50"})}));
  journal.Unpost(row);
  EXPECT_TRUE(LedgerRows(cash).empty());
}

}  // namespace
}  // namespace engine::testing
