#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace regexp {

// Splits a comma text: fields are separated by commas and by unquoted bytes 1 to 32; a field
// may be enclosed in double quotes, a doubled quote inside standing for one; blanks around
// fields are skipped; a comma at the very end adds one empty field. Double-byte characters
// are stepped over whole, and a NUL byte ends the text.
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace regexp
