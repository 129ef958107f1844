#include "cli/table_writer.h"

#include <algorithm>
#include <cerrno>

#include "engine/base/integer.h"

namespace cli {

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
constexpr std::string_view kColumnGap = "  ";

bool IsInteger(std::string_view text) {
  if (text.starts_with('-')) text.remove_prefix(1);
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
         engine::ParseInt32(text).has_value();
}
}  // namespace

Output::Output(std::FILE* stream, Encoding encoding)
    : stream_(stream),
      encoding_(encoding),
      decoder_("Shift_JIS", QStringConverter::Flag::Stateless) {
  buffer_.reserve(kBufferSize);
}

Output::~Output() {
  Flush();
}

std::string Output::Utf8(std::string_view cp932) {
  // ASCII is the same in both: most of a table's bytes are digits and separators.
  if (std::all_of(cp932.begin(), cp932.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return std::string(cp932);
  }
  const QString text =
      decoder_.decode(QByteArrayView(cp932.data(), static_cast<qsizetype>(cp932.size())));
  return text.toUtf8().toStdString();
}

void Output::Line(std::string_view cp932) {
  if (encoding_ == Encoding::Cp932) {
    buffer_.append(cp932);
  } else {
    buffer_.append(Utf8(cp932));
  }
  buffer_.push_back('\n');
  if (buffer_.size() >= kBufferSize) Flush();
}

void Output::Raw(std::string_view utf8) {
  buffer_.append(utf8);
  if (buffer_.size() >= kBufferSize) Flush();
}

void Output::Flush() {
  if (!buffer_.empty() && !failed_) {
    failed_ = std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size();
  }
  buffer_.clear();
}

bool Output::Finish() {
  Flush();
  if (!failed_ && std::fflush(stream_) != 0) failed_ = true;
  return !failed_;
}

std::string JsonString(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out.push_back('"');
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          static constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 0xF]);
        } else if (c == 0xE2 && i + 2 < utf8.size() && utf8[i + 1] == '\x80' &&
                   (utf8[i + 2] == '\xA8' || utf8[i + 2] == '\xA9')) {
          // U+2028 and U+2029 end a line in JavaScript, where JSON is often pasted.
          out += utf8[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
          i += 2;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  out.push_back('"');
  return out;
}

TableWriter::TableWriter(Output& out, Format format, std::vector<Column> columns,
                         std::vector<std::string> heading, bool headingInFiles)
    : out_(out), format_(format), columns_(std::move(columns)), heading_(std::move(heading)) {
  if (format_ == Format::Json) {
    out_.Raw("[");
  } else if (format_ == Format::Text) {
    held_ = heading_;
  } else if (headingInFiles) {
    std::vector<std::string_view> cells(heading_.begin(), heading_.end());
    Row(std::span<const std::string_view>(cells));
    rows_ = 0;
  }
}

void TableWriter::Row(std::span<const std::string> cells) {
  std::vector<std::string_view> views(cells.begin(), cells.end());
  Row(std::span<const std::string_view>(views));
}

void TableWriter::Row(std::span<const std::string_view> cells) {
  switch (format_) {
    case Format::Text:
      for (std::size_t c = 0; c < columns_.size(); ++c) {
        held_.emplace_back(c < cells.size() ? cells[c] : std::string_view());
      }
      break;
    case Format::Tsv: {
      std::string line;
      for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) line.push_back('\t');
        line.append(cells[c]);
      }
      out_.Line(line);
      break;
    }
    case Format::Csv:
      out_.Line(CsvLine(cells));
      break;
    case Format::Json:
      JsonRow(cells);
      break;
  }
  ++rows_;
}

std::string TableWriter::CsvLine(std::span<const std::string_view> cells) const {
  // The quote and the comma are never the second byte of a CP932 character, so the bytes
  // can be looked at one by one.
  std::string line;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    if (c > 0) line.push_back(',');
    const std::string_view cell = cells[c];
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
      line.append(cell);
      continue;
    }
    line.push_back('"');
    for (const char ch : cell) {
      if (ch == '"') line.push_back('"');
      line.push_back(ch);
    }
    line.push_back('"');
  }
  return line;
}

void TableWriter::JsonRow(std::span<const std::string_view> cells) {
  std::string object = rows_ == 0 ? "\n  {" : ",\n  {";
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const std::string_view cell = c < cells.size() ? cells[c] : std::string_view();
    if (c > 0) object += ", ";
    object += JsonString(columns_[c].key);
    object += ": ";
    if (columns_[c].amount && IsInteger(cell)) {
      object += cell;
    } else if (columns_[c].amount && cell.empty()) {
      object += "null";
    } else {
      object += JsonString(out_.Utf8(cell));
    }
  }
  object += "}";
  out_.Raw(object);
}

void TableWriter::WriteText() {
  const std::size_t n = columns_.size();
  std::vector<std::size_t> widths(n, 0);
  for (std::size_t i = 0; i < held_.size(); ++i) {
    widths[i % n] = std::max(widths[i % n], DisplayWidth(held_[i]));
  }
  // The last column of text is not padded, so no line ends in blanks.
  const auto writeRow = [&](std::size_t first) {
    std::string line;
    for (std::size_t c = 0; c < n; ++c) {
      const std::string& cell = held_[first + c];
      const std::size_t pad = widths[c] - DisplayWidth(cell);
      if (c > 0) line += kColumnGap;
      if (columns_[c].right) {
        line.append(pad, ' ');
        line += cell;
      } else {
        line += cell;
        if (c + 1 < n) line.append(pad, ' ');
      }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out_.Line(line);
  };
  std::size_t first = 0;
  if (!heading_.empty()) {
    writeRow(0);
    std::string rule;
    for (std::size_t c = 0; c < n; ++c) {
      if (c > 0) rule += kColumnGap;
      rule.append(widths[c], '-');
    }
    out_.Line(rule);
    first = n;
  }
  for (; first < held_.size(); first += n) writeRow(first);
}

void TableWriter::Finish() {
  if (format_ == Format::Text) {
    WriteText();
  } else if (format_ == Format::Json) {
    out_.Raw(rows_ == 0 ? "]\n" : "\n]\n");
  }
}

}  // namespace cli
