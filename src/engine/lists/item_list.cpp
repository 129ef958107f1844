#include "engine/lists/item_list.h"

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/ui.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

ItemList::ItemList(Book& book, std::vector<std::string> heading)
    : book_(book), heading_(std::move(heading)) {}

void ItemList::Fill(std::vector<std::vector<std::string>> rows) {
  count_ = static_cast<int>(rows.size());
  rows_ = std::move(rows);
  if (rows_.empty()) rows_.push_back(EmptyRow());
  ClickRow(1);
}

void ItemList::ClickRow(int row) {
  if (row < 1 || row > RowCount()) return;
  selected_ = row;
  name_ = rows_[Index(row)][0];
}

void ItemList::Add() {
  HistoryStep step(book_.Changes(), heading_[0] + Sjis("の追加"));
  Ui& ui = book_.ui();
  if (book_.RefuseChange()) return;
  if (name_.empty()) {
    ui.Message(Sjis("名前を入力してください"));
    return;
  }
  for (int row = 1; row <= count_; ++row) {
    if (EqualIgnoringCase(rows_[Index(row)][0], name_)) {
      ui.Message(name_ + Sjis(" は既に使用されています"));
      selected_ = row;
      return;
    }
  }
  if (EqualIgnoringCase(heading_[0], name_)) return;
  if (name_ == book_.Name()) {
    ui.Message(Sjis("家計簿と同じ名前は使用できません"));
    return;
  }
  if (book_.Journal() && name_ == book_.Journal()->Caption()) {
    ui.Message(Sjis("仕訳帳と同じ名前は使用できません"));
    return;
  }
  if (const std::string problem = NameProblem(name_); !problem.empty()) {
    ui.Message(problem);
    return;
  }
  if (count_ == 0) {
    rows_[0] = EmptyRow();
  } else {
    rows_.push_back(EmptyRow());
  }
  selected_ = count_ == 0 ? 1 : RowCount();
  rows_[Index(selected_)][0] = name_;
  AddChecked(selected_);
  ++count_;
  name_ = rows_[Index(selected_)][0];
  book_.SetModified();
}

void ItemList::Delete() {
  HistoryStep step(book_.Changes(), heading_[0] + Sjis("の削除"));
  if (book_.RefuseChange()) return;
  if (name_ != rows_[Index(selected_)][0]) {
    book_.ui().Message(Sjis("削除する項目を選択してください"));
    return;
  }
  if (!DeleteChecked(selected_)) return;
  --count_;
  if (count_ == 0) {
    rows_.assign(1, EmptyRow());
    name_.clear();
  } else {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(Index(selected_)));
    if (selected_ > RowCount()) selected_ = RowCount();
    name_ = rows_[Index(selected_)][0];
  }
  book_.SetModified();
}

SubjectList::SubjectList(Book& book)
    : ItemList(book, {Sjis("勘定科目"), Sjis("相手科目"), Sjis("借方合計"), Sjis("貸方合計"),
                      Sjis("差引残高")}) {
  std::vector<std::vector<std::string>> rows;
  const SubjectStore& store = book.Journal()->Subjects();
  for (std::size_t i = 0; i < book.LedgerCount(); ++i) {
    TLedgerGrid& ledger = book.LedgerAt(i);
    std::vector<std::string> row{ledger.Caption(), store.Counterpart(ledger.Caption()), "", "", ""};
    try {
      const std::int32_t debit = ledger.DebitTotal();
      const std::int32_t credit = ledger.CreditTotal();
      row[2] = IntToText(debit);
      row[3] = IntToText(credit);
      row[4] = IntToText(CheckedSub(debit, credit));
    } catch (const Error& e) {
      // A total out of range is reported and left blank rather than shown wrong.
      book.ui().Message(e.Message());
    }
    rows.push_back(std::move(row));
  }
  Fill(std::move(rows));
}

std::string SubjectList::NameProblem(std::string_view name) const {
  return book_.SubjectNameProblem(name);
}

void SubjectList::AddChecked(int row) {
  auto& texts = MutableRow(row);
  texts[2] = texts[3] = texts[4] = "0";
  book_.AddSubject(texts[0]);
}

bool SubjectList::DeleteChecked(int row) {
  const auto texts = RowTexts(row);
  // A blank total (out of range) counts as used too.
  if (texts[2] != "0" || texts[3] != "0") {
    book_.ui().Message(Name() + Sjis(" は使用されています"));
    return false;
  }
  book_.DeleteSubject(Name());
  for (auto& other : Rows()) {
    if (other[1] == texts[0]) other[1].clear();
  }
  return true;
}

void SubjectList::SetCounterpart() {
  HistoryStep step(book_.Changes(), Sjis("相手科目の設定"));
  if (book_.RefuseChange()) return;
  auto& row = MutableRow(SelectedRow());
  SubjectStore& store = book_.Journal()->Subjects();
  if (Name().empty()) {
    row[1].clear();
    store.SetCounterpart(row[0], {});
    book_.SetModified();
    return;
  }
  if (Name() == row[0]) {
    book_.ui().Message(Sjis("勘定科目と同じ科目には設定できません"));
    return;
  }
  bool exists = false;
  for (int r = 1; r <= RowCount() && !exists; ++r) {
    exists = !RowTexts(r)[0].empty() && EqualIgnoringCase(RowTexts(r)[0], Name());
  }
  if (!exists) {
    book_.ui().Message(Sjis("存在しない勘定科目には設定できません"));
    return;
  }
  row[1] = Name();
  store.SetCounterpart(row[0], Name());
  book_.SetModified();
}

void SubjectList::Rename() {
  const std::string from = RowTexts(SelectedRow())[0];
  const std::string to = Name();
  if (from.empty()) {
    book_.ui().Message(Sjis("名前を変更する勘定科目を選択してください"));
    return;
  }
  if (!book_.RenameSubject(from, to)) return;
  for (auto& row : Rows()) {
    if (row[0] == from) row[0] = to;
    if (row[1] == from) row[1] = to;
  }
}

SummaryList::SummaryList(Book& book) : ItemList(book, {Sjis("摘要")}) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& summary : book.Journal()->Summaries().Summaries()) rows.push_back({summary});
  Fill(std::move(rows));
}

void SummaryList::AddChecked(int row) {
  book_.Journal()->Summaries().Add(RowTexts(row)[0]);
}

bool SummaryList::DeleteChecked(int row) {
  book_.Journal()->RemoveSummary(RowTexts(row)[0]);
  return true;
}

}  // namespace engine
