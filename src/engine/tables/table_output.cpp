// The text and CSV output of a book table.

#include <string>
#include <vector>

#include "engine/tables/acc_grid.h"

namespace engine {

namespace {

std::vector<std::string> JoinedRows(const TAccGrid& table, char separator) {
  std::vector<std::string> lines;
  for (const RowTexts& cells : table.OutputRows()) {
    std::string line(cells[0]);
    for (std::size_t c = 1; c < cells.size(); ++c) {
      line += separator;
      line += cells[c];
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

std::vector<RowTexts> TAccGrid::OutputRows() const {
  std::vector<RowTexts> rows;
  rows.reserve(static_cast<std::size_t>(RowCount()));
  for (int r = 1; r < RowCount(); ++r) {
    const Row& row = RowAt(r);
    // A row whose six cells are all empty joins into nothing but separators: it is left out.
    if (!row.IsEmpty()) rows.push_back(row.Cells());
  }
  return rows;
}

std::vector<std::string> TAccGrid::TextOut() const {
  return JoinedRows(*this, '\t');
}

std::vector<std::string> TAccGrid::CSVOut() const {
  return JoinedRows(*this, ',');
}

}  // namespace engine
