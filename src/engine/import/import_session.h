#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/date.h"
#include "engine/import/import_profile.h"
#include "engine/import/import_rules.h"
#include "engine/import/statement_reader.h"

class QIODevice;

namespace engine {
class TJournalGrid;
}

namespace engine::import {

class ImportHistory;

// Where a row's other side came from.
enum class Assignment { None, Rule, History, User };

// One statement row as it would enter the journal. Texts are CP932.
struct PreviewRow {
  long line = 0;      // the file's line the row starts on
  std::string error;  // why the row can't be imported; empty when it can
  Date date;
  std::int32_t amount = 0;  // money in positive, money out negative
  std::string description;
  std::string subject;  // the other side; empty while unassigned
  std::string summary;  // the journal's summary: the rule's text or the description
  Assignment assignment = Assignment::None;
  int rule = -1;
  std::string note;  // why a rule's or the history's subject was not taken
  int matchRow = 0;  // a journal line this row likely repeats
  bool importedBefore = false;
  std::uint64_t recordHash = 0;
  int occurrence = 0;  // how many equal records came before it in the file, plus one
  std::uint64_t fingerprint = 0;
  bool ticked = false;

  bool IsDuplicate() const { return matchRow > 0 || importedBefore; }
  bool Out() const { return amount < 0; }
};

struct ImportPreview {
  std::vector<PreviewRow> rows;
  std::vector<QString> heading;              // the heading record, when the file has one
  std::vector<std::vector<QString>> sample;  // the first records as read
  int columnCount = 0;
  std::vector<std::string> fitProblems;  // what of the profile doesn't fit the file
  std::string error;                     // the whole file was refused
  bool cancelled = false;
  std::string account;
  std::string profileName;

  int Ticked() const;
  int Duplicates() const;
  int Unassigned() const;
  int Errors() const;
};

// The number of leading records kept as they were read, for the mapping view.
constexpr int kSampleRows = 50;
// The longest description (CP932 bytes) a row may have; a longer one makes the row an error.
constexpr std::size_t kMaxDescriptionBytes = 256;

// Reads the statement with the profile's mapping and works out every row: date, amount,
// description, the other side from the rules (first match wins) or from the journal's
// history, and whether the journal already holds it. Nothing in the book changes.
ImportPreview BuildPreview(QIODevice& in, const ImportProfile& profile, const TJournalGrid& journal,
                           const RuleMatcher& rules, const ImportHistory* history, int dateWindow,
                           const ProgressFn& progress = {});

// The mapping was saved under a name after the preview was built: the rows' fingerprints
// belong to that name now; the user's ticks and subjects stay.
void SetProfileName(ImportPreview& preview, std::string name, const ImportHistory* history);

// The user picks the other side of a row in the preview.
void AssignSubject(ImportPreview& preview, int index, std::string subject);

// The user's own choices in a preview (a tick set or cleared, a subject picked), kept by the
// row's identity in the statement, not by its place in the preview, so that a preview built
// anew with another mapping or other rules keeps them. A row whose date, amount (with its
// direction) or description comes out differently is another row and keeps nothing.
class PreviewChoices {
 public:
  void Tick(const PreviewRow& row, bool ticked);
  void Subject(const PreviewRow& row, const std::string& subject);
  // Puts the remembered choices on the rows of a preview built anew.
  void Apply(ImportPreview& preview) const;

 private:
  struct Choice {
    Date date;
    std::int32_t amount = 0;
    std::string description;
    std::optional<bool> ticked;
    std::optional<std::string> subject;
    bool Fits(const PreviewRow& row) const;
  };
  Choice& For(const PreviewRow& row);

  std::map<std::pair<std::uint64_t, int>, Choice> choices_;
};

struct ImportSummary {
  int added = 0;
  int duplicatesSkipped = 0;
  int unassigned = 0;  // added with the other side left empty
  int errors = 0;
  int untickedOthers = 0;
};

// The one step that changes the book: appends the ticked rows to the journal as unposted
// lines, marks the book modified and records the rows' fingerprints (also those of the
// duplicates left out) for the next save. Throws Error, changing nothing, when the account
// is not a subject of the book.
ImportSummary CommitImport(TJournalGrid& journal, ImportHistory& history,
                           const ImportPreview& preview);

// The summary shown after an import (CP932).
std::string SummaryText(const ImportSummary& summary);

}  // namespace engine::import
