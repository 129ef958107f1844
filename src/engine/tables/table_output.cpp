// The text and CSV output of a book table.

#include <string>
#include <vector>

#include "engine/tables/acc_grid.h"

namespace engine {

namespace {

std::vector<std::string> JoinedRows(const TAccGrid& table, char separator) {
  const std::string empty(5, separator);
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(table.RowCount()));
  for (int r = 1; r < table.RowCount(); ++r) {
    std::string line(table.Cell(1, r));
    for (int c = 2; c <= 6; ++c) {
      line += separator;
      line += table.Cell(c, r);
    }
    if (line != empty) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

std::vector<std::string> TAccGrid::TextOut() const {
  return JoinedRows(*this, '\t');
}

std::vector<std::string> TAccGrid::CSVOut() const {
  return JoinedRows(*this, ',');
}

}  // namespace engine
