#pragma once

#include <QDomDocument>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/amount/aggregation_settings.h"
#include "engine/base/date.h"
#include "engine/tables/row_error.h"

namespace engine {

class TableHost;

// The month elements of an amount entry, January first.
inline constexpr std::array<const char*, 12> kMonthNames = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// "yyyy" for every year from the year of `first` through the year of `last`.
std::vector<std::string> YearList(const Date& first, const Date& last);

// The folder "schema" of the program folder, where the schema command starts its choice
// (CP932, ending with "/"); empty when that path can't be held in CP932. Beside the
// executable that is the shipped folder itself; elsewhere (an installed program, whose
// folder can't be written) it is the user's copy, or the shipped folder until one exists.
std::string SchemaFolder();
// Makes the user's copy of the shipped schemas when the program folder is not the
// executable's folder and holds none yet; the user may then edit and add schemas there.
void ProvideSchemaFolder();

// The schema-driven report behind the schema dialog: the schema's report entries, one
// `formvalue` per entry (SchemaEntrySetting), the year list, and the dialog's state, so that
// every click can be followed without a window. The dialog shows what this holds.
class SchemaReport {
 public:
  SchemaReport(TableHost& host, std::string settingsPath);

  // Asks for the schema, reads it, the subjects, the saved choices and the year list. False
  // when the dialog must not be shown: no schema chosen, a saved key that is no number, or
  // a journal date that doesn't read.
  bool Open();
  // Saves the choices, then asks for the XML file and writes the report. True when the
  // dialog closes with success (also when there are no entries: nothing is done then).
  bool Ok();
  // The row whose date made Open or Ok fail, or null.
  const RowError* FailedRow() const { return failedRow_ ? &*failedRow_ : nullptr; }

  const std::string& SchemaPath() const { return schemaPath_; }
  const std::vector<std::string>& Entries() const { return entries_; }
  const std::vector<std::string>& Subjects() const { return subjects_; }
  const std::vector<std::string>& Years() const { return years_; }
  const std::vector<SchemaEntrySetting>& Values() const { return values_; }

  int SelectedYear() const { return year_; }
  void SelectYear(int index);

  // The dialog's interaction.
  void ClickEntry(int entry);
  void SelectSubject(int subject);
  void SetChecked(int subject, bool checked);
  void SetDebit(bool set);
  void SetCredit(bool set);
  void SetInvert(bool set);
  // The text box changed while it is switched on.
  void SetText(std::string text);

  int SelectedEntry() const { return entry_; }
  int SelectedSubject() const { return subject_; }
  // Whether the group box of subjects and the text box are switched on.
  bool FieldsEnabled() const { return fieldsEnabled_; }
  bool TextEnabled() const { return textEnabled_; }
  bool Checked(int subject) const;
  // The flags shown in 借方, 貸方 and 反転: the selected subject's for the selected entry.
  SubjectSelection ShownFlags() const;
  const std::string& Text() const { return text_; }

  // The net amounts of entry k for the selected year, January first.
  std::array<std::int32_t, 12> MonthTotals(std::size_t k);
  // The report document built from the entries; throws Error for an entry that makes no
  // element or can't be placed.
  QDomDocument BuildReport();
  // The file image: the XML declaration, the stylesheet line and the report, each with
  // CR LF, in CP932. The stylesheet line names the schema's stylesheet as seen from the file
  // at `xmlPath`. Throws Error when a character can't be held in CP932.
  std::string ReportImage(const QDomDocument& report, const QString& xmlPath) const;
  // Asks for the file name and writes the report, then its HTML page beside it when that is
  // wanted and the schema has a stylesheet; throws Error when no report was written. A page
  // that can't be made is told to the user and leaves the report as written.
  void WriteReportXml();

  // Whether OK also makes the HTML page (on unless switched off).
  bool WriteHtml() const { return writeHtml_; }
  void SetWriteHtml(bool on) { writeHtml_ = on; }
  // The files the last OK wrote; empty when it wrote none.
  const QString& WrittenXml() const { return writtenXml_; }
  const QString& WrittenHtml() const { return writtenHtml_; }

 private:
  SubjectSelection* Current();
  void FillMonths(QDomDocument& document, QDomElement& element, std::size_t k);

  TableHost& host_;
  std::string settingsPath_;
  std::optional<RowError> failedRow_;
  std::string schemaPath_;
  std::vector<std::string> entries_;
  std::vector<std::string> subjects_;
  std::vector<std::string> years_;
  std::vector<SchemaEntrySetting> values_;
  int year_ = -1;
  int entry_ = -1;
  int subject_ = -1;
  bool fieldsEnabled_ = false;
  bool textEnabled_ = false;
  std::string text_;
  bool writeHtml_ = true;
  QString writtenXml_;
  QString writtenHtml_;
};

}  // namespace engine
