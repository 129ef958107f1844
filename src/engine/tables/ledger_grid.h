#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/base/date.h"
#include "engine/tables/acc_grid.h"
#include "regexp/awkstr.h"

namespace engine {

// One subject's ledger: date, counterpart name, summary, debit amount, credit amount and the
// running balance, with an empty trailing row that posting fills.
class TLedgerGrid : public TAccGrid {
 public:
  explicit TLedgerGrid(TableHost& host);
  ~TLedgerGrid() override;

  void CellSelected(int column, int row) override;
  void RemoveRow(int row) override;
  void LineMoved(int from, int to) override;
  std::array<int, 6> FitColumns(int windowWidth) const override;
  bool IsAmountColumn(int column) const override { return column >= 4 && column <= 6; }
  int BalanceColumn() const override { return 6; }
  void LoadTable(const QString& path) override;
  void SaveTable(const QString& path) override;
  bool IsStoredRow(const Row& row) const override;
  void CellCopy() override;
  void CellPaste() override;
  void LineCopy() override;
  void LinePaste() override;
  void LineAdd() override;
  void LineDel() override;
  void GoToDebtor() override {}
  void GoToCredit() override {}
  void GoToJournal() override;
  void GoToLedger() override;
  void PostLine() override;
  void SortByDate() override;
  void SelectMatchingLine(const LineKey& key) override;
  bool MousePress(int column, int row) override;

  // Posting: fills the trailing row with a debit (or credit) posting of the journal row's six
  // texts and appends a new trailing row. Throws Error, changing nothing, when the amount or
  // the previous balance doesn't convert or the balance would leave 32 bits.
  void PostDebit(const RowTexts& journalRow);
  void PostCredit(const RowTexts& journalRow);
  // Removes the first row whose columns 1 to 5 equal the key; nothing when none does.
  void RemovePosting(const LineKey& key);

  // Totals over rows whose amount cell is all decimal digits.
  std::int32_t DebitTotal();
  std::int32_t CreditTotal();
  // Rows dated from <= d < to.
  std::int32_t DebitTotalBetween(const Date& from, const Date& to);
  std::int32_t CreditTotalBetween(const Date& from, const Date& to);
  // Adds to totals[0..11] (January first) the amounts of rows whose year text equals `year`.
  void MonthlyDebitTotals(std::string_view year, std::array<std::int32_t, 12>& totals);
  void MonthlyCreditTotals(std::string_view year, std::array<std::int32_t, 12>& totals);

  // True when the cell matches "^[0-9]+$".
  bool IsNumeric(std::string_view text) const;

 private:
  // Matches `text` against `pattern`, making the pattern current only when it isn't already,
  // so loops over many rows don't look the pattern up again for every cell.
  bool Matches(const std::string& pattern, std::string_view text) const;
  // +(column 4) when numeric, otherwise -(column 5) when numeric, otherwise 0.
  std::int32_t AmountDelta(int row) const;
  void Post(const RowTexts& journalRow, bool debit);
  void MovedDown(int from, int to);
  void MovedUp(int from, int to);
  std::int32_t ColumnTotal(int column);
  std::int32_t ColumnTotalBetween(int column, const Date& from, const Date& to);
  void MonthlyTotals(int column, std::string_view year, std::array<std::int32_t, 12>& totals);
  // The row's balance written without telling the view; callers report the rows they touched.
  void StoreBalance(int row, std::int32_t value);

  mutable regexp::TAWKStr matcher_;
};

}  // namespace engine
