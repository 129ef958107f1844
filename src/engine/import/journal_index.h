#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/import/statement_reader.h"

namespace engine {
class TJournalGrid;
}

namespace engine::import {

// True when two comparison keys (see ComparisonKey) name the same payee: equal, one inside
// the other, or sharing a beginning of at least half the shorter one.
bool SimilarDescriptions(const QString& a, const QString& b);

// What the journal already says about a statement's account, read once per preview: its
// lines by side and amount for duplicate detection, and the last line of each summary for
// proposing the other side.
class JournalIndex {
 public:
  JournalIndex(const TJournalGrid& journal, std::string account, int currentYear);

  // The journal row of the closest line on the account's side for money out (credit) or in
  // (debit) with the same amount within `window` days of `day` whose summary is similar to
  // one of `keys`, not already claimed by another row; 0 when there is none. The row found
  // is claimed.
  int ClaimDuplicate(bool out, std::int32_t amount, int day, int window,
                     const std::vector<QString>& keys);
  // The subject the latest journal line with this summary had on the other side, or empty.
  std::string Proposal(const QString& key, bool out);

 private:
  const QString& KeyOf(int row);
  void BuildSummaries();

  const TJournalGrid& journal_;
  std::string account_;
  FieldDecoder decoder_{Encoding::Cp932};
  // (side, amount) -> (day, row) sorted by day.
  std::unordered_map<std::uint64_t, std::vector<std::pair<int, int>>> lines_;
  std::unordered_map<std::string_view, QString> keys_;
  std::unordered_map<QString, int> lastRowOfKey_;
  bool summariesBuilt_ = false;
  std::unordered_set<int> claimed_;
};

}  // namespace engine::import
