#include "fake_host.h"

namespace engine::testing {

FakeHost::FakeHost() : journal_(std::make_unique<TJournalGrid>(*this)) {
  journal_->SetCaption(Sjis("仕訳帳"));
}

FakeHost::~FakeHost() = default;

TLedgerGrid& FakeHost::AddLedger(const std::string& caption) {
  ledgers_.push_back(std::make_unique<TLedgerGrid>(*this));
  ledgers_.back()->SetCaption(caption);
  return *ledgers_.back();
}

void FakeHost::ShowMatchingLine(TAccGrid& table, const LineKey& key) {
  table.SelectMatchingLine(key);
  shownMatching.push_back(table.Caption());
}

void FakeHost::AddSubject(const std::string& name) {
  AddLedger(name);
  journal_->Subjects().Add(name);
}

}  // namespace engine::testing
