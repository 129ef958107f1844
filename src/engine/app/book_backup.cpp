#include "engine/app/book_backup.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "engine/app/book.h"
#include "engine/base/atomic_saver.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace engine {

namespace {

QString Path(std::string_view cp932) {
  return PathFromCp932(cp932);
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsBackupName(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}(-\\d+)?$"));
  return pattern.match(name).hasMatch();
}

// Names newest first: the stamps sort as text, a same-second suffix after its stamp.
std::vector<QString> BackupNames(const std::string& bookFolder) {
  const QDir root(Path(BackupRoot(bookFolder)));
  std::vector<QString> names;
  for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (IsBackupName(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const QString stampA = a.left(15), stampB = b.left(15);
    if (stampA != stampB) return stampA > stampB;
    const int suffixA = a.size() == 15 ? 1 : a.mid(16).toInt();
    const int suffixB = b.size() == 15 ? 1 : b.mid(16).toInt();
    return suffixA > suffixB;
  });
  return names;
}

// The file in the backup: a hard link where the system allows one, else a copy.
void KeepFile(const QString& from, const QString& to) {
  const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
  if (::link(source.constData(), target.constData()) == 0) return;
  if (!QFile::copy(from, to)) {
    throw Error("'" + ToCp932(to).value_or(std::string()) + Sjis("' に書き込めません"));
  }
}

}  // namespace

std::string BackupRoot(const std::string& bookFolder) {
  return bookFolder + Sjis("バックアップ") + "/";
}

std::string MakeBackup(const std::string& bookFolder, const std::string& indexPath, int keep) {
  if (keep <= 0 || !QFileInfo::exists(Path(indexPath))) return {};
  const std::vector<std::string> index = ReadTextLines(Path(indexPath));
  const std::string root = BackupRoot(bookFolder);
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  // Saves within one second get "-2", "-3" … after the stamp, always above the highest
  // one left (rotation may have removed lower ones), so the newest sorts first.
  int last = 0;
  for (const QString& other : BackupNames(bookFolder)) {
    if (other.left(15) != stamp) continue;
    last = std::max(last, other.size() == 15 ? 1 : other.mid(16).toInt());
  }
  const QString name = last == 0 ? stamp : stamp + "-" + QString::number(last + 1);
  const std::string folder = root + name.toStdString() + "/";
  if (!QDir().mkpath(Path(folder))) {
    throw Error(Sjis("バックアップのフォルダ '") + folder + Sjis("' を作れません"));
  }
  try {
    std::vector<std::string> lines;
    std::vector<std::string> taken;
    for (const std::string& path : index) {
      // A file that doesn't exist yet (the aggregation settings) keeps its place in the index
      // under the backup's folder, where a restore finds nothing to copy back.
      std::string name = FileNameOf(path);
      if (path.empty()) {
        lines.push_back(path);
        continue;
      }
      // Two files of one name from different folders must not meet in the backup.
      while (std::find(taken.begin(), taken.end(), name) != taken.end()) name = "_" + name;
      taken.push_back(name);
      const std::string kept = folder + name;
      if (QFileInfo::exists(Path(path))) KeepFile(Path(path), Path(kept));
      lines.push_back(kept);
    }
    WriteTextLines(Path(folder + FileNameOf(indexPath)), lines);
  } catch (...) {
    // Half a backup is no backup: it goes, and the caller hears why.
    QDir(Path(folder)).removeRecursively();
    throw;
  }
  const std::vector<QString> names = BackupNames(bookFolder);
  for (std::size_t i = static_cast<std::size_t>(keep); i < names.size(); ++i) {
    QDir(Path(root) + names[i]).removeRecursively();
  }
  return name.toStdString();
}

std::vector<BackupInfo> ListBackups(const std::string& bookFolder) {
  std::vector<BackupInfo> backups;
  const std::string root = BackupRoot(bookFolder);
  for (const QString& name : BackupNames(bookFolder)) {
    BackupInfo info;
    info.name = name.toStdString();
    info.time = QDateTime::fromString(name.left(15), QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir folder(Path(root) + name);
    const QStringList txt = folder.entryList({QStringLiteral("*.txt")}, QDir::Files);
    info.journalLines = -1;
    // The index is the text file whose fourth line names the journal inside this folder.
    for (const QString& file : txt) {
      try {
        const std::vector<std::string> lines = ReadTextLines(folder.filePath(file));
        if (lines.size() < 4 || FolderOf(lines[3]) != root + info.name + "/") continue;
        int count = 0;
        ForEachLine(FileView(Path(lines[3])).Bytes(), [&](std::string_view) { ++count; });
        info.index = root + info.name + "/" + ToCp932(file).value_or(std::string());
        info.journalLines = count;
        break;
      } catch (const Error&) {
      }
    }
    backups.push_back(std::move(info));
  }
  return backups;
}

void RestoreBackupFiles(const std::string& bookFolder, const std::string& indexPath,
                        const std::string& name) {
  const std::vector<BackupInfo> backups = ListBackups(bookFolder);
  const auto found = std::find_if(backups.begin(), backups.end(),
                                  [&](const BackupInfo& b) { return b.name == name; });
  if (found == backups.end() || found->index.empty()) {
    throw Error(Sjis("バックアップ ") + name + Sjis(" を読めません"));
  }
  const std::vector<std::string> kept = ReadTextLines(Path(found->index));
  const std::vector<std::string> current = ReadTextLines(Path(indexPath));
  std::vector<std::string> lines;
  // Every file is written aside first and all are put in place as one save, so a restore
  // that fails halfway leaves the book as it was.
  AtomicSaver saver(Path(SaveRecordPath(indexPath)));
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].empty()) {
      lines.push_back({});
      continue;
    }
    // A file keeps the place the book gave it (list files may live outside the folder); a
    // ledger the book no longer names goes back into the book folder.
    std::string target = bookFolder + FileNameOf(kept[i]);
    for (const std::string& path : current) {
      if (!path.empty() && FileNameOf(path) == FileNameOf(kept[i])) target = path;
    }
    if (QFileInfo::exists(Path(kept[i]))) saver.Stage(Path(target), ReadFileBytes(Path(kept[i])));
    lines.push_back(target);
  }
  std::string image;
  for (const std::string& line : lines) AppendLine(image, line);
  saver.Stage(Path(indexPath), image);
  saver.Commit();
}

}  // namespace engine
