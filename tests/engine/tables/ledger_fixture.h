#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/text_file.h"
#include "engine/tables/ledger_grid.h"
#include "fake_host.h"

namespace engine::testing {

// A book with the ledgers 食費 and 現金, a temporary folder for ledger files, and the date
// fixed so two-digit years read the same on every run.
class LedgerTest : public ::testing::Test {
 protected:
  FakeHost host;
  TLedgerGrid& food = host.AddLedger(Sjis("食費"));
  TLedgerGrid& cash = host.AddLedger(Sjis("現金"));
  QTemporaryDir dir;
  TodayOverride today{QDate(2025, 6, 14)};

  static std::vector<std::string> SjisLines(const std::vector<std::string>& utf8) {
    std::vector<std::string> lines;
    for (const auto& line : utf8) lines.push_back(Sjis(line));
    return lines;
  }

  QString PathOf(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

  // Loads ledger rows given as UTF-8 lines with TABs between the cells.
  void Load(TLedgerGrid& ledger, const std::vector<std::string>& utf8Lines) {
    std::vector<std::string> lines;
    for (const auto& line : utf8Lines) lines.push_back(Sjis(line));
    const QString path = PathOf("load.txt");
    WriteTextLines(path, lines);
    ledger.LoadTable(path);
  }

  // Column `column` of data rows 1 to the row before the trailing row, as CP932 texts.
  static std::vector<std::string> Column(const TLedgerGrid& ledger, int column) {
    std::vector<std::string> texts;
    for (int r = 1; r < ledger.RowCount() - 1; ++r) texts.emplace_back(ledger.Cell(column, r));
    return texts;
  }
  static std::vector<std::string> Balances(const TLedgerGrid& ledger) { return Column(ledger, 6); }

  // Every data row's six cells joined by TABs, trailing row included, as CP932 texts.
  static std::vector<std::string> Rows(const TLedgerGrid& ledger) {
    std::vector<std::string> rows;
    for (int r = 1; r < ledger.RowCount(); ++r) {
      std::string line;
      for (int c = 1; c <= 6; ++c) {
        if (c > 1) line += '\t';
        line += ledger.Cell(c, r);
      }
      rows.push_back(line);
    }
    return rows;
  }

  // What the toolkit does before the row-moved event: the row at `from` now stands at `to`
  // and the rows between shift by one.
  static void ToolkitMove(TLedgerGrid& ledger, int from, int to) {
    std::vector<Row> rows;
    for (int r = 1; r < ledger.RowCount(); ++r) rows.push_back(ledger.RowAt(r));
    const auto at = [&](int r) { return rows.begin() + (r - 1); };
    if (from < to) {
      std::rotate(at(from), at(from) + 1, at(to) + 1);
    } else {
      std::rotate(at(to), at(from), at(from) + 1);
    }
    for (int r = 1; r < ledger.RowCount(); ++r) {
      for (int c = 1; c <= 6; ++c)
        ledger.SetCell(c, r, rows[static_cast<std::size_t>(r - 1)].Cell(c));
    }
  }
};

}  // namespace engine::testing
