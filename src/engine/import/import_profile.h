#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "engine/import/field_parsers.h"
#include "engine/import/statement_reader.h"

namespace engine {
class SubjectStore;
}

namespace engine::import {

// How the amount of a row is written: one signed column, a withdrawal and a deposit column
// of which one is filled, or one amount column beside a column whose word says whether the
// money went in or out ("入金", "出金").
enum class AmountStyle { Signed, Split, Indicator };

// The whole mapping of one kind of statement, saved under a name beside the book. Columns
// count from 1; 0 means none. Texts are CP932.
struct ImportProfile {
  std::string name;
  Encoding encoding = Encoding::Cp932;
  char delimiter = ',';
  bool header = true;
  int skipTop = 0;
  int skipBottom = 0;
  int dateColumn = 1;
  DateOrder dateOrder = DateOrder::YearMonthDay;
  std::vector<int> descriptionColumns{2};
  AmountStyle amountStyle = AmountStyle::Signed;
  int amountColumn = 3;
  // With a signed column: true when a negative amount is money out (a bank account), false
  // when it is money in (a card statement listing charges as positive).
  bool negativeIsOut = true;
  int withdrawalColumn = 0;
  int depositColumn = 0;
  // With an indicator column: the words that mark money in and money out, compared with
  // full- and half-width forms, letter case and blanks folded.
  int indicatorColumn = 0;
  std::vector<std::string> inWords;
  std::vector<std::string> outWords;
  // The subject the statement belongs to: credited for money out, debited for money in.
  std::string account;
  // The heading texts of the columns when the profile was saved, index = column - 1; used
  // to tell the user when a bank has changed its layout.
  std::vector<std::string> headings;

  ReadOptions Reading() const;
  // The columns the mapping reads, each with its role's name (UTF-8), in role order.
  std::vector<std::pair<int, const char*>> UsedColumns() const;
  bool operator==(const ImportProfile&) const = default;
};

// What doesn't fit between a profile and a statement: columns the file lacks, headings that
// changed, an account the book has no subject for. CP932 texts, empty when all fits.
std::vector<std::string> FitProblems(const ImportProfile& profile, int columnCount,
                                     const std::vector<std::string>& cp932Heading,
                                     const SubjectStore& subjects);

// The named profiles of a book, one INI section each, in a file beside the book.
class ProfileStore {
 public:
  explicit ProfileStore(QString path) : path_(std::move(path)) {}
  const QString& Path() const { return path_; }
  // Every profile in file order. Throws Error naming the file and the fault when the file
  // is not text or a value is missing or out of range.
  std::vector<ImportProfile> Load() const;
  // Writes the profile under its name, replacing one of that name; the file is replaced
  // atomically. Throws Error for an empty name or one that can't be stored.
  void Save(const ImportProfile& profile) const;
  void Remove(std::string_view name) const;

 private:
  QString path_;
};

// Throws Error when the file exists and is not CP932 text (binary bytes, NUL); `what` is the
// kind of file for the message (UTF-8).
void CheckTextFile(const QString& path, const char* what);

}  // namespace engine::import

namespace engine::import {

// A first mapping for a statement never seen, from its first record: when that is a heading,
// columns are found by their names (日付, 摘要, 金額, 出金, 入金 and the usual variants);
// otherwise the first date-like field is the date, the last amount-like one the amount, and
// the first other text the description.
ImportProfile GuessProfile(const std::vector<QString>& firstRecord, Encoding encoding,
                           char delimiter);

}  // namespace engine::import
