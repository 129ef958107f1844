#include "engine/lists/sorted_names.h"

#include <algorithm>

#include "engine/base/cp932.h"
#include "engine/history/history.h"

namespace engine {

// One entry put in or taken out (or its companion changed); undo does the opposite at the
// same index, so equal names keep their order.
class NameChange : public Change {
 public:
  enum class Kind { Inserted, Removed, Companion };
  NameChange(SortedNames& names, Kind kind, int index, SortedNames::Entry entry)
      : names_(names), kind_(kind), index_(index), entry_(std::move(entry)) {}
  void Undo() override { Apply(true); }
  void Redo() override { Apply(false); }
  std::size_t Bytes() const override {
    return sizeof(*this) + entry_.name.size() + entry_.companion.size();
  }

 private:
  void Apply(bool undo) {
    if (kind_ == Kind::Companion) {
      std::swap(names_.entries_[SortedNames::Index(index_)].companion, entry_.companion);
    } else if ((kind_ == Kind::Inserted) == undo) {
      entry_ = names_.TakeAt(index_);
    } else {
      names_.InsertAt(index_, std::move(entry_));
    }
  }

  SortedNames& names_;
  Kind kind_;
  int index_;
  SortedNames::Entry entry_;
};

// The list replaced as a whole (many names inserted at once, or cleared).
class NamesReplaced : public Change {
 public:
  NamesReplaced(SortedNames& names, std::vector<SortedNames::Entry> entries)
      : names_(names), entries_(std::move(entries)) {}
  void Undo() override { names_.SwapEntries(entries_); }
  void Redo() override { names_.SwapEntries(entries_); }
  std::size_t Bytes() const override {
    std::size_t bytes = sizeof(*this);
    for (const auto& e : entries_) bytes += sizeof(e) + e.name.size() + e.companion.size();
    return bytes;
  }

 private:
  SortedNames& names_;
  std::vector<SortedNames::Entry> entries_;
};

bool SortedNames::Recording() const {
  if (!history_) return false;
  // A change outside any step leaves the history unable to go back past it.
  if (!history_->StepOpen()) history_->Unrecorded();
  return history_->Recording();
}

void SortedNames::InsertAt(int index, Entry entry) {
  ++exactCount_[entry.name];
  ++keyCount_[entry.key];
  entries_.insert(entries_.begin() + index, std::move(entry));
}

SortedNames::Entry SortedNames::TakeAt(int index) {
  Entry entry = std::move(entries_[Index(index)]);
  if (--exactCount_[entry.name] == 0) exactCount_.erase(entry.name);
  if (--keyCount_[entry.key] == 0) keyCount_.erase(entry.key);
  entries_.erase(entries_.begin() + index);
  return entry;
}

void SortedNames::SwapEntries(std::vector<Entry>& entries) {
  entries_.swap(entries);
  exactCount_.clear();
  keyCount_.clear();
  for (const Entry& entry : entries_) {
    ++exactCount_[entry.name];
    ++keyCount_[entry.key];
  }
}

void SortedNames::SetCompanion(int index, std::string_view text) {
  Entry& entry = entries_[Index(index)];
  if (entry.companion == text) return;
  if (Recording()) {
    history_->Record(std::make_unique<NameChange>(*this, NameChange::Kind::Companion, index,
                                                  Entry{{}, entry.companion, {}}));
  }
  entry.companion = text;
}

SortedNames::SortedNames() : collator_(QLocale::system()) {
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

QString SortedNames::KeyOf(std::string_view name) {
  return FromCp932(name).toCaseFolded();
}

QString SortedNames::ReadingOf(const QString& text) {
  QString reading = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
  // Katakana read as the hiragana of the same sound, so either script finds a name.
  for (QChar& c : reading) {
    if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6) c = QChar(c.unicode() - 0x60);
  }
  return reading;
}

std::vector<int> SortedNames::Matching(std::string_view typed, bool anywhere) const {
  std::vector<int> found;
  const QString wanted = ReadingOf(FromCp932(typed));
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const QString reading = ReadingOf(FromCp932(entries_[i].name));
    if (anywhere ? reading.contains(wanted) : reading.startsWith(wanted))
      found.push_back(static_cast<int>(i));
  }
  return found;
}

int SortedNames::Insert(std::string_view name, std::string_view companion) {
  Entry entry{std::string(name), std::string(companion), KeyOf(name)};
  const QString shown = FromCp932(name);
  auto at = std::upper_bound(entries_.begin(), entries_.end(), shown,
                             [&](const QString& value, const Entry& e) {
                               return collator_.compare(value, FromCp932(e.name)) < 0;
                             });
  const int index = static_cast<int>(at - entries_.begin());
  InsertAt(index, std::move(entry));
  if (Recording()) {
    history_->Record(
        std::make_unique<NameChange>(*this, NameChange::Kind::Inserted, index, Entry{}));
  }
  return index;
}

void SortedNames::InsertMany(const std::vector<std::string_view>& names) {
  if (names.empty()) return;
  if (Recording()) history_->Record(std::make_unique<NamesReplaced>(*this, entries_));
  for (std::string_view name : names) {
    Entry entry{std::string(name), std::string(), KeyOf(name)};
    ++exactCount_[entry.name];
    ++keyCount_[entry.key];
    entries_.push_back(std::move(entry));
  }
  // Decoded once each; the collator's sort keys would ignore its case setting in some locales.
  std::vector<QString> shown;
  shown.reserve(entries_.size());
  for (const Entry& entry : entries_) shown.push_back(FromCp932(entry.name));
  std::vector<std::size_t> order(entries_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return collator_.compare(shown[a], shown[b]) < 0;
  });
  std::vector<Entry> sorted;
  sorted.reserve(entries_.size());
  for (std::size_t i : order) sorted.push_back(std::move(entries_[i]));
  entries_.swap(sorted);
}

bool SortedNames::Contains(std::string_view name) const {
  if (exactCount_.count(std::string(name)) != 0) return true;
  return keyCount_.count(KeyOf(name)) != 0;
}

int SortedNames::IndexOf(std::string_view name) const {
  if (!Contains(name)) return -1;
  const QString key = KeyOf(name);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

void SortedNames::RemoveAt(int index) {
  Entry entry = TakeAt(index);
  if (Recording()) {
    history_->Record(
        std::make_unique<NameChange>(*this, NameChange::Kind::Removed, index, std::move(entry)));
  }
}

void SortedNames::Clear() {
  if (Recording() && !entries_.empty()) {
    history_->Record(std::make_unique<NamesReplaced>(*this, std::move(entries_)));
  }
  entries_.clear();
  exactCount_.clear();
  keyCount_.clear();
}

}  // namespace engine
