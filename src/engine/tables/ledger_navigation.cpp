// Jumps from a ledger row to the journal line it was posted from and to the other ledger's
// row of the same posting.

#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

void TLedgerGrid::GoToJournal() {
  const int line = SelectedLine();
  if (line == 0) return;
  const Row& row = RowAt(line);
  const std::string own = Caption();
  LineKey key;
  if (!row.Cell(4).empty()) {
    key = {std::string(row.Cell(1)), std::string(row.Cell(4)), own, std::string(row.Cell(3)),
           std::string(row.Cell(2))};
  } else if (!row.Cell(5).empty()) {
    key = {std::string(row.Cell(1)), std::string(row.Cell(5)), std::string(row.Cell(2)),
           std::string(row.Cell(3)), own};
  } else {
    return;
  }
  if (TJournalGrid* journal = Host().Journal()) Host().ShowMatchingLine(*journal, key);
}

void TLedgerGrid::GoToLedger() {
  const int line = SelectedLine();
  if (line == 0) return;
  const Row& row = RowAt(line);
  const std::string own = Caption();
  LineKey key;
  if (!row.Cell(4).empty()) {
    key = {std::string(row.Cell(1)), own, std::string(row.Cell(3)), std::string(),
           std::string(row.Cell(4))};
  } else if (!row.Cell(5).empty()) {
    key = {std::string(row.Cell(1)), own, std::string(row.Cell(3)), std::string(row.Cell(5)),
           std::string()};
  } else {
    return;
  }
  if (TLedgerGrid* other = Host().FindLedger(row.Cell(2))) Host().ShowMatchingLine(*other, key);
}

void TLedgerGrid::SelectMatchingLine(const LineKey& key) {
  if (const int row = FindLine(key); row != 0) SelectLine(row);
}

}  // namespace engine
