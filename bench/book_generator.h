#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// Makes household books of any size for the benchmarks: N journal lines over 40 subjects
// across the ten years 2016 to 2025, with realistic amounts and summaries.
struct GeneratedBook {
  std::string indexPath;  // CP932
  std::string csvPath;    // the same journal as a CSV file beside the book
};

// Journal lines as CP932 text "yy/mm/dd\tamount\tdebit\tsummary\tcredit\tamount". With
// `shuffled` the dates come in random order (as after a careless import), otherwise ascending.
std::vector<std::string> GenerateJournalLines(std::size_t count, bool shuffled, unsigned seed = 1);

// Writes a whole book (index, journal, one ledger per subject with running balances, subject
// and summary files) and the CSV file into `folder`, which must exist.
GeneratedBook WriteBook(const QString& folder, std::size_t lines, bool shuffled);

// One generated book per size and order in a temporary folder, made once per run.
struct BookFixture {
  QTemporaryDir dir;
  GeneratedBook book;
};
BookFixture& BookOf(std::size_t lines, bool shuffled);

}  // namespace bench
