#pragma once

#include <QString>
#include <array>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace desktop {

// Every command of the main window.
enum class Command {
  FileNew,
  FileOpen,
  FileCSV,
  FileClose,
  FileSave,
  FileTextOut,
  FileCSVOut,
  Print,
  PrintPreview,
  PrinterSetting,
  FileExit,
  EditCellCopy,
  EditCellPaste,
  EditLineCopy,
  EditLinePaste,
  EditLineAdd,
  EditLineDel,
  GoToDebtor,
  GoToCredit,
  GoToJournal,
  GoToLedger,
  OperatePost,
  OperatePostAll,
  OperateSort,
  DataSubject,
  DataSummary,
  DataImport,
  AmountTable,
  AmountCompare,
  AmountSchema,
  WindowSort,
  Help,
  About,
  EditLineSelect,
  EditUndo,
  EditRedo,
  EditConfirmDelete,
  FileSaveAs,
  FileRestoreBackup,
  Count
};

// The main window's menus, tool bar and recent-file items, and the four command states that
// switch them on and off. A menu item and its tool button are separate actions because the
// command states treat them apart.
class MdiCommands {
 public:
  static constexpr int kCount = static_cast<int>(Command::Count);
  static constexpr int kRecentCount = 4;

  // Builds the menu bar and the tool bar of `window`; `run` is called with the command of a
  // menu item or tool button that was triggered while it is offered.
  void Build(QMainWindow& window, QToolBar& toolBar, std::function<void(Command)> run,
             std::function<void(int)> runRecent);

  QAction* MenuItem(Command command) const { return menuItems_[Index(command)]; }
  // Null for commands without a tool button.
  QAction* ToolButton(Command command) const { return toolButtons_[Index(command)]; }
  QAction* RecentItem(int index) const { return recent_[static_cast<std::size_t>(index)]; }
  QAction* RecentSeparator() const { return recentSeparator_; }
  QMenu* WindowMenu() const { return windowMenu_; }
  // The top-level menus in menu-bar order.
  const std::array<QMenu*, 8>& Menus() const { return menus_; }
  // True when the item is enabled and so are the menus that hold it, which is when its
  // shortcut may run it.
  bool Offered(QAction* item) const;

  // Shows a recent file; the caption is the path exactly, with "&" kept literal.
  void SetRecentItem(int index, const QString& path, bool visible);

  void SetNoBookCommands();
  void SetBookCommands();
  void SetJournalCommands();
  void SetLedgerCommands();
  // The undo and redo items name the step they would apply; empty labels disable them.
  void SetUndoItems(const QString& undoLabel, const QString& redoLabel);

 private:
  static std::size_t Index(Command command) { return static_cast<std::size_t>(command); }
  void SetJournalItems(bool on);
  void SetBoth(Command command, bool on);
  void SetTool(Command command, bool on);
  void SetItem(Command command, bool on);
  void SetMenu(int menu, bool on);

  std::array<QAction*, kCount> menuItems_{};
  std::array<QAction*, kCount> toolButtons_{};
  std::array<QAction*, kRecentCount> recent_{};
  std::array<QMenu*, 8> menus_{};
  QAction* recentSeparator_ = nullptr;
  QMenu* windowMenu_ = nullptr;
};

}  // namespace desktop
