#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/date.h"
#include "engine/tables/acc_grid.h"
#include "regexp/awkstr.h"

namespace engine {

// What the user looks for in a table: a text in the summary and subject columns, an amount
// range and a date range, each optional; a line must satisfy every part that is given.
struct FindCondition {
  std::string text;  // CP932
  // The text is a pattern for the program's matcher rather than plain text.
  bool pattern = false;
  std::optional<std::int32_t> minAmount;
  std::optional<std::int32_t> maxAmount;
  // Both ends included.
  std::optional<Date> from;
  std::optional<Date> to;

  bool IsEmpty() const { return text.empty() && !minAmount && !maxAmount && !from && !to; }
};

// Tests the data rows of one table against a condition. Plain text is matched with letter
// case, half and full width (and kana) folded by the matcher's equivalent-character
// dictionary, so "ａｂｃ", "ABC" and "abc" find each other.
class LineMatcher {
 public:
  // Throws Error with the matcher's message when the pattern is malformed.
  LineMatcher(const TAccGrid& table, const FindCondition& condition);

  const TAccGrid& Table() const { return table_; }
  // False for the heading, rows out of range and wholly empty rows.
  bool Matches(int row) const;

 private:
  bool TextMatches(int row) const;
  bool AmountMatches(int row) const;
  bool DateMatches(int row) const;

  const TAccGrid& table_;
  FindCondition condition_;
  // The journal's subjects and summary, or a ledger's counterpart and summary.
  std::vector<int> textColumns_;
  // The journal's amount, or a ledger's debit and credit amounts.
  std::vector<int> amountColumns_;
  int fromDays_ = 0;
  int toDays_ = 0;
  int currentYear_ = 0;
  bool anchored_ = false;
  mutable regexp::TAWKStr matcher_;
};

// The plain text as a pattern that matches it literally.
std::string LiteralPattern(std::string_view text);

// The next matching row after `from` (before it when going back), wrapping around the ends
// of the table; `from` itself comes last. 0 when no row matches.
int FindNextLine(const LineMatcher& matcher, int from, bool forward);

// Every matching row of a table, found a chunk at a time so that a window stays responsive
// over a long table and can drop the work when the user types on.
class MatchScan {
 public:
  MatchScan(const TAccGrid& table, const FindCondition& condition);

  // Examines up to `rowBudget` more rows; true when the whole table has been examined.
  bool Step(int rowBudget);
  // Runs to the end.
  void Finish() { Step(table_.RowCount()); }
  bool Finished() const { return next_ >= table_.RowCount(); }
  // The matching rows found so far, in table order.
  const std::vector<int>& Rows() const { return rows_; }
  // The 1-based place of `row` among the matches found so far, or 0 when it isn't one.
  int OrdinalOf(int row) const;

 private:
  const TAccGrid& table_;
  LineMatcher matcher_;
  int next_ = 1;
  std::vector<int> rows_;
};

}  // namespace engine
