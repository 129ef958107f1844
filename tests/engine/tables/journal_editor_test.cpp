#include "journal_fixture.h"

namespace engine::testing {
namespace {

using Editor = TJournalGrid::EditorKind;

TEST_F(JournalTest, TypedDatesAreCompletedOrRefused) {
  const std::string dateMessage = Sjis("日付は yy/mm/dd の形式で入力してください");
  const std::string yearMessage = Sjis("年は 1975 年から 2074 年までで入力してください");
  const struct {
    const char* typed;
    const char* stored;                    // nullptr: refused
    const std::string* message = nullptr;  // the refusal; the date message when not given
  } cases[] = {
      {"5", "25/06/05"},
      {"05", "25/06/05"},
      {"30", "25/06/30"},
      {"3/7", "25/03/07"},
      {"12/31", "25/12/31"},
      {"24/1/9", "24/01/09"},
      {"24/11/9", "24/11/09"},
      {"24/1/19", "24/01/19"},
      {"24/2/29", "24/02/29"},
      {"13/5", nullptr},
      {"32", nullptr},
      {"0", nullptr},
      {"25/13/01", nullptr},
      {"25/6/32", nullptr},
      {"５", nullptr},
      {"5\n6", nullptr},
      {"25/06/05\n", nullptr},
      {"1 ", nullptr},
      // Days the calendar doesn't have, however they are typed.
      {"27/2/30", nullptr},
      {"99/02/31", nullptr},
      {"31", nullptr},
      {"2/29", nullptr},
      {"25/04/31", nullptr},
      // Four-digit years are kept as two digits when those read back as the same year.
      {"2025/1/31", "25/01/31"},
      {"2024/01/09", "24/01/09"},
      {"1975/12/1", "75/12/01"},
      {"2074/1/1", "74/01/01"},
      {"2025/2/29", nullptr},
      {"2025/13/1", nullptr},
      {"02025/1/1", nullptr},
      {"1974/12/31", nullptr, &yearMessage},
      {"2075/1/1", nullptr, &yearMessage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    journal.SetCell(1, 1, Sjis("24/12/01"));
    ui.messages.clear();
    host.modified = false;
    const bool stored = Type(1, 1, c.typed);
    EXPECT_EQ(stored, c.stored != nullptr);
    EXPECT_EQ(journal.OpenEditorKind(), Editor::None);
    EXPECT_EQ(journal.EditorText(), "");
    if (c.stored) {
      EXPECT_EQ(journal.Cell(1, 1), c.stored);
      EXPECT_TRUE(ui.messages.empty());
      EXPECT_TRUE(host.modified);
    } else {
      EXPECT_EQ(journal.Cell(1, 1), "24/12/01");
      EXPECT_EQ(ui.messages, std::vector<std::string>{c.message ? *c.message : dateMessage});
      EXPECT_FALSE(host.modified);
    }
  }
}

TEST_F(JournalTest, AmountsGoIntoBothAmountColumns) {
  EXPECT_TRUE(Type(6, 1, "1200"));
  EXPECT_EQ(journal.Cell(2, 1), "1200");
  EXPECT_EQ(journal.Cell(6, 1), "1200");
  EXPECT_TRUE(Type(2, 1, "0120"));
  EXPECT_EQ(journal.Cell(6, 1), "0120");

  const struct {
    const char* typed;
    const char* message;
  } refusals[] = {
      {"1,200", "金額は数値のみを入力してください"},
      {"-5", "金額は数値のみを入力してください"},
      {"12a", "金額は数値のみを入力してください"},
      {"1200\n", "金額は数値のみを入力してください"},
      {"2147483648", "金額が大きすぎます。2,147,483,647 以下の数値を入力してください"},
      {"99999999999", "金額が大きすぎます。2,147,483,647 以下の数値を入力してください"},
  };
  for (const auto& c : refusals) {
    SCOPED_TRACE(c.typed);
    ui.messages.clear();
    EXPECT_FALSE(Type(2, 1, c.typed));
    EXPECT_EQ(ui.messages, Messages({c.message}));
    EXPECT_EQ(journal.Cell(2, 1), "0120");
    EXPECT_EQ(journal.Cell(6, 1), "0120");
  }

  // An empty editor can't clear an amount.
  EXPECT_TRUE(Type(6, 1, ""));
  EXPECT_EQ(journal.Cell(6, 1), "0120");
  // The largest amount is taken, leading zeros or not.
  EXPECT_TRUE(Type(2, 1, "0002147483647"));
  EXPECT_EQ(journal.Cell(6, 1), "0002147483647");
}

TEST_F(JournalTest, ARefusedEditKeepsTheCurrentCellAndOpensNoEditor) {
  journal.SelectCell(1, 1);
  journal.SetEditorText("40");
  journal.AppendRow();
  journal.SelectCell(2, 2);  // the commit refuses: the current cell stays at (1, 1)
  EXPECT_EQ(journal.CurrentColumn(), 1);
  EXPECT_EQ(journal.CurrentRow(), 1);
  EXPECT_EQ(journal.OpenEditorKind(), Editor::None);
  EXPECT_EQ(ui.messages, Messages({"日付は yy/mm/dd の形式で入力してください"}));

  journal.SelectCell(2, 2);  // the emptied editor was closed: nothing refuses now
  EXPECT_EQ(journal.CurrentColumn(), 2);
  EXPECT_EQ(journal.OpenEditorKind(), Editor::Date);

  // A press is swallowed while the edit is refused, so no drag or selection starts.
  journal.SetEditorText("x");
  EXPECT_FALSE(journal.MousePress(0, 1));
  EXPECT_EQ(journal.SelectedLine(), 0);
  EXPECT_TRUE(journal.MousePress(0, 1));
  EXPECT_EQ(journal.SelectedLine(), 1);
}

TEST_F(JournalTest, ChoosingASubjectFillsTheEmptyOtherSideWithItsCounterpart) {
  journal.Subjects().AddLine(Sjis("食費\t現金"));
  journal.Subjects().Add(Sjis("現金"));
  journal.Subjects().Add(Sjis("雑費"));

  AddLine({"25/06/01", "500"});
  EXPECT_TRUE(Choose(3, 1, "食費"));
  EXPECT_EQ(journal.Cell(5, 1), Sjis("現金"));

  journal.AppendRow();
  EXPECT_TRUE(Choose(5, 2, "食費"));  // the credit side fills the debit side
  EXPECT_EQ(journal.Cell(3, 2), Sjis("現金"));

  journal.AppendRow();
  EXPECT_TRUE(Choose(3, 3, "雑費"));  // no counterpart: the other side stays empty
  EXPECT_EQ(journal.Cell(5, 3), "");

  EXPECT_TRUE(Choose(3, 1, "雑費"));  // a filled other side is kept
  EXPECT_EQ(RowText(journal, 1), Line({"25/06/01", "500", "雑費", "", "現金", ""}));
}

TEST_F(JournalTest, TheSameSubjectOnBothSidesIsRefused) {
  journal.Subjects().Add(Sjis("食費"));
  journal.Subjects().Add(Sjis("現金"));
  AddLine({"", "", "現金", "", "食費", ""});
  EXPECT_TRUE(Choose(3, 1, "食費"));
  EXPECT_TRUE(Choose(5, 1, "現金"));
  EXPECT_EQ(ui.messages,
            Messages({"貸方科目と同じ科目は指定できません", "借方科目と同じ科目は指定できません"}));
  EXPECT_EQ(journal.Cell(3, 1), Sjis("現金"));
  EXPECT_EQ(journal.Cell(5, 1), Sjis("食費"));
  EXPECT_EQ(journal.ChosenSubject(), -1);
}

TEST_F(JournalTest, ClosingTheChooserWithoutAChoiceEmptiesAnUnknownSubject) {
  journal.Subjects().Add(Sjis("食費"));
  AddLine({"", "", "外食", "", "食費", ""});
  journal.SelectCell(3, 1);
  EXPECT_EQ(journal.ChosenSubject(), -1);
  EXPECT_TRUE(journal.CommitEditor());
  EXPECT_EQ(journal.Cell(3, 1), "");
  // A known subject is chosen when the chooser opens, so closing it keeps the cell.
  journal.SelectCell(5, 1);
  EXPECT_TRUE(journal.CommitEditor());
  EXPECT_EQ(journal.Cell(5, 1), Sjis("食費"));
}

TEST_F(JournalTest, SummariesAreFreeTextWithoutLineBreaksOrTabs) {
  AddLine({"25/06/01"});
  EXPECT_TRUE(Type(4, 1, "昼食\tA\r\nB"));
  EXPECT_EQ(journal.Cell(4, 1), Sjis("昼食 A  B"));
  EXPECT_TRUE(host.modified);
  // What was typed is offered from then on, once.
  EXPECT_EQ(journal.Summaries().Summaries(), std::vector<std::string>{Sjis("昼食 A  B")});
  EXPECT_TRUE(Type(4, 1, ""));
  EXPECT_TRUE(Type(4, 1, "昼食 A  B"));
  EXPECT_EQ(journal.Summaries().Count(), 1);
}

TEST_F(JournalTest, ASummaryUsedBeforeProposesTheSubjectsOfItsLatestUse) {
  for (const char* subject : {"食費", "現金", "普通預金", "雑費"})
    journal.Subjects().Add(Sjis(subject));
  journal.Summaries().Add(Sjis("昼食"));
  journal.Summaries().Add(Sjis("会費"));
  AddLine({"25/06/01", "900", "食費", "昼食", "現金", "900"});
  AddLine({"25/06/02", "800", "食費", "昼食", "普通預金", "800"});  // the latest use
  AddLine({"25/06/03", "100", "雑費", "夕食", "現金", "100"});
  const struct {
    const char* debit;  // already in the line before the summary is typed
    const char* credit;
    const char* summary;
    const char* wantDebit;
    const char* wantCredit;
  } cases[] = {
      {"", "", "昼食", "食費", "普通預金"},
      {"雑費", "", "昼食", "雑費", "普通預金"},  // a filled cell is kept; this is now the latest
      {"", "雑費", "昼食", "", "雑費"},          // never the same subject on both sides
      {"", "", "夕食", "", ""},                  // typed for the first time
      {"", "", "会費", "", ""},                  // in the list, but no line uses it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.summary);
    const int row = AddLine({"25/06/04", "500", c.debit, "", c.credit, "500"});
    EXPECT_TRUE(Type(4, row, c.summary));
    EXPECT_EQ(journal.Cell(3, row), Sjis(c.wantDebit));
    EXPECT_EQ(journal.Cell(5, row), Sjis(c.wantCredit));
    journal.AppendRow();
  }
}

}  // namespace
}  // namespace engine::testing
