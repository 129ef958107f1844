#include "regexp/comma_text.h"

#include "regexp/scanner.h"

namespace regexp {

namespace {
bool IsBlank(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 1 && b <= 32;
}

// The index after the character at `pos`; a lead byte with a byte after it makes one.
std::size_t NextChar(std::string_view text, std::size_t pos) {
  const bool double_byte =
      IsDBCSLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size();
  return pos + (double_byte ? 2 : 1);
}
}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> fields;
  std::size_t p = 0;
  while (p < text.size() && IsBlank(text[p])) ++p;
  while (p < text.size()) {
    std::string field;
    if (text[p] == '"') {
      for (++p; p < text.size();) {
        if (text[p] == '"') {
          if (p + 1 < text.size() && text[p + 1] == '"') {
            field.push_back('"');
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        const std::size_t next = NextChar(text, p);
        field.append(text.substr(p, next - p));
        p = next;
      }
    } else {
      const std::size_t start = p;
      while (p < text.size() && !IsBlank(text[p]) && text[p] != ',') p = NextChar(text, p);
      field.assign(text.substr(start, p - start));
    }
    fields.push_back(std::move(field));
    while (p < text.size() && IsBlank(text[p])) ++p;
    if (p < text.size() && text[p] == ',') {
      if (p + 1 == text.size()) fields.emplace_back();
      do {
        ++p;
      } while (p < text.size() && IsBlank(text[p]));
    }
  }
  return fields;
}

}  // namespace regexp
