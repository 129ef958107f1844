#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

// The level mark "･･･" (three halfwidth middle dots in CP932), put once per nesting level
// before an entry's name in the aggregation lists.
inline constexpr std::string_view kLevelMark = "\xA5\xA5\xA5";

// The number of leading level marks.
int DepthOf(std::string_view name);
// The name without its leading level marks.
std::string_view BareNameOf(std::string_view name);

// What the dialogs' list controls edit, whatever the entries carry besides their names.
class EntryListEditing {
 public:
  enum class Flag { Debit, Credit, Swap };

  virtual ~EntryListEditing() = default;
  virtual int Count() const = 0;
  virtual const std::string& NameAt(int index) const = 0;
  virtual int Selected() const = 0;
  virtual void Select(int index) = 0;
  // The selected entry's flag; false when none is selected.
  virtual bool FlagOf(Flag flag) const = 0;
  virtual void SetFlag(Flag flag, bool on) = 0;
  virtual void SetBareName(std::string_view bare) = 0;
  virtual void Left() = 0;
  virtual void Right() = 0;
  virtual void Up() = 0;
  virtual void Down() = 0;
  virtual void Insert() = 0;
  virtual void Delete() = 0;
};

// The ordered entry list of an aggregation dialog with its selected entry, as the dialog's
// buttons edit it. Each entry is one record (the name with its level marks and its flags, or
// its period and flags), so every move takes the name and what belongs to it together.
// `Entry` has the members `std::string name` and `bool debit, credit, swap`.
template <typename Entry>
class EntryList : public EntryListEditing {
 public:
  explicit EntryList(Entry fresh = {}) : fresh_(std::move(fresh)) {}

  // What 挿入 inserts and what 削除 of the only entry leaves.
  void SetFresh(Entry fresh) { fresh_ = std::move(fresh); }
  const Entry& Fresh() const { return fresh_; }

  // Replaces the list; the first entry becomes the selected one.
  void Assign(std::vector<Entry> entries) {
    entries_ = std::move(entries);
    selected_ = entries_.empty() ? -1 : 0;
  }

  const std::vector<Entry>& Entries() const { return entries_; }
  int Count() const override { return static_cast<int>(entries_.size()); }
  const Entry& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }
  const std::string& NameAt(int index) const override { return At(index).name; }

  // -1 when no entry is selected.
  int Selected() const override { return selected_; }
  void Select(int index) override { selected_ = index >= 0 && index < Count() ? index : -1; }
  Entry* SelectedEntry() {
    return selected_ < 0 ? nullptr : &entries_[static_cast<std::size_t>(selected_)];
  }
  const Entry* SelectedEntry() const {
    return selected_ < 0 ? nullptr : &entries_[static_cast<std::size_t>(selected_)];
  }

  bool FlagOf(Flag flag) const override {
    const Entry* entry = SelectedEntry();
    if (!entry) return false;
    return flag == Flag::Debit ? entry->debit : flag == Flag::Credit ? entry->credit : entry->swap;
  }
  void SetFlag(Flag flag, bool on) override {
    Entry* entry = SelectedEntry();
    if (!entry) return;
    (flag == Flag::Debit ? entry->debit : flag == Flag::Credit ? entry->credit : entry->swap) = on;
  }

  // The name box changed: the selected entry keeps its level marks and takes the new text.
  void SetBareName(std::string_view bare) override {
    Entry* entry = SelectedEntry();
    if (!entry) return;
    const std::string_view name = entry->name;
    entry->name =
        std::string(name.substr(0, name.size() - BareNameOf(name).size())) + std::string(bare);
  }

  // ← : one level up, when there is a level to leave.
  void Left() override {
    Entry* entry = SelectedEntry();
    if (entry && DepthOf(entry->name) > 0) entry->name.erase(0, kLevelMark.size());
  }
  // → : one level deeper; there is no limit.
  void Right() override {
    if (Entry* entry = SelectedEntry()) entry->name.insert(0, kLevelMark);
  }
  void Up() override {
    if (selected_ <= 0) return;
    std::swap(entries_[static_cast<std::size_t>(selected_)],
              entries_[static_cast<std::size_t>(selected_ - 1)]);
    --selected_;
  }
  void Down() override {
    if (selected_ < 0 || selected_ >= Count() - 1) return;
    std::swap(entries_[static_cast<std::size_t>(selected_)],
              entries_[static_cast<std::size_t>(selected_ + 1)]);
    ++selected_;
  }
  // 挿入: a fresh entry before the selected one, or at the end when none is selected.
  void Insert() override {
    if (selected_ < 0) {
      entries_.push_back(fresh_);
      selected_ = Count() - 1;
    } else {
      entries_.insert(entries_.begin() + selected_, fresh_);
    }
  }
  // 削除: the only entry is reset rather than removed, so the list never ends up empty.
  void Delete() override {
    if (selected_ < 0) return;
    if (Count() == 1) {
      entries_[0] = fresh_;
      return;
    }
    entries_.erase(entries_.begin() + selected_);
    if (selected_ >= Count()) selected_ = Count() - 1;
  }

 private:
  Entry fresh_;
  std::vector<Entry> entries_;
  int selected_ = -1;
};

}  // namespace engine
