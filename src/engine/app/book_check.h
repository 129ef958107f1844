#pragma once

#include <string>
#include <vector>

namespace engine {

class Book;

// One fault found in a book's files: the file as the index names it (CP932), the line from 1
// (0 for the file as a whole) and what is wrong (CP932).
struct Finding {
  std::string path;
  int line = 0;
  std::string message;
  bool operator==(const Finding&) const = default;
};

// Every file the index names (besides the aggregation settings, which may be missing) must
// be readable CP932 text. The index lines are the book's index file as read.
std::vector<Finding> CheckBookFiles(const std::vector<std::string>& index);

// The tables of an open book, opened from `index`: every complete journal line has its
// debit and credit rows in the ledgers of its subjects and every ledger row belongs to a
// journal line; dates read as dates; amounts are digits within 32 bits; each ledger's
// running balance follows from its amounts. Findings come in index order, then by line.
std::vector<Finding> CheckBookTables(Book& book, const std::vector<std::string>& index);

}  // namespace engine
