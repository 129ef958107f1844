#include "engine/app/profile.h"

#include <QFileInfo>
#include <algorithm>
#include <unordered_set>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "regexp/scanner.h"

namespace engine {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

unsigned char Lower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// ASCII letters fold; a double-byte character is taken whole so that a trail byte that
// happens to be a letter code is never folded.
std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto b = static_cast<unsigned char>(folded[i]);
    if (regexp::IsDBCSLeadByte(b) && i + 1 < folded.size()) {
      ++i;
      continue;
    }
    folded[i] = static_cast<char>(Lower(b));
  }
  return folded;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (regexp::IsDBCSLeadByte(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (Lower(x) != Lower(y)) return false;
  }
  return true;
}

enum class Kind { Other, Header, Entry };

struct ParsedLine {
  Kind kind = Kind::Other;
  std::string_view name;  // the section name or the key
  std::string_view value;
};

ParsedLine Parse(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (!trimmed.empty() && trimmed.front() == '[') {
    const std::size_t close = trimmed.rfind(']');
    if (close != std::string_view::npos)
      return {Kind::Header, Trim(trimmed.substr(1, close - 1)), {}};
  }
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  return {Kind::Entry, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// Reading never fails: a file that is missing or can't be read has no sections.
std::string ContentForReading(const QString& path) {
  if (!QFileInfo::exists(path)) return {};
  try {
    return ReadFileBytes(path);
  } catch (const Error&) {
    return {};
  }
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A file's lines as a write sees them. A byte order mark is no part of the first line when
// reading, so a rewrite must keep it: dropping it would let a second mark become the first
// and change how the first line reads.
struct FileLines {
  std::vector<std::string> lines;
  bool byteOrderMark = false;
};

// Writing must not replace a file it couldn't read, so only a missing file starts empty.
FileLines LinesForWriting(const QString& path) {
  if (!QFileInfo::exists(path)) return {};
  const std::string content = ReadFileBytes(path);
  return {SplitLines(content), content.starts_with(kByteOrderMark)};
}

std::string Image(const FileLines& file) {
  std::string image(file.byteOrderMark ? kByteOrderMark : std::string_view());
  for (const auto& line : file.lines) AppendLine(image, line);
  return image;
}

void Store(const QString& path, const FileLines& file) {
  WriteFileAtomically(path, Image(file));
}

// Calls f(key, value) for each entry of the first section named `section` until f returns
// false.
template <typename F>
void ForEachEntry(std::string_view content, std::string_view section, F&& f) {
  enum { Before, Inside, After } state = Before;
  ForEachLine(content, [&](std::string_view line) {
    if (state == After) return;
    const ParsedLine parsed = Parse(line);
    if (parsed.kind == Kind::Header) {
      if (state == Inside)
        state = After;
      else if (SameName(parsed.name, section))
        state = Inside;
    } else if (state == Inside && parsed.kind == Kind::Entry) {
      if (!f(parsed.name, parsed.value)) state = After;
    }
  });
}

std::size_t FindSection(const std::vector<std::string>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = Parse(lines[i]);
    if (parsed.kind == Kind::Header && SameName(parsed.name, section)) return i;
  }
  return lines.size();
}

void CheckNoLineBreak(std::string_view text) {
  if (text.find_first_of("\r\n") != std::string_view::npos)
    throw Error(Sjis("改行を含む設定は書き込めません"));
}

// A key that reads back as something else, or as a section line, would corrupt the file.
void CheckKey(std::string_view key) {
  CheckNoLineBreak(key);
  if (key.empty() || key.find('=') != std::string_view::npos || key.front() == '[')
    throw Error(FormatMessage(Sjis("'%s' は設定のキーにできません"), key));
}

std::string SectionLine(std::string_view section) {
  return "[" + std::string(section) + "]";
}

std::string EntryLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += value;
  return line;
}

// Removes every section named `section`; true when there was one.
bool EraseSectionLines(std::vector<std::string>& lines, std::string_view section) {
  std::vector<std::string> kept;
  kept.reserve(lines.size());
  bool skipping = false;
  bool erased = false;
  for (auto& line : lines) {
    const ParsedLine parsed = Parse(line);
    if (parsed.kind == Kind::Header) {
      skipping = SameName(parsed.name, section);
      erased = erased || skipping;
    }
    if (!skipping) kept.push_back(std::move(line));
  }
  lines = std::move(kept);
  return erased;
}

}  // namespace

std::vector<std::string> Profile::Sections() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  ForEachLine(ContentForReading(path_), [&](std::string_view line) {
    const ParsedLine parsed = Parse(line);
    if (parsed.kind == Kind::Header && seen.insert(FoldCase(parsed.name)).second)
      names.emplace_back(parsed.name);
  });
  return names;
}

bool Profile::HasSection(std::string_view section) const {
  section = Trim(section);
  bool found = false;
  ForEachLine(ContentForReading(path_), [&](std::string_view line) {
    if (found) return;
    const ParsedLine parsed = Parse(line);
    found = parsed.kind == Kind::Header && SameName(parsed.name, section);
  });
  return found;
}

std::vector<std::string> Profile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  for (auto& entry : Entries(section)) keys.push_back(std::move(entry.key));
  return keys;
}

std::vector<Profile::Entry> Profile::Entries(std::string_view section) const {
  std::vector<Entry> entries;
  std::unordered_set<std::string> seen;
  ForEachEntry(ContentForReading(path_), Trim(section),
               [&](std::string_view key, std::string_view value) {
                 if (seen.insert(FoldCase(key)).second)
                   entries.push_back({std::string(key), std::string(value)});
                 return true;
               });
  return entries;
}

std::string Profile::Read(std::string_view section, std::string_view key) const {
  key = Trim(key);
  std::string value;
  ForEachEntry(ContentForReading(path_), Trim(section),
               [&](std::string_view entryKey, std::string_view entryValue) {
                 if (!SameName(entryKey, key)) return true;
                 value = entryValue;
                 return false;
               });
  return value;
}

std::int32_t Profile::ReadInt(std::string_view section, std::string_view key,
                              std::int32_t fallback) const {
  return ParseInt32(Read(section, key)).value_or(fallback);
}

void Profile::Write(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  CheckNoLineBreak(section);
  CheckKey(key);
  CheckNoLineBreak(value);

  FileLines file = LinesForWriting(path_);
  auto& lines = file.lines;
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    lines.push_back(SectionLine(section));
    lines.push_back(EntryLine(key, value));
    Store(path_, file);
    return;
  }
  // A new key goes after the section's last non-blank line, so that blank lines separating
  // it from the next section stay where they are.
  std::size_t lastFilled = header;
  for (std::size_t i = header + 1; i < lines.size(); ++i) {
    const ParsedLine parsed = Parse(lines[i]);
    if (parsed.kind == Kind::Header) break;
    if (parsed.kind == Kind::Entry && SameName(parsed.name, key)) {
      lines[i] = EntryLine(parsed.name, value);
      Store(path_, file);
      return;
    }
    if (!Trim(lines[i]).empty()) lastFilled = i;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1), EntryLine(key, value));
  Store(path_, file);
}

void Profile::EraseSection(std::string_view section) {
  section = Trim(section);
  FileLines file = LinesForWriting(path_);
  if (EraseSectionLines(file.lines, section)) Store(path_, file);
}

void Profile::ReplaceSection(std::string_view section, const std::vector<Entry>& entries) {
  section = Trim(section);
  CheckNoLineBreak(section);
  for (const auto& entry : entries) {
    CheckKey(Trim(entry.key));
    CheckNoLineBreak(entry.value);
  }
  FileLines file = LinesForWriting(path_);
  auto& lines = file.lines;
  const bool erased = EraseSectionLines(lines, section);
  if (!erased && entries.empty()) return;
  if (!entries.empty()) {
    lines.push_back(SectionLine(section));
    for (const auto& entry : entries) lines.push_back(EntryLine(Trim(entry.key), entry.value));
  }
  Store(path_, file);
}

std::string RenameProfileValues(std::string_view image,
                                std::initializer_list<std::string_view> keys, std::string_view from,
                                std::string_view to) {
  FileLines file{SplitLines(image), image.starts_with(kByteOrderMark)};
  bool changed = false;
  for (std::string& line : file.lines) {
    const ParsedLine parsed = Parse(line);
    if (parsed.kind != Kind::Entry || parsed.value != from) continue;
    if (std::none_of(keys.begin(), keys.end(),
                     [&](std::string_view key) { return SameName(parsed.name, key); }))
      continue;
    const auto at = static_cast<std::size_t>(parsed.value.data() - line.data());
    line.replace(at, parsed.value.size(), to);
    changed = true;
  }
  return changed ? Image(file) : std::string(image);
}

}  // namespace engine
