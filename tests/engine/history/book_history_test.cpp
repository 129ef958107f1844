// Undo and redo through the book: every kind of command, taken back and done again, leaves
// every table, posted state, list, cursor and the modified flag exactly as they were.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/text_file.h"
#include "engine/lists/item_list.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "fake_ui.h"

namespace engine {
namespace {

using testing::FakeUi;
using Lines = std::vector<std::string>;

// Everything a command may change, in a form that compares as a whole.
struct Snapshot {
  std::vector<std::string> tables;  // caption, then per row: mark and the six cells
  std::vector<std::string> cursors;
  Lines subjects;
  Lines summaries;
  bool modified = false;
  bool operator==(const Snapshot&) const = default;
};

// Readable failures: the snapshot as UTF-8 text.
void PrintTo(const Snapshot& s, std::ostream* out) {
  std::string text;
  for (const auto& t : s.tables) text += t;
  for (const auto& c : s.cursors) text += "cursor " + c + "\n";
  for (const auto& l : s.subjects) text += "subject " + l + "\n";
  for (const auto& l : s.summaries) text += "summary " + l + "\n";
  text += s.modified ? "modified\n" : "unmodified\n";
  *out << "\n" << FromCp932(text).toStdString();
}

Snapshot Take(Book& book) {
  Snapshot s;
  for (TAccGrid* table : book.Tables()) {
    std::string text = table->Caption() + "\n";
    for (int r = 0; r < table->RowCount(); ++r) {
      text += std::to_string(table->Mark(r));
      for (int c = 1; c <= 6; ++c) text += "|" + std::string(table->Cell(c, r));
      text += "\n";
    }
    s.tables.push_back(text);
    const GridCursor c = table->Cursor();
    s.cursors.push_back(std::to_string(c.currentColumn) + "," + std::to_string(c.currentRow) + "," +
                        std::to_string(c.selectedLine));
  }
  s.subjects = book.Journal()->Subjects().FileLines();
  s.summaries = book.Journal()->Summaries().Summaries();
  s.modified = book.Modified();
  return s;
}

class BookHistoryTest : public ::testing::Test {
 public:
  QTemporaryDir dir;
  std::string folder;
  FakeUi ui;
  Book book{ui};
  TodayOverride today{QDate(2025, 6, 14)};

  std::string P(const char* utf8) const { return folder + Sjis(utf8); }
  void Write(const std::string& path, const Lines& lines) {
    WriteTextLines(PathFromCp932(path), lines);
  }

  // Three posted lines out of date order, subjects 食費, 現金 and an unused 給料.
  void SetUp() override {
    folder = ToCp932(dir.path()).value() + "/" + Sjis("家計") + "/";
    QDir().mkpath(PathFromCp932(folder));
    Write(P("仕訳帳.txt"), {Sjis("25/06/03\t1200\t食費\t昼食\t現金\t1200"),
                            Sjis("25/06/01\t300\t食費\tパン\t現金\t300"),
                            Sjis("25/06/02\t500\t食費\t夕食\t現金\t500")});
    Write(P("食費.txt"),
          {Sjis("25/06/03\t現金\t昼食\t1200\t\t1200"), Sjis("25/06/01\t現金\tパン\t300\t\t1500"),
           Sjis("25/06/02\t現金\t夕食\t500\t\t2000")});
    Write(P("現金.txt"),
          {Sjis("25/06/03\t食費\t昼食\t\t1200\t-1200"), Sjis("25/06/01\t食費\tパン\t\t300\t-1500"),
           Sjis("25/06/02\t食費\t夕食\t\t500\t-2000")});
    Write(P("給料.txt"), {});
    Write(P("勘定科目.txt"), {Sjis("給料"), Sjis("現金"), Sjis("食費\t現金")});
    Write(P("摘要.txt"), {Sjis("パン"), Sjis("昼食")});
    Write(P("家計.txt"), {P("勘定科目.txt"), P("摘要.txt"), P("集計設定.txt"), P("仕訳帳.txt"),
                          P("食費.txt"), P("現金.txt"), P("給料.txt")});
    book.OpenBook(P("家計.txt"));
    ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  }

  TJournalGrid& J() { return *book.Journal(); }
  TLedgerGrid& L(const char* caption) { return *book.FindLedger(Sjis(caption)); }

  // Opens the cell's editor and types (or picks) `text` without storing it.
  void Type(int column, int row, const std::string& text) {
    J().SelectCell(column, row);
    if (J().OpenEditorKind() == TJournalGrid::EditorKind::Subject) {
      J().ChooseSubject(J().Subjects().IndexOf(text));
    } else {
      J().SetEditorText(text);
    }
  }
  void Edit(int column, int row, const std::string& text) {
    Type(column, row, text);
    J().CommitEditor();
  }
  void SelectLine(TAccGrid& table, int row) { table.MousePress(0, row); }
};

TEST_F(BookHistoryTest, EveryCommandUndoesAndRedoesExactly) {
  const auto Commit = [](BookHistoryTest& t) { t.J().CommitEditor(); };
  const struct {
    const char* name;
    const char* label;
    std::function<void(BookHistoryTest&)> prepare;  // runs before the "before" snapshot
    std::function<void(BookHistoryTest&)> command;
  } cases[] = {
      {"date edit unposts and repairs balances", "セルの編集",
       [](auto& t) { t.Type(1, 1, "25/06/09"); }, Commit},
      {"amount edit", "セルの編集", [](auto& t) { t.Type(2, 2, "350"); }, Commit},
      {"subject edit", "セルの編集", [](auto& t) { t.Type(3, 3, Sjis("給料")); }, Commit},
      {"summary edit", "セルの編集", [](auto& t) { t.Type(4, 1, Sjis("外食")); }, Commit},
      {"empty line filled in", "セルの編集", [](auto& t) { t.Type(1, 4, "5"); }, Commit},
      {"line added", "行の追加", nullptr, [](auto& t) { t.J().LineAdd(); }},
      {"posted line deleted", "行の削除", [](auto& t) { t.SelectLine(t.J(), 2); },
       [](auto& t) { t.J().LineDel(); }},
      {"last line deleted", "行の削除", [](auto& t) { t.SelectLine(t.J(), 4); },
       [](auto& t) { t.J().LineDel(); }},
      {"line pasted over a posted line", "行の貼り付け",
       [](auto& t) {
         t.SelectLine(t.J(), 1);
         t.J().LineCopy();
         t.SelectLine(t.J(), 3);
       },
       [](auto& t) { t.J().LinePaste(); }},
      {"journal line dragged", "行の移動", nullptr, [](auto& t) { t.J().DragRow(1, 3); }},
      {"ledger line dragged up", "行の移動", nullptr, [](auto& t) { t.L("食費").DragRow(3, 1); }},
      {"ledger line dragged down", "行の移動", nullptr, [](auto& t) { t.L("現金").DragRow(1, 3); }},
      {"one line posted", "行の転記",
       [](auto& t) {
         t.Edit(1, 4, "25/06/05");
         t.Edit(2, 4, "80");
         t.Edit(3, 4, Sjis("食費"));  // fills 現金 as the counterpart
         t.Edit(4, 4, Sjis("パン"));
         t.SelectLine(t.J(), 4);
       },
       [](auto& t) { t.J().PostLine(); }},
      {"all lines posted", "すべての行の転記",
       [](auto& t) {
         t.Edit(2, 2, "310");
         t.Edit(2, 3, "510");
       },
       [](auto& t) { t.book.OperatePostAllExecute(); }},
      {"sort", "日付順に整列", nullptr, [](auto& t) { t.book.OperateSortExecute(); }},
      {"subject added", "勘定科目の追加", nullptr,
       [](auto& t) {
         SubjectList list(t.book);
         list.SetName(Sjis("交通費"));
         list.Add();
       }},
      {"unused subject deleted", "勘定科目の削除", nullptr,
       [](auto& t) {
         SubjectList list(t.book);
         list.ClickRow(3);  // 給料
         list.Delete();
       }},
      {"counterpart set", "相手科目の設定", nullptr,
       [](auto& t) {
         SubjectList list(t.book);
         list.ClickRow(2);  // 現金
         list.SetName(Sjis("食費"));
         list.SetCounterpart();
       }},
      {"summary added", "摘要の追加", nullptr,
       [](auto& t) {
         SummaryList list(t.book);
         list.SetName(Sjis("電車"));
         list.Add();
       }},
      {"summary deleted", "摘要の削除", nullptr,
       [](auto& t) {
         SummaryList list(t.book);
         list.ClickRow(1);
         list.Delete();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    if (c.prepare) c.prepare(*this);
    // What the preparation did stays; only the command is taken back.
    const int stepsBefore = book.Changes()->Count();
    const Snapshot before = Take(book);
    c.command(*this);
    const Snapshot after = Take(book);
    ASSERT_FALSE(after.tables == before.tables && after.subjects == before.subjects &&
                 after.summaries == before.summaries)
        << "the command changed nothing";
    ASSERT_EQ(book.Changes()->Count(), stepsBefore + 1) << ui.LastMessage();
    EXPECT_EQ(book.Changes()->UndoLabel(), Sjis(c.label));
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(book.Undo());
      EXPECT_EQ(Take(book), before);
      EXPECT_EQ(book.Changes()->RedoLabel(), Sjis(c.label));
      ASSERT_TRUE(book.Redo());
      EXPECT_EQ(Take(book), after);
    }
    book.CloseBook();
  }
}

TEST_F(BookHistoryTest, UndoBackToTheSavedStateLeavesTheBookUnmodified) {
  Edit(2, 1, "1300");
  ASSERT_TRUE(book.SaveBook());
  Edit(2, 2, "400");
  EXPECT_TRUE(book.Modified());
  book.Undo();
  EXPECT_FALSE(book.Modified());
  book.Undo();  // before the save: a change the files don't hold
  EXPECT_TRUE(book.Modified());
  book.Redo();
  EXPECT_FALSE(book.Modified());
  // A new command after an undo drops the steps that could be redone; the saved state is
  // then out of reach for good.
  book.Undo();
  Edit(4, 1, Sjis("弁当"));
  EXPECT_FALSE(book.Changes()->CanRedo());
  book.Undo();
  EXPECT_TRUE(book.Modified());
}

TEST_F(BookHistoryTest, UndoneLedgerComesBackAsTheSameTableWithItsWindow) {
  {
    SubjectList list(book);
    list.SetName(Sjis("交通費"));
    list.Add();
  }
  Edit(3, 4, Sjis("交通費"));
  Edit(1, 4, "25/06/07");
  Edit(2, 4, "210");
  Edit(4, 4, Sjis("電車"));
  Edit(5, 4, Sjis("現金"));
  SelectLine(J(), 4);
  J().PostLine();
  TLedgerGrid* added = book.FindLedger(Sjis("交通費"));
  ASSERT_NE(added, nullptr);
  ASSERT_EQ(added->Cell(4, 1), "210");
  for (int i = 0; i < 7; ++i) book.Undo();
  EXPECT_EQ(book.FindLedger(Sjis("交通費")), nullptr);
  EXPECT_EQ(ui.events.back(), "removed " + Sjis("交通費"));
  for (int i = 0; i < 7; ++i) book.Redo();
  EXPECT_EQ(book.FindLedger(Sjis("交通費")), added);
  EXPECT_EQ(added->Cell(4, 1), "210");
  EXPECT_EQ(book.LedgerAt(book.LedgerCount() - 1).Caption(), Sjis("交通費"));
}

TEST_F(BookHistoryTest, UndoRestoresTheCursorAndReopensTheEditor) {
  Edit(4, 2, Sjis("朝食"));
  J().SelectCell(2, 3);
  book.Undo();
  EXPECT_EQ(J().CurrentColumn(), 4);
  EXPECT_EQ(J().CurrentRow(), 2);
  EXPECT_EQ(J().OpenEditorKind(), TJournalGrid::EditorKind::Summary);
  EXPECT_EQ(J().EditorText(), Sjis("パン"));
}

TEST_F(BookHistoryTest, UndoDiscardsTypingThatWasNotStored) {
  Edit(2, 1, "1300");
  J().SelectCell(2, 2);
  J().SetEditorText("999");
  book.Undo();
  EXPECT_EQ(J().Cell(2, 1), "1200");
  EXPECT_EQ(J().Cell(2, 2), "300");
  EXPECT_TRUE(book.Changes()->CanRedo());
}

}  // namespace
}  // namespace engine
