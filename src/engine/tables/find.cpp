#include "engine/tables/find.h"

#include <algorithm>

#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/tables/journal_grid.h"
#include "regexp/scanner.h"

namespace engine {

std::string LiteralPattern(std::string_view text) {
  static constexpr std::string_view kSpecial = "\\^$.[]|()*+?";
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (regexp::IsDBCSLeadByte(byte) && i + 1 < text.size()) {
      out += text[i];
      out += text[++i];
      continue;
    }
    if (kSpecial.find(text[i]) != std::string_view::npos) out += '\\';
    out += text[i];
  }
  return out;
}

LineMatcher::LineMatcher(const TAccGrid& table, const FindCondition& condition)
    : table_(table), condition_(condition), currentYear_(Today().year()) {
  if (dynamic_cast<const TJournalGrid*>(&table)) {
    textColumns_ = {3, 4, 5};
    amountColumns_ = {2};
  } else {
    textColumns_ = {2, 3};
    amountColumns_ = {4, 5};
  }
  if (condition.from) fromDays_ = condition.from->Days();
  if (condition.to) toDays_ = condition.to->Days();
  if (condition.text.empty()) return;
  // A pattern that may anchor at a cell's ends must see each cell alone; a plain text never
  // anchors, as its "^" and "$" are escaped.
  anchored_ = condition.pattern && condition.text.find_first_of("^$") != std::string::npos;
  try {
    matcher_.SetUseFuzzyCharDic(!condition.pattern);
    matcher_.SetRegExp(condition.pattern ? condition.text : LiteralPattern(condition.text));
  } catch (const regexp::ERegExpParser& e) {
    throw Error(e.Message());
  }
}

bool LineMatcher::Matches(int row) const {
  if (row < 1 || row >= table_.RowCount() || table_.RowAt(row).IsEmpty()) return false;
  // Cheapest tests first: a date or amount range usually rejects most rows.
  return DateMatches(row) && AmountMatches(row) && TextMatches(row);
}

bool LineMatcher::TextMatches(int row) const {
  if (condition_.text.empty()) return true;
  const Row& cells = table_.RowAt(row);
  // The text columns lie side by side in the row's buffer. One look at them all rules out
  // most rows at a third of the cost; a hit is checked cell by cell, as a match may span two.
  if (!anchored_) {
    const std::string_view first = cells.Cell(textColumns_.front());
    const std::string_view last = cells.Cell(textColumns_.back());
    const std::string_view all(first.data(),
                               static_cast<std::size_t>(last.data() + last.size() - first.data()));
    if (all.empty() || matcher_.Match(all) == 0) return false;
  }
  return std::any_of(textColumns_.begin(), textColumns_.end(), [&](int column) {
    const std::string_view text = cells.Cell(column);
    return !text.empty() && matcher_.Match(text) > 0;
  });
}

bool LineMatcher::AmountMatches(int row) const {
  if (!condition_.minAmount && !condition_.maxAmount) return true;
  const Row& cells = table_.RowAt(row);
  return std::any_of(amountColumns_.begin(), amountColumns_.end(), [&](int column) {
    const std::optional<std::int32_t> amount = ParseInt32(cells.Cell(column));
    if (!amount) return false;
    if (condition_.minAmount && *amount < *condition_.minAmount) return false;
    return !(condition_.maxAmount && *amount > *condition_.maxAmount);
  });
}

bool LineMatcher::DateMatches(int row) const {
  if (!condition_.from && !condition_.to) return true;
  const std::optional<Date> date = ParseDate(table_.RowAt(row).Cell(1), currentYear_);
  if (!date) return false;
  const int days = date->Days();
  if (condition_.from && days < fromDays_) return false;
  return !(condition_.to && days > toDays_);
}

int FindNextLine(const LineMatcher& matcher, int from, bool forward) {
  const int last = matcher.Table().RowCount() - 1;
  if (last < 1) return 0;
  from = std::clamp(from, 0, last + 1);
  const int step = forward ? 1 : -1;
  int row = from;
  for (int i = 0; i < last; ++i) {
    row += step;
    if (row > last) row = 1;
    if (row < 1) row = last;
    if (matcher.Matches(row)) return row;
  }
  return 0;
}

MatchScan::MatchScan(const TAccGrid& table, const FindCondition& condition)
    : table_(table), matcher_(table, condition) {}

bool MatchScan::Step(int rowBudget) {
  const int end = std::min(table_.RowCount(), next_ + std::max(rowBudget, 1));
  for (; next_ < end; ++next_) {
    if (matcher_.Matches(next_)) rows_.push_back(next_);
  }
  return Finished();
}

int MatchScan::OrdinalOf(int row) const {
  const auto it = std::lower_bound(rows_.begin(), rows_.end(), row);
  if (it == rows_.end() || *it != row) return 0;
  return static_cast<int>(it - rows_.begin()) + 1;
}

}  // namespace engine
