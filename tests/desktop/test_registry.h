#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The desktop tests share one main (one QApplication); each Qt Test class registers itself
// here with REGISTER_DESKTOP_TEST and main runs them in turn.
namespace desktop_tests {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<std::pair<std::string, TestFactory>>& Registry() {
  static std::vector<std::pair<std::string, TestFactory>> tests;
  return tests;
}

inline bool Register(std::string name, TestFactory factory) {
  Registry().emplace_back(std::move(name), std::move(factory));
  return true;
}

}  // namespace desktop_tests

#define REGISTER_DESKTOP_TEST(Class)                      \
  [[maybe_unused]] static const bool registered_##Class = \
      desktop_tests::Register(#Class, [] { return std::unique_ptr<QObject>(new Class); })
