#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/tables/row.h"

namespace engine {

// The table clipboard the journal owns: one cell's text and one journal row's six texts. The
// system clipboard is never involved; the buffer lives as long as the journal.
class TAccClip {
 public:
  const std::string& CellText() const { return cell_; }
  void SetCell(std::string_view text) { cell_.assign(text); }

  void SetLine(const RowTexts& texts) {
    for (std::size_t i = 0; i < line_.size(); ++i) line_[i].assign(texts[i]);
  }
  // Views into the buffer, valid until the next SetLine.
  RowTexts GetLine() const {
    RowTexts texts;
    for (std::size_t i = 0; i < line_.size(); ++i) texts[i] = line_[i];
    return texts;
  }

 private:
  std::string cell_;
  std::array<std::string, 6> line_;
};

}  // namespace engine
