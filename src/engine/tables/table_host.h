#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace engine {

class History;
class TAccGrid;
class TJournalGrid;
class TLedgerGrid;
class Ui;

// Columns 1 to 5 of a row, compared exactly; ties a journal line to its ledger rows.
using LineKey = std::array<std::string, 5>;

// What a table reaches through the book and the main window around it: the user interface,
// the other tables of the book in child-window order, and the book's modified flag.
class TableHost {
 public:
  virtual ~TableHost() = default;

  virtual Ui& ui() = 0;
  virtual void SetModified() = 0;
  // True, with the user told why, when the book must not change (it was opened read-only).
  // Every command that would change a table or a list asks this first.
  virtual bool RefuseChange() { return false; }
  // The book's undo history, or null where changes are not kept.
  virtual History* Changes() { return nullptr; }
  // True when deleting a journal line asks first.
  virtual bool ConfirmLineDelete() const { return false; }

  // Element 0 of the child window list; null while the book has none.
  virtual TJournalGrid* Journal() = 0;
  // Elements 1 and on, in list order.
  virtual std::size_t LedgerCount() const = 0;
  virtual TLedgerGrid& LedgerAt(std::size_t index) = 0;
  // The first ledger whose caption equals `caption` exactly, or null.
  TLedgerGrid* FindLedger(std::string_view caption);

  // Brings the journal's window to the front.
  virtual void ShowJournalWindow() = 0;
  // The child window's ShowMatchingLine: select the line in `table`, then restore its window
  // when minimized and bring it to the front.
  virtual void ShowMatchingLine(TAccGrid& table, const LineKey& key) = 0;
  // Creates a ledger for a new subject (its window, its store entry and its tab).
  virtual void AddSubject(const std::string& name) = 0;
  // Where the journal writes its subject and summary files.
  virtual std::string SubjectPath() const = 0;
  virtual std::string SummaryPath() const = 0;
};

}  // namespace engine
