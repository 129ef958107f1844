#include "engine/import/statement_reader.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>
#include <deque>

#include "engine/base/cp932.h"
#include "engine/import/field_parsers.h"

namespace engine::import {

namespace {

constexpr qint64 kChunkBytes = 1 << 20;

bool IsCp932Lead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsCp932Trail(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

const char* EncodingName(Encoding encoding) {
  switch (encoding) {
    case Encoding::Cp932:
      return "CP932";
    case Encoding::Utf8:
      return "UTF-8";
    case Encoding::Utf16LE:
      return "UTF-16LE";
    case Encoding::Utf16BE:
      return "UTF-16BE";
  }
  return "CP932";
}

std::optional<Encoding> EncodingFromName(std::string_view name) {
  for (const Encoding e : {Encoding::Cp932, Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE}) {
    if (name == EncodingName(e)) return e;
  }
  return std::nullopt;
}

bool IsValidUtf8(std::string_view bytes, bool allowCutEnd) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const unsigned char b = *p;
    int extra = 0;
    std::uint32_t min = 0;
    if (b < 0x80) {
      ++p;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
      min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      min = 0x10000;
    } else {
      return false;
    }
    if (end - p <= extra) {
      // A sequence cut off by the end of a sample is not a fault of the file.
      if (!allowCutEnd) return false;
      for (const unsigned char* q = p + 1; q < end; ++q) {
        if ((*q & 0xC0) != 0x80) return false;
      }
      return true;
    }
    std::uint32_t code = b & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    p += extra + 1;
  }
  return true;
}

bool IsValidCp932(std::string_view bytes, bool allowCutEnd) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
    if (!IsCp932Lead(b)) return false;
    if (i + 1 == bytes.size()) return allowCutEnd;
    if (!IsCp932Trail(static_cast<unsigned char>(bytes[++i]))) return false;
  }
  return true;
}

Detection DetectEncoding(std::string_view head) {
  auto starts = [&](std::string_view bom) { return head.substr(0, bom.size()) == bom; };
  if (starts("\xEF\xBB\xBF")) return {Encoding::Utf8, true};
  if (starts("\xFF\xFE")) return {Encoding::Utf16LE, true};
  if (starts("\xFE\xFF")) return {Encoding::Utf16BE, true};
  std::size_t controls = 0;
  for (const char c : head) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0) return {Encoding::Cp932, false};
    if (b < 0x20 && b != '\t' && b != '\r' && b != '\n' && b != '\f' && b != 0x1A) ++controls;
  }
  if (controls * 100 > head.size()) return {Encoding::Cp932, false};
  if (!IsAscii(head) && IsValidUtf8(head, true)) return {Encoding::Utf8, true};
  if (IsValidCp932(head, true)) return {Encoding::Cp932, true};
  // Some lines may be in another encoding; those are reported one by one. Bytes that read as
  // neither in most places are no statement.
  std::size_t bad = 0;
  for (std::size_t i = 0; i < head.size(); ++i) {
    const auto b = static_cast<unsigned char>(head[i]);
    if (b >= 0x80 && !(b >= 0xA1 && b <= 0xDF)) {
      if (IsCp932Lead(b) && i + 1 < head.size() &&
          IsCp932Trail(static_cast<unsigned char>(head[i + 1]))) {
        ++i;
      } else {
        ++bad;
      }
    }
  }
  return {Encoding::Cp932, bad * 20 <= head.size()};
}

// ---------------------------------------------------------------------------------------
// CsvReader

void CsvReader::Append(char c) {
  if (overflow_) return;
  if (++recordBytes_ > kMaxRecordBytes) {
    Fail("行が長すぎます");
    return;
  }
  field_.push_back(c);
}

void CsvReader::Fail(const char* utf8Reason) {
  if (record_.error.empty()) record_.error = Sjis(utf8Reason);
  overflow_ = true;
  field_.clear();
  field_.shrink_to_fit();
  record_.fields.clear();
  record_.fields.shrink_to_fit();
}

void CsvReader::EndField() {
  if (!overflow_) {
    if (record_.fields.size() >= kMaxFields) {
      Fail("列が多すぎます");
    } else {
      record_.fields.push_back(std::move(field_));
    }
  }
  field_.clear();
  quoted_ = false;
}

void CsvReader::EndRecord(const Sink& sink) {
  const bool blank = !quoted_ && field_.empty() && record_.fields.empty() && !overflow_;
  EndField();
  if (!blank) sink(std::move(record_));
  record_ = RawRecord{};
  recordBytes_ = 0;
  overflow_ = false;
}

void CsvReader::Feed(std::string_view bytes, const Sink& sink) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (state_ == State::AfterCR) {
      state_ = State::FieldStart;
      if (c == '\n') continue;
    }
    if (state_ == State::FieldStart && record_.fields.empty() && field_.empty() && !quoted_ &&
        !overflow_) {
      record_.line = line_;
    }
    if (c == '\n' || c == '\r') {
      if (state_ == State::Quoted) {
        Append(c);
        if (c == '\n' || i + 1 >= bytes.size() || bytes[i + 1] != '\n') ++line_;
        continue;
      }
      ++line_;
      EndRecord(sink);
      state_ = c == '\r' ? State::AfterCR : State::FieldStart;
      continue;
    }
    switch (state_) {
      case State::FieldStart:
        if (c == '"') {
          quoted_ = true;
          state_ = State::Quoted;
        } else if (c == delimiter_) {
          EndField();
        } else {
          Append(c);
          state_ = State::Unquoted;
        }
        break;
      case State::Unquoted:
        if (c == delimiter_) {
          EndField();
          state_ = State::FieldStart;
        } else {
          Append(c);
        }
        break;
      case State::Quoted:
        if (c == '"') {
          state_ = State::QuoteSeen;
        } else {
          Append(c);
        }
        break;
      case State::QuoteSeen:
        if (c == '"') {
          Append(c);
          state_ = State::Quoted;
        } else if (c == delimiter_) {
          EndField();
          state_ = State::FieldStart;
        } else {
          Append(c);
          state_ = State::Unquoted;
        }
        break;
      case State::AfterCR:
        break;
    }
  }
}

void CsvReader::Finish(const Sink& sink) {
  if (state_ == State::Quoted) Fail("引用符が閉じていません");
  if (state_ != State::AfterCR) EndRecord(sink);
  state_ = State::FieldStart;
}

// ---------------------------------------------------------------------------------------
// Reading a whole statement

std::string SizeProblem(qint64 size) {
  if (size <= kMaxStatementBytes) return {};
  return MessageText(
      QStringLiteral("明細のファイルが大きすぎます（%1 MB）。%2 MB までのファイルを取り込めます。")
          .arg((size + (1 << 20) - 1) >> 20)
          .arg(kMaxStatementBytes >> 20));
}

ReadOutcome ReadStatement(QIODevice& in, const ReadOptions& options, const RecordSink& sink,
                          const ProgressFn& progress) {
  ReadOutcome outcome;
  const qint64 total = in.size();
  outcome.error = SizeProblem(total);
  if (!outcome.error.empty()) return outcome;
  qint64 done = 0;
  const bool utf16 = options.encoding == Encoding::Utf16LE || options.encoding == Encoding::Utf16BE;
  std::optional<QStringDecoder> utf16Decoder;
  if (utf16) {
    utf16Decoder.emplace(options.encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                               : QStringConverter::Utf16BE);
  }
  CsvReader reader(options.delimiter);
  int skipped = 0;
  bool headingTaken = !options.header;
  std::deque<RawRecord> held;
  bool stop = false;
  auto take = [&](RawRecord&& record) {
    if (stop) return;
    if (skipped < options.skipTop) {
      ++skipped;
      return;
    }
    if (!headingTaken) {
      headingTaken = true;
      outcome.heading = std::move(record.fields);
      return;
    }
    held.push_back(std::move(record));
    if (static_cast<int>(held.size()) <= options.skipBottom) return;
    if (outcome.records >= kMaxRows) {
      outcome.error = Sjis("明細の行が多すぎます（200000 行まで取り込めます）");
      stop = true;
      return;
    }
    ++outcome.records;
    sink(std::move(held.front()));
    held.pop_front();
  };

  std::string chunk;
  bool first = true;
  while (!stop) {
    // A small file needs no buffer of the full piece size.
    const qint64 want = std::min(kChunkBytes, std::max<qint64>(in.bytesAvailable(), 4096));
    chunk.resize(static_cast<std::size_t>(want));
    const qint64 got = in.read(chunk.data(), want);
    if (got <= 0) break;
    chunk.resize(static_cast<std::size_t>(got));
    done += got;
    std::string_view bytes = chunk;
    std::string converted;
    if (utf16) {
      const QString text = utf16Decoder->decode(QByteArrayView(chunk.data(), got));
      if (text.contains(QChar(0))) {
        outcome.error = Sjis("テキストファイルではありません");
        break;
      }
      converted = text.toUtf8().toStdString();
      bytes = converted;
    } else {
      if (std::memchr(bytes.data(), 0, bytes.size())) {
        outcome.error = Sjis("テキストファイルではありません");
        break;
      }
      if (first && options.encoding == Encoding::Utf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    }
    first = false;
    reader.Feed(bytes, take);
    if (progress && !progress(done, total)) {
      outcome.cancelled = true;
      break;
    }
  }
  if (!stop && !outcome.cancelled && outcome.error.empty()) reader.Finish(take);
  return outcome;
}

// ---------------------------------------------------------------------------------------
// Fields as text

struct FieldDecoder::Codecs {
  QStringDecoder decoder;
};

FieldDecoder::FieldDecoder(Encoding encoding)
    : cp932_(encoding == Encoding::Cp932),
      codecs_(std::make_unique<Codecs>(Codecs{
          cp932_ ? QStringDecoder("Shift_JIS", QStringConverter::Flag::Stateless)
                 : QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)})) {}

FieldDecoder::~FieldDecoder() = default;

QString FieldDecoder::Decode(std::string_view bytes) {
  if (IsAscii(bytes))
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return codecs_->decoder.decode(
      QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> FieldDecoder::ToCp932(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  if (cp932_) {
    if (!IsValidCp932(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  if (!IsValidUtf8(bytes)) return std::nullopt;
  // A reused encoder stops reporting unmappable characters after its first use, so each
  // field gets a fresh one.
  return engine::ToCp932(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string EncodingProblem(const RawRecord& record, Encoding encoding) {
  for (const std::string& field : record.fields) {
    if (IsAscii(field)) continue;
    if (encoding == Encoding::Cp932) {
      if (IsValidUtf8(field))
        return Sjis("この行は UTF-8 で書かれています（文字コードが混在しています）");
      if (!IsValidCp932(field)) return Sjis("Shift_JIS として読めない文字があります");
    } else if (!IsValidUtf8(field)) {
      return Sjis("UTF-8 として読めない文字があります（文字コードが混在しています）");
    }
  }
  return {};
}

}  // namespace engine::import
