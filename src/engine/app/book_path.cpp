#include "engine/app/book_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {

namespace {

std::string Named(const char* utf8Template, const QString& path) {
  return FormatMessage(Sjis(utf8Template), PathToCp932(path).value_or(path.toStdString()));
}

bool HoldsIndex(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  // Only the first line decides; a ledger of a million rows is not read for it.
  QByteArray line = file.readLine(4096);
  while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
  return IsIndexFirstLine(
      std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
}

}  // namespace

QString FindIndexFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) throw Error(Named("'%s' がありません", path));
  if (!info.isDir()) return info.absoluteFilePath();
  const QDir folder(info.absoluteFilePath());
  QStringList found;
  const QStringList texts =
      folder.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable, QDir::Name);
  for (const QString& name : texts) {
    if (HoldsIndex(folder.filePath(name))) found.push_back(folder.filePath(name));
  }
  if (found.isEmpty()) throw Error(Named("フォルダ '%s' に家計簿ファイルがありません", path));
  if (found.size() > 1) {
    throw Error(
        Named("フォルダ '%s' に家計簿ファイルが複数あります。ファイルを指定してください", path));
  }
  return found.front();
}

}  // namespace engine
