#include "engine/tables/row.h"

namespace engine {

void Row::Assign(const RowTexts& cells) {
  std::size_t total = 0;
  for (const auto& cell : cells) total += cell.size();
  std::string text;
  text.reserve(total);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    text.append(cells[i]);
    end_[i] = static_cast<std::uint32_t>(text.size());
  }
  text_.swap(text);
}

void Row::SetCell(int column, std::string_view text) {
  if (column < 1 || column > 6) return;
  RowTexts cells = Cells();
  if (cells[column - 1] == text) return;
  // Assign builds a fresh buffer before letting go of the old one, so `text` may point into
  // this row's own cells.
  cells[column - 1] = text;
  Assign(cells);
}

bool Row::IsComplete() const {
  for (int c = 1; c <= 6; ++c) {
    if (Cell(c).empty()) return false;
  }
  return true;
}

}  // namespace engine
