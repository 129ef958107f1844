// Arbitrary bytes as a profile (INI) file: every section and key is read, then one key is
// written (an existing one or a new one, picked by the input) and read back. The write must
// change that key and nothing else that can be read.
#include <algorithm>
#include <cstdlib>

#include "engine/app/profile.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "fuzz_support.h"

namespace {

using Entries = std::vector<engine::Profile::Entry>;

void Check(bool ok) {
  if (!ok) std::abort();
}

// True when `after` is `before` with one key's value replaced in place, or with the key
// appended at the end.
bool ChangedOnlyThatKey(const Entries& before, const Entries& after, const std::string& value) {
  if (after.size() == before.size() + 1)
    return std::equal(before.begin(), before.end(), after.begin()) && after.back().value == value;
  if (after.size() != before.size()) return false;
  int changed = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (after[i] == before[i]) continue;
    if (after[i].key != before[i].key || after[i].value != value) return false;
    ++changed;
  }
  return changed == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const QString path = fuzzing::WriteScratch("test.ini", bytes);
  engine::Profile profile(path);

  std::vector<std::pair<std::string, Entries>> before;
  for (auto& section : profile.Sections()) {
    Check(profile.HasSection(section));
    Entries entries = profile.Entries(section);
    const auto keys = profile.Keys(section);
    Check(keys.size() == entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      Check(keys[i] == entries[i].key);
      Check(profile.Read(section, entries[i].key) == entries[i].value);
      profile.ReadInt(section, entries[i].key, 0);
    }
    before.emplace_back(std::move(section), std::move(entries));
  }

  const unsigned pick = size > 0 ? data[0] : 0;
  std::string section = "fuzz section";
  std::string key = "fuzzkey";
  if (!before.empty() && (pick & 1) != 0) {
    const auto& [name, entries] = before[(pick >> 1) % before.size()];
    section = name;
    if (!entries.empty() && (pick & 2) != 0) key = entries[(pick >> 2) % entries.size()].key;
  }
  const std::string value = "fuzz value";
  // The input may already hold the key with that very value: then nothing readable changes.
  const bool alreadySo = profile.Read(section, key) == value;
  try {
    profile.Write(section, key, value);
  } catch (const engine::Error&) {
    // Only a key that can't be stored is refused, and then the file stays as it was.
    Check(engine::ReadFileBytes(path) == bytes);
    return 0;
  }
  Check(profile.Read(section, key) == value);

  int changedSections = 0;
  for (const auto& [name, entries] : before) {
    const Entries after = profile.Entries(name);
    if (after == entries) continue;
    Check(ChangedOnlyThatKey(entries, after, value));
    ++changedSections;
  }
  const auto sections = profile.Sections();
  if (alreadySo) {
    Check(changedSections == 0 && sections.size() == before.size());
  } else if (changedSections == 0) {
    // A new section at the end of the file.
    Check(sections.size() == before.size() + 1 && sections.back() == section);
    Check(profile.Entries(section) == Entries{{key, value}});
  } else {
    Check(changedSections == 1 && sections.size() == before.size());
  }
  return 0;
}
