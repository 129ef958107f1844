#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPicture>
#include <array>
#include <functional>
#include <memory>

#include "desktop/app/desktop_ui.h"
#include "desktop/app/mdi_commands.h"
#include "engine/app/app_settings.h"
#include "engine/app/book.h"

class QLabel;
class QMdiArea;
class QTabBar;
class QTimer;
class QToolBar;

namespace desktop {

class FindBar;
class TAccChild;
class tbookform;

// "集計に失敗しました"; when a date on a row of the book was the reason, the message names the
// table and the row, and that row is selected.
void ShowAggregationFailure(engine::Book& book, QWidget* owner, const engine::RowError* where);

// The main window: a multiple-document frame holding the open book, one child window per
// table, the menus and tool bar, a tab per child window and the status bar. Commands act on
// the book or on the active child window's table; the engine does the work.
class TAccMDI : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kTabStripHeight = 23;
  static constexpr int kStatusBarHeight = 20;

  explicit TAccMDI(QWidget* parent = nullptr);
  ~TAccMDI() override;

  engine::Book& Book() { return *book_; }
  DesktopUi& Ui() { return ui_; }
  engine::AppSettings& Settings() { return settings_; }
  MdiCommands& Commands() { return commands_; }
  QMdiArea* MdiArea() const { return mdi_; }
  QTabBar* TabBar() const { return tabs_; }
  QToolBar* ToolBar() const { return toolBar_; }
  QLabel* StatusPanel(int panel) const { return panels_[static_cast<std::size_t>(panel)]; }
  // The window of a table of the open book, or null.
  tbookform* FormOf(const engine::TAccGrid& table) const { return forms_.value(&table); }
  // The child window the table commands act on: the active one, else the journal's.
  tbookform* ActiveForm() const;
  // The client area as the arrangement measures it: below the menu bar.
  int ClientWidth() const;
  int ClientHeight() const;

  void SetStatus(int panel, const QString& text);
  void AddTab(const QString& caption);
  void RemoveTab(const QString& caption);
  void SelectTab(const QString& caption);

  void SetNoBookCommands();
  void SetBookCommands();
  void SetJournalCommands();
  void SetLedgerCommands();

  // The book's windows, as the book asks for them.
  void TableAdded(engine::TAccGrid& table);
  void TableRemoving(engine::TAccGrid& table);
  void TableRenamed(engine::TAccGrid& table, const std::string& oldCaption);
  void ShowTable(engine::TAccGrid& table, bool restore);
  void RecentFilesChanged();

  // Command handlers.
  void FileNewExecute();
  void FileOpenExecute();
  void FileRecentExecute(int index);
  void FileSaveAsExecute();
  void FileRestoreBackupExecute();
  void EditConfirmDeleteExecute();
  // The undo and redo items follow the book's history.
  void UpdateUndoItems();
  void WindowSortExecute();
  void HelpExecute();
  void AboutExecute();
  void TabControlChange(int index);
  // Aggregations and table output (tacc_mdi_amount.cpp).
  void AmountTableExecute();
  void AmountCompareExecute();
  void FileTextOutExecute();
  void FileCSVOutExecute();
  // The schema-driven report (tacc_mdi_schema.cpp).
  void AmountSchemaExecute();
  // Statement import (tacc_mdi_import.cpp).
  void DataImportExecute();
  // Printing (tacc_mdi_print.cpp).
  void mnuPrintClick();
  void mnuPrintPreviewClick();
  void mnuPrinterSettingClick();
  // The household plan (tacc_mdi_plan.cpp): after a book was opened, the recurring lines
  // that fell due; and the データ menu's commands.
  void BookOpened();
  void RecurringDueExecute();
  void RecurringExecute();
  void RecurringFromLineExecute();
  void BudgetExecute();
  void NewYearExecute();
  const QList<QAction*>& PlanItems() const { return planItems_; }
  // Find, filter and charts (tacc_mdi_find.cpp).
  FindBar* Finder() const { return findBar_; }
  void ChartExecute();
  void BookChartExecute();
  // The page images of the print command that runs; empty between commands.
  const QList<QPicture>& Pages() const { return pages_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildStatusBar();
  void Run(Command command);
  void RunTableCommand(Command command);
  // Runs a handler, showing any failure that comes out of it instead of letting it reach the
  // event loop.
  void Guarded(const std::function<void()>& handler);
  void NotYetAvailable();
  void FillWindowMenu();
  // A minimized window goes to the first free place along the bottom of the frame.
  void PlaceMinimized(TAccChild& child);
  QPoint MinimizedSlot(int index) const;
  // Renders every page of the form's table into the page list.
  void RenderPages(const tbookform& form);
  // Shows the message and answers false when there is no printer at all.
  bool HavePrinter();
  void BuildPlanMenu();
  void BuildFindCommands();
  // The 表示 menu: how amounts are shown.
  void BuildViewMenu();
  // Amounts grouped or not in every table window; remembered in the settings.
  void SetDigitGrouping(bool on);

  DesktopUi ui_;
  engine::AppSettings settings_;
  std::unique_ptr<engine::Book> book_;
  MdiCommands commands_;
  QToolBar* toolBar_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QMdiArea* mdi_ = nullptr;
  std::array<QLabel*, 5> panels_{};
  QHash<const engine::TAccGrid*, tbookform*> forms_;
  QList<QAction*> windowItems_;
  QList<QPicture> pages_;
  QList<QAction*> planItems_;
  FindBar* findBar_ = nullptr;
  QAction* groupingItem_ = nullptr;
  // Writes the modified book's recovery file every few minutes.
  QTimer* recoveryTimer_ = nullptr;
  // Set while the tab bar follows the windows, so that doesn't count as the user's choice.
  bool selectingTab_ = false;
  bool checkQueued_ = false;
  bool placementWritten_ = false;
};

}  // namespace desktop
