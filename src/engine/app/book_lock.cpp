#include "engine/app/book_lock.h"

#include <QFile>
#include <QFileInfo>

#include "engine/base/atomic_saver.h"
#include "engine/base/cp932.h"

namespace engine {

namespace {

std::string Cp932(const QString& text) {
  return ToCp932(text).value_or(text.toLatin1().toStdString());
}

std::uint64_t Fnv1a(const char* data, qint64 size, std::uint64_t hash) {
  for (qint64 i = 0; i < size; ++i) {
    hash ^= static_cast<unsigned char>(data[i]);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

BookLock::BookLock(const QString& indexPath) : path_(LockPathOf(indexPath)), file_(path_) {
  // Age alone never makes a lock stale: a book may stay open for days. A lock whose program
  // is gone is still taken over.
  file_.setStaleLockTime(0);
}

BookLock::~BookLock() = default;

BookLock::Result BookLock::TryLock() {
  if (file_.tryLock(0)) return Result::Acquired;
  switch (file_.error()) {
    case QLockFile::LockFailedError: {
      qint64 pid = 0;
      QString host, app;
      if (file_.getLockInfo(&pid, &host, &app)) {
        holder_.pid = pid;
        holder_.host = Cp932(host);
        holder_.program = Cp932(app);
      }
      holder_.since = QFileInfo(path_).lastModified();
      return Result::Locked;
    }
    case QLockFile::PermissionError:
      failure_ = FileErrorReason(EACCES);
      break;
    default:
      failure_ = Sjis("ロックファイルを作成できません");
      break;
  }
  return Result::Failed;
}

std::string LockedMessage(const std::string& indexPath, const LockHolder& holder) {
  std::string text = Sjis("家計簿 [") + indexPath + Sjis("] は他のプログラムが使用中です。\n");
  text += Sjis("コンピュータ: ") + (holder.host.empty() ? Sjis("不明") : holder.host) + "\n";
  text += Sjis("プロセス: ") + std::to_string(holder.pid);
  if (!holder.program.empty()) text += " (" + holder.program + ")";
  text += "\n";
  if (holder.since.isValid()) {
    text += Sjis("使用開始: ") + Cp932(holder.since.toString("yyyy/MM/dd HH:mm:ss")) + "\n";
  }
  text += Sjis("\n読み取り専用で開きますか ?");
  return text;
}

FileStamp StampOf(const QString& path) {
  FileStamp stamp;
  const QFileInfo info(path);
  if (!info.isFile()) return stamp;
  stamp.exists = true;
  stamp.size = info.size();
  stamp.modified = info.lastModified().toMSecsSinceEpoch();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return stamp;
  // The ends of a file catch an edit that kept its size and time; reading all of a large
  // journal on every window activation would not be cheap.
  constexpr qint64 kEdge = 4096;
  std::uint64_t hash = 14695981039346656037ull;
  QByteArray head = file.read(kEdge);
  hash = Fnv1a(head.constData(), head.size(), hash);
  if (stamp.size > kEdge && file.seek(std::max(kEdge, stamp.size - kEdge))) {
    const QByteArray tail = file.read(kEdge);
    hash = Fnv1a(tail.constData(), tail.size(), hash);
  }
  stamp.hash = hash;
  return stamp;
}

}  // namespace engine
