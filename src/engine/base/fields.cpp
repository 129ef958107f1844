#include "engine/base/fields.h"

#include "regexp/scanner.h"

namespace engine {

void SplitFieldViews(std::string_view line, char separator, std::string_view* out,
                     std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t next = line.find(separator, pos);
    if (next == std::string_view::npos) {
      out[i] = line.substr(pos);
      for (++i; i < count; ++i) out[i] = {};
      return;
    }
    out[i] = line.substr(pos, next - pos);
    pos = next + 1;
  }
}

std::vector<std::string> SplitFields(std::string_view line, char separator, std::size_t count) {
  std::vector<std::string_view> views(count);
  SplitFieldViews(line, separator, views.data(), count);
  return {views.begin(), views.end()};
}

namespace {
bool IsBlank(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 1 && b <= 32;
}
// The next character boundary: a lead byte with a byte after it makes one character.
std::size_t NextChar(std::string_view text, std::size_t pos) {
  if (regexp::IsDBCSLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size())
    return pos + 2;
  return pos + 1;
}
}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::vector<std::string> fields;
  const std::size_t n = text.size();
  std::size_t p = 0;
  // A NUL byte ends the text, as it would end a C string.
  const std::size_t nul = text.find('\0');
  const std::size_t end = nul == std::string_view::npos ? n : nul;
  while (p < end && IsBlank(text[p])) ++p;
  while (p < end) {
    std::string field;
    if (text[p] == '"') {
      ++p;
      while (p < end) {
        if (text[p] == '"') {
          if (p + 1 < end && text[p + 1] == '"') {
            field.push_back('"');
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        const std::size_t next = NextChar(text.substr(0, end), p);
        field.append(text.substr(p, next - p));
        p = next;
      }
    } else {
      const std::size_t start = p;
      while (p < end && !IsBlank(text[p]) && text[p] != ',') p = NextChar(text.substr(0, end), p);
      field.assign(text.substr(start, p - start));
    }
    fields.push_back(std::move(field));
    while (p < end && IsBlank(text[p])) ++p;
    if (p < end && text[p] == ',') {
      if (p + 1 == end) fields.emplace_back();
      do {
        ++p;
      } while (p < end && IsBlank(text[p]));
    }
  }
  return fields;
}

}  // namespace engine
