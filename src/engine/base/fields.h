#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "regexp/comma_text.h"

namespace engine {

// Cuts `line` into exactly out.size() fields at `separator` (TAB or ","). Each field runs to
// the next separator; once none is left the rest is the field and later fields are empty.
// Text after the last field's separator is dropped. No quoting is recognised.
void SplitFieldViews(std::string_view line, char separator, std::string_view* out,
                     std::size_t count);

template <std::size_t K>
std::array<std::string_view, K> SplitFieldViews(std::string_view line, char separator) {
  std::array<std::string_view, K> fields{};
  SplitFieldViews(line, separator, fields.data(), K);
  return fields;
}

std::vector<std::string> SplitFields(std::string_view line, char separator, std::size_t count);

// Comma texts (the grids' heading rows, the CSV import's acceptance test) split as the
// pattern matcher's dictionary texts do.
using regexp::SplitCommaText;

}  // namespace engine
