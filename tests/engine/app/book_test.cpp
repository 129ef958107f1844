#include "engine/app/book.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "book_fixture.h"
#include "engine/app/app_folder.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "fake_ui.h"

namespace engine {
namespace {

using testing::BookTest;
using testing::FakeUi;
using testing::StartsWith;
using Lines = std::vector<std::string>;

TEST_F(BookTest, OpensTheIndexWithItsTablesAndLists) {
  book.OpenBook(WriteSample());
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_FALSE(book.Modified());
  EXPECT_EQ(book.Name(), Sjis("家計"));
  EXPECT_EQ(book.Folder(), folder);
  EXPECT_EQ(ui.mainCaption, P("家計.txt"));
  TJournalGrid& journal = *book.Journal();
  EXPECT_EQ(journal.Caption(), Sjis("仕訳帳"));
  EXPECT_EQ(journal.RowCount(), 4);  // two lines and the empty line added at the end
  ASSERT_EQ(book.LedgerCount(), 2u);
  EXPECT_EQ(book.LedgerAt(0).Caption(), Sjis("食費"));
  EXPECT_EQ(book.LedgerAt(1).Caption(), Sjis("現金"));
  EXPECT_EQ(journal.Subjects().Count(), 2);
  EXPECT_EQ(journal.Subjects().Counterpart(Sjis("食費")), Sjis("現金"));
  EXPECT_EQ(journal.Summaries().Count(), 2);
  EXPECT_EQ(ui.status[0], Sjis("仕訳帳"));
  const Lines expectedEvents = {"book commands", "added " + Sjis("仕訳帳"),
                                "added " + Sjis("食費"), "added " + Sjis("現金"),
                                "show+restore " + Sjis("仕訳帳"), "arrange"};
  Lines events = ui.events;
  std::erase(events, "book commands");
  Lines expected = expectedEvents;
  std::erase(expected, "book commands");
  EXPECT_EQ(events, expected);
}

TEST_F(BookTest, IndexFirstLineMustEndInTxt) {
  const struct {
    Lines index;
    bool opens;
  } cases[] = {
      {{P("勘定科目.TXT"), P("摘要.txt"), "", P("仕訳帳.txt")}, true},
      {{"", P("摘要.txt"), "", P("仕訳帳.txt")}, false},
      {{P("勘定科目.csv"), P("摘要.txt"), "", P("仕訳帳.txt")}, false},
  };
  Write(P("勘定科目.TXT"), {});
  Write(P("摘要.txt"), {});
  Write(P("仕訳帳.txt"), {});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index[0]);
    ui.messages.clear();
    Write(P("家計.txt"), c.index);
    book.OpenBook(P("家計.txt"));
    EXPECT_EQ(book.IsOpen(), c.opens);
    if (!c.opens) {
      EXPECT_EQ(ui.messages, Lines{Sjis("家計簿ファイルを開けませんでした")});
    } else {
      EXPECT_EQ(book.LedgerCount(), 0u);  // exactly four lines: a journal and no ledger
    }
    book.CloseBook();
  }
}

TEST_F(BookTest, LoadFailureClosesTheBookWithOneMessage) {
  const std::string index = WriteSample();
  QFile::remove(PathFromCp932(P("現金.txt")));
  book.OpenBook(index);  // the offer to rebuild the ledger is declined
  EXPECT_FALSE(book.IsOpen());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(StartsWith(ui.messages[0], Sjis("ファイルの読み込みに失敗しました")));
  EXPECT_NE(ui.messages[0].find(P("現金.txt")), std::string::npos);
  EXPECT_TRUE(ui.mainCaption.empty());

  ui.messages.clear();
  Write(P("短い.txt"), {P("勘定科目.txt"), P("摘要.txt")});
  book.OpenBook(P("短い.txt"));
  EXPECT_FALSE(book.IsOpen());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(StartsWith(ui.messages[0], Sjis("ファイルの読み込みに失敗しました")));

  ui.messages.clear();
  book.OpenBook(P("ない.txt"));
  EXPECT_FALSE(book.IsOpen());
  ASSERT_EQ(ui.messages.size(), 1u);  // the reading error itself
  EXPECT_NE(ui.messages[0].find(Sjis("を開けません")), std::string::npos);
  EXPECT_NE(ui.messages[0].find(Sjis("ファイルが見つかりません")), std::string::npos);
}

TEST_F(BookTest, SaveRewritesEveryFileByteForByte) {
  const std::string index = WriteSample();
  const Lines names = {"仕訳帳.txt", "食費.txt", "現金.txt", "摘要.txt", "家計.txt"};
  std::vector<std::string> before;
  for (const auto& name : names) before.push_back(Bytes(P(name.c_str())));
  book.OpenBook(index);
  book.SetModified();
  ASSERT_TRUE(book.SaveBook()) << ui.LastMessage();
  EXPECT_FALSE(book.Modified());
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(Bytes(P(names[i].c_str())), before[i]);
  }
  // The subject file is written in store order, without the empty line it was read with.
  EXPECT_EQ(Bytes(P("勘定科目.txt")), Sjis("現金\r\n食費\t現金\r\n"));
}

TEST_F(BookTest, LedgerFromElsewhereIsSavedIntoTheBookFolder) {
  const std::string outside = root + Sjis("よそ") + "/";
  QDir().mkpath(PathFromCp932(outside));
  Write(outside + Sjis("交通費.txt"), {Sjis("25/06/03\t現金\t電車\t200\t\t200")});
  Write(P("勘定科目.txt"), {Sjis("交通費")});
  Write(P("摘要.txt"), {});
  Write(P("仕訳帳.txt"), {});
  Write(P("家計.txt"), {P("勘定科目.txt"), P("摘要.txt"), "", P("仕訳帳.txt"),
                        outside + Sjis("交通費.txt")});
  book.OpenBook(P("家計.txt"));
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(Bytes(P("交通費.txt")), Sjis("25/06/03\t現金\t電車\t200\t\t200\r\n"));
  EXPECT_EQ(ReadTextLines(PathFromCp932(P("家計.txt"))),
            (Lines{P("勘定科目.txt"), P("摘要.txt"), "", P("仕訳帳.txt"), P("交通費.txt")}));
}

TEST_F(BookTest, SavePromptAnswers) {
  const std::string index = WriteSample();
  const std::string journalBytes = Bytes(P("仕訳帳.txt"));

  book.OpenBook(index);
  EXPECT_TRUE(book.QuerySaveBook());  // nothing changed: nothing asked
  EXPECT_TRUE(ui.questions.empty());

  book.SetModified();
  ui.yesNoCancelAnswers = {Ui::Answer::Cancel};
  book.FileCloseExecute();
  EXPECT_TRUE(book.IsOpen());
  EXPECT_EQ(ui.questions.back(), Sjis("家計簿 [") + index + Sjis("] を保存しますか ?"));

  ui.yesNoCancelAnswers = {Ui::Answer::No};
  book.FileCloseExecute();
  EXPECT_FALSE(book.IsOpen());
  EXPECT_EQ(Bytes(P("仕訳帳.txt")), journalBytes);

  book.OpenBook(index);
  book.SetModified();
  ui.yesNoCancelAnswers = {Ui::Answer::Yes};
  book.FileCloseExecute();
  EXPECT_FALSE(book.IsOpen());
}

TEST_F(BookTest, FailedSaveAtThePromptKeepsTheBookOpen) {
  book.OpenBook(WriteSample());
  book.SetModified();
  // The journal file can't be replaced: a folder stands where it would go.
  QFile::remove(PathFromCp932(P("仕訳帳.txt")));
  QDir().mkdir(PathFromCp932(P("仕訳帳.txt")));
  // Save, and overwrite the file that changed on disk.
  ui.yesNoCancelAnswers = {Ui::Answer::Yes, Ui::Answer::No};
  EXPECT_FALSE(book.QuerySaveBook());
  EXPECT_TRUE(book.IsOpen());
  EXPECT_TRUE(book.Modified());
  EXPECT_TRUE(StartsWith(ui.LastMessage(), Sjis("ファイルの書き込みに失敗しました")));
  EXPECT_NE(ui.LastMessage().find(P("仕訳帳.txt")), std::string::npos);
}

TEST_F(BookTest, LostListFileKeepsTheBookModified) {
  book.OpenBook(WriteSample());
  book.SetModified();
  QFile::remove(PathFromCp932(P("摘要.txt")));
  QDir().mkdir(PathFromCp932(P("摘要.txt")));
  const std::string journal = Bytes(P("仕訳帳.txt"));
  book.Journal()->SetCell(4, 1, Sjis("夕食"));
  ui.yesNoCancelAnswers = {Ui::Answer::No};  // overwrite the list that changed on disk
  EXPECT_FALSE(book.SaveBook());
  EXPECT_TRUE(book.Modified());
  EXPECT_TRUE(StartsWith(ui.LastMessage(), Sjis("ファイルの書き込みに失敗しました")));
  // A save is one step: the journal is not written without its lists.
  EXPECT_EQ(Bytes(P("仕訳帳.txt")), journal);
}

TEST_F(BookTest, NewBookCreatesFolderIndexAndEmptyFiles) {
  AppFolderOverride appFolder(root);
  const std::string newFolder = root + "2024/";
  ui.saveFileAnswers = {newFolder + Sjis("勘定科目.txt"), newFolder + Sjis("摘要.txt"),
                        newFolder + Sjis("集計設定.txt")};
  std::vector<std::string> recent;
  book.SetRecentFileHandler([&](const std::string& path) { recent.push_back(path); });
  EXPECT_FALSE(book.NewBook("2024"));
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_EQ(ui.saveFileRequests.size(), 3u);
  EXPECT_EQ(ui.saveFileRequests[0].folder, newFolder);
  EXPECT_EQ(ui.saveFileRequests[2].title, Sjis("集計設定ファイル名を入力してください"));
  EXPECT_EQ(ReadTextLines(PathFromCp932(newFolder + "2024.txt")),
            (Lines{newFolder + Sjis("勘定科目.txt"), newFolder + Sjis("摘要.txt"),
                   newFolder + Sjis("集計設定.txt"), newFolder + Sjis("仕訳帳.txt")}));
  EXPECT_EQ(Bytes(newFolder + Sjis("仕訳帳.txt")), "");
  EXPECT_TRUE(Exists(newFolder + Sjis("勘定科目.txt")));
  EXPECT_FALSE(Exists(newFolder + Sjis("集計設定.txt")));
  EXPECT_EQ(recent, Lines{newFolder + "2024.txt"});
  EXPECT_FALSE(book.Modified());
}

TEST_F(BookTest, NewBookRefusals) {
  AppFolderOverride appFolder(root);
  EXPECT_TRUE(book.NewBook(""));
  EXPECT_EQ(ui.LastMessage(), Sjis("家計簿名を入力してください"));
  EXPECT_TRUE(book.NewBook(Sjis("家計")));  // the folder exists already
  EXPECT_EQ(ui.LastMessage(), Sjis("同名データが存在します"));
  for (const char* name : {"a/b", "..", "."}) {
    EXPECT_TRUE(book.NewBook(name)) << name;
  }
  EXPECT_FALSE(book.IsOpen());

  // Cancelling the second file still asks for the third, then removes the new folder.
  ui.saveFileAnswers = {root + "x/s.txt", "", root + "x/a.txt"};
  EXPECT_FALSE(book.NewBook("x"));
  EXPECT_EQ(ui.saveFileRequests.size(), 3u);
  EXPECT_EQ(ui.LastMessage(), Sjis("設定ファイルが選択されませんでした"));
  EXPECT_FALSE(Exists(root + "x"));
  EXPECT_FALSE(book.IsOpen());
}

TEST_F(BookTest, CsvImportMakesAPostedBookBesideTheFile) {
  AppFolderOverride appFolder(root);
  Write(root + "2024.csv", {Sjis("25/01/05,1200,食費,昼食,現金,1200"),
                            Sjis("25/01/06,5000,普通預金,引き出し,給料,5000"),
                            Sjis("25/01/07,300,現金,,食費,300"),
                            Sjis("25/01/08,80,雑費,切手,現金,80,余分")});
  const std::string bookFolder = root + "2024/";
  ui.openFileAnswers = {root + "2024.csv"};
  ui.saveFileAnswers = {bookFolder + "s.txt", bookFolder + "m.txt", bookFolder + "a.txt"};
  book.NewBookFromCSV();
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  EXPECT_EQ(book.IndexPath(), bookFolder + "2024.txt");
  EXPECT_EQ(ui.openFileRequests[0].filter, 2);
  // Debit subjects first, row by row, then the credit subjects not seen yet.
  Lines ledgers;
  for (std::size_t i = 0; i < book.LedgerCount(); ++i) ledgers.push_back(book.LedgerAt(i).Caption());
  EXPECT_EQ(ledgers, (Lines{Sjis("食費"), Sjis("普通預金"), Sjis("現金"), Sjis("雑費"),
                            Sjis("給料")}));
  // Complete lines are posted; the one without a summary is not.
  EXPECT_EQ(book.LedgerAt(0).RowCount(), 3);  // heading, the 01/05 posting, the trailing row
  EXPECT_TRUE(Exists(bookFolder + Sjis("食費.txt")));
  EXPECT_FALSE(book.Modified());

  // The same file again: its folder exists now.
  book.CloseBook();
  ui.openFileAnswers = {root + "2024.csv"};
  book.NewBookFromCSV();
  EXPECT_EQ(ui.LastMessage(), Sjis("同名データが存在します"));
}

TEST_F(BookTest, CsvImportRefusalsCreateNothing) {
  AppFolderOverride appFolder(root);
  // Seven comma-text fields: an ASCII blank inside the summary.
  Write(root + "blank.csv", {Sjis("25/01/05,1200,食費,昼 食,現金,1200")});
  ui.openFileAnswers = {root + "blank.csv"};
  book.NewBookFromCSV();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(Exists(root + "blank"));

  // A subject that would write outside the book folder, or over its journal.
  for (const char* subject : {"../x", "a\\b", "..", "仕訳帳"}) {
    SCOPED_TRACE(subject);
    Write(root + "bad.csv", {Sjis("25/01/05,1200,食費,昼食,現金,1200"),
                             "25/01/06,1," + Sjis(subject) + ",x,y,1"});
    ui.messages.clear();
    ui.openFileAnswers = {root + "bad.csv"};
    book.NewBookFromCSV();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find(Sjis(subject)), std::string::npos);
    EXPECT_FALSE(Exists(root + "bad"));
    EXPECT_FALSE(book.IsOpen());
  }
  // A trail byte 0x5C is part of a character, not a backslash: ソ is 0x83 0x5C.
  EXPECT_TRUE(IsSafeFileBaseName(Sjis("ソフト")));
  EXPECT_FALSE(IsSafeFileBaseName("a\\"));
}

TEST_F(BookTest, SortCommandSortsEveryTableAndMarksTheBook) {
  Write(P("仕訳帳.txt"), {Sjis("25/06/02\t300\t食費\tパン\t現金\t300"),
                          Sjis("25/06/01\t1200\t食費\t昼食\t現金\t1200")});
  Write(P("食費.txt"), {Sjis("25/06/02\t現金\tパン\t300\t\t300"),
                        Sjis("25/06/01\t現金\t昼食\t1200\t\t1500")});
  Write(P("勘定科目.txt"), {Sjis("食費")});
  Write(P("摘要.txt"), {});
  Write(P("家計.txt"), {P("勘定科目.txt"), P("摘要.txt"), "", P("仕訳帳.txt"), P("食費.txt")});
  book.OpenBook(P("家計.txt"));
  book.OperateSortExecute();
  EXPECT_TRUE(book.Modified());
  EXPECT_EQ(book.Journal()->Cell(1, 1), "25/06/01");
  EXPECT_EQ(book.LedgerAt(0).Cell(6, 1), "1200");
  EXPECT_EQ(book.LedgerAt(0).Cell(6, 2), "1500");
}

TEST_F(BookTest, ASortStoppedByADateNamesAndSelectsItsRow) {
  // A hand-edited journal: 25/02/30 passed no editor.
  Write(P("仕訳帳.txt"), {Sjis("25/06/02\t300\t食費\tパン\t現金\t300"),
                          Sjis("25/02/30\t1200\t食費\t昼食\t現金\t1200")});
  Write(P("勘定科目.txt"), {Sjis("食費")});
  Write(P("摘要.txt"), {});
  Write(P("家計.txt"), {P("勘定科目.txt"), P("摘要.txt"), "", P("仕訳帳.txt")});
  book.OpenBook(P("家計.txt"));
  ui.events.clear();
  book.OperateSortExecute();
  EXPECT_EQ(ui.LastMessage(), Sjis("'25/02/30' は日付ではありません（仕訳帳 の 2 行目）"));
  EXPECT_EQ(book.Journal()->SelectedLine(), 2);
  EXPECT_EQ(book.Journal()->OpenEditorKind(), TJournalGrid::EditorKind::None);
  EXPECT_EQ(ui.events, (Lines{"show+restore " + Sjis("仕訳帳")}));
  EXPECT_TRUE(book.Modified());
}

}  // namespace
}  // namespace engine
