#include "engine/base/atomic_saver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <cstring>
#include <optional>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace engine {

namespace {

struct Fault {
  QString pathEnding;
  qint64 bytesLeft = 0;
  int error = ENOSPC;
};
std::optional<Fault> gFault;
std::optional<int> gCrashAtStep;

void MaybeCrash(int step) {
  if (gCrashAtStep && *gCrashAtStep == step) throw CrashInjection::SimulatedCrash{};
}

constexpr char kRecordHeader[] = "zentabo save record 1";

std::string Shown(const QString& path) {
  return PathToCp932(path).value_or(path.toLatin1().toStdString());
}

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

// How many bytes the next write to `path` may take before the injected fault; -1 for no limit.
qint64 FaultBudget(const QString& path) {
  if (!gFault || !path.endsWith(gFault->pathEnding)) return -1;
  return gFault->bytesLeft;
}

void ChargeFault(const QString& path, qint64 written) {
  if (gFault && path.endsWith(gFault->pathEnding)) gFault->bytesLeft -= written;
}

// Writes all of `bytes`; the errno of the failure, or 0.
int WriteAll(int fd, std::string_view bytes, const QString& faultPath) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    std::size_t chunk = std::min<std::size_t>(left, std::size_t{1} << 24);
    const qint64 budget = FaultBudget(faultPath);
    if (budget == 0) return gFault->error;
    if (budget > 0) chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(budget));
    const ssize_t n = ::write(fd, p, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    ChargeFault(faultPath, n);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // A fault set to strike after exactly the bytes written (none, for an empty file) strikes at
  // the sync instead, as a full disk does when it only finds out while flushing.
  if (FaultBudget(faultPath) == 0) return gFault->error;
  return 0;
}

QString RandomTag() {
  return QString::number(QRandomGenerator::global()->bounded(0x1000000u) | 0x1000000u, 16).mid(1);
}

int RenameFile(const QString& from, const QString& to) {
  return ::rename(Native(from).constData(), Native(to).constData()) == 0 ? 0 : errno;
}

// Earlier versions wrote through QSaveFile, whose temporaries end in six random letters and
// digits ("旅行費.txt.dcIVKz"); mixed case tells them from a name a user would choose.
bool IsOldTemporaryTag(const QString& tag) {
  if (tag.size() != 6) return false;
  bool upper = false, lower = false;
  for (const QChar c : tag) {
    if (c.isUpper() && c.unicode() < 128)
      upper = true;
    else if (c.isLower() && c.unicode() < 128)
      lower = true;
    else if (!(c.isDigit() && c.unicode() < 128))
      return false;
  }
  return upper && lower;
}

std::string RenameFailureMessage(const QString& to, int error) {
  return WriteFailureMessage(to, error);
}

}  // namespace

std::string FileErrorReason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return Sjis("ディスクの空き容量が不足しています");
    case EACCES:
    case EPERM:
      return Sjis("書き込む権限がありません");
    case EROFS:
      return Sjis("読み取り専用の場所です");
    case ENOENT:
    case ENOTDIR:
      return Sjis("フォルダが見つかりません");
    case EISDIR:
      return Sjis("同じ名前のフォルダがあります");
    case EIO:
      return Sjis("ディスクの読み書きに失敗しました");
    case EFBIG:
      return Sjis("ファイルが大きすぎます");
    case ENAMETOOLONG:
      return Sjis("ファイル名が長すぎます");
    default:
      // The system's own words are ASCII in the program's locale.
      return std::string(std::strerror(error));
  }
}

std::string WriteFailureMessage(const QString& path, int error) {
  return "'" + Shown(path) + "'" + Sjis(" に書き込めません（") + FileErrorReason(error) +
         Sjis("）");
}

WriteFaultInjection::WriteFaultInjection(QString pathEnding, qint64 bytesBeforeFailure, int error) {
  gFault = Fault{std::move(pathEnding), bytesBeforeFailure, error};
}

WriteFaultInjection::~WriteFaultInjection() {
  gFault.reset();
}

CrashInjection::CrashInjection(int steps) {
  gCrashAtStep = steps;
}

CrashInjection::~CrashInjection() {
  gCrashAtStep.reset();
}

void WriteSyncedFile(const QString& path, std::string_view bytes, const QString& shownPath,
                     const QString& modelPath) {
  const int fd = ::open(Native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw Error(WriteFailureMessage(shownPath, errno));
  int error = 0;
  struct stat model {};
  if (!modelPath.isEmpty() && ::stat(Native(modelPath).constData(), &model) == 0) {
    // Keep the old file's permissions, as a replaced file is expected to.
    ::fchmod(fd, model.st_mode & 07777);
  }
  error = WriteAll(fd, bytes, shownPath);
  // The data and the size that reads it back; the times can wait for the next journal commit.
  if (error == 0 && ::fdatasync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(Native(path).constData());
    throw Error(WriteFailureMessage(shownPath, error));
  }
}

void SyncFolderOf(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // Some file systems can't sync a folder; the rename itself has been done all the same.
  ::fsync(fd);
  ::close(fd);
}

AtomicSaver::AtomicSaver(QString recordPath) : recordPath_(std::move(recordPath)) {}

AtomicSaver::~AtomicSaver() {
  if (committed_) return;
  for (const auto& file : staged_) ::unlink(Native(file.temp).constData());
}

void AtomicSaver::Stage(const QString& path, std::string_view bytes) {
  Staged file;
  file.final = path;
  file.temp = path + "." + RandomTag() + kTempSuffix;
  file.size = static_cast<qint64>(bytes.size());
  if (QFileInfo(path).isDir()) throw Error(WriteFailureMessage(path, EISDIR));
  WriteSyncedFile(file.temp, bytes, path, path);
  staged_.push_back(std::move(file));
}

QStringList AtomicSaver::StagedPaths() const {
  QStringList paths;
  for (const auto& file : staged_) paths << file.final;
  return paths;
}

void AtomicSaver::WriteRecord() {
  std::string image;
  AppendLine(image, kRecordHeader);
  for (const auto& file : staged_) {
    const auto temp = PathToCp932(file.temp);
    const auto final = PathToCp932(file.final);
    if (!temp || !final) throw Error(WriteFailureMessage(file.final, EINVAL));
    AppendLine(image, *temp + "\t" + *final + "\t" + std::to_string(file.size));
  }
  AppendLine(image, "end " + std::to_string(staged_.size()));
  const QString temp = recordPath_ + kTempSuffix;
  WriteSyncedFile(temp, image, recordPath_);
  if (const int error = RenameFile(temp, recordPath_)) {
    ::unlink(Native(temp).constData());
    throw Error(RenameFailureMessage(recordPath_, error));
  }
  SyncFolderOf(recordPath_);
}

void AtomicSaver::Commit() {
  const bool withRecord = staged_.size() > 1 && !recordPath_.isEmpty();
  committed_ = gCrashAtStep.has_value();  // a simulated crash leaves the temporaries
  MaybeCrash(0);
  if (withRecord) WriteRecord();
  QSet<QString> folders;
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    const Staged& file = staged_[i];
    MaybeCrash(static_cast<int>(i) + 1);
    if (const int error = RenameFile(file.temp, file.final)) {
      // Without a record only the files not yet renamed stay old; with one, the next open
      // finishes the renames the record lists.
      if (!withRecord) {
        for (std::size_t j = i; j < staged_.size(); ++j)
          ::unlink(Native(staged_[j].temp).constData());
      }
      committed_ = true;
      throw Error(RenameFailureMessage(file.final, error));
    }
    folders.insert(QFileInfo(file.final).absolutePath());
  }
  committed_ = true;
  for (const QString& folder : folders) SyncFolderOf(folder + "/.");
  MaybeCrash(static_cast<int>(staged_.size()) + 1);
  // A record whose removal a crash undoes only names renames already done: it needs no sync.
  if (withRecord) QFile::remove(recordPath_);
}

QStringList AtomicSaver::Recover(const QString& recordPath) {
  QFile::remove(recordPath + kTempSuffix);  // a record never completed: the save never counted
  QStringList done;
  if (!QFileInfo(recordPath).isFile()) return done;
  const std::vector<std::string> lines = ReadTextLines(recordPath);
  struct Entry {
    QString temp, final;
    qint64 size;
  };
  std::vector<Entry> entries;
  bool valid = lines.size() >= 2 && lines.front() == kRecordHeader &&
               lines.back() == "end " + std::to_string(lines.size() - 2);
  for (std::size_t i = 1; valid && i + 1 < lines.size(); ++i) {
    const auto& line = lines[i];
    const auto tab1 = line.find('\t');
    const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) {
      valid = false;
      break;
    }
    bool ok = false;
    const qint64 size = QByteArray::fromStdString(line.substr(tab2 + 1)).toLongLong(&ok);
    valid = ok;
    entries.push_back({PathFromCp932(std::string_view(line).substr(0, tab1)),
                       PathFromCp932(std::string_view(line).substr(tab1 + 1, tab2 - tab1 - 1)),
                       size});
  }
  if (valid) {
    for (const auto& entry : entries) {
      const QFileInfo temp(entry.temp);
      // A temporary already renamed is gone; one of the wrong size was never this save's.
      if (!temp.isFile() || temp.size() != entry.size) continue;
      if (const int error = RenameFile(entry.temp, entry.final)) {
        throw Error(RenameFailureMessage(entry.final, error));
      }
      SyncFolderOf(entry.final);
      done << entry.final;
    }
  }
  QFile::remove(recordPath);
  SyncFolderOf(recordPath);
  return done;
}

void AtomicSaver::RemoveTemporariesOf(const QString& path) {
  const QFileInfo info(path);
  QDir folder = info.absoluteDir();
  const QString prefix = info.fileName() + ".";
  for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (!name.startsWith(prefix)) continue;
    const QString tail = name.mid(prefix.size());
    if (tail.endsWith(kTempSuffix) || IsOldTemporaryTag(tail)) folder.remove(name);
  }
}

}  // namespace engine
