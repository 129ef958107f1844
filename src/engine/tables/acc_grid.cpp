#include "engine/tables/acc_grid.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/fields.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"
#include "engine/history/table_changes.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

namespace {
constexpr int kUnread = INT_MIN;       // date not read yet
constexpr int kUndated = INT_MIN + 1;  // empty column 1
// Ranges this short are sorted by selection.
constexpr int kSelectionSortLimit = 20;
}  // namespace

TLedgerGrid* TableHost::FindLedger(std::string_view caption) {
  for (std::size_t i = 0; i < LedgerCount(); ++i) {
    if (LedgerAt(i).Caption() == caption) return &LedgerAt(i);
  }
  return nullptr;
}

RowError::RowError(const Error& cause, const TAccGrid& table, int row)
    : Error(cause), table_(&table), row_(row) {}

std::string RowError::MessageWithRow() const {
  return Message() + Sjis("（") + table_->Caption() + Sjis(" の ") + std::to_string(row_) +
         Sjis(" 行目）");
}

TAccGrid::TAccGrid(TableHost& host, std::string_view headingCommaText)
    : host_(host), history_(host.Changes()) {
  rows_.resize(2);
  marks_.resize(2);
  auto heading = SplitCommaText(headingCommaText);
  RowTexts texts{};
  // Field 0 is the row-header column's empty heading.
  for (std::size_t i = 1; i < heading.size() && i <= 6; ++i) texts[i - 1] = heading[i];
  rows_[0].Assign(texts);
}

TAccGrid::~TAccGrid() = default;

std::string_view TAccGrid::Cell(int column, int row) const {
  if (row < 0 || row >= RowCount()) return {};
  return rows_[static_cast<std::size_t>(row)].Cell(column);
}

void TAccGrid::SetCell(int column, int row, std::string_view text) {
  if (row < 1 || row >= RowCount() || column < 1 || column > 6) return;
  WriteCell(column, row, text);
  NotifyRows(row, row);
}

History::TableEntry* TAccGrid::Recording() {
  if (!history_) return nullptr;
  if (!history_->Recording()) {
    if (!history_->StepOpen()) history_->Unrecorded();
    return nullptr;
  }
  return &history_->Touch(*this);
}

void TAccGrid::WriteCell(int column, int row, std::string_view text) {
  Row& target = rows_[static_cast<std::size_t>(row)];
  const std::string_view before = target.Cell(column);
  if (before == text) return;
  if (History::TableEntry* entry = Recording(); entry && !AppendedInStep(*entry, row)) {
    auto* writes = dynamic_cast<CellWrites*>(history_->LastChange());
    if (!writes || &writes->Table() != this) {
      auto made = std::make_unique<CellWrites>(*this);
      writes = made.get();
      history_->Record(std::move(made));
    }
    writes->Add(column, row, before, text);
  }
  target.SetCell(column, text);
}

void TAccGrid::WriteRow(int row, const RowTexts& texts) {
  Row& target = rows_[static_cast<std::size_t>(row)];
  if (History::TableEntry* entry = Recording(); entry && !AppendedInStep(*entry, row)) {
    if (target.Cells() == texts) return;
    Row written(texts);
    using std::swap;
    swap(target, written);
    history_->Record(std::make_unique<RowWrite>(*this, row, std::move(written)));
    return;
  }
  target.Assign(texts);
}

void TAccGrid::AppendRows(int count, std::uint8_t mark) {
  if (count <= 0) return;
  if (History::TableEntry* entry = Recording()) {
    // Appends since the table's last other change of rows grow one record: undoing it
    // takes all those rows at once, whatever the step wrote into them.
    auto* appended = static_cast<RowsAppended*>(entry->appending);
    if (!appended) {
      auto made = std::make_unique<RowsAppended>(*this, RowCount());
      appended = made.get();
      entry->appendedFrom = RowCount();
      entry->appending = appended;
      history_->Record(std::move(made));
    }
    appended->Grow(count);
  }
  rows_.resize(rows_.size() + static_cast<std::size_t>(count));
  marks_.resize(rows_.size(), mark);
}

void TAccGrid::EraseRow(int row) {
  const auto at = static_cast<std::size_t>(row);
  if (History::TableEntry* entry = Recording()) {
    EndAppending(*entry);
    history_->Record(std::make_unique<RowErased>(*this, row, std::move(rows_[at]), marks_[at]));
  }
  rows_.erase(rows_.begin() + row);
  marks_.erase(marks_.begin() + row);
}

void TAccGrid::SetMark(int row, std::uint8_t mark) {
  std::uint8_t& target = marks_[static_cast<std::size_t>(row)];
  if (target == mark) return;
  if (History::TableEntry* entry = Recording(); entry && !AppendedInStep(*entry, row)) {
    auto* writes = dynamic_cast<MarkWrites*>(history_->LastChange());
    if (!writes || &writes->Table() != this) {
      auto made = std::make_unique<MarkWrites>(*this);
      writes = made.get();
      history_->Record(std::move(made));
    }
    writes->Add(row, target, mark);
  }
  target = mark;
}

void TAccGrid::ReplaceRows(std::vector<Row> rows, std::uint8_t mark) {
  std::vector<std::uint8_t> marks(std::max<std::size_t>(rows.size(), 2), mark);
  ReplaceRows(std::move(rows), std::move(marks));
}

void TAccGrid::ReplaceRows(std::vector<Row> rows, std::vector<std::uint8_t> marks) {
  if (rows.empty()) rows.emplace_back();
  if (rows.size() < 2) rows.emplace_back();
  marks.resize(rows.size(), 0);
  marks[0] = 0;
  std::swap(rows[0], rows_[0]);
  rows_.swap(rows);
  marks_.swap(marks);
  if (History::TableEntry* entry = Recording()) {
    EndAppending(*entry);
    history_->Record(std::make_unique<RowsReplaced>(*this, std::move(rows), std::move(marks)));
  }
}

GridCursor TAccGrid::Cursor() const {
  return {currentColumn_, currentRow_, selectedLine_, focusedColumn_, focusedRow_};
}

void TAccGrid::RestoreCursor(const GridCursor& cursor) {
  const int last = RowCount() - 1;
  currentColumn_ = cursor.currentColumn;
  currentRow_ = std::clamp(cursor.currentRow, 1, last);
  selectedLine_ = cursor.selectedLine > last ? 0 : cursor.selectedLine;
  focusedColumn_ = cursor.focusedColumn;
  focusedRow_ = std::clamp(cursor.focusedRow, 1, last);
}

void TAccGrid::HistoryApplied() {
  NotifyReset();
  NotifyFocus();
  NotifyMarks();
}

void TAccGrid::DragRow(int from, int to) {
  HistoryStep step(history_, Sjis("行の移動"));
  if (MoveRow(from, to)) LineMoved(from, to);
}

Ui& TAccGrid::ui() const {
  return host_.ui();
}

void TAccGrid::SelectCell(int column, int row) {
  focusedColumn_ = column;
  focusedRow_ = row;
  CellSelected(column, row);
}

void TAccGrid::FocusRow(int row) {
  if (row < 1 || row >= RowCount()) return;
  SelectCell(focusedColumn_ < 1 ? 1 : focusedColumn_, row);
  NotifyFocus();
}

void TAccGrid::AppendRow() {
  AppendRows(1, 0);
  NotifyReset();
}

void TAccGrid::RemoveRow(int row) {
  if (row < 1 || row >= RowCount()) return;
  if (RowCount() > 2) {
    EraseRow(row);
    currentRow_ = row == RowCount() ? row - 1 : row;
  } else {
    WriteRow(1, RowTexts{});
    currentRow_ = row;
  }
  selectedLine_ = currentRow_;
  currentColumn_ = 0;
  NotifyReset();
  RefreshStatus();
  NotifyMarks();
}

bool TAccGrid::MoveRow(int from, int to) {
  if (from == to || from < 1 || to < 1 || from >= RowCount() || to >= RowCount()) return false;
  if (host_.RefuseChange()) {
    NotifyReset();  // the view has already drawn the row at its new place
    return false;
  }
  RowMoved moved(*this, from, to);
  moved.Redo();
  if (History::TableEntry* entry = Recording()) {
    EndAppending(*entry);
    history_->Record(std::make_unique<RowMoved>(moved));
  }
  NotifyReset();
  return true;
}

void TAccGrid::LineMoved(int from, int to) {
  if (from == to) return;
  selectedLine_ = to;
  currentColumn_ = 0;
  currentRow_ = to;
  ShowSelectedLineStatus(to);
  host_.SetModified();
  NotifyMarks();
}

bool TAccGrid::LoadRows(const QString& path) {
  const FileView file(path);
  const std::string_view content = file.Bytes();
  std::size_t count = 0;
  ForEachLine(content, [&](std::string_view) { ++count; });
  if (count == 0) return false;
  std::vector<Row> rows;
  rows.reserve(count + 2);
  rows.emplace_back();  // the heading's place
  unreadableCount_ = filledLines_ = commaLines_ = 0;
  firstUnreadable_.clear();
  int number = 0;
  ForEachLine(content, [&](std::string_view line) {
    ++number;
    rows.emplace_back(SplitFieldViews<6>(line, '\t'));
    if (line.empty()) return;
    ++filledLines_;
    if (std::count(line.begin(), line.end(), '\t') == 5 && IsStoredRow(rows.back())) return;
    ++unreadableCount_;
    if (line.find('\t') == std::string_view::npos && std::count(line.begin(), line.end(), ',') >= 5)
      ++commaLines_;
    if (firstUnreadable_.size() < kUnreadableShown)
      firstUnreadable_.push_back({number, ShortenedText(line)});
  });
  ReplaceRows(std::move(rows), 0);
  NotifyReset();
  return true;
}

void TAccGrid::LoadTable(const QString& path) {
  LoadRows(path);
}

std::string TAccGrid::FileImage() const {
  std::size_t size = 0;
  for (int r = 1; r < RowCount(); ++r) {
    if (!IsStoredRow(RowAt(r))) continue;
    for (const std::string_view cell : RowAt(r).Cells()) size += cell.size() + 1;
    size += 1;
  }
  std::string image;
  image.reserve(size);
  for (int r = 1; r < RowCount(); ++r) {
    const Row& row = RowAt(r);
    if (!IsStoredRow(row)) continue;
    for (int c = 1; c <= 6; ++c) {
      if (c > 1) image.push_back('\t');
      image.append(row.Cell(c));
    }
    image.append("\r\n", 2);
  }
  return image;
}

void TAccGrid::SwapRows(int a, int b) {
  if (a == b) return;
  using std::swap;
  const auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
  swap(rows_[i], rows_[j]);
  std::swap(marks_[i], marks_[j]);
  if (sortOrder_) std::swap((*sortOrder_)[i - 1], (*sortOrder_)[j - 1]);
}

Date TAccGrid::RowDate(int row, int currentYear) const {
  try {
    return ReadDate(Cell(1, row), currentYear);
  } catch (const Error& e) {
    throw RowError(e, *this, row);
  }
}

int TAccGrid::DateOf(int row, std::vector<int>& days) const {
  int& cached = days[static_cast<std::size_t>(row)];
  if (cached == kUnread) cached = IsDated(row) ? RowDate(row, sortYear_).Days() : kUndated;
  return cached;
}

void TAccGrid::SwapSorted(int a, int b, std::vector<int>& days) {
  SwapRows(a, b);
  std::swap(days[static_cast<std::size_t>(a)], days[static_cast<std::size_t>(b)]);
}

void TAccGrid::SortByDate() {
  const int n = RowCount() - 1;
  std::vector<int> days(rows_.size(), kUnread);
  // Asking the clock once, not once per row, keeps a million-row sort fast.
  sortYear_ = Today().year();
  // A recorded sort keeps where each row came from, which is all its undo needs.
  std::vector<std::uint32_t> order;
  if (Recording()) {
    EndAppending(*Recording());
    order.resize(static_cast<std::size_t>(std::max(n, 0)));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i + 1);
    sortOrder_ = &order;
  }
  // Every row's texts may move; the view re-reads them and the order is recorded (as far as
  // the sort got) whatever happens.
  struct OnExit {
    TAccGrid& grid;
    std::vector<std::uint32_t>& order;
    ~OnExit() {
      grid.sortOrder_ = nullptr;
      bool moved = false;
      for (std::size_t i = 0; i < order.size() && !moved; ++i) moved = order[i] != i + 1;
      if (moved) grid.history_->Record(std::make_unique<RowsSorted>(grid, std::move(order)));
      grid.NotifyReset();
    }
  } onExit{*this, order};
  if (n > kSelectionSortLimit) {
    PartitionSort(1, n, days);
  } else {
    SelectionSort(1, n, days);
  }
}

void TAccGrid::SelectionSort(int lo, int hi, std::vector<int>& days) {
  for (int i = lo; i <= hi; ++i) {
    if (DateOf(i, days) == kUndated) continue;
    int m = i;
    for (int j = i + 1; j <= hi; ++j) {
      const int d = DateOf(j, days);
      if (d != kUndated && d < DateOf(m, days)) m = j;
    }
    if (m != i) SwapSorted(i, m, days);
  }
}

void TAccGrid::PartitionSort(int lo, int hi, std::vector<int>& days) {
  // The larger part is handled by the loop and the smaller by recursion, so the depth stays
  // logarithmic whatever the dates; the parts are disjoint, so the order of work changes
  // nothing in the result.
  for (;;) {
    const int mid = lo + (hi - lo) / 2;
    // The pivot is looked for by whether a row is dated; its date is read only once it has
    // been swapped to the front, so a pivot whose date doesn't read stops the sort with that
    // swap made.
    int p = mid;
    while (p <= hi && !IsDated(p)) ++p;
    if (p > hi) {
      // No dated row from the middle on: take the last dated row before it.
      p = mid - 1;
      while (p >= lo && !IsDated(p)) --p;
      if (p < lo) return;  // nothing dated: nothing moves
    }
    SwapSorted(lo, p, days);
    const int pivot = DateOf(lo, days);
    int q = lo;
    for (int r = lo + 1; r <= hi; ++r) {
      const int d = DateOf(r, days);
      if (d != kUndated && (d < pivot || (d == pivot && r < p))) {
        ++q;
        SwapSorted(q, r, days);
      }
    }
    SwapSorted(lo, q, days);
    // A part of at most kSelectionSortLimit rows is sorted by selection.
    auto sortPart = [&](int a, int b) {
      if (b - a + 1 <= kSelectionSortLimit) {
        SelectionSort(a, b, days);
      } else {
        PartitionSort(a, b, days);
      }
    };
    if (q - lo <= hi - q) {
      sortPart(lo, q - 1);
      if (hi - q <= kSelectionSortLimit) {
        SelectionSort(q + 1, hi, days);
        return;
      }
      lo = q + 1;
    } else {
      sortPart(q + 1, hi);
      if (q - lo <= kSelectionSortLimit) {
        SelectionSort(lo, q - 1, days);
        return;
      }
      hi = q - 1;
    }
  }
}

bool TAccGrid::MousePress(int column, int row) {
  if (column == 0 && row >= 1 && row < RowCount()) {
    selectedLine_ = row;
    currentRow_ = row;
    currentColumn_ = 0;
    ShowSelectedLineStatus(row);
    NotifyMarks();
  }
  return true;
}

void TAccGrid::ShowCellStatus(int column, int row) {
  ui().SetStatus(1, "cell ( " + std::to_string(column) + " : " + std::to_string(row) + " )");
}

void TAccGrid::ShowSelectedLineStatus(int row) {
  ShowCellStatus(0, row);
  ui().SetStatus(2, std::to_string(row) + Sjis(" 行目選択"));
}

void TAccGrid::RefreshStatus() {
  ShowCellStatus(currentColumn_, currentRow_);
  ui().SetStatus(2, selectedLine_ != 0 ? std::to_string(selectedLine_) + Sjis(" 行目選択") : "");
}

void TAccGrid::SelectLine(int row) {
  if (row < 1 || row >= RowCount()) return;
  FocusRow(row);
  SetCurrentCell(0, row);
  SetSelectedLine(row);
  RefreshStatus();
  NotifyMarks();
}

int TAccGrid::FindLine(const LineKey& key) const {
  for (int r = 1; r < RowCount(); ++r) {
    const Row& row = rows_[static_cast<std::size_t>(r)];
    bool equal = true;
    for (int c = 1; c <= 5 && equal; ++c)
      equal = row.Cell(c) == key[static_cast<std::size_t>(c - 1)];
    if (equal) return r;
  }
  return 0;
}

void TAccGrid::NotifyReset() const {
  if (view_) view_->RowsReset();
}
void TAccGrid::NotifyRows(int first, int last) const {
  if (view_) view_->RowsChanged(first, last);
}
void TAccGrid::NotifyMarks() const {
  if (view_) view_->MarksChanged();
}
void TAccGrid::NotifyFocus() const {
  if (view_) view_->FocusChanged();
}
void TAccGrid::NotifyEditor() const {
  if (view_) view_->EditorChanged();
}

}  // namespace engine
