#include "bench_ui.h"

namespace bench {

std::string BenchUi::Next() {
  if (files.empty()) return {};
  std::string file = files.front();
  files.pop_front();
  return file;
}

}  // namespace bench
