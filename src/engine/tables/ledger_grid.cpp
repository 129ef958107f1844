#include "engine/tables/ledger_grid.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/base/cp932.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"

namespace engine {

namespace {

const std::string kNumericPattern = "^[0-9]+$";
const std::string kSignedPattern = "^-?[0-9]+$";

// numerator / denominator rounded to the nearest integer, halves to the even neighbour.
int RoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
  std::int64_t quotient = numerator / denominator;
  std::int64_t remainder = numerator % denominator;
  if (remainder < 0) {
    remainder += denominator;
    --quotient;
  }
  if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0)) {
    ++quotient;
  }
  return static_cast<int>(quotient);
}

}  // namespace

TLedgerGrid::TLedgerGrid(TableHost& host)
    : TAccGrid(host, Sjis(",日付,相手科目名,摘要,借方金額,貸方金額,差引残高")) {}

TLedgerGrid::~TLedgerGrid() = default;

bool TLedgerGrid::Matches(const std::string& pattern, std::string_view text) const {
  if (matcher_.RegExp() != pattern) matcher_.SetRegExp(pattern);
  return matcher_.Match(text) > 0;
}

bool TLedgerGrid::IsNumeric(std::string_view text) const {
  return !text.empty() && Matches(kNumericPattern, text);
}

std::int32_t TLedgerGrid::AmountDelta(int row) const {
  if (IsNumeric(Cell(4, row))) return ReadInt(Cell(4, row));
  // Digits only, so the value is never negative and its negation always fits.
  if (IsNumeric(Cell(5, row))) return -ReadInt(Cell(5, row));
  return 0;
}

void TLedgerGrid::StoreBalance(int row, std::int32_t value) {
  WriteCell(6, row, IntToText(value));
}

void TLedgerGrid::CellSelected(int column, int row) {
  NotifyMarks();
  SetSelectedLine(0);
  SetCurrentCell(column, row);
  ShowCellStatus(column, row);
  ui().SetStatus(2, "");
}

bool TLedgerGrid::MousePress(int column, int row) {
  NotifyMarks();
  return TAccGrid::MousePress(column, row);
}

void TLedgerGrid::RemoveRow(int row) {
  if (row < 1 || row >= RowCount()) return;
  // Taking the row out shifts every later balance by its amount, and each of them is written
  // back as a plain integer even when the amount is 0. The new balances are all computed
  // before anything changes, so a balance that doesn't convert stops the removal with the
  // ledger as it was.
  const std::int32_t delta = -AmountDelta(row);
  int last = RowCount() - 1;
  while (last > row && Cell(6, last).empty()) --last;
  std::vector<std::optional<std::int32_t>> repaired;
  repaired.reserve(static_cast<std::size_t>(last - row));
  for (int r = row + 1; r <= last; ++r) {
    // A wholly empty row (a blank line of a hand-made file) has nothing to repair; a row with
    // any text needs an integer balance.
    if (RowAt(r).IsEmpty()) {
      repaired.emplace_back();
    } else {
      repaired.emplace_back(CheckedAdd(ReadInt(Cell(6, r)), delta));
    }
  }
  TAccGrid::RemoveRow(row);
  if (repaired.empty()) return;
  for (std::size_t i = 0; i < repaired.size(); ++i) {
    if (repaired[i]) StoreBalance(row + static_cast<int>(i), *repaired[i]);
  }
  NotifyRows(row, row + static_cast<int>(repaired.size()) - 1);
}

void TLedgerGrid::LineMoved(int from, int to) {
  TAccGrid::LineMoved(from, to);
  if (from == to || from < 1 || to < 1 || from >= RowCount() || to >= RowCount()) return;
  if (from < to) {
    MovedDown(from, to);
  } else {
    MovedUp(from, to);
  }
}

void TLedgerGrid::MovedDown(int from, int to) {
  // Rows from..to-1 moved up by one place and lose the moved row's amount; each balance is
  // written back as a plain integer even when that amount is 0. Empty rows among them (the
  // trailing row, when a row was dropped below it) go back to the end; a row with text but no
  // balance stays where it is rather than being thrown away. Everything is computed before
  // the first cell changes, so a balance that doesn't convert leaves every balance as it was.
  const std::int32_t delta = AmountDelta(to);
  std::vector<std::pair<int, std::int32_t>> balances;
  std::vector<int> emptyRows;
  for (int r = from; r < to; ++r) {
    const std::string_view balance = Cell(6, r);
    if (RowAt(r).IsEmpty()) {
      emptyRows.push_back(r);
    } else if (!balance.empty()) {
      balances.emplace_back(r, CheckedSub(ReadInt(balance), delta));
    }
  }
  // An empty row carries no amount and gets no balance wherever it is dropped.
  const bool movedEmpty = RowAt(to).IsEmpty();
  std::int32_t movedBalance = delta;
  if (!movedEmpty) {
    // The row that will stand right above the moved one once the empty rows have gone.
    int above = to - 1;
    while (above >= from && RowAt(above).IsEmpty()) --above;
    auto changed = std::find_if(balances.begin(), balances.end(),
                                [&](const auto& entry) { return entry.first == above; });
    if (changed != balances.end()) {
      movedBalance = CheckedAdd(delta, changed->second);
    } else if (Matches(kSignedPattern, Cell(6, above))) {
      movedBalance = CheckedAdd(delta, ReadInt(Cell(6, above)));
    }
  }

  // Taking an empty row out rewrites the balances below it as integers, as RemoveRow does;
  // below the moved row that reaches down to the last balance.
  int last = to;
  if (!emptyRows.empty()) {
    last = RowCount() - 1;
    while (last > to && Cell(6, last).empty()) --last;
    for (int r = to + 1; r <= last; ++r) {
      if (!RowAt(r).IsEmpty()) balances.emplace_back(r, ReadInt(Cell(6, r)));
    }
  }

  for (const auto& [r, value] : balances) StoreBalance(r, value);
  if (!movedEmpty) StoreBalance(to, movedBalance);
  NotifyRows(from, last);
  int removed = 0;
  for (const int r : emptyRows) {
    // The balances its removal changes were all written above.
    TAccGrid::RemoveRow(r - removed);
    AppendRow();
    ++removed;
  }
}

void TLedgerGrid::MovedUp(int from, int to) {
  if (Cell(6, to).empty()) {
    // The empty trailing row was dragged up: it goes back to the end. A row that holds text
    // but no balance is left where it was dropped rather than thrown away.
    if (RowAt(to).IsEmpty()) {
      RemoveRow(to);
      AppendRow();
    }
    return;
  }
  const std::int32_t delta = AmountDelta(to);
  const std::int32_t movedBalance = to < 2 ? delta : CheckedAdd(ReadInt(Cell(6, to - 1)), delta);
  // Rows to+1..from moved down by one place and now include the moved row's amount; each
  // balance is written back as a plain integer even when that amount is 0.
  std::vector<std::pair<int, std::int32_t>> balances;
  for (int r = to + 1; r <= from; ++r) {
    const std::string_view balance = Cell(6, r);
    if (!balance.empty()) balances.emplace_back(r, CheckedAdd(ReadInt(balance), delta));
  }
  StoreBalance(to, movedBalance);
  for (const auto& [r, value] : balances) StoreBalance(r, value);
  NotifyRows(to, from);
}

void TLedgerGrid::SortByDate() {
  TAccGrid::SortByDate();
  int last = RowCount() - 1;
  while (last >= 1 && !IsDated(last)) --last;

  // The balances are recomputed from the top. They are all computed first and written only
  // when every one converted, so a bad cell leaves the (sorted) rows with their old balances.
  std::optional<std::string> first;
  if (IsNumeric(Cell(4, 1))) {
    first = std::string(Cell(4, 1));
  } else if (IsNumeric(Cell(5, 1))) {
    first.emplace("-");
    first->append(Cell(5, 1));
  }
  std::vector<std::optional<std::int32_t>> balances;
  if (last > 1) balances.reserve(static_cast<std::size_t>(last - 1));
  std::string_view aboveText = first ? std::string_view(*first) : Cell(6, 1);
  // The balance just computed, when the row above had one.
  bool haveAbove = false;
  std::int32_t above = 0;
  for (int r = 2; r <= last; ++r) {
    const bool debit = IsNumeric(Cell(4, r));
    if (!debit && !IsNumeric(Cell(5, r))) {
      // A row with neither amount keeps its balance, and the next row goes on from it.
      balances.emplace_back();
      haveAbove = false;
      aboveText = Cell(6, r);
      continue;
    }
    const std::int32_t previous = haveAbove ? above : ReadInt(aboveText);
    const std::int32_t value = debit ? CheckedAdd(previous, ReadInt(Cell(4, r)))
                                     : CheckedSub(previous, ReadInt(Cell(5, r)));
    balances.emplace_back(value);
    above = value;
    haveAbove = true;
  }

  if (first) WriteCell(6, 1, *first);
  for (std::size_t i = 0; i < balances.size(); ++i) {
    if (balances[i]) StoreBalance(static_cast<int>(i) + 2, *balances[i]);
  }
  NotifyRows(1, std::max(1, last));
}

std::array<int, 6> TLedgerGrid::FitColumns(int windowWidth) const {
  // Widths are shares of the space beside the row header: 8, 20, 30 and three times 12 per
  // hundred, computed in integers so halves round to even exactly.
  static constexpr std::array<int, 6> kShares = {8, 20, 30, 12, 12, 12};
  const std::int64_t room = static_cast<std::int64_t>(windowWidth) - kHeaderWidth;
  std::array<int, 6> widths{};
  for (std::size_t i = 0; i < widths.size(); ++i) {
    widths[i] = std::max(0, RoundHalfEven(kShares[i] * room, 100));
  }
  return widths;
}

void TLedgerGrid::LoadTable(const QString& path) {
  TAccGrid::LoadTable(path);
  // Posting fills the last row, so the ledger must end in an empty one. Testing the last row
  // itself (not whether row 1 is dated) also covers a file that starts with a blank line,
  // whose last row would otherwise be overwritten, and one that already ends with a blank
  // line, which would otherwise leave a blank row between the data and the next posting.
  if (!RowAt(RowCount() - 1).IsEmpty()) AppendRow();
}

// Only complete postings are stored: the trailing row and anything half empty are not.
bool TLedgerGrid::IsStoredRow(const Row& row) const {
  return !(row.Cell(1).empty() || row.Cell(2).empty() || row.Cell(3).empty() ||
           row.Cell(6).empty() || (row.Cell(4).empty() && row.Cell(5).empty()));
}

void TLedgerGrid::SaveTable(const QString& path) {
  WriteFileAtomically(path, FileImage());
}

// The ledger is not edited cell by cell; these commands belong to the journal.
void TLedgerGrid::CellCopy() {
  Host().ShowJournalWindow();
}
void TLedgerGrid::CellPaste() {
  Host().ShowJournalWindow();
}
void TLedgerGrid::LineCopy() {
  Host().ShowJournalWindow();
}
void TLedgerGrid::LinePaste() {
  Host().ShowJournalWindow();
}
void TLedgerGrid::LineAdd() {
  Host().ShowJournalWindow();
}
void TLedgerGrid::LineDel() {
  Host().ShowJournalWindow();
}
void TLedgerGrid::PostLine() {
  Host().ShowJournalWindow();
}

}  // namespace engine
