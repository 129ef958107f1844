#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/date.h"
#include "engine/history/history.h"
#include "engine/tables/row.h"
#include "engine/tables/row_error.h"
#include "engine/tables/table_host.h"

namespace engine {

// What a grid on screen hears from its table. The desktop's grid adapter implements it; a
// table without a view ignores it.
class GridView {
 public:
  virtual ~GridView() = default;
  // Rows were added, removed or rewritten in bulk: re-read everything.
  virtual void RowsReset() = 0;
  // Texts of rows first..last changed, the row count did not.
  virtual void RowsChanged(int first, int last) = 0;
  // The row marks (selected line, unposted rows, the frame) need repainting.
  virtual void MarksChanged() = 0;
  // The table moved the toolkit's focused cell itself (a new line, a jump to a line).
  virtual void FocusChanged() = 0;
  // An in-place editor opened, closed or had its text changed by the table.
  virtual void EditorChanged() {}
  // The table asks that its last rows be shown.
  virtual void ScrollToEnd() {}
};

// The common base of the journal and the ledgers: a grid of texts with a heading row (row 0)
// and a row-header column (column 0), at least one data row, the current cell and the
// selected line.
class TAccGrid {
 public:
  static constexpr int kColumnCount = 7;
  static constexpr int kHeaderWidth = 20;
  static constexpr int kRowHeight = 20;

  TAccGrid(TableHost& host, std::string_view headingCommaText);
  virtual ~TAccGrid();
  TAccGrid(const TAccGrid&) = delete;
  TAccGrid& operator=(const TAccGrid&) = delete;

  // The child window's caption: 仕訳帳 for the journal, the subject's name for a ledger.
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }

  // Cells. Row 0 is the heading; column 0 never holds text.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  std::string_view Cell(int column, int row) const;
  void SetCell(int column, int row, std::string_view text);
  const Row& RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  // True when column 1 of the data row holds text.
  bool IsDated(int row) const { return !Cell(1, row).empty(); }

  // The byte a table keeps beside each row (the journal's posted state); 0 for the heading.
  std::uint8_t Mark(int row) const {
    return row < 0 || row >= RowCount() ? 0 : marks_[static_cast<std::size_t>(row)];
  }

  int CurrentColumn() const { return currentColumn_; }
  int CurrentRow() const { return currentRow_; }
  int SelectedLine() const { return selectedLine_; }

  // The toolkit's focused cell, held apart from the current cell.
  int FocusedColumn() const { return focusedColumn_; }
  int FocusedRow() const { return focusedRow_; }
  // The user selects a cell: the toolkit's focus moves there and CellSelected runs.
  void SelectCell(int column, int row);
  // The table moves the toolkit's focused row itself, which selects that cell as well.
  void FocusRow(int row);

  // Room for `count` rows in all, so that a long run of appended rows (posting a whole
  // journal) doesn't move the rows again and again.
  void ReserveRows(int count) {
    if (count <= RowCount()) return;
    rows_.reserve(static_cast<std::size_t>(count));
    marks_.reserve(static_cast<std::size_t>(count));
  }

  // Rows and marks as a recovery file kept them (rows[0] a place holder for the heading).
  void LoadRecovered(std::vector<Row> rows, std::vector<std::uint8_t> marks) {
    ReplaceRows(std::move(rows), std::move(marks));
    NotifyReset();
  }

  // The cursor as the undo history keeps it, and its return after an undo or redo.
  GridCursor Cursor() const;
  void RestoreCursor(const GridCursor& cursor);
  // An undo or redo changed the table: the view re-reads it and the cursor shows again.
  virtual void HistoryApplied();

  void SetView(GridView* view) { view_ = view; }
  GridView* View() const { return view_; }
  TableHost& Host() const { return host_; }

  // The table's own operations, overridden per table.
  virtual void CellSelected(int column, int row) = 0;
  virtual void AppendRow();
  virtual void RemoveRow(int row);
  // Runs after the toolkit's row drag has moved the texts (MoveRow).
  virtual void LineMoved(int from, int to);
  // Column widths 1 to 6 for a window of the given width.
  virtual std::array<int, 6> FitColumns(int windowWidth) const = 0;
  // Columns of amounts, which are shown right-aligned and with their digits grouped.
  virtual bool IsAmountColumn(int column) const = 0;
  // The column of a running balance, which may go negative; 0 when the table has none.
  virtual int BalanceColumn() const { return 0; }
  virtual void LoadTable(const QString& path);
  virtual void SaveTable(const QString& path) = 0;
  // The table file's bytes: the rows IsStoredRow keeps, TAB between the cells, CR LF after
  // each.
  std::string FileImage() const;
  // True for a row the table file keeps; the others are dropped when the table is saved.
  virtual bool IsStoredRow(const Row& row) const = 0;

  // Lines of the last loaded file that are no rows of this table (not six TAB-separated
  // fields, or fields the table would not keep): how many, and the first few with their line
  // numbers (from 1) and at most about 100 bytes of their text.
  struct UnreadableLine {
    int number = 0;
    std::string text;
  };
  static constexpr std::size_t kUnreadableShown = 5;
  int UnreadableCount() const { return unreadableCount_; }
  const std::vector<UnreadableLine>& FirstUnreadable() const { return firstUnreadable_; }
  virtual void CellCopy() = 0;
  virtual void CellPaste() = 0;
  virtual void LineCopy() = 0;
  virtual void LinePaste() = 0;
  virtual void LineAdd() = 0;
  virtual void LineDel() = 0;
  virtual void GoToDebtor() = 0;
  virtual void GoToCredit() = 0;
  virtual void GoToJournal() = 0;
  virtual void GoToLedger() = 0;
  virtual void PostLine() = 0;
  virtual void SortByDate();
  virtual void SelectMatchingLine(const LineKey& key) = 0;
  // A mouse press on a cell. Returns false when the press must not reach the toolkit.
  virtual bool MousePress(int column, int row);

  // What the toolkit's row drag does before the row-moved event: the texts of row `from` go
  // to row `to` and the rows between shift by one place. Nothing else attached to rows moves.
  // False when nothing moved (the same row, a row out of range, or a book that must not
  // change); LineMoved must then not follow.
  bool MoveRow(int from, int to);
  // The user's row drag as one command: MoveRow, then LineMoved.
  void DragRow(int from, int to);
  void SwapRows(int a, int b);
  void RefreshStatus();
  // Jumps to a line: the toolkit's focused row becomes `row`, which is then the current row
  // and the selected line (current column 0).
  virtual void SelectLine(int row);
  // The first data row whose columns 1 to 5 equal the key, or 0.
  int FindLine(const LineKey& key) const;

  // The data rows' columns 1 to 6 joined by a TAB (TextOut) or by "," (CSVOut), one line per
  // row; no heading line, no quoting, and wholly empty rows left out (table_output.cpp).
  std::vector<std::string> TextOut() const;
  std::vector<std::string> CSVOut() const;
  // The rows those outputs are made of: the data rows that hold any text, in order.
  std::vector<RowTexts> OutputRows() const;

 protected:
  // Every change to the rows and their marks goes through these, which report it to the
  // book's history while a step is open. None of them tells the view.
  void WriteCell(int column, int row, std::string_view text);
  void WriteRow(int row, const RowTexts& texts);
  void AppendRows(int count, std::uint8_t mark);
  void EraseRow(int row);
  void SetMark(int row, std::uint8_t mark);
  // Rows 1 and on replaced by rows[1] and on, every one with `mark`; rows[0] is a place
  // holder, the heading stays.
  void ReplaceRows(std::vector<Row> rows, std::uint8_t mark);
  void ReplaceRows(std::vector<Row> rows, std::vector<std::uint8_t> marks);
  // The history of the book the table belongs to, or null.
  History* Changes() const { return history_; }

  void SetCurrentCell(int column, int row) {
    currentColumn_ = column;
    currentRow_ = row;
  }
  void SetSelectedLine(int row) { selectedLine_ = row; }
  // Loads a table file's lines into rows 1 and on; false when the file had no lines.
  bool LoadRows(const QString& path);
  // Column 1 of the row read as a date; a text that doesn't read throws RowError.
  Date RowDate(int row, int currentYear) const;
  // Status panels 1 and 2 for a selected line.
  void ShowSelectedLineStatus(int row);
  void ShowCellStatus(int column, int row);
  Ui& ui() const;

  void NotifyReset() const;
  void NotifyRows(int first, int last) const;
  void NotifyMarks() const;
  void NotifyFocus() const;
  void NotifyEditor() const;

  // Of the last loaded file: its non-empty lines, and those of them that hold no TAB but
  // five or more commas (a CSV file).
  int filledLines_ = 0;
  int commaLines_ = 0;

 private:
  friend class TableEdits;
  // The table's entry in the open step, or null when nothing records.
  History::TableEntry* Recording();
  // True when `row` was appended in the open step, which then needs no further record.
  bool AppendedInStep(const History::TableEntry& entry, int row) const {
    return entry.appendedFrom >= 0 && row >= entry.appendedFrom;
  }
  // A change of rows other than an append ends the open step's run of appended rows.
  static void EndAppending(History::TableEntry& entry) {
    entry.appending = nullptr;
    entry.appendedFrom = -1;
  }

  void SelectionSort(int lo, int hi, std::vector<int>& days);
  void PartitionSort(int lo, int hi, std::vector<int>& days);
  void SwapSorted(int a, int b, std::vector<int>& days);
  int DateOf(int row, std::vector<int>& days) const;

  std::vector<Row> rows_;
  std::vector<std::uint8_t> marks_;
  TableHost& host_;
  History* history_;
  GridView* view_ = nullptr;
  std::string caption_;
  int currentColumn_ = 1;
  int currentRow_ = 1;
  int selectedLine_ = 0;
  int focusedColumn_ = 1;
  int focusedRow_ = 1;
  // The current year while a sort runs, read once: asking the clock per row would dominate.
  int sortYear_ = 0;
  int unreadableCount_ = 0;
  std::vector<UnreadableLine> firstUnreadable_;
  // While a recorded sort runs: where each row stood before it.
  std::vector<std::uint32_t>* sortOrder_ = nullptr;
};

}  // namespace engine
