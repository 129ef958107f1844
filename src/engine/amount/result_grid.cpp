#include "engine/amount/result_grid.h"

#include "engine/base/cp932.h"

namespace engine {

ResultGrid::ResultGrid() {
  rows.push_back({Sjis("科目"), Sjis("借方金額"), "", Sjis("貸方金額"), "", Sjis("差引残高")});
}

std::vector<std::string> ResultGridLines(const ResultGrid& grid, char separator) {
  const std::string empty(ResultGrid::kColumnCount - 1, separator);
  std::vector<std::string> lines;
  lines.reserve(grid.rows.size());
  for (const ResultGrid::Row& row : grid.rows) {
    std::string line = row[0];
    for (std::size_t c = 1; c < row.size(); ++c) {
      line += separator;
      line += row[c];
    }
    if (line != empty) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace engine
