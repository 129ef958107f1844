#include "engine/lists/item_list.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "fake_ui.h"

namespace engine {
namespace {

using testing::FakeUi;
using Lines = std::vector<std::string>;

// An open book named 家計2024 with the subjects 食費 (posted 1200 against 現金), 現金 and 雑費.
class ItemListTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  FakeUi ui;
  Book book{ui};
  std::string folder;

  void SetUp() override {
    folder = ToCp932(dir.path()).value() + "/";
    auto write = [&](const char* name, const Lines& lines) {
      WriteTextLines(PathFromCp932(folder + Sjis(name)), lines);
      return folder + Sjis(name);
    };
    const auto journal = write("仕訳帳.txt", {Sjis("25/06/01\t1200\t食費\t昼食\t現金\t1200")});
    const auto food = write("食費.txt", {Sjis("25/06/01\t現金\t昼食\t1200\t\t1200")});
    const auto cash = write("現金.txt", {Sjis("25/06/01\t食費\t昼食\t\t1200\t-1200")});
    const auto misc = write("雑費.txt", {});
    const auto subjects = write("勘定科目.txt", {Sjis("食費\t雑費"), Sjis("現金"), Sjis("雑費")});
    const auto summaries = write("摘要.txt", {Sjis("昼食"), Sjis("夕食")});
    const auto index = write("家計2024.txt", {subjects, summaries, "", journal, food, cash, misc});
    book.OpenBook(index);
    ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  }

  static Lines Column(const ItemList& list, int column) {
    Lines texts;
    for (int r = 1; r <= list.RowCount(); ++r)
      texts.push_back(list.RowTexts(r)[static_cast<std::size_t>(column)]);
    return texts;
  }
};

TEST_F(ItemListTest, SubjectRowsShowLedgersInWindowOrderWithTotals) {
  SubjectList list(book);
  ASSERT_EQ(list.RowCount(), 3);
  EXPECT_EQ(list.RowTexts(1), (Lines{Sjis("食費"), Sjis("雑費"), "1200", "0", "1200"}));
  EXPECT_EQ(list.RowTexts(2), (Lines{Sjis("現金"), "", "0", "1200", "-1200"}));
  EXPECT_EQ(list.SelectedRow(), 1);
  EXPECT_EQ(list.Name(), Sjis("食費"));
  EXPECT_TRUE(list.DeleteEnabled());
}

TEST_F(ItemListTest, AddRefusals) {
  SubjectList list(book);
  const struct {
    const char* name;
    const char* message;  // nullptr: refused without a word
  } cases[] = {
      {"", "名前を入力してください"},
      {"食費", "食費 は既に使用されています"},
      {"家計2024", "家計簿と同じ名前は使用できません"},
      {"仕訳帳", "仕訳帳と同じ名前は使用できません"},
      {"勘定科目", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ui.messages.clear();
    list.SetName(Sjis(c.name));
    list.Add();
    EXPECT_EQ(ui.messages, c.message ? Lines{Sjis(c.message)} : Lines{});
    EXPECT_EQ(book.LedgerCount(), 3u);
  }
  // Letter case doesn't make a name new; full-width letters fold too.
  list.SetName("abc");
  list.Add();
  list.SetName("ABC");
  list.Add();
  EXPECT_EQ(ui.LastMessage(), Sjis("ABC は既に使用されています"));
  EXPECT_EQ(list.SelectedRow(), 4);
  // A name that can't be a file in the book folder is refused.
  for (const char* name : {"a/b", "..", "x\\y"}) {
    ui.messages.clear();
    list.SetName(name);
    list.Add();
    EXPECT_EQ(ui.messages.size(), 1u) << name;
  }
  EXPECT_EQ(book.LedgerCount(), 4u);
}

TEST_F(ItemListTest, AddAndDeleteKeepLedgersStoreAndRowsInStep) {
  SubjectList list(book);
  list.SetName(Sjis("交通費"));
  list.Add();
  EXPECT_EQ(list.RowTexts(4), (Lines{Sjis("交通費"), "", "0", "0", "0"}));
  EXPECT_EQ(list.SelectedRow(), 4);
  EXPECT_EQ(book.LedgerAt(3).Caption(), Sjis("交通費"));
  EXPECT_TRUE(book.Journal()->Subjects().Contains(Sjis("交通費")));
  EXPECT_TRUE(book.Modified());

  // A subject with postings can't go.
  list.ClickRow(1);
  list.Delete();
  EXPECT_EQ(ui.LastMessage(), Sjis("食費 は使用されています"));
  list.SetName(Sjis("雑"));
  list.Delete();
  EXPECT_EQ(ui.LastMessage(), Sjis("削除する項目を選択してください"));

  // Deleting 雑費 clears 食費's counterpart, in the rows and in the store.
  list.ClickRow(3);
  list.Delete();
  EXPECT_EQ(Column(list, 0), (Lines{Sjis("食費"), Sjis("現金"), Sjis("交通費")}));
  EXPECT_EQ(list.RowTexts(1)[1], "");
  EXPECT_EQ(book.Journal()->Subjects().Counterpart(Sjis("食費")), "");
  EXPECT_EQ(book.LedgerCount(), 3u);
  EXPECT_EQ(list.Name(), Sjis("交通費"));
}

TEST_F(ItemListTest, RenameCarriesTheNewNameEverywhereWithTheSave) {
  const QString settings = PathFromCp932(folder + Sjis("集計設定.txt"));
  const Lines settingLines = {"[table]",
                              Sjis("0=収入"),
                              Sjis("1=･･･食費,1,1,0"),
                              Sjis("2=食費X,1,0,0"),
                              "[Compare]",
                              Sjis("0=食費,25/01,25/03,1,0,0"),
                              Sjis("[/s/家計.rng]"),
                              Sjis("0= 食費,1,0,0,現金,0,1,0"),
                              Sjis("/0=食費")};
  WriteTextLines(settings, settingLines);
  book.SetSettingsPath(folder + Sjis("集計設定.txt"));
  SubjectList list(book);
  list.ClickRow(2);  // 現金's counterpart becomes 食費
  list.SetName(Sjis("食費"));
  list.SetCounterpart();
  list.ClickRow(1);

  // The checks of a new name; nothing changes on a refusal.
  const struct {
    const char* name;
    const char* message;  // nullptr: refused without a word
  } refusals[] = {
      {"", "名前を入力してください"},
      {"現金", "現金 は既に使用されています"},
      {"雑費", "雑費 は既に使用されています"},
      {"家計2024", "家計簿と同じ名前は使用できません"},
      {"仕訳帳", "仕訳帳と同じ名前は使用できません"},
      {"勘定科目", nullptr},
      {"a/b", "a/b は勘定科目名に使用できません（「/」「\\」を含む名前と「.」「..」は使えません）"},
  };
  for (const auto& c : refusals) {
    SCOPED_TRACE(c.name);
    ui.messages.clear();
    list.SetName(Sjis(c.name));
    list.Rename();
    EXPECT_EQ(ui.messages, c.message ? Lines{Sjis(c.message)} : Lines{});
    EXPECT_EQ(book.LedgerAt(0).Caption(), Sjis("食費"));
    EXPECT_EQ(list.RowTexts(1)[0], Sjis("食費"));
  }

  ui.messages.clear();
  list.SetName(Sjis("食料費"));
  list.Rename();
  EXPECT_EQ(ui.messages, Lines{});
  EXPECT_EQ(Column(list, 0), (Lines{Sjis("食料費"), Sjis("現金"), Sjis("雑費")}));
  EXPECT_EQ(list.RowTexts(2)[1], Sjis("食料費"));
  EXPECT_EQ(book.LedgerAt(0).Caption(), Sjis("食料費"));
  const SubjectStore& store = book.Journal()->Subjects();
  EXPECT_FALSE(store.Contains(Sjis("食費")));
  EXPECT_EQ(store.Counterpart(Sjis("食料費")), Sjis("雑費"));
  EXPECT_EQ(store.Counterpart(Sjis("現金")), Sjis("食料費"));
  EXPECT_EQ(book.Journal()->Cell(3, 1), Sjis("食料費"));
  EXPECT_EQ(book.LedgerAt(1).Cell(2, 1), Sjis("食料費"));
  EXPECT_TRUE(book.Journal()->IsPosted(1));
  EXPECT_TRUE(book.Modified());
  // One step undoes it all and redoes it.
  ASSERT_TRUE(book.Undo());
  EXPECT_EQ(book.LedgerAt(0).Caption(), Sjis("食費"));
  EXPECT_EQ(book.Journal()->Cell(3, 1), Sjis("食費"));
  EXPECT_EQ(book.LedgerAt(1).Cell(2, 1), Sjis("食費"));
  EXPECT_EQ(store.Counterpart(Sjis("現金")), Sjis("食費"));
  EXPECT_EQ(store.Counterpart(Sjis("食費")), Sjis("雑費"));
  ASSERT_TRUE(book.Redo());
  EXPECT_EQ(book.LedgerAt(0).Caption(), Sjis("食料費"));
  EXPECT_EQ(book.Journal()->Cell(3, 1), Sjis("食料費"));
  EXPECT_EQ(store.Counterpart(Sjis("現金")), Sjis("食料費"));
  // Files change only with the save.
  EXPECT_EQ(ReadTextLines(settings), settingLines);
  const QString oldFile = PathFromCp932(folder + Sjis("食費.txt"));
  const QString newFile = PathFromCp932(folder + Sjis("食料費.txt"));
  EXPECT_TRUE(QFile::exists(oldFile));

  ASSERT_TRUE(book.SaveBook()) << ui.LastMessage();
  EXPECT_FALSE(QFile::exists(oldFile));
  EXPECT_EQ(ReadTextLines(newFile), Lines{Sjis("25/06/01\t現金\t昼食\t1200\t\t1200")});
  const Lines index = ReadTextLines(PathFromCp932(book.IndexPath()));
  EXPECT_NE(std::find(index.begin(), index.end(), folder + Sjis("食料費.txt")), index.end());
  EXPECT_EQ(std::find(index.begin(), index.end(), folder + Sjis("食費.txt")), index.end());
  EXPECT_EQ(ReadTextLines(settings),
            (Lines{"[table]", Sjis("0=収入"), Sjis("1=･･･食料費,1,1,0"), Sjis("2=食費X,1,0,0"),
                   "[Compare]", Sjis("0=食料費,25/01,25/03,1,0,0"), Sjis("[/s/家計.rng]"),
                   Sjis("0= 食料費,1,0,0,現金,0,1,0"), Sjis("/0=食費")}));
  Lines subjectFile = ReadTextLines(PathFromCp932(folder + Sjis("勘定科目.txt")));
  std::sort(subjectFile.begin(), subjectFile.end());  // in the locale's order: any will do
  Lines expected{Sjis("現金\t食料費"), Sjis("食料費\t雑費"), Sjis("雑費")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(subjectFile, expected);

  // Reopened, the book reads as it was left.
  book.CloseBook();
  book.OpenBook(folder + Sjis("家計2024.txt"));
  ASSERT_TRUE(book.IsOpen());
  EXPECT_EQ(book.LedgerAt(0).Caption(), Sjis("食料費"));
  EXPECT_EQ(book.LedgerAt(0).DebitTotal(), 1200);
}

TEST_F(ItemListTest, CounterpartRules) {
  SubjectList list(book);
  list.ClickRow(2);  // 現金
  list.SetName(Sjis("現金"));
  list.SetCounterpart();
  EXPECT_EQ(ui.LastMessage(), Sjis("勘定科目と同じ科目には設定できません"));
  list.SetName(Sjis("外食"));
  list.SetCounterpart();
  EXPECT_EQ(ui.LastMessage(), Sjis("存在しない勘定科目には設定できません"));
  list.SetName(Sjis("食費"));
  list.SetCounterpart();
  EXPECT_EQ(list.RowTexts(2)[1], Sjis("食費"));
  EXPECT_EQ(book.Journal()->Subjects().Counterpart(Sjis("現金")), Sjis("食費"));
  list.SetName("");
  list.SetCounterpart();
  EXPECT_EQ(book.Journal()->Subjects().Counterpart(Sjis("現金")), "");
}

TEST_F(ItemListTest, SummaryListAddsSortedAndDeletesToEmpty) {
  {
    SummaryList list(book);
    EXPECT_EQ(Column(list, 0), (Lines{Sjis("夕食"), Sjis("昼食")}));
    list.SetName(Sjis("摘要"));
    list.Add();  // the heading: nothing, silently
    EXPECT_TRUE(ui.messages.empty());
    list.SetName(Sjis("朝食"));
    list.Add();
    EXPECT_EQ(Column(list, 0).back(), Sjis("朝食"));  // at the bottom while the dialog is open
  }
  SummaryList list(book);
  EXPECT_EQ(list.RowCount(), 3);
  for (int i = 0; i < 3; ++i) {
    list.ClickRow(1);
    list.Delete();
  }
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.RowTexts(1)[0], "");
  EXPECT_FALSE(list.DeleteEnabled());
  EXPECT_EQ(list.Name(), "");
  EXPECT_EQ(book.Journal()->Summaries().Count(), 0);
}

}  // namespace
}  // namespace engine
