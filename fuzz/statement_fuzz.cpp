// Arbitrary bytes as a downloaded bank or card statement: the encoding guess, the CSV reader
// fed in uneven pieces with the options taken from the first byte, and every field through
// the date and amount readers and the comparison key.
#include <QBuffer>

#include "engine/import/field_parsers.h"
#include "engine/import/statement_reader.h"
#include "fuzz_support.h"

using namespace engine::import;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzzing::Scratch();  // the Qt application object the codecs need
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const Detection detection = DetectEncoding(bytes);
  ReadOptions options;
  options.encoding = (flags & 4) ? static_cast<Encoding>((flags >> 3) & 3) : detection.encoding;
  options.delimiter = (flags & 1) ? '\t' : ',';
  options.header = flags & 2;
  options.skipTop = (flags >> 5) & 1;
  options.skipBottom = (flags >> 6) & 3;

  FieldDecoder decoder(options.encoding == Encoding::Cp932 ? Encoding::Cp932 : Encoding::Utf8);
  QBuffer buffer;
  buffer.setData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  buffer.open(QIODevice::ReadOnly);
  ReadStatement(buffer, options, [&](RawRecord&& record) {
    (void)EncodingProblem(record, options.encoding);
    for (const std::string& field : record.fields) {
      const QString text = decoder.Decode(field);
      (void)decoder.ToCp932(field);
      for (const DateOrder order :
           {DateOrder::YearMonthDay, DateOrder::MonthDayYear, DateOrder::DayMonthYear}) {
        const auto date = ParseStatementDate(text, order, 2025);
        if (date.ok() && !engine::IsValidDate(date.value->year, date.value->month, date.value->day))
          __builtin_trap();
      }
      const auto amount = ParseStatementAmount(text);
      if (amount.ok() && !amount.reason.empty()) __builtin_trap();
      (void)ComparisonKey(text);
    }
  });

  // The same bytes fed one at a time must give the same records as fed at once.
  std::vector<std::vector<std::string>> whole, pieces;
  CsvReader a(options.delimiter), b(options.delimiter);
  auto intoWhole = [&](RawRecord&& r) { whole.push_back(r.fields); };
  auto intoPieces = [&](RawRecord&& r) { pieces.push_back(r.fields); };
  a.Feed(bytes, intoWhole);
  a.Finish(intoWhole);
  for (std::size_t i = 0; i < bytes.size(); i += 7) b.Feed(bytes.substr(i, 7), intoPieces);
  b.Finish(intoPieces);
  if (whole != pieces) __builtin_trap();
  return 0;
}
