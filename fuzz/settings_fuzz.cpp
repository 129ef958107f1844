// Arbitrary bytes as an aggregation settings file: the sections "table" and "compare" and a
// schema section (the file's first section) are loaded; what was loaded is saved and must
// load again unchanged.
#include <algorithm>
#include <cstdlib>

#include "engine/amount/aggregation_settings.h"
#include "engine/base/error.h"
#include "fuzz_support.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

template <typename Entry>
std::vector<Entry> Named(std::vector<Entry> entries) {
  std::erase_if(entries, [](const Entry& entry) { return entry.name.empty(); });
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  engine::Profile profile(fuzzing::WriteScratch("settings.txt", bytes));
  const std::vector<std::string> subjects = {"a", "b", "\x90\x48\x94\xef", ""};

  if (auto table = engine::LoadTableSettings(profile)) {
    engine::SaveTableSettings(profile, *table);
    const auto again = engine::LoadTableSettings(profile);
    Check(Named(*table).empty() ? !again : again && *again == Named(*table));
  }
  if (auto compare = engine::LoadCompareSettings(profile)) {
    engine::SaveCompareSettings(profile, *compare);
    const auto again = engine::LoadCompareSettings(profile);
    Check(Named(*compare).empty() ? !again : again && *again == Named(*compare));
  }

  const auto sections = profile.Sections();
  const std::string schema = sections.empty() ? "s.rng" : sections.front();
  std::vector<engine::SchemaEntrySetting> settings;
  try {
    settings = engine::LoadSchemaSettings(profile, schema, 8, subjects);
  } catch (const engine::Error&) {
    return 0;  // a key that is no number: the dialog reports the failure
  }
  engine::SaveSchemaSettings(profile, schema, settings, subjects);
  for (auto& setting : settings) {
    setting.hasSubjects = std::any_of(setting.subjects.begin(), setting.subjects.end(),
                                      [](const auto& s) { return s.selected; });
  }
  Check(engine::LoadSchemaSettings(profile, schema, 8, subjects) == settings);
  return 0;
}
