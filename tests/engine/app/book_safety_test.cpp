// Backups, Save As and crash recovery: a book on disk, saved, copied and recovered.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "book_fixture.h"
#include "engine/app/app_folder.h"
#include "engine/app/book.h"
#include "engine/app/book_backup.h"
#include "engine/app/book_recovery.h"
#include "engine/base/atomic_saver.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "engine/import/import_history.h"
#include "engine/import/import_profile.h"
#include "engine/import/import_rules.h"
#include "engine/import/import_session.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "fake_ui.h"

namespace engine {
namespace {

using testing::FakeUi;
using testing::Lines;

// The book "家計" with one posted line, as the backups, copies and recoveries start from.
class BookSafetyTest : public testing::BookTest {
 protected:
  void SetUp() override {
    BookTest::SetUp();
    Write(P("仕訳帳.txt"), {Sjis("25/06/01\t1200\t食費\t昼食\t現金\t1200")});
    Write(P("食費.txt"), {Sjis("25/06/01\t現金\t昼食\t1200\t\t1200")});
    Write(P("現金.txt"), {Sjis("25/06/01\t食費\t昼食\t\t1200\t-1200")});
    Write(P("勘定科目.txt"), {Sjis("現金"), Sjis("食費\t現金")});
    Write(P("摘要.txt"), {Sjis("昼食")});
    Write(P("集計設定.txt"), {"[Settings]"});
    Write(Index(), {P("勘定科目.txt"), P("摘要.txt"), P("集計設定.txt"), P("仕訳帳.txt"),
                    P("食費.txt"), P("現金.txt")});
  }

  std::string Index() const { return P("家計.txt"); }

  void Open() {
    book.OpenBook(Index());
    ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  }
  // Types an amount into the journal's row 1 and stores it.
  void SetAmount(const std::string& amount) {
    TJournalGrid& j = *book.Journal();
    j.SelectCell(2, 1);
    j.SetEditorText(amount);
    j.CommitEditor();
  }
  void SaveWithAmount(const std::string& amount) {
    SetAmount(amount);
    ASSERT_TRUE(book.Journal()->PostAll());
    ASSERT_TRUE(book.SaveBook()) << ui.LastMessage();
  }
};

TEST_F(BookSafetyTest, EachSaveKeepsThePreviousGenerationAsAnOpenableBook) {
  Open();
  book.SetBackupCount(3);
  const std::string first = Bytes(P("仕訳帳.txt"));
  SaveWithAmount("1300");
  std::vector<BackupInfo> backups = ListBackups(folder);
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].journalLines, 1);
  const std::string kept = BackupRoot(folder) + backups[0].name + "/";
  EXPECT_EQ(Bytes(kept + Sjis("仕訳帳.txt")), first);
  EXPECT_NE(Bytes(P("仕訳帳.txt")), first);

  // The backup opens as a book of its own, reading only its own files.
  FakeUi otherUi;
  Book other(otherUi);
  other.OpenBook(backups[0].index);
  ASSERT_TRUE(other.IsOpen()) << otherUi.LastMessage();
  EXPECT_EQ(other.Journal()->Cell(2, 1), "1200");
  EXPECT_EQ(other.SubjectPath(), kept + Sjis("勘定科目.txt"));
  other.CloseBook();

  // Rotation keeps the newest three.
  for (const char* amount : {"1400", "1500", "1600", "1700"}) SaveWithAmount(amount);
  backups = ListBackups(folder);
  ASSERT_EQ(backups.size(), 3u);
  Lines amounts;
  for (const BackupInfo& b : backups) {
    FakeUi u;
    Book b2(u);
    b2.OpenBook(b.index);
    amounts.push_back(std::string(b2.Journal()->Cell(2, 1)));
  }
  EXPECT_EQ(amounts, (Lines{"1600", "1500", "1400"}));
}

TEST_F(BookSafetyTest, ABackupThatCannotBeWrittenIsReportedAndTheSaveGoesOn) {
  Open();
  book.SetBackupCount(10);
  // A file where the backup folder should be: nothing can be created under it.
  Write(BackupRoot(folder).substr(0, BackupRoot(folder).size() - 1), {"in the way"});
  SetAmount("1300");
  ASSERT_TRUE(book.Journal()->PostAll());
  EXPECT_TRUE(book.SaveBook());
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().rfind(Sjis("バックアップを作成できませんでした"), 0), 0u);
  EXPECT_FALSE(book.Modified());
  EXPECT_NE(Bytes(P("仕訳帳.txt")).find("1300"), std::string::npos);
}

TEST_F(BookSafetyTest, RestoreBringsBackAGenerationAndKeepsTheCurrentOneAsABackup) {
  Open();
  book.SetBackupCount(5);
  SaveWithAmount("1300");
  SaveWithAmount("1400");
  const std::vector<BackupInfo> backups = ListBackups(folder);
  ASSERT_EQ(backups.size(), 2u);
  const std::string oldest = backups.back().name;  // the first generation, 1200
  book.RestoreBackup(oldest);
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_EQ(book.Journal()->Cell(2, 1), "1200");
  EXPECT_EQ(book.FindLedger(Sjis("食費"))->Cell(4, 1), "1200");
  EXPECT_FALSE(book.Modified());
  // The index names the book's own files again, and the replaced state is a backup now.
  EXPECT_EQ(ReadTextLines(PathFromCp932(Index()))[3], P("仕訳帳.txt"));
  const std::vector<BackupInfo> after = ListBackups(folder);
  ASSERT_EQ(after.size(), 3u);
  FakeUi u;
  Book replaced(u);
  replaced.OpenBook(after.front().index);
  EXPECT_EQ(replaced.Journal()->Cell(2, 1), "1400");
}

TEST_F(BookSafetyTest, ARestoreThatFailsHalfwayLeavesTheBookAsItWas) {
  Open();
  book.SetBackupCount(5);
  SaveWithAmount("1300");
  const std::string journal = Bytes(P("仕訳帳.txt")), index = Bytes(Index());
  {
    // The disk fills while the ledger, written after the journal, is put aside.
    WriteFaultInjection full(QString::fromUtf8("現金.txt"), 0);
    book.RestoreBackup(ListBackups(folder).front().name);
  }
  EXPECT_EQ(ui.LastMessage().rfind(Sjis("バックアップから復元できませんでした"), 0), 0u);
  EXPECT_EQ(Bytes(P("仕訳帳.txt")), journal);
  EXPECT_EQ(Bytes(Index()), index);
  ASSERT_TRUE(book.IsOpen());
  EXPECT_EQ(book.Journal()->Cell(2, 1), "1300");
}

TEST_F(BookSafetyTest, SaveAsWritesTheWholeBookBesideTheOldOneAndSwitchesToIt) {
  Open();
  SetAmount("1300");
  const std::string oldJournal = Bytes(P("仕訳帳.txt"));
  const struct {
    std::string name;
    std::string message;  // empty: saved
  } cases[] = {
      {"", Sjis("家計簿名を入力してください")},
      {"a/b", Sjis("家計簿名に「/」「\\」や「.」「..」は使用できません")},
      {Sjis("家計"), Sjis("同名データが存在します")},
      {Sjis("家計2026"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ui.messages.clear();
    ui.yesNoAnswers = {true};  // post the changed line
    const bool stays = book.SaveBookAs(c.name);
    EXPECT_EQ(stays, !c.message.empty());
    if (!c.message.empty()) {
      EXPECT_EQ(ui.LastMessage(), c.message);
      continue;
    }
    const std::string copy = root + Sjis("家計2026") + "/";
    EXPECT_EQ(book.IndexPath(), copy + Sjis("家計2026.txt"));
    EXPECT_EQ(book.SubjectPath(), copy + Sjis("勘定科目.txt"));
    EXPECT_EQ(book.SettingsPath(), copy + Sjis("集計設定.txt"));
    EXPECT_FALSE(book.Modified());
    EXPECT_EQ(ui.mainCaption, book.IndexPath());
    for (const char* file : {"仕訳帳.txt", "食費.txt", "現金.txt", "勘定科目.txt", "摘要.txt",
                             "集計設定.txt", "家計2026.txt"}) {
      EXPECT_TRUE(Exists(copy + Sjis(file))) << file;
    }
    EXPECT_NE(Bytes(copy + Sjis("仕訳帳.txt")).find("1300"), std::string::npos);
    EXPECT_EQ(Bytes(P("仕訳帳.txt")), oldJournal);  // the old book is untouched
    // The copy opens on its own.
    book.CloseBook();
    book.OpenBook(copy + Sjis("家計2026.txt"));
    ASSERT_TRUE(book.IsOpen());
    EXPECT_EQ(book.FindLedger(Sjis("食費"))->Cell(4, 1), "1300");
  }
}

TEST_F(BookSafetyTest, SaveAsOfAReadOnlyBookMakesALockedCopyWithTheFilesBesideIt) {
  Write(P("定期取引.ini"), {"[Templates]"});
  Write(P("明細取込ルール.ini"), {"[Rules]"});
  // Another program holds the book: this one may only read it.
  FakeUi otherUi;
  Book holder(otherUi);
  holder.OpenBook(Index());
  ASSERT_FALSE(holder.ReadOnly());
  book.OpenBook(Index(), Book::OpenMode::ReadOnly);
  ASSERT_TRUE(book.ReadOnly());
  EXPECT_FALSE(book.SaveBook());

  EXPECT_FALSE(book.SaveBookAs(Sjis("家計コピー")));
  const std::string copy = root + Sjis("家計コピー") + "/";
  ASSERT_EQ(book.IndexPath(), copy + Sjis("家計コピー.txt")) << ui.LastMessage();
  EXPECT_FALSE(book.ReadOnly());
  EXPECT_EQ(ui.mainCaption, book.IndexPath());
  for (const char* file : {"定期取引.ini", "明細取込ルール.ini"})
    EXPECT_EQ(Bytes(copy + Sjis(file)), Bytes(P(file))) << file;
  // The copy is this program's to change; a second program gets it read-only.
  SetAmount("1500");
  ASSERT_TRUE(book.Journal()->PostAll());
  EXPECT_TRUE(book.SaveBook()) << ui.LastMessage();
  FakeUi thirdUi;
  thirdUi.yesNoAnswers = {true};  // open it read-only
  Book third(thirdUi);
  third.OpenBook(book.IndexPath());
  EXPECT_TRUE(third.ReadOnly());
  EXPECT_NE(Bytes(P("仕訳帳.txt")).find("1200"), std::string::npos);
}

TEST_F(BookSafetyTest, AKilledProgramsUnsavedStateIsOfferedOnOpen) {
  const struct {
    const char* name;
    bool restore;
  } cases[] = {{"restored", true}, {"discarded", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // The child edits and adds a subject, writes its recovery file and is killed.
      FakeUi childUi;
      Book childBook(childUi);
      childBook.OpenBook(Index());
      childBook.AddSubject(Sjis("交通費"));
      TJournalGrid& j = *childBook.Journal();
      j.SelectCell(2, 1);
      j.SetEditorText("1300");
      j.CommitEditor();
      childBook.SetModified();
      if (childBook.WriteRecovery()) kill(getpid(), SIGKILL);
      _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ASSERT_TRUE(Exists(RecoveryPath(Index())));

    ui.questions.clear();
    ui.yesNoAnswers = {c.restore};
    Open();
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions.back(), Sjis("保存されていない変更が残っています。復元しますか？"));
    ui.questions.clear();
    EXPECT_EQ(book.Journal()->Cell(2, 1), c.restore ? "1300" : "1200");
    EXPECT_FALSE(book.Journal()->IsPosted(1) && c.restore);
    EXPECT_EQ(book.FindLedger(Sjis("交通費")) != nullptr, c.restore);
    EXPECT_EQ(book.Modified(), c.restore);
    EXPECT_EQ(Exists(RecoveryPath(Index())), c.restore);
    // Saving (or closing) leaves nothing to recover.
    if (c.restore) {
      ui.yesNoAnswers = {true};
      book.FileSaveExecute();
      EXPECT_FALSE(Exists(RecoveryPath(Index())));
    }
    book.CloseBook();
  }
}

TEST_F(BookSafetyTest, ATruncatedRecoveryFileIsRefusedAndTheBookOpensAsSaved) {
  Open();
  SetAmount("1300");
  ASSERT_TRUE(book.WriteRecovery());
  const std::string path = RecoveryPath(Index());
  const std::string whole = Bytes(path);
  // Every way of being cut short is told from a whole file.
  for (std::size_t cut : {whole.size() - 1, whole.size() - 3, whole.size() / 2, std::size_t{5}}) {
    EXPECT_THROW(ReadRecoveryImage(std::string_view(whole).substr(0, cut)), Error) << cut;
  }
  EXPECT_NO_THROW(ReadRecoveryImage(whole));
  // Closing without saving removes the file; a crash would leave it, cut short here.
  book.CloseBook();
  WriteFileAtomically(PathFromCp932(path), whole.substr(0, whole.size() / 2));
  Open();
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ui.LastMessage(),
            Sjis("復元ファイルが壊れているため使用できません。保存された状態で開きます"));
  EXPECT_EQ(book.Journal()->Cell(2, 1), "1200");
  EXPECT_FALSE(book.Modified());
}

// Undo of an import reaches the history of imported rows whether or not a save wrote them,
// and keeps working after Save As moved the book (and its history) to a copy.
TEST_F(BookSafetyTest, AnImportUndoneAfterASaveIsForgottenByTheNextSave) {
  Open();
  import::ImportProfile profile;
  profile.name = Sjis("銀行");
  profile.encoding = import::Encoding::Utf8;
  profile.descriptionColumns = {2};
  profile.amountColumn = 3;
  profile.account = Sjis("現金");
  const std::string statement = "日付,摘要,金額\n2025/06/03,パン,-300\n2025/06/04,牛乳,-200\n";
  auto preview = [&] {
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(statement));
    buffer.open(QIODevice::ReadOnly);
    import::ImportRule food;
    food.pattern = ".";
    food.subject = Sjis("食費");
    return import::BuildPreview(buffer, profile, *book.Journal(), import::RuleMatcher({food}),
                                &book.ImportedRows(), 3);
  };
  auto importedBefore = [&] {
    const import::ImportPreview p = preview();
    return std::vector<bool>{p.rows[0].importedBefore, p.rows[1].importedBefore};
  };
  auto historyLines = [&] {
    const QString path = book.ImportedRows().Path();
    return QFile::exists(path) ? ReadTextLines(path).size() : 0u;
  };
  ASSERT_EQ(import::CommitImport(*book.Journal(), book.ImportedRows(), preview()).added, 2);
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(historyLines(), 2u);

  ASSERT_TRUE(book.Undo());
  EXPECT_EQ(importedBefore(), (std::vector<bool>{false, false}));
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(historyLines(), 0u);
  ASSERT_TRUE(book.Redo());
  EXPECT_EQ(importedBefore(), (std::vector<bool>{true, true}));
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(historyLines(), 2u);

  // Undone twice over a save: nothing is written twice, nothing forgotten that stays.
  ASSERT_TRUE(book.Undo());
  ASSERT_TRUE(book.Redo());
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(historyLines(), 2u);

  ui.yesNoAnswers = {true};  // post the imported lines
  EXPECT_FALSE(book.SaveBookAs(Sjis("家計コピー")));
  ASSERT_EQ(book.IndexPath(), root + Sjis("家計コピー/家計コピー.txt"));
  EXPECT_EQ(book.ImportedRows().Path(), PathFromCp932(root + Sjis("家計コピー/明細取込履歴.tsv")));
  ASSERT_TRUE(book.Undo());  // the posting
  ASSERT_TRUE(book.Undo());  // the import
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(historyLines(), 0u);
  EXPECT_EQ(ReadTextLines(PathFromCp932(P("明細取込履歴.tsv"))).size(), 2u);  // the old book's
}

}  // namespace
}  // namespace engine
