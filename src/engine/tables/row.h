#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

using RowTexts = std::array<std::string_view, 6>;

// The six texts of one table row (columns 1 to 6) kept in a single buffer, so that a book of
// a million journal lines and their ledger rows stays small. Column 0 never holds text.
class Row {
 public:
  Row() = default;
  explicit Row(const RowTexts& cells) { Assign(cells); }

  std::string_view Cell(int column) const {
    if (column < 1 || column > 6) return {};
    const std::uint32_t begin = column == 1 ? 0 : end_[column - 2];
    return std::string_view(text_).substr(begin, end_[column - 1] - begin);
  }
  RowTexts Cells() const {
    RowTexts cells;
    for (int c = 1; c <= 6; ++c) cells[c - 1] = Cell(c);
    return cells;
  }
  void Assign(const RowTexts& cells);
  void SetCell(int column, std::string_view text);
  bool IsEmpty() const { return text_.empty(); }
  // The bytes of all six texts together.
  std::size_t TextSize() const { return text_.size(); }
  // True when all six cells hold text.
  bool IsComplete() const;
  void Clear() {
    text_.clear();
    end_.fill(0);
  }
  friend void swap(Row& a, Row& b) noexcept {
    a.text_.swap(b.text_);
    std::swap(a.end_, b.end_);
  }

 private:
  std::string text_;
  std::array<std::uint32_t, 6> end_{};
};

}  // namespace engine
