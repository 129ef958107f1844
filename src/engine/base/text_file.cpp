#include "engine/base/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#include "engine/base/atomic_saver.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {

namespace {
std::string PathMessage(const QString& path, const char* utf8Ending) {
  std::string shown = ToCp932(path).value_or(path.toLatin1().toStdString());
  const QFileInfo info(path);
  const char* reason = !info.exists()     ? "（ファイルが見つかりません）"
                       : info.isDir()     ? "（フォルダです）"
                       : !info.isFile()   ? "（通常のファイルではありません）"
                       : !info.isReadable() ? "（読む権限がありません）"
                                          : "";
  return "'" + shown + "'" + Sjis(utf8Ending) + Sjis(reason);
}
}  // namespace

std::string ReadFileBytes(const QString& path) {
  // Only plain files: a device or a pipe named by a book file could block the program forever.
  if (!QFileInfo(path).isFile()) throw Error(PathMessage(path, " を開けません"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw Error(PathMessage(path, " を開けません"));
  // Read straight into a string of the file's size; keep reading should the file have grown.
  std::string bytes(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)), '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + (1 << 16));
    const qint64 got = file.read(bytes.data() + filled, static_cast<qint64>(bytes.size() - filled));
    if (got < 0) throw Error(PathMessage(path, " を読み込めません"));
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return bytes;
}

FileView::FileView(const QString& path) {
  if (!QFileInfo(path).isFile()) throw Error(PathMessage(path, " を開けません"));
  auto file = std::make_unique<QFile>(path);
  if (file->open(QIODevice::ReadOnly) && file->size() > 0) {
    map_ = file->map(0, file->size());
    if (map_) {
      bytes_ = std::string_view(reinterpret_cast<const char*>(map_),
                                static_cast<std::size_t>(file->size()));
      file_ = std::move(file);
      return;
    }
  }
  copy_ = ReadFileBytes(path);
  bytes_ = copy_;
}

FileView::~FileView() {
  if (file_) file_->unmap(map_);
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
  AtomicSaver saver;
  saver.Stage(path, image);
  saver.Commit();
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
