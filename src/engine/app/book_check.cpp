#include "engine/app/book_check.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <unordered_map>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

namespace {

constexpr std::size_t kJournalLine = 3;
constexpr std::size_t kFirstLedgerLine = 4;

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Collects findings with the index line of their file, so they can be put in file order.
class Findings {
 public:
  explicit Findings(const std::vector<std::string>& index) : index_(index) {}

  void Add(std::size_t file, int line, std::string message) {
    found_.push_back({file, line, std::move(message)});
  }

  std::vector<Finding> Sorted() {
    std::stable_sort(found_.begin(), found_.end(), [](const Entry& a, const Entry& b) {
      return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    std::vector<Finding> result;
    result.reserve(found_.size());
    for (Entry& e : found_) result.push_back({index_[e.file], e.line, std::move(e.message)});
    return result;
  }

 private:
  struct Entry {
    std::size_t file;
    int line;
    std::string message;
  };
  const std::vector<std::string>& index_;
  std::vector<Entry> found_;
};

// Checks an amount cell; the message when it is no amount, else nothing.
std::optional<std::string> AmountProblem(std::string_view text) {
  if (!IsDigits(text)) return FormatMessage(Sjis("金額 '%s' は数字ではありません"), text);
  if (!ParseInt32(text)) return FormatMessage(Sjis("金額 '%s' は範囲を超えています"), text);
  return std::nullopt;
}

std::optional<std::string> DateProblem(std::string_view text, int year) {
  if (ParseDate(text, year)) return std::nullopt;
  return FormatMessage(Sjis("'%s' は日付ではありません"), text);
}

// A posting as a ledger row holds it and as a journal line asks for it: which ledger, which
// side, and the date, amount, counterpart and summary texts.
struct Posting {
  std::uint64_t hash;
  std::uint32_t ledger;
  bool debit;
  int row;  // the journal row for an expected posting, the ledger row for a stored one
  std::string_view date, amount, counterpart, summary;

  bool SameAs(const Posting& other) const {
    return ledger == other.ledger && debit == other.debit && date == other.date &&
           amount == other.amount && counterpart == other.counterpart && summary == other.summary;
  }
};

std::uint64_t HashOf(std::uint32_t ledger, bool debit, std::string_view date,
                     std::string_view amount, std::string_view counterpart,
                     std::string_view summary) {
  // FNV-1a over the fields with a byte between them that CP932 text never holds.
  std::uint64_t h = 1469598103934665603ULL;
  auto mix = [&h](std::string_view text) {
    for (const char c : text) {
      h ^= static_cast<unsigned char>(c);
      h *= 1099511628211ULL;
    }
    h ^= 0xFF;
    h *= 1099511628211ULL;
  };
  h ^= (static_cast<std::uint64_t>(ledger) << 1) | (debit ? 1 : 0);
  h *= 1099511628211ULL;
  mix(date);
  mix(amount);
  mix(counterpart);
  mix(summary);
  return h;
}

Posting MakePosting(std::uint32_t ledger, bool debit, int row, std::string_view date,
                    std::string_view amount, std::string_view counterpart,
                    std::string_view summary) {
  return {0, ledger, debit, row, date, amount, counterpart, summary};
}

// Most postings pair in step without it; only those left over are hashed.
Posting Hashed(Posting posting) {
  posting.hash = HashOf(posting.ledger, posting.debit, posting.date, posting.amount,
                        posting.counterpart, posting.summary);
  return posting;
}

void CheckLedger(TLedgerGrid& ledger, std::size_t file, int year, Findings& findings) {
  std::int64_t previous = 0;
  // The balance the rows above would have had, had the last mismatching row been right.
  bool haveAlternative = false;
  std::int64_t alternative = 0;
  std::int64_t debitTotal = 0;
  std::int64_t creditTotal = 0;
  for (int r = 1; r < ledger.RowCount(); ++r) {
    const Row& row = ledger.RowAt(r);
    if (row.IsEmpty()) continue;
    const RowTexts cells = row.Cells();
    if (cells[0].empty() || cells[1].empty() || cells[2].empty() || cells[5].empty()) {
      findings.Add(file, r, Sjis("元帳の行に空欄があります"));
    }
    if (!cells[0].empty()) {
      if (auto problem = DateProblem(cells[0], year)) findings.Add(file, r, *problem);
    }
    const bool hasDebit = !cells[3].empty();
    const bool hasCredit = !cells[4].empty();
    if (hasDebit == hasCredit) {
      findings.Add(file, r, Sjis("借方金額と貸方金額のどちらか一方だけが必要です"));
      continue;
    }
    const std::string_view amount = hasDebit ? cells[3] : cells[4];
    if (auto problem = AmountProblem(amount)) {
      findings.Add(file, r, *problem);
      continue;
    }
    const std::int64_t value = *ParseInt32(amount);
    (hasDebit ? debitTotal : creditTotal) += value;
    const std::int64_t expected = previous + (hasDebit ? value : -value);
    if (expected < std::numeric_limits<std::int32_t>::min() ||
        expected > std::numeric_limits<std::int32_t>::max()) {
      findings.Add(file, r, Sjis("差引残高が範囲を超えています"));
    }
    const std::optional<std::int32_t> balance = ParseInt32(cells[5]);
    if (!balance) {
      if (!cells[5].empty()) {
        findings.Add(file, r, FormatMessage(Sjis("差引残高 '%s' は整数ではありません"), cells[5]));
      }
      previous = expected;
      continue;
    }
    if (*balance == expected) {
      haveAlternative = false;
    } else if (haveAlternative && *balance == alternative + (hasDebit ? value : -value)) {
      // Only the row above was wrong; this one goes on from the right balance.
      haveAlternative = false;
    } else {
      findings.Add(file, r,
                   Sjis("差引残高は ") + std::to_string(expected) + Sjis(" のはずですが ") +
                       std::string(cells[5]) + Sjis(" とあります"));
      alternative = expected;
      haveAlternative = true;
    }
    previous = *balance;
  }
  const auto outOfRange = [](std::int64_t total) {
    return total > std::numeric_limits<std::int32_t>::max();
  };
  if (outOfRange(debitTotal)) findings.Add(file, 0, Sjis("借方金額の合計が範囲を超えています"));
  if (outOfRange(creditTotal)) findings.Add(file, 0, Sjis("貸方金額の合計が範囲を超えています"));
}

// The posting a ledger row holds, or nothing for a row that holds none (empty, or without
// exactly one amount; such rows are reported by CheckLedger).
std::optional<Posting> PostingOf(const TLedgerGrid& ledger, std::uint32_t number, int r) {
  const Row& row = ledger.RowAt(r);
  if (row.IsEmpty()) return std::nullopt;
  const std::string_view debit = row.Cell(4);
  const std::string_view credit = row.Cell(5);
  if (debit.empty() == credit.empty()) return std::nullopt;
  return MakePosting(number, !debit.empty(), r, row.Cell(1), debit.empty() ? credit : debit,
                     row.Cell(2), row.Cell(3));
}

// Pairs the postings the journal asks for with the rows the ledgers hold.
class PostingMatcher {
 public:
  explicit PostingMatcher(Book& book) : book_(book), cursor_(book.LedgerCount(), 1) {}

  void Expect(const Posting& want) {
    const TLedgerGrid& ledger = book_.LedgerAt(want.ledger);
    int& cursor = cursor_[want.ledger];
    const std::optional<Posting> next = NextPosting(ledger, want.ledger, cursor);
    if (next && next->SameAs(want)) {
      ++cursor;
      return;
    }
    // One row out of step (added by hand, or sorted apart) is stepped over.
    if (next) {
      int after = cursor + 1;
      const std::optional<Posting> second = NextPosting(ledger, want.ledger, after);
      if (second && second->SameAs(want)) {
        leftRows_.push_back(Hashed(*next));
        cursor = after + 1;
        return;
      }
    }
    leftWanted_.push_back(Hashed(want));
  }

  // Pairs what is left by its texts and reports the rest.
  template <typename Missing, typename Extra>
  void Finish(Missing missing, Extra extra) {
    for (std::size_t i = 0; i < book_.LedgerCount(); ++i) {
      const TLedgerGrid& ledger = book_.LedgerAt(i);
      const auto number = static_cast<std::uint32_t>(i);
      for (int r = cursor_[i]; r < ledger.RowCount(); ++r) {
        if (auto posting = PostingOf(ledger, number, r)) leftRows_.push_back(Hashed(*posting));
      }
    }
    const auto byHash = [](const Posting& a, const Posting& b) {
      return a.hash != b.hash ? a.hash < b.hash : a.row < b.row;
    };
    std::sort(leftWanted_.begin(), leftWanted_.end(), byHash);
    std::sort(leftRows_.begin(), leftRows_.end(), byHash);
    std::vector<bool> paired(leftRows_.size(), false);
    std::size_t s = 0;
    for (const Posting& want : leftWanted_) {
      while (s < leftRows_.size() && leftRows_[s].hash < want.hash) ++s;
      bool found = false;
      // The texts are compared as well, so that a hash collision pairs nothing wrongly.
      for (std::size_t k = s; k < leftRows_.size() && leftRows_[k].hash == want.hash; ++k) {
        if (!paired[k] && leftRows_[k].SameAs(want)) {
          paired[k] = found = true;
          break;
        }
      }
      if (!found) missing(want);
    }
    for (std::size_t k = 0; k < leftRows_.size(); ++k) {
      if (!paired[k]) extra(leftRows_[k]);
    }
  }

 private:
  // The posting at or after `cursor`, which moves past rows that hold none.
  static std::optional<Posting> NextPosting(const TLedgerGrid& ledger, std::uint32_t number,
                                            int& cursor) {
    for (; cursor < ledger.RowCount(); ++cursor) {
      if (auto posting = PostingOf(ledger, number, cursor)) return posting;
    }
    return std::nullopt;
  }

  Book& book_;
  std::vector<int> cursor_;
  std::vector<Posting> leftWanted_;
  std::vector<Posting> leftRows_;
};

}  // namespace

std::vector<Finding> CheckBookFiles(const std::vector<std::string>& index) {
  Findings findings(index);
  for (std::size_t i = 0; i < index.size(); ++i) {
    // The aggregation settings file may be missing or unnamed; it is only read when used.
    if (i == 2 && (index[i].empty() || !QFileInfo::exists(PathFromCp932(index[i])))) continue;
    try {
      const FileView file(PathFromCp932(index[i]));
      if (const auto problem = FindEncodingProblem(file.Bytes())) {
        findings.Add(i, problem->line,
                     Sjis(problem->utf8 ? "シフト JIS (CP932) ではなく UTF-8 で書かれています"
                                        : "シフト JIS (CP932) として読めない文字があります"));
      }
    } catch (const Error&) {
      findings.Add(i, 0, Sjis("ファイルを読めません"));
    }
  }
  return findings.Sorted();
}

std::vector<Finding> CheckBookTables(Book& book, const std::vector<std::string>& index) {
  Findings findings(index);
  TJournalGrid* journal = book.Journal();
  if (!journal || index.size() < kFirstLedgerLine) return {};
  const int year = Today().year();

  for (std::size_t i = 0; i < book.LedgerCount(); ++i) {
    CheckLedger(book.LedgerAt(i), kFirstLedgerLine + i, year, findings);
  }

  // The ledgers of each caption, in index order, as posting finds them.
  std::unordered_map<std::string_view, std::vector<std::uint32_t>> ledgersOf;
  for (std::size_t i = 0; i < book.LedgerCount(); ++i) {
    ledgersOf[book.LedgerAt(i).Caption()].push_back(static_cast<std::uint32_t>(i));
  }
  static const std::vector<std::uint32_t> kNone;
  const auto find = [&](std::string_view caption) -> const std::vector<std::uint32_t>& {
    const auto it = ledgersOf.find(caption);
    return it == ledgersOf.end() ? kNone : it->second;
  };

  // Postings were appended in journal order, so each ledger is walked beside the journal
  // and a row that holds the posting looked for next is paired at once. What is out of
  // step (lines sorted apart, rows added or lost) is left over and paired by its texts.
  PostingMatcher matcher(book);
  // Subjects without a ledger: the first line that uses each, and how many do.
  std::map<std::string_view, std::pair<int, int>> missing;
  for (int r = 1; r < journal->RowCount(); ++r) {
    const Row& row = journal->RowAt(r);
    if (row.IsEmpty()) continue;
    const RowTexts cells = row.Cells();
    if (!row.IsComplete()) {
      findings.Add(kJournalLine, r, Sjis("仕訳に空欄があります"));
      continue;
    }
    if (auto problem = DateProblem(cells[0], year)) findings.Add(kJournalLine, r, *problem);
    const auto amountProblem = AmountProblem(cells[1]);
    if (amountProblem) findings.Add(kJournalLine, r, *amountProblem);
    if (auto problem = AmountProblem(cells[5])) {
      findings.Add(kJournalLine, r, *problem);
    } else if (!amountProblem && cells[1] != cells[5]) {
      findings.Add(kJournalLine, r, Sjis("借方と貸方の金額が違います"));
    }
    // A line whose amount doesn't convert could never have been posted.
    if (amountProblem) continue;
    const std::string_view debit = cells[2];
    const std::string_view credit = cells[4];
    for (const std::string_view subject : {debit, credit}) {
      if (!find(subject).empty()) continue;
      auto [it, inserted] = missing.try_emplace(subject, r, 0);
      ++it->second.second;
    }
    for (const std::uint32_t ledger : find(debit)) {
      matcher.Expect(MakePosting(ledger, true, r, cells[0], cells[1], credit, cells[3]));
    }
    // A line with the same subject on both sides is posted to the debit side only.
    if (credit == debit) continue;
    for (const std::uint32_t ledger : find(credit)) {
      matcher.Expect(MakePosting(ledger, false, r, cells[0], cells[1], debit, cells[3]));
    }
  }
  for (const auto& [subject, use] : missing) {
    findings.Add(kJournalLine, use.first,
                 Sjis("勘定科目 '") + std::string(subject) + Sjis("' の元帳がありません (") +
                     std::to_string(use.second) + Sjis(" 行)"));
  }
  matcher.Finish(
      [&](const Posting& want) {
        const std::string& caption = book.LedgerAt(want.ledger).Caption();
        findings.Add(
            kJournalLine, want.row,
            Sjis("元帳 '") + caption +
                Sjis(want.debit ? "' に借方の転記がありません" : "' に貸方の転記がありません"));
      },
      [&](const Posting& row) {
        findings.Add(kFirstLedgerLine + row.ledger, row.row,
                     Sjis("この行の仕訳が仕訳帳にありません"));
      });
  return findings.Sorted();
}

}  // namespace engine
