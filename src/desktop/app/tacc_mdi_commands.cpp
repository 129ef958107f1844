// The main window's command handlers: each one hands its work to the book or to the active
// child window's table.

#include <QInputDialog>

#include "desktop/app/about_dialog.h"
#include "desktop/app/guarded.h"
#include "desktop/app/help_window.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/app/tnewdialog.h"
#include "desktop/base/fonts.h"
#include "desktop/lists/tsubjectdialog.h"
#include "desktop/lists/tsummarydialog.h"
#include "desktop/tables/tbookform.h"
#include "engine/app/book_backup.h"
#include "engine/base/cp932.h"

namespace desktop {

void TAccMDI::Guarded(const std::function<void()>& handler) {
  RunGuarded(this, handler);
}

void TAccMDI::NotYetAvailable() {
  ShowMessage(this, QStringLiteral("この機能はまだ使用できません（未実装）"));
}

void TAccMDI::Run(Command command) {
  Guarded([this, command] {
    switch (command) {
      case Command::FileNew:
        FileNewExecute();
        break;
      case Command::FileOpen:
        FileOpenExecute();
        break;
      case Command::FileCSV:
        book_->NewBookFromCSV();
        break;
      case Command::FileClose:
        book_->FileCloseExecute();
        break;
      case Command::FileSave:
        book_->FileSaveExecute();
        break;
      case Command::FileSaveAs:
        FileSaveAsExecute();
        break;
      case Command::EditUndo:
        book_->Undo();
        break;
      case Command::EditRedo:
        book_->Redo();
        break;
      case Command::FileRestoreBackup:
        FileRestoreBackupExecute();
        break;
      case Command::EditConfirmDelete:
        EditConfirmDeleteExecute();
        break;
      case Command::FileExit:
        close();
        break;
      case Command::OperatePostAll:
        book_->OperatePostAllExecute();
        break;
      case Command::OperateSort:
        book_->OperateSortExecute();
        break;
      case Command::AmountTable:
        AmountTableExecute();
        break;
      case Command::AmountCompare:
        AmountCompareExecute();
        break;
      case Command::AmountSchema:
        AmountSchemaExecute();
        break;
      case Command::FileTextOut:
        FileTextOutExecute();
        break;
      case Command::FileCSVOut:
        FileCSVOutExecute();
        break;
      case Command::Print:
        mnuPrintClick();
        break;
      case Command::PrintPreview:
        mnuPrintPreviewClick();
        break;
      case Command::PrinterSetting:
        mnuPrinterSettingClick();
        break;
      case Command::DataSubject: {
        tsubjectdialog dialog(*book_, this);
        dialog.exec();
        break;
      }
      case Command::DataSummary: {
        tsummarydialog dialog(*book_, this);
        dialog.exec();
        break;
      }
      case Command::DataImport:
        DataImportExecute();
        break;
      case Command::WindowSort:
        WindowSortExecute();
        break;
      case Command::Help:
        HelpExecute();
        break;
      case Command::About:
        AboutExecute();
        break;
      default:
        RunTableCommand(command);
        break;
    }
  });
}

void TAccMDI::RunTableCommand(Command command) {
  tbookform* form = ActiveForm();
  if (!form) return;
  engine::TAccGrid& table = form->Table();
  switch (command) {
    case Command::EditCellCopy:
      table.CellCopy();
      break;
    case Command::EditCellPaste:
      table.CellPaste();
      break;
    case Command::EditLineCopy:
      table.LineCopy();
      break;
    case Command::EditLinePaste:
      table.LinePaste();
      break;
    case Command::EditLineAdd:
      table.LineAdd();
      break;
    case Command::EditLineDel:
      table.LineDel();
      break;
    case Command::GoToDebtor:
      table.GoToDebtor();
      break;
    case Command::GoToCredit:
      table.GoToCredit();
      break;
    case Command::GoToJournal:
      table.GoToJournal();
      break;
    case Command::GoToLedger:
      table.GoToLedger();
      break;
    case Command::OperatePost:
      table.PostLine();
      break;
    case Command::EditLineSelect:
      // As a press on the row header of the line the cursor is in.
      if (table.FocusedRow() >= 1) table.MousePress(0, table.FocusedRow());
      break;
    default:
      break;
  }
}

void TAccMDI::FileNewExecute() {
  tnewdialog dialog(*book_, this);
  dialog.exec();
}

void TAccMDI::FileOpenExecute() {
  const std::string path =
      ui_.SelectOpenFile({}, engine::Sjis("家計簿ファイルを選択してください"), {}, 1);
  if (path.empty()) return;
  book_->OpenBook(path);
  BookOpened();
}

void TAccMDI::FileRecentExecute(int index) {
  Guarded([this, index] {
    const auto& items = settings_.RecentFiles();
    if (index < 0 || index >= static_cast<int>(items.size())) return;
    // Copied: opening the book may rewrite the list the caption lives in.
    const std::string path = items[static_cast<std::size_t>(index)].caption;
    book_->OpenBook(path);
    BookOpened();
  });
}

void TAccMDI::UpdateUndoItems() {
  const engine::History& history = *book_->Changes();
  commands_.SetUndoItems(engine::FromCp932(history.UndoLabel()),
                         engine::FromCp932(history.RedoLabel()));
}

void TAccMDI::EditConfirmDeleteExecute() {
  const bool confirm = commands_.MenuItem(Command::EditConfirmDelete)->isChecked();
  book_->SetConfirmLineDelete(confirm);
  settings_.SetConfirmLineDelete(confirm);
}

void TAccMDI::FileSaveAsExecute() {
  tnewdialog dialog(*book_, this, tnewdialog::Purpose::SaveAs);
  dialog.exec();
}

void TAccMDI::FileRestoreBackupExecute() {
  const std::vector<engine::BackupInfo> backups = engine::ListBackups(book_->Folder());
  if (backups.empty()) {
    ShowMessage(this, QStringLiteral("この家計簿のバックアップはありません"));
    return;
  }
  QStringList items;
  for (const engine::BackupInfo& backup : backups) {
    const QString lines = backup.journalLines < 0
                              ? QStringLiteral("読めません")
                              : QStringLiteral("仕訳 %1 行").arg(backup.journalLines);
    items << backup.time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QStringLiteral("  ") +
                 lines;
  }
  bool chosen = false;
  const QString item = QInputDialog::getItem(this, QStringLiteral("バックアップから復元"),
                                             QStringLiteral("復元するバックアップを選んでください"),
                                             items, 0, false, &chosen);
  if (!chosen) return;
  const auto index = static_cast<std::size_t>(items.indexOf(item));
  if (index < backups.size()) book_->RestoreBackup(backups[index].name);
}

void TAccMDI::HelpExecute() {
  HelpWindow::ShowHelp(this);
}

void TAccMDI::AboutExecute() {
  AboutDialog about(this);
  about.exec();
}

}  // namespace desktop
