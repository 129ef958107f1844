#include "engine/lists/subject_store.h"

#include "engine/base/fields.h"

namespace engine {

void SubjectStore::AddLine(std::string_view line) {
  const auto fields = SplitFieldViews<2>(line, '\t');
  Add(fields[0], fields[1]);
}

void SubjectStore::Add(std::string_view subject, std::string_view counterpart) {
  names_.Insert(subject, counterpart);
}

bool SubjectStore::Remove(std::string_view subject) {
  const int index = names_.IndexOf(subject);
  if (index < 0) return false;
  names_.RemoveAt(index);
  return true;
}

std::string SubjectStore::Counterpart(std::string_view subject) const {
  const int index = names_.IndexOf(subject);
  return index < 0 ? std::string() : names_.Companion(index);
}

void SubjectStore::SetCounterpart(std::string_view subject, std::string_view counterpart) {
  const int index = names_.IndexOf(subject);
  if (index >= 0) names_.SetCompanion(index, counterpart);
}

void SubjectStore::Rename(std::string_view from, std::string_view to) {
  const int index = names_.IndexOf(from);
  if (index >= 0) {
    const std::string counterpart = names_.Companion(index);
    names_.RemoveAt(index);
    names_.Insert(to, counterpart);
  }
  for (int i = 0; i < names_.Count(); ++i) {
    if (names_.Companion(i) == from) names_.SetCompanion(i, to);
  }
}

void SubjectStore::ClearCounterpartsOf(std::string_view name) {
  for (int i = 0; i < names_.Count(); ++i) {
    if (names_.Companion(i) == name) names_.SetCompanion(i, {});
  }
}

std::vector<std::string> SubjectStore::Subjects() const {
  std::vector<std::string> subjects;
  subjects.reserve(static_cast<std::size_t>(Count()));
  for (int i = 0; i < Count(); ++i) subjects.push_back(Subject(i));
  return subjects;
}

std::vector<std::string> SubjectStore::FileLines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(Count()));
  for (int i = 0; i < Count(); ++i) {
    const std::string& counterpart = CounterpartAt(i);
    lines.push_back(counterpart.empty() ? Subject(i) : Subject(i) + "\t" + counterpart);
  }
  return lines;
}

bool SummaryStore::Remove(std::string_view text) {
  const int index = names_.IndexOf(text);
  if (index < 0) return false;
  names_.RemoveAt(index);
  return true;
}

std::vector<std::string> SummaryStore::Summaries() const {
  std::vector<std::string> summaries;
  summaries.reserve(static_cast<std::size_t>(Count()));
  for (int i = 0; i < Count(); ++i) summaries.push_back(At(i));
  return summaries;
}

}  // namespace engine
