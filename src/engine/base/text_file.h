#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Whole-file reading and atomic writing of the program's text files. Lines are kept as the
// CP932 bytes they hold; a line ends at CR LF, LF or CR, and every written line gets CR LF.

// The file's bytes. Throws Error with "'<path>' を開けません" when it can't be read.
std::string ReadFileBytes(const QString& path);

// Calls f(std::string_view line) for each line of `content`. A last line without a line end
// still counts; an empty content has no lines.
template <typename F>
void ForEachLine(std::string_view content, F&& f) {
  std::size_t pos = 0;
  const std::size_t n = content.size();
  while (pos < n) {
    std::size_t end = pos;
    while (end < n && content[end] != '\r' && content[end] != '\n') ++end;
    f(content.substr(pos, end - pos));
    if (end < n && content[end] == '\r' && end + 1 < n && content[end + 1] == '\n') ++end;
    pos = end + 1;
  }
}

std::vector<std::string> SplitLines(std::string_view content);
std::vector<std::string> ReadTextLines(const QString& path);

// Appends `line` and CR LF to a file image being built.
inline void AppendLine(std::string& image, std::string_view line) {
  image.append(line);
  image.append("\r\n", 2);
}

// Replaces the file with `image` atomically: a failed or interrupted write leaves the old
// file whole. Throws Error with "'<path>' に書き込めません" on failure.
void WriteFileAtomically(const QString& path, std::string_view image);
void WriteTextLines(const QString& path, const std::vector<std::string>& lines);

}  // namespace engine
