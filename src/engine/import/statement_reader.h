#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace engine::import {

// The encodings a downloaded statement comes in. UTF-16 is only recognised by its byte order
// mark; it is turned into UTF-8 before the fields are cut.
enum class Encoding { Cp932, Utf8, Utf16LE, Utf16BE };

// The name kept in profile files, and back; nothing for an unknown name.
const char* EncodingName(Encoding encoding);
std::optional<Encoding> EncodingFromName(std::string_view name);

struct Detection {
  Encoding encoding = Encoding::Cp932;
  // False when the bytes are no text at all (NUL bytes, control codes, undecodable runs).
  bool text = true;
};

// Guesses the encoding from the first bytes of a file: a byte order mark decides; otherwise
// valid UTF-8 with some non-ASCII is UTF-8 and the rest is taken for CP932.
Detection DetectEncoding(std::string_view head);

// One record of the statement: its fields as bytes (CP932 or UTF-8, as the file had them),
// the physical line it starts on, and why it can't be used when it can't.
struct RawRecord {
  std::vector<std::string> fields;
  long line = 0;
  std::string error;  // CP932; empty when the record was read whole
};

// An RFC 4180 reader fed in pieces: fields split at the delimiter, quoted fields may hold
// delimiters, doubled quotes and line breaks. Lenient where files in the wild are: a quote
// inside an unquoted field is kept, text after a closing quote joins the field, CR, LF and
// CR LF all end a record, blank lines are skipped. Records longer than kMaxRecordBytes keep
// no text and carry an error, so a stray quote can't make memory grow with the file.
class CsvReader {
 public:
  static constexpr std::size_t kMaxRecordBytes = 1 << 20;
  static constexpr std::size_t kMaxFields = 1000;
  using Sink = std::function<void(RawRecord&&)>;

  explicit CsvReader(char delimiter) : delimiter_(delimiter) {}
  void Feed(std::string_view bytes, const Sink& sink);
  // Ends the input: a record still open is delivered (an unclosed quote as an error).
  void Finish(const Sink& sink);

 private:
  enum class State { FieldStart, Unquoted, Quoted, QuoteSeen, AfterCR };
  void EndField();
  void EndRecord(const Sink& sink);
  void Append(char c);
  void Fail(const char* utf8Reason);

  char delimiter_;
  State state_ = State::FieldStart;
  RawRecord record_;
  std::string field_;
  std::size_t recordBytes_ = 0;
  bool quoted_ = false;
  bool overflow_ = false;
  long line_ = 1;
};

struct ReadOptions {
  Encoding encoding = Encoding::Cp932;
  char delimiter = ',';
  bool header = false;
  int skipTop = 0;     // records left out before the heading or the first row
  int skipBottom = 0;  // records left out at the end (totals, closing balances)
};

struct ReadOutcome {
  std::vector<std::string> heading;  // the heading record's fields, when there is one
  long records = 0;                  // data records delivered
  bool cancelled = false;
  std::string error;  // CP932; a failure of the whole file (not text, too many rows)
};

// Reads a statement from `in` in pieces of a bounded size, delivering each data record to
// `sink` in order. `progress` is told the bytes read so far and the total, and stops the
// reading by answering false. At most kMaxRows records are taken: a file beyond that is
// refused rather than held in memory.
constexpr long kMaxRows = 200000;
// Files beyond this size are refused before reading: no bank statement comes near it, and
// what is read of a file is held in memory for the preview.
constexpr qint64 kMaxStatementBytes = qint64{512} << 20;
// The refusal of a file of `size` bytes beyond kMaxStatementBytes (CP932), or empty.
std::string SizeProblem(qint64 size);
using RecordSink = std::function<void(RawRecord&&)>;
using ProgressFn = std::function<bool(qint64 done, qint64 total)>;
ReadOutcome ReadStatement(QIODevice& in, const ReadOptions& options, const RecordSink& sink,
                          const ProgressFn& progress = {});

// Turns one field into text: CP932 or UTF-8 bytes as the file's encoding says (a UTF-16 file's
// fields are UTF-8 by now). Undecodable bytes become U+FFFD.
class FieldDecoder {
 public:
  explicit FieldDecoder(Encoding encoding);
  ~FieldDecoder();
  FieldDecoder(const FieldDecoder&) = delete;
  FieldDecoder& operator=(const FieldDecoder&) = delete;
  QString Decode(std::string_view bytes);
  // The field as CP932 bytes, or nothing when it holds a character CP932 lacks or bytes
  // the encoding can't read.
  std::optional<std::string> ToCp932(std::string_view bytes);
  bool SourceIsCp932() const { return cp932_; }

 private:
  struct Codecs;
  bool cp932_;
  std::unique_ptr<Codecs> codecs_;
};

// Why the bytes of one record can't be read in the chosen encoding (a line written in
// another encoding, undecodable bytes), or empty when they can. CP932 text.
std::string EncodingProblem(const RawRecord& record, Encoding encoding);

// True when every byte sequence is well-formed UTF-8; `allowCutEnd` accepts a sequence cut
// off at the end (a sample taken from a longer file).
bool IsValidUtf8(std::string_view bytes, bool allowCutEnd = false);
// True when the bytes follow CP932's single- and double-byte structure.
bool IsValidCp932(std::string_view bytes, bool allowCutEnd = false);

}  // namespace engine::import
