#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// A profile (INI) file of CP932 text: "[section]" lines, each followed by "key=value" lines.
//
// Reading rules, the same for every call:
// - Section and key names compare without regard to ASCII letter case; a double-byte
//   character is compared exactly, so its trail byte is never case-folded.
// - A section line is a line whose first non-blank character is "[" and that holds a "]";
//   the name is the text between the "[" and the last "]", blanks trimmed. Text after that
//   "]" is ignored.
// - An entry is a line with an "=": the key is the text before the first "=", the value the
//   text after it, both with blanks trimmed. Enclosing quotes are kept as written; this
//   program never quotes a value.
// - Lines before the first section, and lines without "=", belong to no entry: they can't
//   be read, but every write keeps them.
// - Where a section or a key occurs more than once, the first one is the one read and
//   written; the later ones stay in the file unseen (EraseSection removes them all).
// - A missing file has no sections, and so does one that can't be read.
//
// Every call reads the file as it stands, so two Profile objects on one file never see
// stale text; every write replaces the whole file atomically at once, and the first write
// creates it. A write throws Error when the file exists but can't be read (rather than
// replace it with the one entry), when the file can't be written, or when the section, key
// or value can't be stored without changing how the file reads back: a line break
// anywhere, an empty key, or a key that holds "=" or begins with "[".
class Profile {
 public:
  struct Entry {
    std::string key;
    std::string value;
    bool operator==(const Entry&) const = default;
  };

  explicit Profile(QString path) : path_(std::move(path)) {}

  const QString& Path() const { return path_; }

  // Section names in file order, each name once.
  std::vector<std::string> Sections() const;
  bool HasSection(std::string_view section) const;
  // The section's key names in file order, each key once.
  std::vector<std::string> Keys(std::string_view section) const;
  // The section's keys with their values, in file order, each key once with its first value.
  std::vector<Entry> Entries(std::string_view section) const;
  // The text after the key's first "=", blanks trimmed; empty when the key is missing.
  std::string Read(std::string_view section, std::string_view key) const;
  // The value as a whole number; `fallback` when it is missing or isn't one.
  std::int32_t ReadInt(std::string_view section, std::string_view key, std::int32_t fallback) const;

  // Replaces the value of an existing key in place, or appends the key at the end of its
  // section, or appends the section with the key at the end of the file.
  void Write(std::string_view section, std::string_view key, std::string_view value);
  // Removes every section of that name with all its lines. A file without it is left alone.
  void EraseSection(std::string_view section);
  // EraseSection followed by writing `entries` in order into a new section at the end of
  // the file, done as one replacement of the file so that a failure leaves the old section.
  void ReplaceSection(std::string_view section, const std::vector<Entry>& entries);

 private:
  QString path_;
};

// The profile file `image` with every entry whose key is one of `keys` (letter case aside) and
// whose value is `from` given the value `to`; the rest of each line, and every other line,
// stays as written. The image itself when no entry changed.
std::string RenameProfileValues(std::string_view image,
                                std::initializer_list<std::string_view> keys, std::string_view from,
                                std::string_view to);

}  // namespace engine
