#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bench_ui.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "engine/tables/table_host.h"

namespace bench {

// A journal and its ledgers without files or windows, for timing table work alone.
class BenchHost : public engine::TableHost {
 public:
  BenchUi benchUi;

  BenchHost() : journal_(std::make_unique<engine::TJournalGrid>(*this)) {}

  engine::Ui& ui() override { return benchUi; }
  void SetModified() override {}
  engine::TJournalGrid* Journal() override { return journal_.get(); }
  std::size_t LedgerCount() const override { return ledgers_.size(); }
  engine::TLedgerGrid& LedgerAt(std::size_t index) override { return *ledgers_[index]; }
  void ShowJournalWindow() override {}
  void ShowMatchingLine(engine::TAccGrid& table, const engine::LineKey& key) override {
    table.SelectMatchingLine(key);
  }
  void AddSubject(const std::string& name) override {
    ledgers_.push_back(std::make_unique<engine::TLedgerGrid>(*this));
    ledgers_.back()->SetCaption(name);
    journal_->Subjects().Add(name);
  }
  std::string SubjectPath() const override { return {}; }
  std::string SummaryPath() const override { return {}; }

 private:
  std::unique_ptr<engine::TJournalGrid> journal_;
  std::vector<std::unique_ptr<engine::TLedgerGrid>> ledgers_;
};

}  // namespace bench
