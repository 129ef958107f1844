#pragma once

#include <stdexcept>
#include <string>

namespace engine {

// A failure inside an operation. The message is the user-facing text as CP932 bytes; the
// operation's edge decides whether to show it or to replace it with its own fixed message.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& cp932Message) : std::runtime_error(cp932Message) {}
  std::string Message() const { return what(); }
};

}  // namespace engine
