#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

class Book;

// The list dialogs (subjects, summaries) as data: the grid's rows under its heading row, the
// selected row, the name edit, and the "追加" and "削除" buttons' rules. Every change takes
// effect in the open book at once. Rows count from 1; row 0 is the heading.
class ItemList {
 public:
  virtual ~ItemList() = default;

  const std::vector<std::string>& Heading() const { return heading_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const std::vector<std::string>& RowTexts(int row) const { return rows_[Index(row)]; }
  int SelectedRow() const { return selected_; }
  bool DeleteEnabled() const { return count_ > 0; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // A click on a grid row: it becomes selected and its first column goes into the name edit.
  void ClickRow(int row);
  // "追加" with the name in the edit.
  void Add();
  // "削除" of the selected row.
  void Delete();

 protected:
  ItemList(Book& book, std::vector<std::string> heading);
  // Fills the rows from the book; called once by the derived constructor.
  void Fill(std::vector<std::vector<std::string>> rows);
  // The checks passed: the derived list adds the name to the book. `row` is its new row.
  virtual void AddChecked(int row) = 0;
  // The selection test passed: the derived list may refuse (false) or delete from the book.
  virtual bool DeleteChecked(int row) = 0;
  // A further refusal of a name, after the common ones; empty when the name is fine.
  virtual std::string NameProblem(std::string_view /*name*/) const { return {}; }

  std::vector<std::string>& MutableRow(int row) { return rows_[Index(row)]; }
  std::vector<std::vector<std::string>>& Rows() { return rows_; }
  Book& book_;

 private:
  static std::size_t Index(int row) { return static_cast<std::size_t>(row - 1); }
  std::vector<std::string> EmptyRow() const { return std::vector<std::string>(heading_.size()); }

  std::vector<std::string> heading_;
  std::vector<std::vector<std::string>> rows_;
  int count_ = 0;
  int selected_ = 1;
  std::string name_;
};

// "勘定科目一覧": subject, counterpart, debit total, credit total, balance per ledger.
class SubjectList : public ItemList {
 public:
  explicit SubjectList(Book& book);
  // "相手設定": the selected subject's counterpart becomes the name in the edit.
  void SetCounterpart();
  // "名前の変更": the selected subject takes the name in the edit, in the book and in the rows.
  void Rename();

 protected:
  void AddChecked(int row) override;
  bool DeleteChecked(int row) override;
  std::string NameProblem(std::string_view name) const override;
};

// "摘要一覧": one summary per row.
class SummaryList : public ItemList {
 public:
  explicit SummaryList(Book& book);

 protected:
  void AddChecked(int row) override;
  bool DeleteChecked(int row) override;
};

}  // namespace engine
