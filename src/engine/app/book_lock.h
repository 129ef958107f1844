#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// Who holds a book: the program that took its lock, on which computer, since when.
struct LockHolder {
  qint64 pid = 0;
  std::string host;     // CP932
  std::string program;  // CP932
  QDateTime since;
};

// One writer per book: a lock file beside the book's index file, held while the book is open
// for writing. A lock left by a program that is no longer running on this computer is taken
// over; one held by a running program (on this or another computer) is refused and says who.
class BookLock {
 public:
  enum class Result { Acquired, Locked, Failed };

  explicit BookLock(const QString& indexPath);
  ~BookLock();
  BookLock(const BookLock&) = delete;
  BookLock& operator=(const BookLock&) = delete;

  static QString LockPathOf(const QString& indexPath) { return indexPath + ".lock"; }

  Result TryLock();
  // After Locked: the holder as its lock file tells.
  const LockHolder& Holder() const { return holder_; }
  // After Failed: why the lock file could not be made.
  const std::string& FailureReason() const { return failure_; }

 private:
  QString path_;
  QLockFile file_;
  LockHolder holder_;
  std::string failure_;
};

// "家計簿 [<path>] は他のプログラムが使用中です。…" naming the holder, for the question whether
// to open the book read-only.
std::string LockedMessage(const std::string& indexPath, const LockHolder& holder);

// What the program saw of a file when it read or wrote it: enough to notice cheaply that
// another program has changed it since.
struct FileStamp {
  bool exists = false;
  qint64 size = 0;
  qint64 modified = 0;     // milliseconds since the epoch
  std::uint64_t hash = 0;  // of the first and last few kilobytes
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const QString& path);

}  // namespace engine
