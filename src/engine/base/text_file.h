#pragma once

#include <QString>
class QFile;
#include <cstring>
#include <memory>
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
  const char* const begin = content.data();
  const char* const end = begin + content.size();
  const char* p = begin;
  // A UTF-8 byte order mark, which some editors put first, is no part of the first line.
  if (content.size() >= 3 && content.substr(0, 3) == "\xEF\xBB\xBF") p += 3;
  while (p < end) {
    // memchr is far faster than a byte loop on books of a million lines.
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = lf ? lf : end;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p)));
    const char* lineEnd = cr ? cr : stop;
    f(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
    if (lineEnd == end) break;
    p = lineEnd + 1;
    if (*lineEnd == '\r' && p < end && *p == '\n') ++p;
  }
}

// A file's bytes for one pass of reading: mapped into memory when the system allows it (no
// copy, and far fewer page faults on books of a million lines), otherwise read. Throws like
// ReadFileBytes.
class FileView {
 public:
  explicit FileView(const QString& path);
  ~FileView();
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;
  std::string_view Bytes() const { return bytes_; }

 private:
  std::unique_ptr<QFile> file_;
  uchar* map_ = nullptr;
  std::string copy_;
  std::string_view bytes_;
};

std::vector<std::string> SplitLines(std::string_view content);
std::vector<std::string> ReadTextLines(const QString& path);

// Appends `line` and CR LF to a file image being built.
inline void AppendLine(std::string& image, std::string_view line) {
  image.append(line);
  image.append("\r\n", 2);
}

// Replaces the file with `image` atomically: a failed or interrupted write leaves the old
// file whole. Throws Error with "'<path>' に書き込めません（<reason>）" on failure.
void WriteFileAtomically(const QString& path, std::string_view image);
void WriteTextLines(const QString& path, const std::vector<std::string>& lines);

}  // namespace engine
