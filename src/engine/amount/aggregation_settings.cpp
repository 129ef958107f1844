#include "engine/amount/aggregation_settings.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

#include "engine/amount/entry_list.h"
#include "engine/base/fields.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"

namespace engine {

namespace {

constexpr std::string_view kTable = "table";
constexpr std::string_view kCompare = "compare";

bool IsSet(std::string_view field) {
  return field == "1";
}
const char* Flag(bool set) {
  return set ? "1" : "0";
}

std::string Join(std::initializer_list<std::string_view> fields) {
  std::string value;
  bool first = true;
  for (const auto field : fields) {
    if (!first) value += ',';
    value += field;
    first = false;
  }
  return value;
}

// Each non-empty value of the section, in key order; the key numbers are not interpreted.
template <typename Entry, typename Read>
std::optional<std::vector<Entry>> LoadList(const Profile& profile, std::string_view section,
                                           Read read) {
  if (!profile.HasSection(section)) return std::nullopt;
  std::vector<Entry> entries;
  for (const auto& entry : profile.Entries(section)) {
    if (!entry.value.empty()) entries.push_back(read(entry.value));
  }
  return entries;
}

// Keys are list positions; an entry without a name keeps its number unused.
template <typename Entry, typename Write>
void SaveList(Profile& profile, std::string_view section, const std::vector<Entry>& entries,
              Write write) {
  std::vector<Profile::Entry> lines;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].name.empty()) continue;
    lines.push_back({IntToText(static_cast<std::int32_t>(i)), write(entries[i])});
  }
  profile.ReplaceSection(section, lines);
}

}  // namespace

std::optional<std::vector<TableEntrySetting>> LoadTableSettings(const Profile& profile) {
  return LoadList<TableEntrySetting>(profile, kTable, [](std::string_view value) {
    const auto f = SplitFieldViews<4>(value, ',');
    return TableEntrySetting{std::string(f[0]), IsSet(f[1]), IsSet(f[2]), IsSet(f[3])};
  });
}

void SaveTableSettings(Profile& profile, const std::vector<TableEntrySetting>& entries) {
  SaveList(profile, kTable, entries, [](const TableEntrySetting& e) {
    return Join({e.name, Flag(e.debit), Flag(e.credit), Flag(e.swap)});
  });
}

std::optional<std::vector<CompareEntrySetting>> LoadCompareSettings(const Profile& profile) {
  return LoadList<CompareEntrySetting>(profile, kCompare, [](std::string_view value) {
    const auto f = SplitFieldViews<6>(value, ',');
    return CompareEntrySetting{std::string(f[0]), std::string(f[1]), std::string(f[2]),
                               IsSet(f[3]),       IsSet(f[4]),       IsSet(f[5])};
  });
}

void SaveCompareSettings(Profile& profile, const std::vector<CompareEntrySetting>& entries) {
  SaveList(profile, kCompare, entries, [](const CompareEntrySetting& e) {
    return Join({e.name, e.first, e.last, Flag(e.debit), Flag(e.credit), Flag(e.swap)});
  });
}

std::vector<SchemaEntrySetting> LoadSchemaSettings(const Profile& profile,
                                                   std::string_view schemaPath,
                                                   std::size_t entryCount,
                                                   const std::vector<std::string>& subjects) {
  std::vector<SchemaEntrySetting> settings(entryCount);
  for (auto& setting : settings) setting.subjects.resize(subjects.size());

  // The first subject of each name, found without a scan per group.
  std::unordered_map<std::string_view, std::size_t> subjectIndex;
  for (std::size_t i = subjects.size(); i-- > 0;) subjectIndex[subjects[i]] = i;

  const auto inRange = [&](std::int32_t n) {
    return n >= 0 && static_cast<std::size_t>(n) < entryCount;
  };
  for (const auto& [key, value] : profile.Entries(schemaPath)) {
    if (!key.empty() && key.front() == '/') {
      const std::int32_t n = ReadInt(std::string_view(key).substr(1));
      if (inRange(n)) settings[static_cast<std::size_t>(n)].text = value;
      continue;
    }
    const std::int32_t n = ReadInt(key);
    if (!inRange(n)) continue;
    SchemaEntrySetting& setting = settings[static_cast<std::size_t>(n)];
    setting.hasSubjects = true;
    std::vector<std::string_view> fields(
        static_cast<std::size_t>(std::count(value.begin(), value.end(), ',')) + 1);
    SplitFieldViews(value, ',', fields.data(), fields.size());
    for (std::size_t g = 0; g + 4 <= fields.size(); g += 4) {
      const auto found = subjectIndex.find(fields[g]);
      if (found == subjectIndex.end()) continue;
      setting.subjects[found->second] = {true, IsSet(fields[g + 1]), IsSet(fields[g + 2]),
                                         IsSet(fields[g + 3])};
    }
  }
  return settings;
}

void SaveSchemaSettings(Profile& profile, std::string_view schemaPath,
                        const std::vector<SchemaEntrySetting>& entries,
                        const std::vector<std::string>& subjects) {
  std::vector<Profile::Entry> lines;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const SchemaEntrySetting& entry = entries[i];
    const std::string number = IntToText(static_cast<std::int32_t>(i));
    std::string groups;
    const std::size_t count = std::min(entry.subjects.size(), subjects.size());
    for (std::size_t s = 0; s < count; ++s) {
      const SubjectSelection& selection = entry.subjects[s];
      if (!selection.selected) continue;
      if (!groups.empty()) groups += ',';
      groups += Join(
          {subjects[s], Flag(selection.debit), Flag(selection.credit), Flag(selection.invert)});
    }
    if (!groups.empty()) lines.push_back({number, std::move(groups)});
    if (!entry.text.empty()) lines.push_back({"/" + number, entry.text});
  }
  profile.ReplaceSection(schemaPath, lines);
}

std::string RenameSubjectInSettings(std::string_view image, std::string_view from,
                                    std::string_view to) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  const auto lower = [](std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
  };
  enum class Section { None, Named, Schema } section = Section::None;
  bool changed = false;
  std::string out;
  out.reserve(image.size() + 64);
  for (std::string line : SplitLines(image)) {
    const std::size_t start = line.find_first_not_of(" \t");
    const std::size_t close = line.rfind(']');
    if (start != std::string::npos && line[start] == '[' && close != std::string::npos &&
        close > start) {
      std::string_view name(line.data() + start + 1, close - start - 1);
      while (!name.empty() && isBlank(name.front())) name.remove_prefix(1);
      while (!name.empty() && isBlank(name.back())) name.remove_suffix(1);
      const std::string folded = lower(name);
      section = folded == kTable || folded == kCompare ? Section::Named : Section::Schema;
    } else if (const std::size_t equal = line.find('=');
               section != Section::None && equal != std::string::npos) {
      // The value starts after the blanks that follow "="; those stay as written.
      std::size_t at = equal + 1;
      while (at < line.size() && isBlank(line[at])) ++at;
      std::string_view key(line.data(), equal);
      while (!key.empty() && isBlank(key.front())) key.remove_prefix(1);
      const std::string_view value(line.data() + at, line.size() - at);
      if (section == Section::Named) {
        std::size_t nameAt = at;
        while (line.compare(nameAt, kLevelMark.size(), kLevelMark) == 0)
          nameAt += kLevelMark.size();
        const std::size_t comma = line.find(',', nameAt);
        const std::size_t end = comma == std::string::npos ? line.size() : comma;
        if (std::string_view(line).substr(nameAt, end - nameAt) == from) {
          line.replace(nameAt, end - nameAt, to);
          changed = true;
        }
      } else if (!key.empty() && key.front() != '/') {
        std::vector<std::string> fields = SplitFields(
            value, ',', static_cast<std::size_t>(std::count(value.begin(), value.end(), ',')) + 1);
        bool renamed = false;
        for (std::size_t i = 0; i + 3 < fields.size(); i += 4) {
          if (fields[i] == from) {
            fields[i] = to;
            renamed = true;
          }
        }
        if (renamed) {
          std::string joined;
          for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) joined += ',';
            joined += fields[i];
          }
          line.replace(at, std::string::npos, joined);
          changed = true;
        }
      }
    }
    AppendLine(out, line);
  }
  // Untouched files keep their bytes, line ends included.
  return changed ? out : std::string(image);
}

}  // namespace engine
