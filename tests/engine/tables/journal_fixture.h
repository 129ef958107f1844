#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "fake_host.h"

namespace engine::testing {

// A journal in a book without files, today fixed at 2025-06-14, and a temporary folder.
class JournalTest : public ::testing::Test {
 protected:
  TodayOverride today{QDate(2025, 6, 14)};
  FakeHost host;
  TJournalGrid& journal = host.journal();
  FakeUi& ui = host.fakeUi;
  QTemporaryDir dir;

  QString PathOf(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

  // Six UTF-8 texts joined by `separator`, as a CP932 line.
  static std::string Line(const std::vector<std::string>& utf8Cells, char separator = '\t') {
    std::string line;
    for (std::size_t i = 0; i < utf8Cells.size(); ++i) {
      if (i > 0) line += separator;
      line += Sjis(utf8Cells[i]);
    }
    return line;
  }

  // Appends an unposted row with the given UTF-8 cells (reusing an empty last row).
  int AddLine(const std::vector<std::string>& utf8Cells) {
    if (!journal.RowAt(journal.RowCount() - 1).IsEmpty()) journal.AppendRow();
    const int row = journal.RowCount() - 1;
    for (std::size_t i = 0; i < utf8Cells.size(); ++i) {
      journal.SetCell(static_cast<int>(i) + 1, row, Sjis(utf8Cells[i]));
    }
    return row;
  }

  // Loads journal file lines given as UTF-8 cells; every row read counts as posted.
  void LoadLines(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> lines;
    for (const auto& cells : rows) lines.push_back(Line(cells));
    const QString path = PathOf("load.txt");
    WriteTextLines(path, lines);
    journal.LoadTable(path);
  }

  // The six cells of a row joined by TABs, CP932.
  static std::string RowText(const TAccGrid& grid, int row) {
    std::string line;
    for (int c = 1; c <= 6; ++c) {
      if (c > 1) line += '\t';
      line += grid.Cell(c, row);
    }
    return line;
  }

  // Data rows of a ledger, without its empty trailing row.
  static std::vector<std::string> LedgerRows(const TLedgerGrid& ledger) {
    std::vector<std::string> rows;
    for (int r = 1; r < ledger.RowCount(); ++r) {
      if (!ledger.RowAt(r).IsEmpty()) rows.push_back(RowText(ledger, r));
    }
    return rows;
  }

  // Selects the cell, types `utf8Text` into its date or summary editor and commits.
  bool Type(int column, int row, const std::string& utf8Text) {
    journal.SelectCell(column, row);
    journal.SetEditorText(Sjis(utf8Text));
    return journal.CommitEditor();
  }

  // Selects a subject cell, picks `utf8Subject` (empty: no choice) and commits.
  bool Choose(int column, int row, const std::string& utf8Subject) {
    journal.SelectCell(column, row);
    journal.ChooseSubject(utf8Subject.empty() ? -1 : journal.Subjects().IndexOf(Sjis(utf8Subject)));
    return journal.CommitEditor();
  }

  // A press on a row's header cell selects the line.
  void SelectLine(int row) { journal.MousePress(0, row); }

  std::vector<std::string> Messages(const std::vector<std::string>& utf8) const {
    std::vector<std::string> texts;
    for (const auto& text : utf8) texts.push_back(Sjis(text));
    return texts;
  }
};

}  // namespace engine::testing
