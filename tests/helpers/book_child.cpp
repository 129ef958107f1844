// A second program for the tests that need one: it opens a book and either holds it open
// until told to end ("hold"), or changes every file of it and saves ("save"), telling the
// test on its output where it is, so that the test can kill it at a chosen moment.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/ui.h"
#include "engine/tables/journal_grid.h"

namespace {

// Says nothing and answers every question No: a locked book is not opened.
class SilentUi : public engine::Ui {
 public:
  void Message(const std::string& text) override { std::cerr << text << "\n"; }
  bool AskYesNo(const std::string& /*text*/) override { return false; }
  Answer AskYesNoCancel(const std::string& /*text*/) override { return Answer::No; }
  std::string SelectOpenFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return {};
  }
  std::string SelectSaveFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return {};
  }
  void SetStatus(int, const std::string&) override {}
};

void Say(const char* text) {
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  const std::string index = engine::ToCp932(QString::fromLocal8Bit(argv[2])).value();
  SilentUi ui;
  engine::Book book(ui);
  book.OpenBook(index);
  if (!book.IsOpen() || book.ReadOnly()) return 3;
  if (mode == "hold") {
    Say("open");
    std::string line;
    std::getline(std::cin, line);
    return 0;
  }
  if (mode != "save") return 2;
  // Changes every file: a sort reorders the journal and every ledger, a new subject adds a
  // ledger and changes the subject file and the index, a summary changes the summary file.
  book.OperateSortExecute();
  book.AddSubject(engine::Sjis("新しい科目"));
  book.Journal()->Summaries().Add(engine::Sjis("新しい摘要"));
  Say("saving");
  const auto start = std::chrono::steady_clock::now();
  if (!book.SaveBook()) return 4;
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  std::printf("saved %lld\n", static_cast<long long>(took.count()));
  std::fflush(stdout);
  return 0;
}
