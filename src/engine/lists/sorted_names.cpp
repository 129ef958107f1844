#include "engine/lists/sorted_names.h"

#include <algorithm>

#include "engine/base/cp932.h"

namespace engine {

SortedNames::SortedNames() : collator_(QLocale::system()) {
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

QString SortedNames::KeyOf(std::string_view name) { return FromCp932(name).toCaseFolded(); }

int SortedNames::Insert(std::string_view name, std::string_view companion) {
  Entry entry{std::string(name), std::string(companion), KeyOf(name)};
  const QString shown = FromCp932(name);
  auto at = std::upper_bound(entries_.begin(), entries_.end(), shown,
                             [&](const QString& value, const Entry& e) {
                               return collator_.compare(value, FromCp932(e.name)) < 0;
                             });
  ++exactCount_[entry.name];
  ++keyCount_[entry.key];
  at = entries_.insert(at, std::move(entry));
  return static_cast<int>(at - entries_.begin());
}

void SortedNames::InsertMany(const std::vector<std::string_view>& names) {
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
  const Entry& entry = entries_[Index(index)];
  if (--exactCount_[entry.name] == 0) exactCount_.erase(entry.name);
  if (--keyCount_[entry.key] == 0) keyCount_.erase(entry.key);
  entries_.erase(entries_.begin() + index);
}

void SortedNames::Clear() {
  entries_.clear();
  exactCount_.clear();
  keyCount_.clear();
}

}  // namespace engine
