#include "engine/base/fields.h"

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

}  // namespace engine
