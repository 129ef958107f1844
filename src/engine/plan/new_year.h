#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

class Book;

// A subject's balance at the end of the book, as the subject list shows it (debit total minus
// credit total), and whether it is proposed for carrying into the new year's book.
struct ClosingBalance {
  std::string subject;
  std::int32_t balance = 0;
  // Subjects whose ledgers carry a balance and were used on both sides (cash, bank accounts,
  // cards), which is how asset and liability subjects look in a household book; the opening
  // subject itself is never proposed.
  bool proposed = false;
};

// The balances of the book's subjects in ledger order. Throws Error when a total leaves
// 32 bits.
std::vector<ClosingBalance> ClosingBalances(Book& book, const std::string& openingSubject);

struct NewYearRequest {
  std::string name;  // the new book's name: its folder beside the old one and its index file
  int year = 0;      // the opening lines are dated 1 January of this year
  std::vector<std::string> subjects;  // the ticked subjects
  std::string openingSubject;         // the other side of every opening line, e.g. 元入金
};

// The new book's folder (beside the old book's folder) and index path, CP932.
std::string NewYearFolder(const Book& book, const std::string& name);

// "年度の繰越": writes next year's book into a new folder: the subjects with counterparts,
// the summaries, the aggregation settings, the recurring lines and the budgets (the budget
// year moved on), and a journal with one posted opening line per ticked subject that has a
// balance, against the opening subject (added to the subjects when the book lacks it).
// The old book is not changed. Returns the new index path. Throws Error, leaving no new
// folder behind, when the folder exists, a balance leaves 32 bits, a name collides or a
// file can't be written.
std::string CreateNewYearBook(Book& book, const NewYearRequest& request);

}  // namespace engine
