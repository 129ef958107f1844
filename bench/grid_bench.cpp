// Typing in the journal of a million-line book, with the real main window offscreen: opening
// the book until the journal is painted, the column fit done on load, and committing a cell
// and moving to the next one (the grid repainted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>

#include "book_generator.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/journal_editors.h"
#include "desktop/tables/tjournalform.h"
#include "engine/app/app_folder.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/tables/journal_grid.h"

namespace {

constexpr std::size_t kLines = 1'000'000;

// The shared generated book; the program's settings go beside it.
const bench::GeneratedBook& Book() {
  static bench::BookFixture& fixture = bench::BookOf(kLines, false);
  static engine::AppFolderOverride folder(engine::ToCp932(fixture.dir.path()).value());
  return fixture.book;
}

desktop::tjournalform& JournalForm(desktop::TAccMDI& window) {
  return *static_cast<desktop::tjournalform*>(window.FormOf(*window.Book().Journal()));
}

std::unique_ptr<desktop::TAccMDI> OpenWindow() {
  auto window = std::make_unique<desktop::TAccMDI>();
  window->resize(1280, 800);
  window->show();
  window->Book().OpenBook(Book().indexPath);
  // A grab paints the journal's rows as the screen would.
  JournalForm(*window).grid->viewport()->grab();
  return window;
}

void BM_OpenToFirstPaint(benchmark::State& state) {
  Book();
  for (auto _ : state) {
    auto window = OpenWindow();
    benchmark::DoNotOptimize(window.get());
    state.PauseTiming();
    window->Book().CloseBook();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_ColumnFitOnLoad(benchmark::State& state) {
  auto window = OpenWindow();
  desktop::AccGridView& grid = *JournalForm(*window).grid;
  for (auto _ : state) grid.FitColumnsToContent();
  window->Book().CloseBook();
}
BENCHMARK(BM_ColumnFitOnLoad)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_CommitCellAndMove(benchmark::State& state) {
  auto window = OpenWindow();
  engine::TJournalGrid& journal = *window->Book().Journal();
  desktop::JournalEditors& editors = *JournalForm(*window).Editors();
  const int row = journal.RowCount() - 1;
  int amount = 1000;
  for (auto _ : state) {
    state.PauseTiming();
    journal.CellSelected(2, row);
    QLineEdit* editor = editors.DateEditor();
    editor->setText(QString::number(++amount));
    journal.SetEditorText(std::to_string(amount));
    QApplication::processEvents();
    state.ResumeTiming();
    // Tab commits the amount and opens the subject chooser on the next cell; the events
    // that follow repaint the grid.
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
  }
  window->Book().CloseBook();
}
BENCHMARK(BM_CommitCellAndMove)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
