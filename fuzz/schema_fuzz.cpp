// Arbitrary bytes as a schema file: the reader either lists report entries or refuses the
// schema with its one message and an empty list; it never reads another file, never expands
// entities and stays within its limits however the defines refer to each other.
#include <cstdlib>

#include "engine/base/cp932.h"
#include "engine/schema/rng_parse.h"
#include "fuzz_support.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

class CountingUi : public fuzzing::SilentUi {
 public:
  int messages = 0;
  void Message(const std::string&) override { ++messages; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzzing::Scratch();  // the application object the text codecs rely on
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  CountingUi ui;
  engine::trngdomparse reader(ui);
  const std::vector<std::string> entries = reader.ParseSchemaBytes(bytes);

  Check(ui.messages <= 1);
  if (ui.messages == 1) Check(entries.empty());
  Check(entries.size() <= static_cast<std::size_t>(engine::trngdomparse::kMaxReportElements));
  const std::string_view mark = "\xA5\xA5\xA5";
  for (const std::string& entry : entries) {
    std::string_view rest = entry;
    int depth = 0;
    while (rest.starts_with(mark)) {
      rest.remove_prefix(mark.size());
      ++depth;
    }
    Check(depth < engine::trngdomparse::kMaxReportDepth);
    Check(!rest.empty());
    Check(engine::ToCp932(engine::FromCp932(entry)).value_or(std::string()) == entry);
  }
  return 0;
}
