// Arbitrary bytes as a book: its index file (every line kept inside the scratch folder), the
// journal, the subject and summary files and a ledger. Opening must end in a book or a
// message, never a crash or a hang.
#include "fuzz_support.h"

#include "engine/app/book.h"
#include "engine/base/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto parts = fuzzing::Parts(data, size, 5);
  const std::string folder = engine::ToCp932(fuzzing::Scratch().path()).value() + "/";
  // Index lines name files by their last path part only, so nothing outside the scratch
  // folder is ever read.
  std::string index;
  std::size_t start = 0;
  const std::string_view raw = parts[0];
  while (start <= raw.size()) {
    auto end = raw.find('\n', start);
    if (end == std::string_view::npos) end = raw.size();
    std::string name(raw.substr(start, end - start));
    for (char& c : name) {
      if (c == '/' || c == '\0') c = '_';
    }
    index += folder + name + "\n";
    start = end + 1;
  }
  fuzzing::WriteScratch("index.txt", index);
  fuzzing::WriteScratch("j.txt", parts[1]);
  fuzzing::WriteScratch("s.txt", parts[2]);
  fuzzing::WriteScratch("m.txt", parts[3]);
  fuzzing::WriteScratch("l.txt", parts[4]);
  fuzzing::SilentUi ui;
  engine::Book book(ui);
  book.OpenBook(folder + "index.txt");
  book.CloseBook();
  return 0;
}
