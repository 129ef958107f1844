// Two programs on one book: the lock, read-only books, files changed on disk, and a program
// killed at random moments of its save.
#include <signal.h>
#include <sys/types.h>

#include <QProcess>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>
#include <iostream>

#include "book_fixture.h"
#include "engine/app/book_lock.h"
#include "engine/base/text_file.h"
#include "engine/lists/item_list.h"
#include "engine/tables/journal_grid.h"

namespace engine::testing {
namespace {

class BookWritersTest : public BookTest {
 protected:
  QString Folder() const { return PathFromCp932(folder); }

  // Starts the second program on the book and waits until it says `word`.
  void Start(QProcess& child, const char* mode, const std::string& index, const char* word) {
    child.start(ZENTABO_BOOK_CHILD, {mode, PathFromCp932(index)});
    ASSERT_TRUE(child.waitForStarted(30000));
    ASSERT_TRUE(WaitFor(child, word)) << child.readAllStandardError().toStdString();
  }
  static bool WaitFor(QProcess& child, const char* word) {
    while (!child.canReadLine()) {
      if (!child.waitForReadyRead(60000)) return false;
    }
    return child.readLine().startsWith(word);
  }
  static void Kill(QProcess& child) {
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished(30000);
  }
};

TEST_F(BookWritersTest, ABookHeldByAnotherProgramOpensReadOnlyAndRefusesEveryChange) {
  const std::string index = WriteSample();
  QProcess holder;
  Start(holder, "hold", index, "open");
  const Files before = FilesIn(Folder());

  book.OpenBook(index);  // declined: nothing opens
  EXPECT_FALSE(book.IsOpen());
  ASSERT_EQ(ui.questions.size(), 1u);
  const std::string& question = ui.questions[0];
  EXPECT_NE(question.find(std::to_string(holder.processId())), std::string::npos) << question;
  EXPECT_NE(question.find(QSysInfo::machineHostName().toStdString()), std::string::npos);
  EXPECT_NE(question.find(Sjis("読み取り専用で開きますか")), std::string::npos);

  ui.yesNoAnswers = {true};
  book.OpenBook(index);
  ASSERT_TRUE(book.IsOpen());
  EXPECT_TRUE(book.ReadOnly());
  EXPECT_EQ(ui.mainCaption, index + Sjis("（読み取り専用）"));
  const std::string refusal = Sjis("この家計簿は読み取り専用で開かれているため、変更できません");
  TJournalGrid& journal = *book.Journal();
  const std::vector<std::function<void()>> changes = {
      [&] { book.SaveBook(); },
      [&] { book.OperateSortExecute(); },
      [&] { journal.PostAll(); },
      [&] {
        journal.SelectCell(4, 1);
        journal.SetEditorText(Sjis("夕食"));
        journal.CommitEditor();
      },
      [&] { journal.MoveRow(1, 2); },
      [&] {
        SubjectList subjects(book);
        subjects.SetName(Sjis("交通費"));
        subjects.Add();
      },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    ui.messages.clear();
    changes[i]();
    EXPECT_EQ(ui.messages, Lines{refusal});
  }
  EXPECT_EQ(journal.Cell(4, 1), Sjis("昼食"));
  EXPECT_EQ(book.LedgerCount(), 2u);
  EXPECT_FALSE(book.Modified());
  book.CloseBook();
  EXPECT_EQ(FilesIn(Folder()), before);
  holder.write("\n");
  holder.waitForFinished(30000);
}

TEST_F(BookWritersTest, TheLockOfAProgramThatDiedIsTakenOver) {
  const std::string index = WriteSample();
  QProcess holder;
  Start(holder, "hold", index, "open");
  Kill(holder);
  book.OpenBook(index);
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_FALSE(book.ReadOnly());
  EXPECT_TRUE(ui.questions.empty());
  // And this book's lock now keeps the next program out.
  QProcess second;
  second.start(ZENTABO_BOOK_CHILD, {"hold", PathFromCp932(index)});
  ASSERT_TRUE(second.waitForFinished(60000));
  EXPECT_EQ(second.exitCode(), 3);
}

// A lock left by a program on another computer (the book on a shared or synced folder) can't
// be checked for a live process from here, so it is never taken over: the book opens only
// read-only, and the question names that computer.
TEST_F(BookWritersTest, TheLockOfAProgramOnAnotherComputerIsNeverTakenOver) {
  const std::string index = WriteSample();
  const QString lock = BookLock::LockPathOf(PathFromCp932(index));
  // The lock file as Qt writes it: process, program, computer (a process number no program
  // has here).
  WriteFileAtomically(lock, "999999\nzentabo\nother-computer\n");
  ui.yesNoAnswers = {true};
  book.OpenBook(index);
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_TRUE(book.ReadOnly());
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_NE(ui.questions[0].find("other-computer"), std::string::npos) << ui.questions[0];
  EXPECT_NE(ui.questions[0].find("999999"), std::string::npos);
  book.CloseBook();
  EXPECT_EQ(ReadFileBytes(lock), "999999\nzentabo\nother-computer\n");
}

TEST_F(BookWritersTest, AFileChangedOnDiskIsAskedAboutBeforeItIsOverwritten) {
  const std::string index = WriteSample();
  const std::string theirs = Sjis("25/06/03\t80\t食費\t飴\t現金\t80");
  const struct {
    Ui::Answer answer;
    bool saved;
    std::string journalCell;  // row 3, column 4 afterwards
  } cases[] = {
      {Ui::Answer::Cancel, false, ""},
      {Ui::Answer::No, true, ""},            // overwritten: their line is gone
      {Ui::Answer::Yes, false, Sjis("飴")},  // reloaded: their line is in, ours gone
  };
  for (const auto& c : cases) {
    book.CloseBook();
    ui.questions.clear();
    WriteSample();
    book.OpenBook(index);
    book.Journal()->SetCell(4, 1, Sjis("夕食"));
    book.SetModified();
    const std::string before = Bytes(P("仕訳帳.txt"));
    QThread::msleep(20);  // a later time as well as other bytes
    Write(P("仕訳帳.txt"), {Sjis("25/06/01\t1200\t食費\t昼食\t現金\t1200"),
                            Sjis("25/06/02\t300\t食費\tパン\t現金\t300"), theirs});
    book.CheckFilesOnDisk();
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_NE(ui.questions[0].find(P("仕訳帳.txt")), std::string::npos);
    book.CheckFilesOnDisk();  // the same change is asked about once
    EXPECT_EQ(ui.questions.size(), 1u);

    ui.yesNoCancelAnswers = {c.answer};
    EXPECT_EQ(book.SaveBook(), c.saved);
    EXPECT_EQ(ui.questions.size(), 2u);
    const std::string journal = Bytes(P("仕訳帳.txt"));
    EXPECT_EQ(journal.find(theirs) != std::string::npos, !c.saved);
    ASSERT_TRUE(book.IsOpen());
    EXPECT_EQ(book.Journal()->Cell(4, 3), c.journalCell);
  }
}

// Kills a program at random moments of its save, many times: every reopened book must be the
// old one or the new one, file for file.
TEST_F(BookWritersTest, AProgramKilledDuringItsSaveLeavesTheOldOrTheNewBook) {
  // A book whose every file changes at the save: lines out of date order (the program sorts
  // them) in the journal and each ledger.
  Lines journal;
  const char* subjects[] = {"食費", "交通費", "光熱費", "通信費", "雑費"};
  std::map<std::string, Lines> ledgers;
  for (int i = 60; i >= 1; --i) {
    const std::string date = "25/" + std::string(i / 28 + 1 < 10 ? "0" : "") +
                             std::to_string(i / 28 + 1) + "/" + (i % 28 + 1 < 10 ? "0" : "") +
                             std::to_string(i % 28 + 1);
    const std::string subject = Sjis(subjects[i % 5]);
    journal.push_back(date + "\t100\t" + subject + "\tx\t" + Sjis("現金") + "\t100");
    ledgers[subject].push_back(date + "\t" + Sjis("現金") + "\tx\t100\t\t100");
    ledgers[Sjis("現金")].push_back(date + "\t" + subject + "\tx\t\t100\t-100");
  }
  Lines index = {P("勘定科目.txt"), P("摘要.txt"), "", P("仕訳帳.txt")};
  Lines subjectLines;
  Write(P("仕訳帳.txt"), journal);
  for (const auto& [subject, lines] : ledgers) {
    Write(folder + subject + ".txt", lines);
    index.push_back(folder + subject + ".txt");
    subjectLines.push_back(subject);
  }
  Write(P("勘定科目.txt"), subjectLines);
  Write(P("摘要.txt"), {"x"});
  Write(P("家計.txt"), index);
  const QString original = dir.filePath("original");
  CopyFolder(Folder(), original);
  const Files old = FilesIn(Folder());

  // One whole run gives the new book and how long its save takes.
  QProcess whole;
  Start(whole, "save", P("家計.txt"), "saving");
  ASSERT_TRUE(whole.waitForFinished(60000));
  const QByteArray report = whole.readAllStandardOutput();  // "saved <microseconds>"
  ASSERT_TRUE(report.startsWith("saved ")) << report.toStdString();
  const auto saveTime = static_cast<quint32>(report.mid(6).trimmed().toUInt()) + 1;
  const Files saved = FilesIn(Folder());
  ASSERT_NE(saved, old);

  int trials = 0, oldBooks = 0, newBooks = 0, inside = 0;
  QRandomGenerator random(17);
  for (; trials < 320; ++trials) {
    QDir(Folder()).removeRecursively();
    CopyFolder(original, Folder());
    QProcess child;
    Start(child, "save", P("家計.txt"), "saving");
    // Anywhere from the start of the save to a little after its end on this machine.
    QThread::usleep(random.bounded(saveTime + saveTime / 2));
    Kill(child);
    const bool finished = child.readAllStandardOutput().contains("saved");
    if (!finished) ++inside;

    FakeUi reopenUi;
    Book reopened(reopenUi);
    reopened.OpenBook(P("家計.txt"));
    ASSERT_TRUE(reopened.IsOpen()) << reopenUi.LastMessage();
    reopened.CloseBook();
    const Files files = FilesIn(Folder());
    if (files == old) {
      ++oldBooks;
    } else if (files == saved) {
      ++newBooks;
    } else {
      ADD_FAILURE() << "trial " << trials << ": a mixed book";
    }
  }
  std::cout << "kills: " << trials << ", inside the save: " << inside << ", old books: " << oldBooks
            << ", new books: " << newBooks << "\n";
  EXPECT_EQ(oldBooks + newBooks, trials);
  // The kills must have fallen on both sides of the commit, or the test proved little.
  EXPECT_GT(oldBooks, 0);
  EXPECT_GT(newBooks, 0);
}

}  // namespace
}  // namespace engine::testing
