#include <string>
#include <vector>

#include "journal_fixture.h"

namespace engine::testing {
namespace {

using Editor = TJournalGrid::EditorKind;

class ClipboardTest : public JournalTest {
 protected:
  TLedgerGrid& food = host.AddLedger(Sjis("食費"));
  TLedgerGrid& cash = host.AddLedger(Sjis("現金"));
  const std::vector<std::string> lunch = {"25/06/05", "1200", "食費", "昼食", "現金", "1200"};

  ClipboardTest() {
    journal.Subjects().Add(Sjis("食費"));
    journal.Subjects().Add(Sjis("現金"));
  }
};

TEST_F(ClipboardTest, ACopiedDateRefusedWhenPastedAsAnAmount) {
  AddLine(lunch);
  journal.SelectCell(1, 1);
  journal.CellCopy();
  EXPECT_EQ(journal.Clip().CellText(), "25/06/05");
  EXPECT_EQ(journal.OpenEditorKind(), Editor::None);  // the copy committed the editor
  SelectLine(1);
  journal.CellCopy();  // a selected line has no current cell to copy
  EXPECT_EQ(journal.Clip().CellText(), "");
  journal.SelectCell(1, 1);
  journal.CellCopy();

  journal.SelectCell(2, 1);
  journal.CellPaste();
  EXPECT_EQ(journal.EditorText(), "25/06/05");
  journal.SelectCell(3, 1);
  EXPECT_EQ(ui.messages, Messages({"金額は数値のみを入力してください"}));
  EXPECT_EQ(journal.Cell(2, 1), "1200");
}

TEST_F(ClipboardTest, PastingIntoTheSubjectChooserPicksAKnownSubjectOnly) {
  journal.Subjects().Add("Bank");
  AddLine({"25/06/05", "1", "", "", "", "1"});
  journal.SelectCell(3, 1);
  journal.Clip().SetCell(Sjis("外食"));
  journal.CellPaste();
  EXPECT_EQ(ui.messages, Messages({"勘定科目 [外食] はありません"}));
  EXPECT_EQ(journal.ChosenSubject(), -1);

  journal.Clip().SetCell("BANK");
  journal.CellPaste();
  EXPECT_EQ(journal.ChosenSubject(), journal.Subjects().IndexOf("Bank"));
  journal.CommitEditor();
  EXPECT_EQ(journal.Cell(3, 1), "Bank");

  journal.CellPaste();  // no editor open: nothing happens
  EXPECT_EQ(journal.OpenEditorKind(), Editor::None);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ClipboardTest, LinePasteBeforeAnyCopyEmptiesThePostedRow) {
  AddLine(lunch);
  ASSERT_TRUE(journal.PostAll());
  host.modified = false;
  SelectLine(1);
  journal.LinePaste();
  EXPECT_TRUE(journal.RowAt(1).IsEmpty());
  EXPECT_FALSE(journal.IsPosted(1));
  EXPECT_TRUE(LedgerRows(food).empty());
  EXPECT_TRUE(host.modified);
}

TEST_F(ClipboardTest, LineCopyAndPasteMoveAllSixTextsAndLeaveTheRowUnposted) {
  LoadLines({lunch, {"25/06/06", "300", "現金", "両替", "食費", "300"}});
  journal.SelectCell(4, 1);
  journal.LineCopy();
  SelectLine(2);
  journal.LinePaste();
  EXPECT_EQ(RowText(journal, 2), Line(lunch));
  EXPECT_FALSE(journal.IsPosted(2));
  EXPECT_TRUE(journal.IsPosted(1));

  // A refused edit stops both commands.
  journal.SelectCell(1, 3);
  journal.SetEditorText("x");
  journal.LineCopy();
  journal.SelectCell(1, 3);
  journal.SetEditorText("x");
  journal.LinePaste();
  EXPECT_TRUE(journal.RowAt(3).IsEmpty());
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(ClipboardTest, GoToDebtorAndCreditSelectTheLedgerRows) {
  AddLine({"25/06/01", "9", "食費", "昼食", "現金", "9"});
  AddLine(lunch);
  ASSERT_TRUE(journal.PostAll());

  journal.GoToDebtor();
  EXPECT_EQ(ui.messages, Messages({"移動する行を選択してください"}));
  journal.GoToCredit();
  EXPECT_EQ(ui.messages.size(), 2u);

  SelectLine(2);
  journal.GoToDebtor();
  EXPECT_EQ(food.SelectedLine(), 2);
  EXPECT_EQ(RowText(food, 2), Line({"25/06/05", "現金", "昼食", "1200", "", "1209"}));
  journal.GoToCredit();
  EXPECT_EQ(cash.SelectedLine(), 2);
  EXPECT_EQ(host.shownMatching, Messages({"食費", "現金"}));

  // An unposted line still shows the ledger; nothing is selected in it.
  journal.Unpost(2);
  food.SelectCell(1, 1);
  journal.GoToDebtor();
  EXPECT_EQ(food.SelectedLine(), 0);
  EXPECT_EQ(host.shownMatching.size(), 3u);

  // A subject without a ledger shows nothing.
  journal.SetCell(3, 2, Sjis("交通費"));
  journal.GoToDebtor();
  EXPECT_EQ(host.shownMatching.size(), 3u);
}

TEST_F(ClipboardTest, SelectMatchingLineLandsOnTheFirstMatchAndClosesTheEditor) {
  AddLine({"25/06/01", "9", "食費", "昼食", "現金", "9"});
  AddLine(lunch);
  AddLine(lunch);
  journal.SelectCell(4, 1);
  journal.SetEditorText("typed");
  journal.SelectMatchingLine({Sjis("25/06/05"), "1200", Sjis("食費"), Sjis("昼食"), Sjis("現金")});
  EXPECT_EQ(journal.SelectedLine(), 2);
  EXPECT_EQ(journal.CurrentRow(), 2);
  EXPECT_EQ(journal.CurrentColumn(), 0);
  EXPECT_EQ(journal.FocusedRow(), 2);
  EXPECT_EQ(journal.OpenEditorKind(), Editor::None);
  EXPECT_EQ(journal.Cell(4, 1), Sjis("typed"));  // the focus move committed the edit first

  journal.SelectMatchingLine({Sjis("25/06/05"), "1201", Sjis("食費"), Sjis("昼食"), Sjis("現金")});
  EXPECT_EQ(journal.SelectedLine(), 2);
}

}  // namespace
}  // namespace engine::testing
