#include "engine/app/book_recovery.h"

#include <charconv>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/fields.h"
#include "engine/base/text_file.h"

namespace engine {

namespace {

constexpr std::string_view kMagic = "ZENTABO RECOVERY 1";

std::string BrokenMessage() {
  return Sjis("復元ファイルが壊れています");
}

// Reads the lines of a recovery image one by one, refusing anything out of shape.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {}
  std::string_view Next() {
    const auto end = rest_.find("\r\n");
    if (end == std::string_view::npos) throw Error(BrokenMessage());
    const std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end + 2);
    return line;
  }
  std::size_t Consumed(std::string_view all) const { return all.size() - rest_.size(); }
  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

std::size_t Number(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) throw Error(BrokenMessage());
  return value;
}

// "<tag> <count>" or "<tag> <count> <rest>".
std::size_t Header(std::string_view line, char tag, std::string* rest = nullptr) {
  if (line.size() < 3 || line[0] != tag || line[1] != ' ') throw Error(BrokenMessage());
  line.remove_prefix(2);
  const auto space = line.find(' ');
  if (rest) {
    if (space == std::string_view::npos) throw Error(BrokenMessage());
    rest->assign(line.substr(space + 1));
  }
  return Number(line.substr(0, space));
}

}  // namespace

std::string RecoveryPath(const std::string& indexPath) {
  std::string path = indexPath;
  const auto slash = path.rfind('/');
  const auto dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  return path + ".recovery";
}

std::string WriteRecoveryImage(const RecoveryImage& image) {
  std::string out;
  AppendLine(out, kMagic);
  AppendLine(out, "S " + std::to_string(image.subjectLines.size()));
  for (const auto& line : image.subjectLines) AppendLine(out, line);
  AppendLine(out, "M " + std::to_string(image.summaryLines.size()));
  for (const auto& line : image.summaryLines) AppendLine(out, line);
  AppendLine(out, "C " + std::to_string(image.tables.size()));
  for (const auto& table : image.tables) {
    AppendLine(out, "T " + std::to_string(table.rows.size() - 1) + " " + table.caption);
    for (std::size_t r = 1; r < table.rows.size(); ++r) {
      out.push_back(static_cast<char>('0' + table.marks[r]));
      for (const std::string_view cell : table.rows[r].Cells()) {
        out.push_back('\t');
        out.append(cell);
      }
      out.append("\r\n", 2);
    }
  }
  AppendLine(out, "E " + std::to_string(out.size()));
  return out;
}

RecoveryImage ReadRecoveryImage(std::string_view bytes) {
  LineReader in(bytes);
  if (in.Next() != kMagic) throw Error(BrokenMessage());
  RecoveryImage image;
  for (std::size_t n = Header(in.Next(), 'S'); n > 0; --n)
    image.subjectLines.emplace_back(in.Next());
  for (std::size_t n = Header(in.Next(), 'M'); n > 0; --n)
    image.summaryLines.emplace_back(in.Next());
  const std::size_t tables = Header(in.Next(), 'C');
  if (tables == 0) throw Error(BrokenMessage());
  for (std::size_t t = 0; t < tables; ++t) {
    RecoveryImage::Table table;
    const std::size_t rows = Header(in.Next(), 'T', &table.caption);
    if (rows == 0 || rows > bytes.size()) throw Error(BrokenMessage());
    table.rows.reserve(rows + 1);
    table.marks.reserve(rows + 1);
    table.rows.emplace_back();
    table.marks.push_back(0);
    for (std::size_t r = 0; r < rows; ++r) {
      const std::string_view line = in.Next();
      if (line.size() < 7 || (line[0] != '0' && line[0] != '1') || line[1] != '\t') {
        throw Error(BrokenMessage());
      }
      table.marks.push_back(static_cast<std::uint8_t>(line[0] - '0'));
      table.rows.emplace_back(SplitFieldViews<6>(line.substr(2), '\t'));
    }
    image.tables.push_back(std::move(table));
  }
  const std::size_t body = in.Consumed(bytes);
  if (Header(in.Next(), 'E') != body || !in.AtEnd()) throw Error(BrokenMessage());
  return image;
}

}  // namespace engine
