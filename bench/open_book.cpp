// Generates a book, or opens one once and prints how long the open took, so that the open
// can be measured alone under /usr/bin/time -v:
//   open_book generate FOLDER LINES   writes FOLDER/book.txt and its files
//   open_book open INDEX              opens the book whose index file is INDEX
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench_ui.h"
#include "book_generator.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/tables/journal_grid.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 4 && std::strcmp(argv[1], "generate") == 0) {
    QDir().mkpath(QString::fromLocal8Bit(argv[2]));
    const auto book = bench::WriteBook(QString::fromLocal8Bit(argv[2]),
                                       std::strtoull(argv[3], nullptr, 10), false);
    std::printf("%s\n", engine::FromCp932(book.indexPath).toLocal8Bit().constData());
    return 0;
  }
  if (argc != 3 || std::strcmp(argv[1], "open") != 0) {
    std::fprintf(stderr, "usage: open_book generate FOLDER LINES | open_book open INDEX\n");
    return 2;
  }
  bench::BenchUi ui;
  engine::Book book(ui);
  QElapsedTimer timer;
  timer.start();
  book.OpenBook(engine::ToCp932(QString::fromLocal8Bit(argv[2])).value_or(""));
  const auto elapsed = timer.elapsed();
  if (!book.IsOpen()) {
    std::fprintf(stderr, "open failed\n");
    return 1;
  }
  std::printf("opened %d journal rows and %zu ledgers in %lld ms\n",
              book.Journal()->RowCount() - 1, book.LedgerCount(),
              static_cast<long long>(elapsed));
  return 0;
}
