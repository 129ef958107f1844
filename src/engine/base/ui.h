#pragma once

#include <string>

namespace engine {

class TAccGrid;

// Everything the engine tells or asks the user, and every window it needs shown, goes through
// this interface. The desktop implements it with real widgets; tests script a fake. All texts
// are CP932 bytes; paths are CP932 too.
class Ui {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~Ui() = default;

  // A plain message box.
  virtual void Message(const std::string& text) = 0;
  // A confirmation with Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // A confirmation with Yes, No and Cancel; dismissing it is Cancel.
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // File choices; empty text when the user cancels. `filter` counts from 1.
  virtual std::string SelectOpenFile(const std::string& proposedName, const std::string& title,
                                     const std::string& folder, int filter) = 0;
  virtual std::string SelectSaveFile(const std::string& proposedName, const std::string& title,
                                     const std::string& folder, int filter) = 0;
  // Status bar panels 0 to 4.
  virtual void SetStatus(int panel, const std::string& text) = 0;

  // The windows around the book. The defaults do nothing, for callers without windows.
  virtual void SetMainCaption(const std::string& /*caption*/) {}
  // A table's child window is created with its caption and a tab: the journal shown at the
  // top left, a ledger minimized.
  virtual void TableAdded(TAccGrid& /*table*/) {}
  // The table's window and tab go away; the table is destroyed right after.
  virtual void TableRemoving(TAccGrid& /*table*/) {}
  // The table's caption changed from `oldCaption`: its window title and tab follow.
  virtual void TableRenamed(TAccGrid& /*table*/, const std::string& /*oldCaption*/) {}
  // Restore the table's window when minimized, bring it to the front and show it.
  virtual void ShowTable(TAccGrid& /*table*/, bool /*restore*/) {}
  // Arrange the child windows (ledgers minimized along the bottom, the journal at the top).
  virtual void ArrangeWindows() {}
  // Command states of the main window.
  virtual void SetNoBookCommands() {}
  virtual void SetBookCommands() {}
  // The recent-file list changed.
  virtual void RecentFilesChanged() {}
};

}  // namespace engine
