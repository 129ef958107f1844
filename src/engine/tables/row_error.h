#pragma once

#include <string>

#include "engine/base/error.h"

namespace engine {

class TAccGrid;

// A failure on one row of a book table, such as a date in a hand-edited file that doesn't
// read. The message is the cause's; the table and row let the command that shows it say
// where to look and select that row for the user.
class RowError : public Error {
 public:
  RowError(const Error& cause, const TAccGrid& table, int row);
  const TAccGrid& Table() const { return *table_; }
  int Row() const { return row_; }
  // The message followed by the table's caption and the row: "…（食費 の 5 行目）".
  std::string MessageWithRow() const;

 private:
  const TAccGrid* table_;
  int row_;
};

}  // namespace engine
