#include "engine/amount/entry_list.h"

namespace engine {

int DepthOf(std::string_view name) {
  int depth = 0;
  while (name.substr(static_cast<std::size_t>(depth) * kLevelMark.size(), kLevelMark.size()) ==
         kLevelMark) {
    ++depth;
  }
  return depth;
}

std::string_view BareNameOf(std::string_view name) {
  return name.substr(static_cast<std::size_t>(DepthOf(name)) * kLevelMark.size());
}

}  // namespace engine
