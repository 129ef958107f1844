#include <QFile>
#include <QFileInfo>
#include <string>
#include <vector>

#include "engine/base/error.h"
#include "journal_fixture.h"

namespace engine::testing {
namespace {

struct ViewLog : GridView {
  int scrolledToEnd = 0;
  void RowsReset() override {}
  void RowsChanged(int, int) override {}
  void MarksChanged() override {}
  void FocusChanged() override {}
  void ScrollToEnd() override { ++scrolledToEnd; }
};

std::vector<bool> PostedStates(const TJournalGrid& journal) {
  std::vector<bool> states;
  for (int r = 1; r < journal.RowCount(); ++r) states.push_back(journal.IsPosted(r));
  return states;
}

const std::vector<std::vector<std::string>> kFiveLines = {
    {"25/06/01", "1200", "食費", "昼食", "現金", "1200"},
    {"25/06/02", "300", "雑費", "\"文具\" 2 点", "現金", "300"},
    {"25/06/03", "250000", "普通預金", "給与", "給与", "250000"},
    {"25/06/03", "0120", "食費", "A\\B", "現金", "0120"},
    {"25/06/04", "50", "ｶﾞｽ", "ﾟ･", "現金", "50"},
};

TEST_F(JournalTest, LoadedRowsArePostedAndAnEmptyLineIsFocusedAtTheEnd) {
  ViewLog view;
  journal.SetView(&view);
  LoadLines(kFiveLines);
  journal.SetView(nullptr);
  EXPECT_EQ(journal.RowCount(), 7);
  EXPECT_EQ(PostedStates(journal), (std::vector<bool>{true, true, true, true, true, false}));
  EXPECT_EQ(journal.CurrentRow(), 6);
  EXPECT_EQ(journal.FocusedRow(), 6);
  EXPECT_EQ(view.scrolledToEnd, 1);
  EXPECT_FALSE(host.modified);
}

TEST_F(JournalTest, AnEmptyFileLeavesTheNewJournal) {
  LoadLines({});
  EXPECT_EQ(journal.RowCount(), 2);
  EXPECT_FALSE(journal.IsPosted(1));
  EXPECT_FALSE(journal.HasUnpostedLines());
}

TEST_F(JournalTest, SavingWritesTheCompleteRowsByteForByte) {
  std::string image;
  for (const auto& cells : kFiveLines) AppendLine(image, Line(cells));
  const QString in = PathOf("in.txt");
  WriteFileAtomically(in, image);
  journal.LoadTable(in);
  host.subjectPath = Sjis(dir.filePath("subjects.txt").toStdString());
  host.summaryPath = Sjis(dir.filePath("summaries.txt").toStdString());
  const QString out = PathOf("仕訳帳.txt");
  journal.SaveTable(out);
  EXPECT_EQ(ReadFileBytes(out), image);
  EXPECT_TRUE(journal.ListsSaved());

  // A row with any empty cell is not written.
  journal.SetCell(4, 2, "");
  journal.SaveTable(out);
  std::string expected;
  for (std::size_t i = 0; i < kFiveLines.size(); ++i) {
    if (i != 1) AppendLine(expected, Line(kFiveLines[i]));
  }
  EXPECT_EQ(ReadFileBytes(out), expected);
}

TEST_F(JournalTest, AListFileThatCannotBeWrittenIsReportedAndTheJournalStillWritten) {
  AddLine({"25/06/01", "1", "a", "b", "c", "1"});
  journal.Summaries().Add("x");
  host.subjectPath = Sjis(dir.filePath("missing/subjects.txt").toStdString());
  host.summaryPath = Sjis(dir.filePath("summaries.txt").toStdString());
  const QString out = PathOf("j.txt");
  journal.SaveTable(out);
  EXPECT_EQ(ui.messages, Messages({"ファイルの書き込みに失敗しました"}));
  EXPECT_FALSE(journal.ListsSaved());
  EXPECT_EQ(ReadFileBytes(out), Line({"25/06/01", "1", "a", "b", "c", "1"}) + "\r\n");
  EXPECT_EQ(ReadFileBytes(dir.filePath("summaries.txt")), "x\r\n");

  journal.Subjects().AddLine(Sjis("食費\t現金"));
  host.subjectPath = Sjis(dir.filePath("subjects.txt").toStdString());
  journal.SaveTable(out);
  EXPECT_TRUE(journal.ListsSaved());
  EXPECT_EQ(ReadFileBytes(dir.filePath("subjects.txt")), Sjis("食費\t現金\r\n"));
}

TEST_F(JournalTest, ARefusedEditStopsTheSaveBeforeAnyFile) {
  host.subjectPath = Sjis(dir.filePath("subjects.txt").toStdString());
  host.summaryPath = Sjis(dir.filePath("summaries.txt").toStdString());
  journal.SelectCell(1, 1);
  journal.SetEditorText("99");
  EXPECT_THROW(journal.SaveTable(PathOf("j.txt")), Error);
  EXPECT_EQ(ui.messages,
            Messages({"日付は yy/mm/dd の形式で入力してください", "家計簿を保存できませんでした"}));
  EXPECT_FALSE(QFileInfo::exists(PathOf("j.txt")));
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("subjects.txt")));
  EXPECT_FALSE(journal.ListsSaved());
}

TEST_F(JournalTest, AJournalFileThatCannotBeWrittenReachesTheCaller) {
  host.subjectPath = Sjis(dir.filePath("subjects.txt").toStdString());
  host.summaryPath = Sjis(dir.filePath("summaries.txt").toStdString());
  EXPECT_THROW(journal.SaveTable(PathOf("missing/j.txt")), Error);
}

TEST_F(JournalTest, LineDelNeedsASelectedLineAndKeepsPostedStatesInStep) {
  LoadLines({kFiveLines[0], kFiveLines[1], kFiveLines[2]});
  journal.LineDel();
  EXPECT_EQ(ui.messages, Messages({"削除する行を選択してください"}));
  EXPECT_EQ(journal.RowCount(), 5);

  journal.SetCell(1, 4, Sjis("25/07/01"));  // the unposted last row
  SelectLine(2);
  journal.LineDel();
  EXPECT_TRUE(host.modified);
  EXPECT_EQ(journal.RowCount(), 4);
  EXPECT_EQ(RowText(journal, 2), Line(kFiveLines[2]));
  EXPECT_EQ(PostedStates(journal), (std::vector<bool>{true, true, false}));
  EXPECT_EQ(journal.SelectedLine(), 2);

  SelectLine(3);  // the last row: the selection moves up
  journal.LineDel();
  EXPECT_EQ(journal.SelectedLine(), 2);
  EXPECT_EQ(PostedStates(journal), (std::vector<bool>{true, true}));

  for (int row : {2, 1}) {  // the only row left is emptied and unposted
    SelectLine(row);
    journal.LineDel();
  }
  EXPECT_EQ(journal.RowCount(), 2);
  EXPECT_TRUE(journal.RowAt(1).IsEmpty());
  EXPECT_FALSE(journal.IsPosted(1));
}

TEST_F(JournalTest, PostedStatesMoveWithADraggedRow) {
  LoadLines({kFiveLines[0], kFiveLines[1], kFiveLines[2], kFiveLines[3]});
  journal.SetCell(1, 5, Sjis("25/07/01"));  // row 5 is the unposted one
  journal.MoveRow(5, 2);
  journal.LineMoved(5, 2);
  EXPECT_EQ(journal.Cell(1, 2), "25/07/01");
  EXPECT_EQ(RowText(journal, 3), Line(kFiveLines[1]));
  EXPECT_EQ(PostedStates(journal), (std::vector<bool>{true, false, true, true, true}));
  EXPECT_EQ(journal.SelectedLine(), 2);
  EXPECT_EQ(ui.status[1], "cell ( 0 : 2 )");
  EXPECT_TRUE(host.modified);

  journal.MoveRow(2, 5);
  journal.LineMoved(2, 5);
  EXPECT_EQ(PostedStates(journal), (std::vector<bool>{true, true, true, true, false}));
}

TEST_F(JournalTest, PostedStatesTravelWithTheirRowsThroughTheSort) {
  // More than twenty rows, so the partition sort runs too.
  std::vector<std::vector<std::string>> lines;
  for (int i = 0; i < 30; ++i) {
    const std::string day = std::to_string(30 - i);
    lines.push_back(
        {"25/05/" + std::string(day.size() == 1 ? "0" : "") + day, "1", "a", "b", "c", "1"});
  }
  LoadLines(lines);
  for (int r = 1; r <= 30; r += 3) {
    journal.SelectCell(4, r);
    journal.SetEditorText("u" + std::to_string(r));
    journal.CommitEditor();  // unposts the row (there are no ledgers)
  }
  journal.HideEditor();
  journal.SortByDate();
  for (int r = 1; r <= 30; ++r) {
    SCOPED_TRACE(r);
    const bool edited = journal.Cell(4, r) != "b";
    EXPECT_EQ(journal.IsPosted(r), !edited);
    EXPECT_EQ(journal.Cell(1, r).substr(6), (r < 10 ? "0" : "") + std::to_string(r));
  }
  EXPECT_FALSE(journal.IsPosted(31));
}

TEST_F(JournalTest, ColumnsFitTheWindowRoundingHalvesToEven) {
  EXPECT_EQ(journal.FitColumns(620), (std::array<int, 6>{48, 54, 120, 168, 120, 54}));
  EXPECT_EQ(journal.FitColumns(70), (std::array<int, 6>{4, 4, 10, 14, 10, 4}));      // 4.5 -> 4
  EXPECT_EQ(journal.FitColumns(170), (std::array<int, 6>{12, 14, 30, 42, 30, 14}));  // 13.5 -> 14
  EXPECT_EQ(journal.FitColumns(0), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
}

TEST_F(JournalTest, DateRangeSpansTheDatedRows) {
  EXPECT_EQ(journal.DateRange(), std::make_pair(Date{2025, 6, 14}, Date{2025, 6, 14}));

  AddLine({"25/03/01"});
  AddLine({"25/01/15"});
  AddLine({"25/02/01"});
  journal.AppendRow();
  EXPECT_EQ(journal.DateRange(), std::make_pair(Date{2025, 1, 15}, Date{2025, 3, 1}));

  journal.SetCell(1, 2, "");
  try {
    journal.DateRange();
    ADD_FAILURE() << "an undated row before the last dated one must stop the range";
  } catch (const Error& e) {
    EXPECT_EQ(e.Message(), Sjis("'' は日付ではありません"));
  }
  journal.SetCell(1, 2, "25/02/30");
  EXPECT_THROW(journal.DateRange(), Error);
}

TEST_F(JournalTest, ReadinessCheckOffersToPostUnpostedLines) {
  EXPECT_TRUE(journal.ReadinessCheck());  // an empty unposted row is nothing to post
  EXPECT_TRUE(ui.questions.empty());

  AddLine({"25/06/01", "100", "a", "b", "c", "100"});
  ui.yesNoAnswers = {false};
  EXPECT_FALSE(journal.ReadinessCheck());
  EXPECT_FALSE(journal.IsPosted(1));
  ui.yesNoAnswers = {true};
  EXPECT_TRUE(journal.ReadinessCheck());
  EXPECT_TRUE(journal.IsPosted(1));
  EXPECT_EQ(ui.questions, Messages({"すべて転記しますか ?", "すべて転記しますか ?"}));

  journal.SelectCell(2, 1);
  journal.SetEditorText("x");
  EXPECT_FALSE(journal.ReadinessCheck());
  EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(JournalTest, StoreRemovalsSayWhatIsMissing) {
  journal.Subjects().Add(Sjis("食費"));
  journal.Summaries().Add(Sjis("昼食"));
  EXPECT_TRUE(journal.RemoveSubjectEntry(Sjis("食費")));
  EXPECT_FALSE(journal.RemoveSubjectEntry(Sjis("食費")));
  EXPECT_TRUE(journal.RemoveSummary(Sjis("昼食")));
  EXPECT_FALSE(journal.RemoveSummary(Sjis("夕食")));
  EXPECT_EQ(ui.messages, Messages({"食費 は存在しません", "夕食 は存在しません"}));
}

TEST_F(JournalTest, CsvLinesFillTheJournalAndCreateSubjectsAndSummaries) {
  journal.Subjects().Add("abc");
  host.AddLedger("abc");
  journal.LoadCsvLines({Line({"25/06/01", "100", "食費", "昼食", "現金", "100"}, ','),
                        Line({"25/06/02", "200", "ABC", "\"q\"", "給与", "200", "extra"}, ','),
                        Line({"25/06/03", "300", "現金", "昼食", "食費"}, ','),
                        Sjis("25/06/04,4\t0,雑費,a\tb,現金,40")});
  EXPECT_EQ(journal.RowCount(), 5);
  EXPECT_EQ(RowText(journal, 2), Line({"25/06/02", "200", "ABC", "\"q\"", "給与", "200"}));
  EXPECT_EQ(RowText(journal, 3), Line({"25/06/03", "300", "現金", "昼食", "食費", ""}));
  EXPECT_EQ(RowText(journal, 4), Line({"25/06/04", "4 0", "雑費", "a b", "現金", "40"}));
  EXPECT_EQ(PostedStates(journal), (std::vector<bool>{false, false, false, false}));
  // Debit subjects first, row by row, then credit subjects; letter case is ignored.
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < host.LedgerCount(); ++i)
    captions.push_back(host.LedgerAt(i).Caption());
  EXPECT_EQ(captions, Messages({"abc", "食費", "現金", "雑費", "給与"}));
  EXPECT_EQ(journal.Summaries().Count(), 3);
  EXPECT_TRUE(journal.Summaries().Contains(Sjis("a b")));
  EXPECT_FALSE(host.modified);
}

}  // namespace
}  // namespace engine::testing
