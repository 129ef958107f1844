// Arbitrary bytes as a journal CSV file imported into a new book: the first line's acceptance
// test, the lines loaded into the journal, subjects and ledgers created, everything posted
// and saved. The new book's folder is removed after each input.
#include <QDir>

#include "fuzz_support.h"

#include "engine/app/app_folder.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const QString csv = fuzzing::WriteScratch("import.csv", bytes);
  const std::string folder = engine::ToCp932(fuzzing::Scratch().path()).value() + "/";
  static engine::AppFolderOverride appFolder(folder);
  fuzzing::SilentUi ui;
  ui.files = {folder + "import.csv", folder + "import/s.txt", folder + "import/m.txt",
              folder + "import/a.txt"};
  {
    engine::Book book(ui);
    book.NewBookFromCSV();
  }
  QDir(fuzzing::Scratch().filePath("import")).removeRecursively();
  return 0;
}
