#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/history/history.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "engine/tables/table_host.h"
#include "fake_ui.h"

namespace engine::testing {

// A book without files: a journal and ledgers in child-window order, the modified flag, and
// a FakeUi. AddSubject makes a ledger and a store entry as the book does.
class FakeHost : public TableHost {
 public:
  FakeUi fakeUi;
  // Declared before the tables, which report to it.
  History history;
  bool modified = false;
  std::string subjectPath, summaryPath;
  std::vector<std::string> shownMatching;  // captions given to ShowMatchingLine
  int journalShown = 0;

  FakeHost();
  ~FakeHost() override;

  TJournalGrid& journal() { return *journal_; }
  TLedgerGrid& AddLedger(const std::string& caption);

  Ui& ui() override { return fakeUi; }
  void SetModified() override { modified = true; }
  History* Changes() override { return &history; }
  TJournalGrid* Journal() override { return journal_.get(); }
  std::size_t LedgerCount() const override { return ledgers_.size(); }
  TLedgerGrid& LedgerAt(std::size_t index) override { return *ledgers_[index]; }
  void ShowJournalWindow() override { ++journalShown; }
  void ShowMatchingLine(TAccGrid& table, const LineKey& key) override;
  void AddSubject(const std::string& name) override;
  std::string SubjectPath() const override { return subjectPath; }
  std::string SummaryPath() const override { return summaryPath; }

 private:
  std::unique_ptr<TJournalGrid> journal_;
  std::vector<std::unique_ptr<TLedgerGrid>> ledgers_;
};

}  // namespace engine::testing
