#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/app/book_lock.h"
#include "engine/history/history.h"
#include "engine/tables/table_host.h"

namespace engine {

class BookLock;
class TAccGrid;
class TJournalGrid;
class TLedgerGrid;
class RowError;
class Ui;
namespace import {
class ImportHistory;
}

// The one open book: its folder and files, the journal and the ledgers in child-window order,
// the modified flag, and the lifecycle operations. The main window owns it and keeps one
// child window per table, as the book tells it through Ui.
class Book : public TableHost {
 public:
  // Normal takes the book's lock and may write; ReadOnly reads the files as they are and
  // refuses every change.
  enum class OpenMode { Normal, ReadOnly };

  explicit Book(Ui& ui);
  ~Book() override;
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;

  // Called with the index path whenever a book was opened or created, for the recent files.
  void SetRecentFileHandler(std::function<void(const std::string&)> handler) {
    recentFileHandler_ = std::move(handler);
  }

  bool IsOpen() const { return journal_ != nullptr; }
  bool ReadOnly() const { return readOnly_; }
  bool Modified() const { return modified_; }
  const std::string& Folder() const { return folder_; }
  const std::string& IndexPath() const { return indexPath_; }
  const std::string& SettingsPath() const { return settingsPath_; }
  // The aggregation commands fill the path in when it is empty; this doesn't mark the book.
  void SetSettingsPath(std::string path) { settingsPath_ = std::move(path); }
  // The index file's name without folder and extension.
  std::string Name() const;

  // All tables in child-window order: the journal first.
  std::vector<TAccGrid*> Tables();

  // Opens the book; a book another program holds is opened read-only when the user agrees.
  void OpenBook(const std::string& path, OpenMode mode = OpenMode::Normal);
  // Writes every table, the list files and the index as one step: either all files are new
  // or, after any failure, all are as they were. True when everything was written.
  bool SaveBook();
  // Asks what to do when a file of the book changed on disk since it was read (the main
  // window was activated); each change is asked about once.
  void CheckFilesOnDisk();
  void CloseBook();
  // The save prompt; true when the book may be closed.
  bool QuerySaveBook();
  // The journal readiness check; false when there is no book.
  bool ReadinessCheck();

  // Commands.
  void FileSaveExecute();
  void FileCloseExecute();
  void OperateSortExecute();
  void OperatePostAllExecute();
  // The new-book dialog's OK button; returns true when the dialog must stay open.
  bool NewBook(const std::string& name);
  // "名前を付けて保存": the whole book goes into a new folder `name` beside the book's own,
  // under the same checks as a new book's name, and the program goes on in the new book; the
  // old one stays as it was last saved. Returns true when the dialog must stay open.
  bool SaveBookAs(const std::string& name);

  // Backups: how many each save keeps (0: none), and a restore of one by its folder name,
  // which first offers to save, then keeps the files as they are as a backup of their own.
  void SetBackupCount(int count) { backupCount_ = count; }
  void RestoreBackup(const std::string& name);

  // Crash recovery: writes the unsaved state beside the book when it is modified; false when
  // it couldn't be written (the user has been told).
  bool WriteRecovery();
  void NewBookFromCSV();
  // The aggregation commands' preliminaries: readiness check and the settings file. True
  // when the command's dialog may open.
  bool PrepareAggregation();
  // Selects the row a failure names and brings its table's window to the front.
  void ShowFailedRow(const RowError& error);

  // The statement import's files beside the book (never named in the index): the profiles,
  // the rules and settings, and the fingerprints of imported rows.
  QString ImportProfilePath() const;
  QString ImportRulePath() const;
  static std::string ImportProfileFileName();
  static std::string ImportRuleFileName();
  static std::string ImportHistoryFileName();
  // A rename's changes to the import's rules and profiles wait for the save; the import
  // window reads and writes those files itself, so they are written before it opens. Throws
  // Error when they can't be written.
  void WritePendingImportFiles();
  // The fingerprints of imported rows; new ones are written with the book's next save and
  // forgotten when it is closed unsaved.
  import::ImportHistory& ImportedRows();

  // Undo and redo of the last command, or the one undone last; false when there was none.
  // An editor left open is closed without storing its text first.
  bool Undo();
  bool Redo();

  // Subjects with their ledgers.
  void DeleteSubject(const std::string& name);
  // "名前の変更": renames subject `from` to `to` everywhere in the book as one command: the
  // ledger (its caption, window and, at the next save, its file and index line), every
  // journal and ledger cell naming it, the counterparts of other subjects and the aggregation
  // settings. A name the subject list would refuse is refused with its message; false then.
  bool RenameSubject(const std::string& from, const std::string& to);
  // Undo and redo of a rename take the ledger's side back.
  void RenameLedgerBack(TLedgerGrid& ledger, const std::string& to) { RenameLedger(ledger, to); }
  // Why `name` can't be a subject (it names no file inside the book folder, or collides with
  // the journal or the index file), or empty when it can.
  std::string SubjectNameProblem(std::string_view name) const;

  // Files beside the book that belong to it without being named in the index (the recurring
  // lines, the budgets). A change waits here and is written with the book's next save, so
  // that closing without saving leaves them as they were. `name` is a file name inside the
  // book folder; setting one marks the book modified.
  void SetCompanionFile(const std::string& name, std::string image);
  // The waiting image, else the file's bytes, else nothing when there is no such file.
  // Throws Error when the file exists but can't be read.
  std::optional<std::string> CompanionFile(const std::string& name) const;

  // TableHost.
  Ui& ui() override { return ui_; }
  void SetModified() override {
    modified_ = true;
    history_.NoteModified();
  }
  bool RefuseChange() override;
  History* Changes() override { return &history_; }
  bool ConfirmLineDelete() const override { return confirmLineDelete_; }
  void SetConfirmLineDelete(bool confirm) { confirmLineDelete_ = confirm; }
  TJournalGrid* Journal() override { return journal_.get(); }
  std::size_t LedgerCount() const override { return ledgers_.size(); }
  TLedgerGrid& LedgerAt(std::size_t index) override { return *ledgers_[index]; }
  void ShowJournalWindow() override;
  void ShowMatchingLine(TAccGrid& table, const LineKey& key) override;
  void AddSubject(const std::string& name) override;
  std::string SubjectPath() const override { return subjectPath_; }
  std::string SummaryPath() const override { return summaryPath_; }

 private:
  friend class LedgerPresence;
  // A ledger put back at its place in the window order, or taken out (for undo and redo).
  void InsertLedger(std::size_t index, std::unique_ptr<TLedgerGrid> ledger);
  std::unique_ptr<TLedgerGrid> TakeLedger(std::size_t index);
  bool ApplyHistory(bool undo);
  // The checks of a new book's name in folder `parent`; true (the user told) when refused.
  bool RefuseBookName(const std::string& name, const std::string& parent);
  // Offers an unsaved state found beside the book just opened.
  void OfferRecovery();
  void RemoveRecovery() const;
  void CreateJournalWindow(const std::string& caption);
  TLedgerGrid& CreateLedger(const std::string& caption);
  void LoadBook(const std::string& path, std::vector<std::string> index);
  // Takes the lock for `path`; false when the user chose not to open a locked book, true
  // otherwise (readOnly_ set when the book is opened read-only).
  bool TakeLock(const std::string& path);
  // Completes or discards what a crash in a save left, and removes temporaries.
  void RecoverSave(const std::string& path);
  void RemoveTemporaries(const std::string& path, const std::vector<std::string>& index);
  // Where the book's files are when the index names files that moved with a copied book.
  void ResolveMovedFiles(std::vector<std::string>& index);
  // Loads the ledgers of index lines 4 and on; a missing ledger file is rebuilt from the
  // journal when the user agrees.
  void LoadLedgers(const std::vector<std::string>& index);
  // Tells about lines that could not be read as rows and asks whether to go on editing;
  // otherwise the book is read-only.
  void ReportUnreadableLines();
  // Rebuilds a ledger whose file was missing from the journal's posted lines.
  void RebuildLedger(TLedgerGrid& ledger);
  // Copies the files as they were read into a folder beside the book, before the first save
  // drops lines that could not be read.
  void KeepOriginalFiles();
  void RememberStamps(const QStringList& paths);
  // Files whose stamp differs from the one remembered, as CP932 paths.
  std::vector<std::string> ChangedFiles(bool sinceNotice) const;
  // Before a save: false when the save must not go on (cancelled, or the book reloaded).
  bool ConfirmOverwrite();
  void Reload();
  void ShowCaption();
  // After a rename: the settings file gets the new names (before an aggregation reads it, or
  // with the save), and the renamed ledgers' old files go once the save is done.
  void WritePendingSettings();
  // The ledger's side of a rename: caption and window, the settings waiting for the save and
  // the old file to remove. Throws Error when the settings file can't be read.
  void RenameLedger(TLedgerGrid& ledger, const std::string& to);
  // The budget's and the recurring lines' files with `from` renamed, those that name it.
  // Throws Error when one can't be read.
  std::vector<std::pair<std::string, std::string>> PlansRenamed(const std::string& from,
                                                                const std::string& to) const;
  void RemoveObsoleteFiles(const QStringList& written);
  void AddRecentFile(const std::string& path);
  // Asks for the subject, summary and settings files of a new book; false when any was
  // cancelled, after removing the new folder again.
  bool AskListFiles(const std::string& folder, std::string paths[3]);

  Ui& ui_;
  // Declared before the tables, which report to it, so it outlives them.
  History history_;
  std::function<void(const std::string&)> recentFileHandler_;
  std::string folder_;
  std::string indexPath_;
  std::string subjectPath_;
  std::string summaryPath_;
  std::string settingsPath_;
  std::unique_ptr<TJournalGrid> journal_;
  std::vector<std::unique_ptr<TLedgerGrid>> ledgers_;
  std::map<std::string, std::string> companions_;
  // Written with the next save: the aggregation settings after a rename, and the files of
  // renamed ledgers, removed once the new ones are in place.
  std::optional<std::string> pendingSettings_;
  std::vector<std::string> obsoleteFiles_;
  bool modified_ = false;
  bool readOnly_ = false;
  std::unique_ptr<BookLock> lock_;
  // Set when the book was opened with lines it could not read: the first save keeps the
  // original files first.
  bool keepOriginals_ = false;
  // The files as last read or written, and as last asked about.
  struct Stamps {
    FileStamp read;
    FileStamp noticed;
  };
  std::vector<std::pair<QString, Stamps>> stamps_;
  bool checkingFiles_ = false;
  // The files the book read, for the copy kept before lines are dropped.
  std::vector<std::string> readFiles_;
  // While a book loads: each table with the file it was read from.
  std::vector<std::pair<TAccGrid*, std::string>> loadedFrom_;
  std::unique_ptr<import::ImportHistory> importedRows_;
  bool confirmLineDelete_ = false;
  int backupCount_ = 0;
};

// The save record beside a book's index file: a save of several files that a crash cut
// short is finished from it when the book is next opened.
inline std::string SaveRecordPath(const std::string& indexPath) {
  return indexPath + ".zentabo-save";
}

// The index file's test of its first line: it ends in ".txt", letter case ignored.
bool IsIndexFirstLine(std::string_view line);

// The CSV import's test of a file's first line: exactly six comma-text fields.
bool IsJournalCsvLine(std::string_view line);

// The folder part of a path, with its trailing separator; and the file name without folder
// and extension.
std::string FolderOf(std::string_view path);
std::string BaseNameOf(std::string_view path);

// True when `name` can be the base name of a file inside a folder: no "/" or "\" character
// (read as CP932 characters, so a trail byte 0x5C is not a backslash) and not "." or "..".
bool IsSafeFileBaseName(std::string_view name);

}  // namespace engine
