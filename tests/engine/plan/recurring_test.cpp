#include "engine/plan/recurring.h"

#include "engine/base/error.h"
#include "engine/import/import_profile.h"
#include "engine/import/import_rules.h"
#include "engine/plan/budget.h"
#include "engine/plan/plan_file.h"
#include "plan_fixture.h"

namespace engine {
namespace {

using testing::PlanBookTest;

RecurringTemplate Rent() {
  RecurringTemplate t;
  t.amount = "80000";
  t.debit = Sjis("家賃");
  t.summary = Sjis("5月分");
  t.credit = Sjis("普通預金");
  t.schedule.day = 27;
  t.schedule.rule = BusinessDayRule::Before;
  t.schedule.start = QDate(2025, 3, 1);
  t.post = true;
  return t;
}

using RecurringTest = PlanBookTest;

TEST_F(RecurringTest, DueListAfterEnterSkipAndPostpone) {
  RecurringLines lines(book);
  lines.Load();
  lines.Add(Rent());
  // 27 April 2025 is a Sunday: due on Friday the 25th. Today is 14 June.
  std::vector<DueOccurrence> due = lines.Due(QDate(2025, 6, 14));
  ASSERT_EQ(due.size(), 3u);
  EXPECT_EQ(due[0].due, QDate(2025, 3, 27));
  EXPECT_EQ(due[1].due, QDate(2025, 4, 25));
  EXPECT_EQ(due[2].due, QDate(2025, 5, 27));

  ASSERT_TRUE(lines.Enter(due[0]));
  lines.Skip(due[1]);
  lines.Postpone(due[2], QDate(2025, 6, 20));
  EXPECT_TRUE(lines.Due(QDate(2025, 6, 14)).empty());
  // The postponed one comes back on its day, with the next month's.
  due = lines.Due(QDate(2025, 6, 27));
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].nominal, QDate(2025, 5, 27));
  EXPECT_EQ(due[0].due, QDate(2025, 6, 20));
  EXPECT_EQ(due[1].due, QDate(2025, 6, 27));

  // Moving the day after what was dealt with doesn't bring back the months before.
  RecurringTemplate moved = Rent();
  moved.schedule.day = 25;
  lines.Replace(0, moved);
  due = lines.Due(QDate(2025, 6, 27));
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].due, QDate(2025, 5, 23));  // the postponed May, on the new day's Friday
  EXPECT_EQ(due[1].due, QDate(2025, 6, 25));

  // The entered line went through posting: both ledgers have it.
  EXPECT_EQ(Ledger("家賃").Cell(6, 1), "80000");
  EXPECT_EQ(Ledger("普通預金").Cell(6, 1), "-80000");
  TJournalGrid& journal = *book.Journal();
  EXPECT_EQ(journal.Cell(1, 1), "25/03/27");
  EXPECT_TRUE(journal.IsPosted(1));
  EXPECT_TRUE(journal.RowAt(journal.RowCount() - 1).IsEmpty());
  EXPECT_TRUE(book.Modified());
}

TEST_F(RecurringTest, StateIsWrittenWithTheBookAndReadBackOnReopening) {
  RecurringLines lines(book);
  lines.Load();
  RecurringTemplate variable = Rent();
  variable.amount.clear();
  variable.askAmount = true;
  variable.post = false;
  lines.Add(variable);
  const auto due = lines.Due(QDate(2025, 6, 14));
  ASSERT_EQ(due.size(), 3u);
  // A variable amount must be given; a refused one records nothing.
  EXPECT_FALSE(lines.Enter(due[0], ""));
  EXPECT_FALSE(lines.Enter(due[0], "12a"));
  EXPECT_EQ(ui.LastMessage(), Sjis("金額は数値のみを入力してください"));
  ASSERT_TRUE(lines.Enter(due[0], "81234"));
  lines.Skip(due[1]);
  EXPECT_FALSE(book.Journal()->IsPosted(1));
  EXPECT_FALSE(Exists(P(RecurringFileName())));  // waits for the save

  ASSERT_TRUE(book.SaveBook());
  ASSERT_TRUE(Exists(P(RecurringFileName())));
  const std::string index = book.IndexPath();
  book.CloseBook();
  book.OpenBook(index);
  RecurringLines again(book);
  again.Load();
  ASSERT_EQ(again.Templates().size(), 1u);
  EXPECT_EQ(again.Templates()[0], lines.Templates()[0]);
  const auto left = again.Due(QDate(2025, 6, 14));
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].nominal, QDate(2025, 5, 27));
  EXPECT_EQ(book.Journal()->Cell(2, 1), "81234");
}

TEST_F(RecurringTest, ClosingWithoutSavingForgetsWhatWasEntered) {
  RecurringLines lines(book);
  lines.Load();
  lines.Add(Rent());
  ASSERT_TRUE(lines.Enter(lines.Due(QDate(2025, 6, 14))[0]));
  const std::string index = book.IndexPath();
  book.CloseBook();
  book.OpenBook(index);
  RecurringLines again(book);
  again.Load();
  EXPECT_TRUE(again.Templates().empty());
}

// Undo takes back an entered line together with its occurrence, which is due again, and a
// change of the templates; a budget's change is a step of its own.
TEST_F(RecurringTest, UndoTakesBackTheFilesBesideTheBookWithTheLines) {
  RecurringLines lines(book);
  lines.Load();
  lines.Add(Rent());
  ASSERT_TRUE(lines.Enter(lines.Due(QDate(2025, 6, 14))[0]));
  EXPECT_EQ(book.Changes()->UndoLabel(), Sjis("定期的な取引の記入"));
  Budget budget;
  budget.year = 2025;
  budget.lines.push_back({Sjis("家賃"), {}});
  budget.lines[0].months.fill(80000);
  StoreBudget(book, budget);
  EXPECT_EQ(book.Changes()->UndoLabel(), Sjis("予算の変更"));

  ASSERT_TRUE(book.Undo());
  EXPECT_TRUE(LoadBudget(book, 2025).lines.empty());
  ASSERT_TRUE(book.Undo());
  EXPECT_TRUE(book.Journal()->RowAt(1).IsEmpty());
  EXPECT_EQ(Ledger("家賃").Cell(6, 1), "");
  lines.Load();
  EXPECT_EQ(lines.Due(QDate(2025, 6, 14)).size(), 3u);
  ASSERT_TRUE(book.Undo());  // the template added
  lines.Load();
  EXPECT_TRUE(lines.Templates().empty());
  EXPECT_FALSE(book.Modified());

  ASSERT_TRUE(book.Redo());
  ASSERT_TRUE(book.Redo());
  ASSERT_TRUE(book.Redo());
  lines.Load();
  EXPECT_EQ(lines.Due(QDate(2025, 6, 14)).size(), 2u);
  EXPECT_EQ(LoadBudget(book, 2025), budget);
  // Undone after the save, a step takes the file back to what it held before.
  ASSERT_TRUE(book.SaveBook());
  ASSERT_TRUE(book.Undo());
  EXPECT_TRUE(LoadBudget(book, 2025).lines.empty());
  EXPECT_TRUE(book.Modified());
}

// A rename reaches every file beside the book that names the subject: the budget and the
// templates with the book's own steps, the import's rules and profiles by renaming what they
// hold when the rename is done or undone (the import window writes them in between).
TEST_F(RecurringTest, RenameReachesBudgetsTemplatesRulesAndProfiles) {
  RecurringLines lines(book);
  lines.Load();
  lines.Add(Rent());
  Budget budget;
  budget.year = 2025;
  budget.lines = {{Sjis("家賃"), {}}, {Sjis("食費"), {}}};
  budget.lines[0].months.fill(80000);
  budget.lines[1].months.fill(30000);
  StoreBudget(book, budget);
  ASSERT_TRUE(book.SaveBook());
  const import::RuleFile rules(book.ImportRulePath());
  import::ImportRule rule{Sjis("家賃"), true, {}, {}, import::Direction::Out, Sjis("家賃"), ""};
  import::ImportRule other = rule;
  other.pattern = other.subject = Sjis("食費");
  rules.Save({rule, other}, {});
  import::ImportProfile card;
  card.name = Sjis("銀行");
  card.account = Sjis("家賃");  // not a likely account, but a subject the rename must reach
  const import::ProfileStore profiles(book.ImportProfilePath());
  profiles.Save(card);

  auto state = [&] {
    lines.Load();
    std::vector<import::ImportRule> r;
    import::ImportSettings settings;
    rules.Load(r, settings);
    return std::vector<std::string>{LoadBudget(book, 2025).lines[0].subject,
                                    LoadBudget(book, 2025).lines[1].subject,
                                    lines.Templates()[0].debit,
                                    lines.Templates()[0].credit,
                                    r[0].subject,
                                    r[1].subject,
                                    profiles.Load()[0].account};
  };
  const std::vector<std::string> before = state();
  ASSERT_TRUE(book.RenameSubject(Sjis("家賃"), Sjis("住居費")));
  const std::string rent = Sjis("住居費"), food = Sjis("食費"), bank = Sjis("普通預金");
  // The import's files wait for the save or the import window.
  EXPECT_EQ(state(),
            (std::vector<std::string>{rent, food, rent, bank, before[4], food, before[6]}));
  book.WritePendingImportFiles();
  const std::vector<std::string> after{rent, food, rent, bank, rent, food, rent};
  EXPECT_EQ(state(), after);

  ASSERT_TRUE(book.Undo());
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(state(), before);
  ASSERT_TRUE(book.Redo());
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(state(), after);
  EXPECT_EQ(profiles.Load()[0], [&] {
    card.account = rent;
    return card;
  }());
}

TEST_F(RecurringTest, DeletedSubjectIsListedButNotEntered) {
  RecurringLines lines(book);
  lines.Load();
  lines.Add(Rent());
  book.DeleteSubject(Sjis("家賃"));
  const auto due = lines.Due(QDate(2025, 4, 1));
  ASSERT_EQ(due.size(), 1u);
  EXPECT_FALSE(due[0].problem.empty());
  EXPECT_FALSE(lines.Enter(due[0]));
  EXPECT_EQ(ui.LastMessage(), due[0].problem);
  EXPECT_TRUE(book.Journal()->RowAt(1).IsEmpty());
  EXPECT_EQ(lines.Due(QDate(2025, 4, 1)).size(), 1u);
}

TEST_F(RecurringTest, TemplateFromTheSelectedJournalLine) {
  Post("25/06/05", "1200", "食費", "現金");
  RecurringLines lines(book);
  lines.Load();
  book.Journal()->CellSelected(0, 1);  // the row header: the line is selected
  const auto index = lines.AddFromSelectedLine();
  ASSERT_TRUE(index.has_value()) << ui.LastMessage();
  const RecurringTemplate& t = lines.Templates()[*index];
  EXPECT_EQ(t.amount, "1200");
  EXPECT_EQ(t.debit, Sjis("食費"));
  EXPECT_EQ(t.credit, Sjis("現金"));
  EXPECT_EQ(t.schedule.day, 5);
  // The line itself is June's: the template first falls due in July.
  EXPECT_TRUE(lines.Due(QDate(2025, 7, 4)).empty());
  EXPECT_EQ(lines.Due(QDate(2025, 7, 5)).size(), 1u);

  book.Journal()->CellSelected(1, 2);  // the empty line
  EXPECT_FALSE(lines.AddFromSelectedLine().has_value());
  EXPECT_EQ(lines.Templates().size(), 1u);
}

TEST_F(RecurringTest, DamagedFilesAreRefusedAndTheBookIsUntouched) {
  const std::string good = RecurringFileImage({Rent()});
  const std::string cases[] = {
      "amount=1\r\n",             // an entry before any section
      "[1]\r\nnot an entry\r\n",  // a line that is neither
      std::string(good).replace(good.find("monthly"), 7, "daily"),
      std::string(good).replace(good.find("2025/03/01"), 10, "2025/02/30"),
      std::string(good).replace(good.find("day=27"), 6, "day=40"),
      std::string(good).replace(good.find("amount=80000"), 12, "amount=8x"),
  };
  for (const std::string& image : cases) {
    WriteFileAtomically(PathFromCp932(P(RecurringFileName())), image);
    RecurringLines lines(book);
    EXPECT_THROW(lines.Load(), Error) << image;
    EXPECT_FALSE(book.Modified());
  }
  EXPECT_EQ(ParseRecurringFile(good), std::vector<RecurringTemplate>{Rent()});
}

TEST_F(RecurringTest, AThirtyYearWeeklyScheduleIsBounded) {
  RecurringLines lines(book);
  lines.Load();
  RecurringTemplate weekly = Rent();
  weekly.schedule.frequency = Schedule::Frequency::Weekly;
  weekly.schedule.start = QDate(1995, 1, 1);
  weekly.schedule.weekday = 3;
  weekly.schedule.rule = BusinessDayRule::AsIs;
  lines.Add(weekly);
  bool truncated = false;
  const auto due = lines.Due(QDate(2025, 6, 14), &truncated);
  EXPECT_GT(due.size(), RecurringLines::kDueWarning);
  EXPECT_LE(due.size(), RecurringLines::kDueLimit);
  EXPECT_EQ(due.front().due, QDate(1995, 1, 4));
  EXPECT_LE(due.back().due, QDate(2025, 6, 14));
  // Once the old ones are dealt with, the latest are still found, however long the past.
  for (const QDate& day : NominalDates(weekly.schedule, QDate(2025, 5, 31), 5000))
    weekly.handled.insert(day);
  const auto left = DueOccurrences({weekly}, book, QDate(2025, 6, 14), 10);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].due, QDate(2025, 6, 4));
  EXPECT_EQ(left[1].due, QDate(2025, 6, 11));
}

}  // namespace
}  // namespace engine
