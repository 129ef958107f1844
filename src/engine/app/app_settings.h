#pragma once

#include <QString>
#include <array>
#include <string>

#include "engine/app/profile.h"

namespace engine {

// The main window's placement as kept between runs.
struct WindowPlacement {
  int left = 30;
  int top = 30;
  int width = 600;
  int height = 400;
  bool operator==(const WindowPlacement&) const = default;
};

// The settings file "zntbk.ini" in the program folder: the main window's placement and the
// four most recently used books, with the model of the recent-file items of the file menu.
class AppSettings {
 public:
  static constexpr int kRecentFileCount = 4;

  // One recent-file menu item; the caption is a book index path exactly as stored.
  struct RecentFileItem {
    std::string caption;
    bool visible = false;
    bool operator==(const RecentFileItem&) const = default;
  };
  using RecentFileItems = std::array<RecentFileItem, kRecentFileCount>;

  // The settings file in the program folder.
  AppSettings();
  explicit AppSettings(QString path);

  static QString DefaultPath();
  const QString& Path() const { return profile_.Path(); }

  // A missing key, or one that doesn't hold a whole number, reads as its default.
  WindowPlacement ReadPlacement() const;
  // False until a placement was written: the first run chooses one from the screen.
  bool HasPlacement() const;
  // Throws Error when the file can't be written.
  void WritePlacement(const WindowPlacement& placement);

  // Whether amounts are shown with grouped digits; on unless turned off. Writing throws
  // Error when the file can't be written.
  bool ReadDigitGrouping() const;
  void WriteDigitGrouping(bool on);
  // Whether printed pages start with the table's heading row; off unless chosen.
  bool ReadPrintHeadings() const;
  void WritePrintHeadings(bool on);

  const RecentFileItems& RecentFiles() const { return items_; }
  bool RecentSeparatorVisible() const { return separatorVisible_; }

  // Shows the values of the first four keys of section "RecentFiles", in file order.
  void LoadRecentFiles();
  // Stores `path` as "file1" and shifts the older ones down. Throws Error on a write
  // failure.
  void PushRecentFile(const std::string& path);
  // Pushes and reloads unless `path` equals one of the four captions exactly, hidden
  // placeholders included, so reopening a listed book changes nothing.
  void AddRecentFile(const std::string& path);

  // Whether deleting a journal line asks first (on unless turned off).
  bool ConfirmLineDelete() const;
  // Throws Error when the file can't be written.
  void SetConfirmLineDelete(bool confirm);
  // How many backups each book keeps (0: none) and how many minutes pass between the
  // recovery copies of a modified book (0: none).
  int BackupCount() const;
  int RecoveryMinutes() const;
  // How many steps undo goes back (100 unless set).
  int UndoLimit() const;

 private:
  Profile profile_;
  RecentFileItems items_;
  bool separatorVisible_ = false;
};

}  // namespace engine
