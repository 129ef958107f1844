#include "engine/import/journal_index.h"

#include <algorithm>

#include "engine/base/date.h"
#include "engine/base/integer.h"
#include "engine/import/field_parsers.h"
#include "engine/tables/journal_grid.h"

namespace engine::import {

namespace {

std::uint64_t LineKey(bool out, std::int32_t amount) {
  return (out ? 1ULL << 32 : 0) | static_cast<std::uint32_t>(amount);
}

}  // namespace

bool SimilarDescriptions(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return a == b;
  if (a == b) return true;
  const qsizetype shorter = std::min(a.size(), b.size());
  if (shorter >= 2 && (a.contains(b) || b.contains(a))) return true;
  qsizetype common = 0;
  while (common < shorter && a[common] == b[common]) ++common;
  return common >= 2 && common * 2 >= shorter;
}

JournalIndex::JournalIndex(const TJournalGrid& journal, std::string account, int currentYear)
    : journal_(journal), account_(std::move(account)) {
  for (int r = 1; r < journal.RowCount(); ++r) {
    const Row& row = journal.RowAt(r);
    const bool out = row.Cell(5) == account_;
    if (!out && row.Cell(3) != account_) continue;
    const auto amount = ParseInt32(row.Cell(2));
    const auto date = ParseDate(row.Cell(1), currentYear);
    if (!amount || !date) continue;
    lines_[LineKey(out, *amount)].emplace_back(date->Days(), r);
  }
  for (auto& [key, list] : lines_) std::sort(list.begin(), list.end());
}

const QString& JournalIndex::KeyOf(int row) {
  const std::string_view summary = journal_.Cell(4, row);
  auto it = keys_.find(summary);
  if (it == keys_.end()) it = keys_.emplace(summary, ComparisonKey(decoder_.Decode(summary))).first;
  return it->second;
}

int JournalIndex::ClaimDuplicate(bool out, std::int32_t amount, int day, int window,
                                 const std::vector<QString>& keys) {
  const auto found = lines_.find(LineKey(out, amount));
  if (found == lines_.end()) return 0;
  const auto& list = found->second;
  auto it = std::lower_bound(list.begin(), list.end(), std::pair{day - window, 0});
  int best = 0;
  int bestDistance = window + 1;
  for (; it != list.end() && it->first <= day + window; ++it) {
    const int distance = std::abs(it->first - day);
    if (distance >= bestDistance || claimed_.count(it->second)) continue;
    const QString& key = KeyOf(it->second);
    for (const QString& k : keys) {
      if (SimilarDescriptions(k, key)) {
        best = it->second;
        bestDistance = distance;
        break;
      }
    }
  }
  if (best) claimed_.insert(best);
  return best;
}

void JournalIndex::BuildSummaries() {
  summariesBuilt_ = true;
  for (int r = 1; r < journal_.RowCount(); ++r) {
    if (journal_.Cell(4, r).empty()) continue;
    lastRowOfKey_[KeyOf(r)] = r;
  }
}

std::string JournalIndex::Proposal(const QString& key, bool out) {
  if (key.isEmpty()) return {};
  if (!summariesBuilt_) BuildSummaries();
  const auto found = lastRowOfKey_.find(key);
  if (found == lastRowOfKey_.end()) return {};
  const Row& row = journal_.RowAt(found->second);
  std::string_view proposal;
  if (row.Cell(5) == account_) {
    proposal = row.Cell(3);
  } else if (row.Cell(3) == account_) {
    proposal = row.Cell(5);
  } else {
    proposal = out ? row.Cell(3) : row.Cell(5);
  }
  if (proposal == account_) return {};
  return std::string(proposal);
}

}  // namespace engine::import
