#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// Splits a comma text: fields separated by commas and by unquoted bytes 1 to 32; a field may
// be enclosed in double quotes, a doubled quote inside standing for one; blanks around fields
// are skipped; a comma at the very end adds one empty field. Double-byte characters are
// stepped over whole.
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace engine
