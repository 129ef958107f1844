#include "engine/plan/new_year.h"

#include "engine/base/atomic_saver.h"
#include "engine/base/error.h"
#include "engine/plan/budget.h"
#include "engine/plan/recurring.h"
#include "plan_fixture.h"

namespace engine {
namespace {

using testing::FakeUi;
using testing::PlanBookTest;

class NewYearTest : public PlanBookTest {
 protected:
  void SetUp() override {
    PlanBookTest::SetUp();
    Post("25/01/01", "50000", "現金", "元入金");
    Post("25/01/01", "300000", "普通預金", "元入金");
    Post("25/04/25", "250000", "普通預金", "給与");
    Post("25/05/27", "80000", "家賃", "普通預金");
    Post("25/05/02", "4000", "食費", "現金");
    Post("25/05/05", "10000", "食費", "クレジット");
    Post("25/06/10", "6000", "クレジット", "普通預金");
  }

  NewYearRequest Request(const char* name = "家計2026") {
    return {Sjis(name), 2026, {Sjis("現金"), Sjis("普通預金"), Sjis("クレジット")}, Sjis("元入金")};
  }
};

TEST_F(NewYearTest, ClosingBalancesAndWhatIsProposed) {
  std::vector<std::pair<std::string, std::int32_t>> proposed, all;
  for (const ClosingBalance& line : ClosingBalances(book, Sjis("元入金"))) {
    all.emplace_back(line.subject, line.balance);
    if (line.proposed) proposed.emplace_back(line.subject, line.balance);
  }
  using P = std::vector<std::pair<std::string, std::int32_t>>;
  EXPECT_EQ(proposed,
            (P{{Sjis("現金"), 46000}, {Sjis("普通預金"), 464000}, {Sjis("クレジット"), -4000}}));
  EXPECT_EQ(all, (P{{Sjis("現金"), 46000},
                    {Sjis("普通預金"), 464000},
                    {Sjis("食費"), 14000},
                    {Sjis("家賃"), 80000},
                    {Sjis("給与"), -250000},
                    {Sjis("元入金"), -350000},
                    {Sjis("クレジット"), -4000}}));
}

TEST_F(NewYearTest, NewBookOpensWithTheOpeningBalancesAndCopiedSettings) {
  RecurringLines lines(book);
  lines.Load();
  RecurringTemplate rent;
  rent.amount = "80000";
  rent.debit = Sjis("家賃");
  rent.summary = Sjis("家賃");
  rent.credit = Sjis("普通預金");
  rent.schedule.start = QDate(2025, 1, 27);
  rent.schedule.day = 27;
  lines.Add(rent);
  Budget budget{2025, {{Sjis("食費"), {}}}};
  budget.lines[0].months.fill(30000);
  StoreBudget(book, budget);
  Write(P("集計設定.txt"), {"[table]", "0=" + Sjis("食費") + ",1,1,0"});
  ASSERT_TRUE(book.SaveBook());
  const std::string oldJournal = ReadFileBytes(PathFromCp932(P("仕訳帳.txt")));

  const std::string index = CreateNewYearBook(book, Request());
  const std::string newFolder = root + Sjis("家計2026") + "/";
  EXPECT_EQ(index, newFolder + Sjis("家計2026.txt"));
  EXPECT_FALSE(book.Modified());
  EXPECT_EQ(ReadFileBytes(PathFromCp932(P("仕訳帳.txt"))), oldJournal);

  FakeUi newUi;
  Book next(newUi);
  next.OpenBook(index);
  ASSERT_TRUE(next.IsOpen()) << newUi.LastMessage();
  const TJournalGrid& journal = *next.Journal();
  ASSERT_EQ(journal.RowCount(), 5);  // three lines and the empty one
  EXPECT_EQ(journal.RowAt(1).Cells(), (RowTexts{"26/01/01", "46000", Sjis("現金"), Sjis("前期繰越"),
                                                Sjis("元入金"), "46000"}));
  EXPECT_EQ(journal.RowAt(3).Cells(), (RowTexts{"26/01/01", "4000", Sjis("元入金"),
                                                Sjis("前期繰越"), Sjis("クレジット"), "4000"}));
  auto last = [&](const char* subject) {
    TLedgerGrid* ledger = next.FindLedger(Sjis(subject));
    return ledger ? std::string(ledger->Cell(6, ledger->RowCount() - 2)) : std::string("none");
  };
  EXPECT_EQ(last("現金"), "46000");
  EXPECT_EQ(last("普通預金"), "464000");
  EXPECT_EQ(last("クレジット"), "-4000");
  EXPECT_EQ(last("元入金"), "-506000");
  EXPECT_EQ(next.LedgerCount(), 7u);
  EXPECT_EQ(next.FindLedger(Sjis("食費"))->RowCount(), 2);  // no rows: heading and the empty one
  EXPECT_EQ(journal.Subjects().Counterpart(Sjis("食費")), Sjis("現金"));
  EXPECT_TRUE(journal.Summaries().Contains(Sjis("昼食")));
  EXPECT_EQ(next.SettingsPath(), newFolder + Sjis("集計設定.txt"));
  EXPECT_EQ(ReadTextLines(PathFromCp932(next.SettingsPath())).size(), 2u);

  RecurringLines copied(next);
  copied.Load();
  ASSERT_EQ(copied.Templates().size(), 1u);
  EXPECT_EQ(copied.Templates()[0].debit, Sjis("家賃"));
  const Budget nextBudget = LoadBudget(next, 1999);
  EXPECT_EQ(nextBudget.year, 2026);
  EXPECT_EQ(nextBudget.lines, budget.lines);
}

TEST_F(NewYearTest, RefusalsLeaveNoFolderBehind) {
  const std::string newFolder = root + Sjis("家計2026") + "/";
  struct Case {
    const char* what;
    NewYearRequest request;
  };
  NewYearRequest noOpening = Request();
  noOpening.openingSubject.clear();
  NewYearRequest openingTicked = Request();
  openingTicked.subjects.push_back(Sjis("元入金"));
  NewYearRequest badName = Request("../x");
  const Case cases[] = {
      {"no opening subject", noOpening},
      {"opening subject ticked", openingTicked},
      {"a name that leaves the folder", badName},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(CreateNewYearBook(book, c.request), Error) << c.what;
    EXPECT_FALSE(Exists(newFolder)) << c.what;
  }

  QDir().mkpath(PathFromCp932(newFolder));
  try {
    CreateNewYearBook(book, Request());
    ADD_FAILURE() << "an existing folder was written into";
  } catch (const Error& e) {
    EXPECT_EQ(e.Message(), Sjis("同名データが存在します"));
  }
  EXPECT_TRUE(QDir(PathFromCp932(newFolder)).isEmpty());
}

TEST_F(NewYearTest, AWriteThatFailsAnywhereLeavesNoNewFolderAndSaysSo) {
  ASSERT_TRUE(book.SaveBook());
  const std::string oldJournal = ReadFileBytes(PathFromCp932(P("仕訳帳.txt")));
  const std::string newFolder = root + Sjis("家計2026") + "/";
  // The first file written, a ledger in the middle, and the index file written last.
  for (const char* file : {"勘定科目.txt", "普通預金.txt", "家計2026.txt"}) {
    const WriteFaultInjection fault(QString::fromUtf8(file), 10);
    try {
      CreateNewYearBook(book, Request());
      ADD_FAILURE() << file << ": the failed write went unnoticed";
    } catch (const Error& e) {
      EXPECT_NE(e.Message().find(Sjis("ディスクの空き容量が不足しています")), std::string::npos)
          << file;
      EXPECT_NE(e.Message().find(Sjis("新しい家計簿は作成されていません")), std::string::npos)
          << file;
    }
    EXPECT_FALSE(Exists(newFolder)) << file;
  }
  EXPECT_EQ(ReadFileBytes(PathFromCp932(P("仕訳帳.txt"))), oldJournal);
  // Nothing left in the way: the next try makes the book.
  FakeUi newUi;
  Book next(newUi);
  next.OpenBook(CreateNewYearBook(book, Request()));
  EXPECT_TRUE(next.IsOpen()) << newUi.LastMessage();
}

TEST_F(NewYearTest, BalancesThatOverflowAreRefused) {
  Post("25/06/11", "2000000000", "現金", "元入金");
  Post("25/06/11", "2000000000", "普通預金", "給与");
  EXPECT_THROW(CreateNewYearBook(book, Request()), Error);
  EXPECT_FALSE(Exists(root + Sjis("家計2026") + "/"));
}

}  // namespace
}  // namespace engine
