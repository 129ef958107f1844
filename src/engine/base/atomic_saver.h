#pragma once

#include <QString>
#include <QStringList>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Why a file operation failed, in the user's words ("ディスクの空き容量が不足しています", …).
std::string FileErrorReason(int error);
// "'<path>' に書き込めません（<reason>）".
std::string WriteFailureMessage(const QString& path, int error);

// Makes writes fail the way a full or broken disk does, for tests: once `bytesBeforeFailure`
// bytes have gone to files whose path ends in `pathEnding` (all files when it is empty), the
// next write to such a file fails with `error`. One injection at a time.
class WriteFaultInjection {
 public:
  WriteFaultInjection(QString pathEnding, qint64 bytesBeforeFailure, int error = ENOSPC);
  ~WriteFaultInjection();
  WriteFaultInjection(const WriteFaultInjection&) = delete;
  WriteFaultInjection& operator=(const WriteFaultInjection&) = delete;
};

// Stops AtomicSaver::Commit as a crash would, for tests: before step `steps` (step 0 writes
// the save record, steps 1 to n rename the n files, step n + 1 removes the record), leaving
// every file and temporary as it is, by throwing SimulatedCrash.
class CrashInjection {
 public:
  struct SimulatedCrash {};
  explicit CrashInjection(int steps);
  ~CrashInjection();
  CrashInjection(const CrashInjection&) = delete;
  CrashInjection& operator=(const CrashInjection&) = delete;
};

// Replaces a set of files as one step. Stage() writes each new file completely under a
// temporary name beside its final one and syncs it to the disk; Commit() then renames them
// all. With more than one file and a record path, Commit() first writes a save record that
// lists the renames: once the record is on disk the save counts as done, and Recover() finishes
// it after a crash; before that, the old files are untouched and only temporaries are left.
// A saver destroyed without Commit() removes its temporaries. Failures throw Error naming the
// file and the reason; the old files then stay as they were.
class AtomicSaver {
 public:
  // Temporaries are "<final name>.<random>.zentabo-new".
  static constexpr char kTempSuffix[] = ".zentabo-new";

  explicit AtomicSaver(QString recordPath = {});
  ~AtomicSaver();
  AtomicSaver(const AtomicSaver&) = delete;
  AtomicSaver& operator=(const AtomicSaver&) = delete;

  void Stage(const QString& path, std::string_view bytes);
  void Commit();
  // The final paths staged so far, in order.
  QStringList StagedPaths() const;

  // Completes the save whose record lies at `recordPath`, or throws away what a save that
  // never reached its record left. Returns the files it put in place. Throws Error when a
  // rename the record asks for fails.
  static QStringList Recover(const QString& recordPath);
  // Removes this program's temporaries of `path` left beside it by an interrupted write.
  static void RemoveTemporariesOf(const QString& path);

 private:
  struct Staged {
    QString temp;
    QString final;
    qint64 size = 0;
  };
  void WriteRecord();

  QString recordPath_;
  std::vector<Staged> staged_;
  bool committed_ = false;
};

// Writes `bytes` to a new file `path`, checking every write, and syncs it to the disk. The
// file takes the permissions of `modelPath` when that exists. Throws Error naming
// `shownPath` and the reason, leaving no partial file.
void WriteSyncedFile(const QString& path, std::string_view bytes, const QString& shownPath,
                     const QString& modelPath = {});
// Syncs the folder holding `path`, so that a rename in it survives a power cut.
void SyncFolderOf(const QString& path);

}  // namespace engine
