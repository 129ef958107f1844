#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/app/profile.h"

namespace engine {

// The three aggregation dialogs' choices as kept in the book's aggregation settings file:
// section "table", section "compare", and one section per schema named by the schema's
// full path. Loading never fails for the first two; every Save replaces its section in one
// write and throws Error when the file can't be written.

// An entry of the aggregation to a table. The name carries its level marks.
struct TableEntrySetting {
  std::string name;
  bool debit = true;
  bool credit = true;
  bool swap = false;
  bool operator==(const TableEntrySetting&) const = default;
};

// An entry of the comparative aggregation, with its months as "yy/mm".
struct CompareEntrySetting {
  std::string name;
  std::string first;
  std::string last;
  bool debit = true;
  bool credit = true;
  bool swap = false;
  bool operator==(const CompareEntrySetting&) const = default;
};

// How one of the book's subjects counts for a report entry of the schema report.
struct SubjectSelection {
  bool selected = false;
  bool debit = true;
  bool credit = true;
  bool invert = false;
  bool operator==(const SubjectSelection&) const = default;
};

// A report entry's choices: one selection per subject of the book's subject list, in that
// list's order, and the entry's text.
struct SchemaEntrySetting {
  bool hasSubjects = false;
  std::string text;
  std::vector<SubjectSelection> subjects;
  bool operator==(const SchemaEntrySetting&) const = default;
};

// The entries in key order, or nothing when the file has no section "table" (the dialog
// then starts with its defaults). A key with an empty value gives no entry.
std::optional<std::vector<TableEntrySetting>> LoadTableSettings(const Profile& profile);
// Entries with an empty name are left out; their positions are not reused as keys.
void SaveTableSettings(Profile& profile, const std::vector<TableEntrySetting>& entries);

std::optional<std::vector<CompareEntrySetting>> LoadCompareSettings(const Profile& profile);
void SaveCompareSettings(Profile& profile, const std::vector<CompareEntrySetting>& entries);

// `entryCount` entries, each with one selection per subject at its start value, with the
// section of `schemaPath` applied. Throws Error for a key that is neither a number nor "/"
// followed by a number.
std::vector<SchemaEntrySetting> LoadSchemaSettings(const Profile& profile,
                                                   std::string_view schemaPath,
                                                   std::size_t entryCount,
                                                   const std::vector<std::string>& subjects);
// Key n holds entry n's selected subjects when it has any; key "/n" its text when that
// isn't empty.
void SaveSchemaSettings(Profile& profile, std::string_view schemaPath,
                        const std::vector<SchemaEntrySetting>& entries,
                        const std::vector<std::string>& subjects);

// The settings file's bytes with every use of subject `from` renamed to `to`: the names of
// "table" and "compare" entries (behind their level marks) and the subjects of the schema
// sections' selections; everything else stays byte for byte.
std::string RenameSubjectInSettings(std::string_view image, std::string_view from,
                                    std::string_view to);

}  // namespace engine
