#pragma once

#include <QCollator>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace engine {

class History;

// A list of CP932 names kept in the user's locale order without regard to letter case, each
// with a companion text (the subject store's counterpart; unused for summaries). Lookups by
// name ignore letter case. Duplicates are allowed; a new name goes after its equals.
class SortedNames {
 public:
  SortedNames();
  // Changes are reported to `history` while one of its steps is open.
  void SetHistory(History* history) { history_ = history; }

  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Name(int index) const { return entries_[Index(index)].name; }
  const std::string& Companion(int index) const { return entries_[Index(index)].companion; }
  void SetCompanion(int index, std::string_view text);

  // Inserts at the sorted place; returns the new entry's index.
  int Insert(std::string_view name, std::string_view companion = {});
  // Inserts many names at once, each after its equals and in the order given: the same
  // result as inserting them one by one, in n log n instead of n squared.
  void InsertMany(const std::vector<std::string_view>& names);
  // The first entry whose name equals `name` without regard to letter case, or -1.
  int IndexOf(std::string_view name) const;
  bool Contains(std::string_view name) const;
  // The entries, in order, whose names begin with (or, `anywhere`, contain) `typed`, compared
  // as they read: letter case, character width and hiragana against katakana ignored.
  std::vector<int> Matching(std::string_view typed, bool anywhere) const;
  void RemoveAt(int index);
  void Clear();

 private:
  friend class NameChange;
  friend class NamesReplaced;
  struct Entry {
    std::string name;
    std::string companion;
    QString key;  // the decoded name, case-folded
  };
  static std::size_t Index(int index) { return static_cast<std::size_t>(index); }
  static QString KeyOf(std::string_view name);
  // The entry goes in at `index` exactly, or comes out, with the counts kept in step.
  void InsertAt(int index, Entry entry);
  Entry TakeAt(int index);
  // Swaps the whole list for `entries`, recounting.
  void SwapEntries(std::vector<Entry>& entries);
  bool Recording() const;
  static QString ReadingOf(const QString& text);

  QCollator collator_;
  std::vector<Entry> entries_;
  // How many entries hold each exact name and each folded key, so that the common lookup of
  // a name that is present, or plainly absent, costs no scan.
  std::unordered_map<std::string, int> exactCount_;
  std::unordered_map<QString, int> keyCount_;
  History* history_ = nullptr;
};

}  // namespace engine
