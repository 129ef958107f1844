#pragma once

#include <array>
#include <string>
#include <vector>

namespace engine {

class TAccGrid;

// The grid an aggregation fills and the result window shows: the header row and one row per
// entry, six columns of text (name, debit amount, debit percentage, credit amount, credit
// percentage, difference). The window lets the user edit the cells before output.
struct ResultGrid {
  static constexpr int kColumnCount = 6;
  using Row = std::array<std::string, kColumnCount>;

  // Only the header row: "科目", "借方金額", "", "貸方金額", "", "差引残高".
  ResultGrid();

  int RowCount() const { return static_cast<int>(rows.size()); }

  std::vector<Row> rows;
};

// Every row, header included, as one line of its cells joined by `separator`; rows whose
// cells are all empty are left out. Cells are written as they stand, without quotes.
std::vector<std::string> ResultGridLines(const ResultGrid& grid, char separator);
inline std::vector<std::string> ResultGridText(const ResultGrid& grid) {
  return ResultGridLines(grid, '\t');
}
inline std::vector<std::string> ResultGridCsv(const ResultGrid& grid) {
  return ResultGridLines(grid, ',');
}

}  // namespace engine
