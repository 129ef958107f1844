#pragma once

#include <QDateTime>
#include <string>
#include <vector>

namespace engine {

// Backups of a book: each one a folder "バックアップ/yyyymmdd-hhmmss" inside the book folder
// holding the book's files as one save left them, with an index file that names them there,
// so the folder opens as a book of its own. Paths are CP932, folders end with "/".

struct BackupInfo {
  std::string name;   // the folder's name, yyyymmdd-hhmmss
  std::string index;  // its index file
  QDateTime time;
  int journalLines = 0;  // -1 when its journal can't be read
};

// The folder that holds a book's backups.
std::string BackupRoot(const std::string& bookFolder);

// Keeps the book's files as they are on disk in a new backup and removes the oldest beyond
// `keep`. Unchanged files cost nothing: a save replaces a file by a new one, so the backup
// holds the old one through a hard link (a copy where links can't be made). Returns the new
// folder's name, or empty when the book has no files yet. Throws Error saying why when the
// backup can't be made; the book's own files are never touched.
std::string MakeBackup(const std::string& bookFolder, const std::string& indexPath, int keep);

// The book's backups, newest first.
std::vector<BackupInfo> ListBackups(const std::string& bookFolder);

// Writes the files of backup `name` over the book's files, with an index file that names
// them in the book folder again, all put in place as one save. Throws Error; the book's
// files are then as they were.
void RestoreBackupFiles(const std::string& bookFolder, const std::string& indexPath,
                        const std::string& name);

}  // namespace engine
