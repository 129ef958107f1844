// Opening damaged, copied and moved books: unreadable lines, a comma-separated journal, byte
// order marks, lists named elsewhere, a missing ledger.
#include <QDir>
#include <functional>

#include "book_fixture.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine::testing {
namespace {

using BookOpenTest = BookTest;

TEST_F(BookOpenTest, UnreadableLinesAreShownAndOpenTheBookReadOnlyUnlessTheUserGoesOn) {
  const std::string index = WriteSample();
  const std::string good = Sjis("25/06/01\t1200\t食費\t昼食\t現金\t1200");
  const Lines journal = {good,
                         Sjis("25/06/02\t300\t食費"),                  // too few fields
                         "",                                           // blank: no data lost
                         Sjis("25/06/03 300 食費 パン 現金 300"),      // no TAB
                         Sjis("25/06/04\t1\t食費\tx\t現金\t1\t余り"),  // seven fields
                         Sjis("25/06/05\t1\t食費\t\t現金\t1")};        // an empty summary
  Write(P("仕訳帳.txt"), journal);
  const std::string original = Bytes(P("仕訳帳.txt"));
  for (const bool goOn : {false, true}) {
    SCOPED_TRACE(goOn);
    book.CloseBook();
    ui.questions.clear();
    ui.yesNoAnswers = {goOn};
    book.OpenBook(index);
    ASSERT_TRUE(book.IsOpen());
    ASSERT_EQ(ui.questions.size(), 1u);
    const std::string& question = ui.questions[0];
    EXPECT_NE(question.find(P("仕訳帳.txt") + "': 4" + Sjis(" 行")), std::string::npos) << question;
    for (const char* at : {" 2 行目", " 4 行目", " 5 行目", " 6 行目"}) {
      EXPECT_NE(question.find(Sjis("仕訳帳.txt") + Sjis(at)), std::string::npos) << at;
    }
    EXPECT_EQ(question.find(Sjis(" 3 行目")), std::string::npos);
    EXPECT_EQ(book.ReadOnly(), !goOn);
    EXPECT_EQ(ui.mainCaption.find(Sjis("（読み取り専用）")) != std::string::npos, !goOn);
  }
  // Going on: the first save keeps the files as they were in a folder beside the book.
  book.SetModified();
  ASSERT_TRUE(book.SaveBook()) << ui.LastMessage();
  const QStringList kept = QDir(PathFromCp932(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_EQ(kept.size(), 1);
  EXPECT_TRUE(kept[0].startsWith(FromCp932(Sjis("家計_元のファイル_"))));
  EXPECT_EQ(Bytes(folder + ToCp932(kept[0]).value() + "/" + Sjis("仕訳帳.txt")), original);
  // The line of seven fields keeps its first six, as it always did.
  EXPECT_EQ(Bytes(P("仕訳帳.txt")), good + "\r\n" + Sjis("25/06/04\t1\t食費\tx\t現金\t1") + "\r\n");
}

TEST_F(BookOpenTest, ACommaSeparatedJournalIsRefused) {
  const std::string index = WriteSample();
  Write(P("仕訳帳.txt"),
        {Sjis("25/06/01,1200,食費,昼食,現金,1200"), "", Sjis("25/06/02,300,食費,パン,現金,300")});
  const Files before = FilesIn(PathFromCp932(folder));
  book.OpenBook(index);
  EXPECT_FALSE(book.IsOpen());
  EXPECT_NE(ui.LastMessage().find(Sjis("カンマで区切られている")), std::string::npos);
  EXPECT_NE(ui.LastMessage().find(P("仕訳帳.txt")), std::string::npos);
  EXPECT_EQ(FilesIn(PathFromCp932(folder)), before);
}

TEST_F(BookOpenTest, AByteOrderMarkIsNoPartOfTheFirstLine) {
  const std::string index = WriteSample();
  const std::string bom = "\xEF\xBB\xBF";
  for (const char* name : {"仕訳帳.txt", "食費.txt", "勘定科目.txt", "摘要.txt"}) {
    const std::string path = P(name);
    WriteFileAtomically(PathFromCp932(path), bom + Bytes(path));
  }
  book.OpenBook(index);
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_TRUE(ui.questions.empty());  // no unreadable line either
  EXPECT_EQ(book.Journal()->Cell(1, 1), "25/06/01");
  EXPECT_EQ(book.LedgerAt(0).Cell(1, 1), "25/06/01");
  EXPECT_EQ(book.Journal()->Subjects().Counterpart(Sjis("食費")), Sjis("現金"));
  EXPECT_EQ(book.Journal()->Summaries().At(0), Sjis("パン"));
}

// A copied book: the index still names the original's lists. A moved one: the original's
// folder is gone. Lists kept elsewhere on purpose (none in the book folder) stay shared.
TEST_F(BookOpenTest, CopiedMovedAndSharedBooksUseTheRightLists) {
  const std::string shared = root + Sjis("共有") + "/";
  QDir().mkpath(PathFromCp932(shared));
  const std::string index = WriteSample();
  Write(shared + Sjis("摘要.txt"), {Sjis("共有の摘要")});
  Write(index, {P("勘定科目.txt"), shared + Sjis("摘要.txt"), "", P("仕訳帳.txt"), P("食費.txt"),
                P("現金.txt")});
  QFile::remove(PathFromCp932(P("摘要.txt")));
  const std::string copyFolder = root + Sjis("コピー") + "/";
  CopyFolder(PathFromCp932(folder), PathFromCp932(copyFolder));
  const std::string copyIndex = copyFolder + Sjis("家計.txt");
  const std::string subjects = Bytes(P("勘定科目.txt"));

  for (const bool useCopy : {false, true}) {
    SCOPED_TRACE(useCopy);
    book.CloseBook();
    ui.questions.clear();
    ui.yesNoAnswers = {useCopy};
    book.OpenBook(copyIndex);
    ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
    ASSERT_EQ(ui.questions.size(), 1u);  // once, naming both subject files
    EXPECT_NE(ui.questions[0].find(P("勘定科目.txt")), std::string::npos);
    EXPECT_NE(ui.questions[0].find(copyFolder + Sjis("勘定科目.txt")), std::string::npos);
    EXPECT_EQ(book.SubjectPath(), (useCopy ? copyFolder : folder) + Sjis("勘定科目.txt"));
    EXPECT_EQ(book.SummaryPath(), shared + Sjis("摘要.txt"));  // no copy of it: shared
    if (!useCopy) {
      // The choice of the named file is not asked again.
      book.CloseBook();
      book.OpenBook(copyIndex);
      EXPECT_EQ(ui.questions.size(), 1u);
      EXPECT_EQ(book.SubjectPath(), folder + Sjis("勘定科目.txt"));
      QFile::remove(PathFromCp932(copyIndex + ".zentabo-shared"));
    }
  }
  // A subject added in the copy changes the copy's list only.
  book.AddSubject(Sjis("交通費"));
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(Bytes(P("勘定科目.txt")), subjects);
  EXPECT_NE(Bytes(copyFolder + Sjis("勘定科目.txt")).find(Sjis("交通費")), std::string::npos);
  EXPECT_EQ(ReadTextLines(PathFromCp932(copyIndex))[0], copyFolder + Sjis("勘定科目.txt"));

  // Moved: the original folder is gone; every file is found in the book folder, unasked.
  book.CloseBook();
  CopyFolder(PathFromCp932(folder), PathFromCp932(root + "moved"));
  QDir(PathFromCp932(folder)).removeRecursively();
  ui.questions.clear();
  book.OpenBook(root + Sjis("moved/家計.txt"));
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(book.SubjectPath(), root + Sjis("moved/勘定科目.txt"));
  EXPECT_EQ(book.LedgerCount(), 2u);
  EXPECT_EQ(book.LedgerAt(1).Cell(6, 2), "-1500");
}

TEST_F(BookOpenTest, AMissingLedgerIsRebuiltFromTheJournalWhenTheUserAgrees) {
  const std::string index = WriteSample();
  const std::string cash = Bytes(P("現金.txt"));
  QFile::remove(PathFromCp932(P("現金.txt")));
  ui.yesNoAnswers = {true};
  book.OpenBook(index);
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_NE(ui.questions[0].find(P("現金.txt")), std::string::npos);
  EXPECT_TRUE(book.Modified());
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(Bytes(P("現金.txt")), cash);
}

TEST_F(BookOpenTest, MessagesQuoteAtMostAHundredBytesOfABadValue) {
  const std::string huge(1 << 20, '9');
  for (const auto& read : {std::function<void()>([&] { ReadDate(huge); }),
                           std::function<void()>([&] { ReadInt(huge); })}) {
    try {
      read();
      ADD_FAILURE() << "a bad value was read";
    } catch (const Error& e) {
      EXPECT_LT(e.Message().size(), 160u);
      EXPECT_NE(e.Message().find(std::string(100, '9') + "\x81\x63"), std::string::npos);
    }
  }
  // A cut never splits a double-byte character.
  EXPECT_EQ(ShortenedText(std::string(99, 'a') + Sjis("あい"), 100),
            std::string(99, 'a') + "\x81\x63");
}

}  // namespace
}  // namespace engine::testing
