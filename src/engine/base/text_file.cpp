#include "engine/base/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {

namespace {
std::string PathMessage(const QString& path, const char* utf8Ending) {
  std::string shown = ToCp932(path).value_or(path.toLatin1().toStdString());
  return "'" + shown + "'" + Sjis(utf8Ending);
}
}  // namespace

std::string ReadFileBytes(const QString& path) {
  // Only plain files: a device or a pipe named by a book file could block the program forever.
  if (!QFileInfo(path).isFile()) throw Error(PathMessage(path, " を開けません"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw Error(PathMessage(path, " を開けません"));
  std::string bytes;
  const qint64 size = file.size();
  if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
  char buffer[1 << 16];
  for (;;) {
    const qint64 got = file.read(buffer, sizeof buffer);
    if (got < 0) throw Error(PathMessage(path, " を読み込めません"));
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  ForEachLine(content, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::vector<std::string> ReadTextLines(const QString& path) {
  return SplitLines(ReadFileBytes(path));
}

void WriteFileAtomically(const QString& path, std::string_view image) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) throw Error(PathMessage(path, " に書き込めません"));
  const qint64 want = static_cast<qint64>(image.size());
  if (file.write(image.data(), want) != want || !file.commit()) {
    file.cancelWriting();
    throw Error(PathMessage(path, " に書き込めません"));
  }
}

void WriteTextLines(const QString& path, const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const auto& line : lines) total += line.size() + 2;
  std::string image;
  image.reserve(total);
  for (const auto& line : lines) AppendLine(image, line);
  WriteFileAtomically(path, image);
}

}  // namespace engine
