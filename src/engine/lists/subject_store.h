#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/lists/sorted_names.h"

namespace engine {

// The book's subjects, each with its counterpart (the subject filled into the empty other
// side of a journal line), sorted; lookups ignore letter case.
class SubjectStore {
 public:
  void SetHistory(History* history) { names_.SetHistory(history); }
  // A subject-file line: the subject, optionally a TAB and the counterpart; anything after a
  // second TAB is ignored.
  void AddLine(std::string_view line);
  void Add(std::string_view subject, std::string_view counterpart = {});
  // False when no subject has that name.
  bool Remove(std::string_view subject);
  int IndexOf(std::string_view subject) const { return names_.IndexOf(subject); }
  bool Contains(std::string_view subject) const { return names_.Contains(subject); }
  // The subjects whose names begin with what was typed, as the chooser offers them.
  std::vector<int> Completions(std::string_view typed) const {
    return names_.Matching(typed, false);
  }
  // Empty when the subject has none or doesn't exist.
  std::string Counterpart(std::string_view subject) const;
  void SetCounterpart(std::string_view subject, std::string_view counterpart);
  // Renames the entry named `from` (letter case ignored), keeping its counterpart, and every
  // counterpart equal to `from` exactly.
  void Rename(std::string_view from, std::string_view to);
  // Clears every counterpart equal to `name` exactly.
  void ClearCounterpartsOf(std::string_view name);

  int Count() const { return names_.Count(); }
  const std::string& Subject(int index) const { return names_.Name(index); }
  const std::string& CounterpartAt(int index) const { return names_.Companion(index); }
  std::vector<std::string> Subjects() const;
  // The subject file's lines, in store order.
  std::vector<std::string> FileLines() const;
  void Clear() { names_.Clear(); }

 private:
  SortedNames names_;
};

// The summaries offered for the journal's summary cell, sorted; lookups ignore letter case.
class SummaryStore {
 public:
  void SetHistory(History* history) { names_.SetHistory(history); }
  void Add(std::string_view text) { names_.Insert(text); }
  void AddMany(const std::vector<std::string_view>& texts) { names_.InsertMany(texts); }
  // Removes the first entry equal without regard to letter case; false when there is none.
  bool Remove(std::string_view text);
  int IndexOf(std::string_view text) const { return names_.IndexOf(text); }
  bool Contains(std::string_view text) const { return names_.Contains(text); }
  // The summaries that contain what was typed anywhere.
  std::vector<int> Completions(std::string_view typed) const {
    return names_.Matching(typed, true);
  }
  int Count() const { return names_.Count(); }
  const std::string& At(int index) const { return names_.Name(index); }
  std::vector<std::string> Summaries() const;
  void Clear() { names_.Clear(); }

 private:
  SortedNames names_;
};

}  // namespace engine
