#pragma once

#include <QStringDecoder>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Format { Text, Tsv, Csv, Json };
enum class Encoding { Utf8, Cp932 };

// A column of a table the tool prints: its key in JSON, whether it holds amounts (a JSON
// number where the cell is one) and whether the text format aligns it to the right.
struct Column {
  std::string_view key;
  bool amount = false;
  bool right = amount;
};

// Everything the tool prints goes through here: CP932 cells in, the chosen encoding out,
// buffered. A failed write (a closed pipe) is remembered, not thrown.
class Output {
 public:
  Output(std::FILE* stream, Encoding encoding);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  Encoding GetEncoding() const { return encoding_; }
  // A line of CP932 text, converted, and a line end.
  void Line(std::string_view cp932);
  // UTF-8 text written as it is, whatever the encoding (JSON is always UTF-8).
  void Raw(std::string_view utf8);
  // The CP932 text as UTF-8 through the one converter.
  std::string Utf8(std::string_view cp932);
  // Flushes; false when anything failed to be written.
  bool Finish();

 private:
  void Flush();

  std::FILE* stream_;
  Encoding encoding_;
  QStringDecoder decoder_;
  std::string buffer_;
  bool failed_ = false;
};

// Prints a table in the chosen format. Text lines up the columns for a terminal; TSV and CSV
// give one line per row (CSV quoted where a cell needs it); JSON an array of objects keyed
// by the columns. `heading` is printed in the text format, and in TSV and CSV when
// `headingInFiles` is set (aggregation results have it, book tables don't).
class TableWriter {
 public:
  TableWriter(Output& out, Format format, std::vector<Column> columns,
              std::vector<std::string> heading, bool headingInFiles);

  void Row(std::span<const std::string_view> cells);
  void Row(std::span<const std::string> cells);
  void Finish();

 private:
  void WriteText();
  std::string CsvLine(std::span<const std::string_view> cells) const;
  void JsonRow(std::span<const std::string_view> cells);

  Output& out_;
  Format format_;
  std::vector<Column> columns_;
  std::vector<std::string> heading_;
  // The text format must see every row before it can size the columns.
  std::vector<std::string> held_;
  std::size_t rows_ = 0;
};

// The cell as a JSON string literal (quotes included), from UTF-8 text.
std::string JsonString(std::string_view utf8);

// The columns a CP932 text takes on a terminal: its length in bytes, since every
// double-byte character of the code page is a wide character and every single byte
// (ASCII, halfwidth katakana) a narrow one.
inline std::size_t DisplayWidth(std::string_view cp932) {
  return cp932.size();
}

}  // namespace cli
