// The journal's side of the table clipboard and of the jumps between a journal line and the
// ledger rows posted from it.

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/ui.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

void TJournalGrid::CellCopy() {
  CommitEditor();
  clip_.SetCell(Cell(CurrentColumn(), CurrentRow()));
}

void TJournalGrid::CellPaste() {
  switch (editor_) {
    case EditorKind::Date:
    case EditorKind::Summary:
      editorText_ = clip_.CellText();
      NotifyEditor();
      break;
    case EditorKind::Subject: {
      const int index = subjects_.IndexOf(clip_.CellText());
      if (index < 0) {
        ui().Message(Sjis("勘定科目 [") + clip_.CellText() + Sjis("] はありません"));
        return;
      }
      chosenSubject_ = subjects_.Subject(index);
      subjectChosen_ = true;
      NotifyEditor();
      break;
    }
    case EditorKind::None:
      break;
  }
}

void TJournalGrid::LineCopy() {
  if (!CommitEditor()) return;
  if (!ValidRow(CurrentRow())) return;
  clip_.SetLine(RowAt(CurrentRow()).Cells());
}

void TJournalGrid::LinePaste() {
  HistoryStep step(Changes(), Sjis("行の貼り付け"));
  if (!CommitEditor() || Host().RefuseChange()) return;
  const int row = CurrentRow();
  if (!ValidRow(row)) return;
  if (!UnpostForEdit(row)) return;
  WriteRow(row, clip_.GetLine());
  NotifyRows(row, row);
  Host().SetModified();
}

void TJournalGrid::GoToLedgerOf(int subjectColumn, bool debitSide) {
  if (SelectedLine() == 0) {
    ui().Message(Sjis("移動する行を選択してください"));
    return;
  }
  const int row = CurrentRow();
  if (!ValidRow(row)) return;
  const Row& line = RowAt(row);
  const std::string date(line.Cell(1)), amount(line.Cell(2)), summary(line.Cell(4));
  // The ledger row names the subject on the other side as its counterpart.
  const std::string counterpart(line.Cell(debitSide ? 5 : 3));
  const LineKey key = debitSide ? LineKey{date, counterpart, summary, amount, std::string()}
                                : LineKey{date, counterpart, summary, std::string(), amount};
  if (TLedgerGrid* ledger = Host().FindLedger(line.Cell(subjectColumn))) {
    Host().ShowMatchingLine(*ledger, key);
  }
}

void TJournalGrid::GoToDebtor() {
  GoToLedgerOf(3, true);
}

void TJournalGrid::GoToCredit() {
  GoToLedgerOf(5, false);
}

void TJournalGrid::SelectMatchingLine(const LineKey& key) {
  if (const int row = FindLine(key); row != 0) SelectLine(row);
}

void TJournalGrid::SelectLine(int row) {
  TAccGrid::SelectLine(row);
  // Focusing the row opened its editor; a selected line has none.
  HideEditor();
}

}  // namespace engine
