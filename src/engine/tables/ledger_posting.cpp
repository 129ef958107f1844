// Posting into a ledger and the totals that the subject list and the aggregations read.

#include <cstdint>
#include <string>

#include "engine/base/error.h"
#include "engine/base/fields.h"
#include "engine/base/integer.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

void TLedgerGrid::PostDebit(const RowTexts& journalRow) {
  Post(journalRow, true);
}
void TLedgerGrid::PostCredit(const RowTexts& journalRow) {
  Post(journalRow, false);
}

void TLedgerGrid::Post(const RowTexts& journalRow, bool debit) {
  const std::string_view date = journalRow[0];
  const std::string_view amount = journalRow[1];
  const std::string_view counterpart = debit ? journalRow[4] : journalRow[2];
  const std::string_view summary = journalRow[3];

  // The last row is the empty trailing row that a posting fills. Should it ever hold text,
  // the posting goes below it instead of overwriting it.
  const bool trailingEmpty = RowAt(RowCount() - 1).IsEmpty();
  const int row = trailingEmpty ? RowCount() - 1 : RowCount();

  // Everything that can fail is worked out before the ledger changes, so a refused posting
  // leaves neither a half-filled row nor a missing trailing row.
  const std::int32_t value = ReadInt(amount);
  std::string balance;
  if (row == 1) {
    balance = debit ? std::string(amount) : IntToText(CheckedSub(0, value));
  } else {
    const std::int32_t previous = ReadInt(Cell(6, row - 1));
    balance = IntToText(debit ? CheckedAdd(previous, value) : CheckedSub(previous, value));
  }
  if (!trailingEmpty) AppendRow();

  WriteRow(row, {date, counterpart, summary, debit ? amount : std::string_view(),
                 debit ? std::string_view() : amount, balance});
  NotifyRows(row, row);
  AppendRow();
}

void TLedgerGrid::RemovePosting(const LineKey& key) {
  // A key of five empty texts matches the empty trailing row like any other row; the next
  // posting then goes below the last data row (Post never overwrites a row with text).
  const int row = FindLine(key);
  if (row != 0) RemoveRow(row);
}

std::int32_t TLedgerGrid::ColumnTotal(int column) {
  std::int32_t total = 0;
  for (int r = 1; r < RowCount(); ++r) {
    const std::string_view amount = Cell(column, r);
    if (IsNumeric(amount)) total = CheckedAdd(total, ReadInt(amount));
  }
  return total;
}

std::int32_t TLedgerGrid::ColumnTotalBetween(int column, const Date& from, const Date& to) {
  // Asking the clock for the current year on every row would cost more than the rest of
  // the loop.
  const int currentYear = Today().year();
  std::int32_t total = 0;
  for (int r = 1; r < RowCount(); ++r) {
    const std::string_view amount = Cell(column, r);
    if (!IsNumeric(amount)) continue;
    const Date date = RowDate(r, currentYear);
    if (from <= date && date < to) total = CheckedAdd(total, ReadInt(amount));
  }
  return total;
}

void TLedgerGrid::MonthlyTotals(int column, std::string_view year,
                                std::array<std::int32_t, 12>& totals) {
  int last = RowCount() - 1;
  while (last >= 1 && !IsDated(last)) --last;
  // Summed apart and added at the end, so a failure leaves the caller's totals untouched.
  std::array<std::int32_t, 12> sums{};
  for (int r = 1; r <= last; ++r) {
    const auto fields = SplitFieldViews<3>(Cell(1, r), '/');
    if (fields[0] != year) continue;
    const std::string_view amount = Cell(column, r);
    if (!IsNumeric(amount)) continue;
    std::int32_t month = 0;
    try {
      month = ReadInt(fields[1]);
    } catch (const Error& e) {
      throw RowError(e, *this, r);
    }
    if (month < 1 || month > 12) continue;
    std::int32_t& sum = sums[static_cast<std::size_t>(month - 1)];
    sum = CheckedAdd(sum, ReadInt(amount));
  }
  std::array<std::int32_t, 12> result = totals;
  for (std::size_t m = 0; m < result.size(); ++m) result[m] = CheckedAdd(result[m], sums[m]);
  totals = result;
}

std::int32_t TLedgerGrid::DebitTotal() {
  return ColumnTotal(4);
}
std::int32_t TLedgerGrid::CreditTotal() {
  return ColumnTotal(5);
}

std::int32_t TLedgerGrid::DebitTotalBetween(const Date& from, const Date& to) {
  return ColumnTotalBetween(4, from, to);
}
std::int32_t TLedgerGrid::CreditTotalBetween(const Date& from, const Date& to) {
  return ColumnTotalBetween(5, from, to);
}

void TLedgerGrid::MonthlyDebitTotals(std::string_view year, std::array<std::int32_t, 12>& totals) {
  MonthlyTotals(4, year, totals);
}
void TLedgerGrid::MonthlyCreditTotals(std::string_view year, std::array<std::int32_t, 12>& totals) {
  MonthlyTotals(5, year, totals);
}

}  // namespace engine
