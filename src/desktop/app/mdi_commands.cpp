#include "desktop/app/mdi_commands.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace desktop {

namespace {

struct CommandSpec {
  Command command;
  int menu;
  const char* caption;
  const char* shortcut;  // bound key, or null
  const char* keyText;   // key shown beside the caption without binding it, or null
  bool separatorBefore;
  const char* hint;  // tool button hint, or null for commands without a button
  const char* themeIcon;
  const char* fallbackIcon;
};

// Menu items in menu order; tool buttons follow the same order.
constexpr CommandSpec kSpecs[] = {
    {Command::FileNew, 0, "新しい家計簿(&N)", "Ctrl+N", nullptr, false, "新しい家計簿",
     "document-new", "new"},
    {Command::FileOpen, 0, "家計簿を開く(&O)...", "Ctrl+O", nullptr, false, "家計簿を開く",
     "document-open", "open"},
    {Command::FileCSV, 0, "CSVファイル(仕訳帳)から新規に作成...", nullptr, nullptr, false, nullptr,
     nullptr, nullptr},
    {Command::FileClose, 0, "家計簿を閉じる(&C)", nullptr, nullptr, true, nullptr, nullptr,
     nullptr},
    {Command::FileSave, 0, "家計簿の保存(&S)", "Ctrl+S", nullptr, false, "家計簿の保存",
     "document-save", "save"},
    {Command::FileSaveAs, 0, "名前を付けて保存…", "Ctrl+Shift+S", nullptr, false, nullptr,
     nullptr, nullptr},
    {Command::FileRestoreBackup, 0, "バックアップから復元…", nullptr, nullptr, false, nullptr,
     nullptr, nullptr},
    {Command::FileTextOut, 0, "テキスト出力", nullptr, nullptr, true, "テキスト出力",
     "text-x-generic", "textout"},
    {Command::FileCSVOut, 0, "CSV出力", nullptr, nullptr, false, "CSV出力", "x-office-spreadsheet",
     "csvout"},
    {Command::Print, 0, "印刷(&P)", "Ctrl+P", nullptr, true, "印刷", "document-print", "print"},
    {Command::PrintPreview, 0, "印刷プレビュー(&V)", nullptr, nullptr, false, "印刷プレビュー",
     "document-print-preview", "preview"},
    {Command::PrinterSetting, 0, "プリンタの設定", nullptr, nullptr, false, "プリンタ設定",
     "printer", "printer"},
    {Command::FileExit, 0, "終了(&X)", nullptr, nullptr, true, nullptr, nullptr, nullptr},
    {Command::EditUndo, 1, "元に戻す", "Ctrl+Z", nullptr, false, nullptr, nullptr, nullptr},
    {Command::EditRedo, 1, "やり直し", "Ctrl+Y", nullptr, false, nullptr, nullptr, nullptr},
    {Command::EditCellCopy, 1, "セルのコピー(&C)", "Ctrl+C", nullptr, true, "セルのコピー",
     "edit-copy", "cellcopy"},
    // Ctrl+P belongs to printing; this item only shows the key.
    {Command::EditCellPaste, 1, "セルの貼り付け(&P)", nullptr, "Ctrl+P", false, "セルの貼り付け",
     "edit-paste", "cellpaste"},
    {Command::EditLineCopy, 1, "行のコピー(&L)", nullptr, nullptr, true, "行のコピー", nullptr,
     "linecopy"},
    {Command::EditLinePaste, 1, "行の貼り付け(&I)", nullptr, nullptr, false, "行の貼り付け",
     nullptr, "linepaste"},
    // Keys a line editor leaves alone, so they work while a cell is being edited.
    {Command::EditLineAdd, 1, "行の追加(&A)", "Ctrl+Return", nullptr, true, "行の追加", "list-add",
     "lineadd"},
    {Command::EditLineDel, 1, "行の削除(&D)", "Ctrl+Shift+Delete", nullptr, false, "行の削除",
     "list-remove", "linedel"},
    {Command::EditLineSelect, 1, "行の選択(&S)", "Shift+Space", nullptr, false, nullptr, nullptr,
     nullptr},
    {Command::EditConfirmDelete, 1, "行の削除前に確認する", nullptr, nullptr, true, nullptr,
     nullptr, nullptr},
    {Command::GoToDebtor, 2, "借方科目に移動(&D)", nullptr, nullptr, false, "借方科目に移動",
     nullptr, "debtor"},
    {Command::GoToCredit, 2, "貸方科目に移動(&C)", nullptr, nullptr, false, "貸方科目に移動",
     nullptr, "credit"},
    {Command::GoToJournal, 2, "仕訳帳に移動(&J)", nullptr, nullptr, true, "仕訳帳に移動", "go-home",
     "journal"},
    {Command::GoToLedger, 2, "相手科目に移動(&L)", "Ctrl+L", nullptr, false, "相手科目に移動",
     "go-jump", "ledger"},
    {Command::OperatePost, 3, "選択された行の転記(&P)...", "Ctrl+T", nullptr, false, "行の転記",
     nullptr, "post"},
    {Command::OperatePostAll, 3, "すべての行の転記(&A)...", nullptr, nullptr, false, "すべて転記",
     nullptr, "postall"},
    {Command::OperateSort, 3, "日付順に整列(&S)", nullptr, nullptr, false, "日付順に整列",
     "view-sort-ascending", "sort"},
    {Command::DataSubject, 4, "勘定科目一覧(&C)", nullptr, nullptr, false, nullptr, nullptr,
     nullptr},
    {Command::DataSummary, 4, "摘要一覧(&S)", nullptr, nullptr, false, nullptr, nullptr, nullptr},
    {Command::DataImport, 4, "明細の取り込み…", nullptr, nullptr, true, nullptr, nullptr, nullptr},
    {Command::AmountTable, 5, "テーブルに出力(&T)", nullptr, nullptr, false, nullptr, nullptr,
     nullptr},
    {Command::AmountCompare, 5, "比較集計をする(&C)", nullptr, nullptr, false, nullptr, nullptr,
     nullptr},
    {Command::AmountSchema, 5, "スキーマを使用する(&S)", nullptr, nullptr, false, nullptr, nullptr,
     nullptr},
    {Command::WindowSort, 6, "フォームの整列(&S)", nullptr, nullptr, false, nullptr, nullptr,
     nullptr},
    {Command::Help, 7, "Zentabo ヘルプ", nullptr, nullptr, false, nullptr, nullptr, nullptr},
    {Command::About, 7, "バージョン情報(&A)...", nullptr, nullptr, false, nullptr, nullptr,
     nullptr},
};

constexpr const char* kMenuCaptions[] = {"ファイル(&F)",   "編集(&E)",   "移動(&G)",
                                         "操作(&O)",       "データ(&D)", "集計(&A)",
                                         "ウィンドウ(&W)", "ヘルプ(&H)"};

// Tool buttons after which the tool bar has a separator.
constexpr Command kToolGroupEnds[] = {Command::FileSave,       Command::FileCSVOut,
                                      Command::PrinterSetting, Command::EditLinePaste,
                                      Command::EditLineDel,    Command::GoToLedger};

QIcon CommandIcon(const CommandSpec& spec) {
  const QIcon fallback(QStringLiteral(":/icons/%1.png").arg(QLatin1String(spec.fallbackIcon)));
  if (!spec.themeIcon) return fallback;
  return QIcon::fromTheme(QLatin1String(spec.themeIcon), fallback);
}

}  // namespace

void MdiCommands::Build(QMainWindow& window, QToolBar& toolBar, std::function<void(Command)> run,
                        std::function<void(int)> runRecent) {
  QMenuBar* bar = window.menuBar();
  for (int m = 0; m < 8; ++m) {
    menus_[static_cast<std::size_t>(m)] = bar->addMenu(QString::fromUtf8(kMenuCaptions[m]));
  }
  windowMenu_ = menus_[6];
  for (const CommandSpec& spec : kSpecs) {
    QMenu* menu = menus_[static_cast<std::size_t>(spec.menu)];
    if (spec.command == Command::FileExit) {
      // The recent files stand between the printer items and "終了(&X)".
      recentSeparator_ = menu->addSeparator();
      recentSeparator_->setVisible(false);
      for (int i = 0; i < kRecentCount; ++i) {
        QAction* item = menu->addAction(QStringLiteral("RecentFile%1").arg(i + 1));
        item->setVisible(false);
        QObject::connect(item, &QAction::triggered, &window, [this, item, i, runRecent] {
          if (Offered(item)) runRecent(i);
        });
        recent_[static_cast<std::size_t>(i)] = item;
      }
    }
    if (spec.separatorBefore) menu->addSeparator();
    QString caption = QString::fromUtf8(spec.caption);
    if (spec.keyText) caption += QLatin1Char('\t') + QLatin1String(spec.keyText);
    QAction* item = menu->addAction(caption);
    if (spec.shortcut) item->setShortcut(QKeySequence(QLatin1String(spec.shortcut)));
    const Command command = spec.command;
    QObject::connect(item, &QAction::triggered, &window, [this, item, command, run] {
      if (Offered(item)) run(command);
    });
    menuItems_[Index(command)] = item;
  }
  // Redo answers both keys users know it by.
  MenuItem(Command::EditRedo)
      ->setShortcuts(
          {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
  MenuItem(Command::EditConfirmDelete)->setCheckable(true);
  SetUndoItems({}, {});

  toolBar.setMovable(false);
  toolBar.setFloatable(false);
  toolBar.setIconSize(QSize(16, 16));
  toolBar.setFixedHeight(29);
  toolBar.setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (const CommandSpec& spec : kSpecs) {
    if (!spec.hint) continue;
    QAction* button = toolBar.addAction(CommandIcon(spec), QString::fromUtf8(spec.hint));
    button->setToolTip(QString::fromUtf8(spec.hint));
    const Command command = spec.command;
    QObject::connect(button, &QAction::triggered, &window, [command, run] { run(command); });
    toolButtons_[Index(command)] = button;
    for (Command end : kToolGroupEnds) {
      if (end == command) toolBar.addSeparator();
    }
  }
}

bool MdiCommands::Offered(QAction* item) const {
  if (!item->isEnabled()) return false;
  for (QMenu* menu : menus_) {
    if (menu->actions().contains(item)) return menu->menuAction()->isEnabled();
  }
  return true;
}

void MdiCommands::SetRecentItem(int index, const QString& path, bool visible) {
  QAction* item = recent_[static_cast<std::size_t>(index)];
  // The caption is the path exactly: a "&" in it must not become an accelerator.
  QString caption = path;
  caption.replace(QLatin1Char('&'), QLatin1String("&&"));
  item->setText(caption);
  item->setData(path);
  if (visible) {
    item->setVisible(true);
    recentSeparator_->setVisible(true);
  }
}

void MdiCommands::SetItem(Command command, bool on) {
  menuItems_[Index(command)]->setEnabled(on);
}

void MdiCommands::SetTool(Command command, bool on) {
  if (QAction* button = toolButtons_[Index(command)]) button->setEnabled(on);
}

void MdiCommands::SetBoth(Command command, bool on) {
  SetItem(command, on);
  SetTool(command, on);
}

void MdiCommands::SetMenu(int menu, bool on) {
  menus_[static_cast<std::size_t>(menu)]->menuAction()->setEnabled(on);
}

void MdiCommands::SetNoBookCommands() {
  for (Command c : {Command::FileNew, Command::FileOpen}) SetBoth(c, true);
  SetItem(Command::FileCSV, true);
  for (QAction* item : recent_) item->setEnabled(true);
  SetItem(Command::FileClose, false);
  SetItem(Command::FileSaveAs, false);
  SetItem(Command::FileRestoreBackup, false);
  for (Command c : {Command::FileSave, Command::FileTextOut, Command::FileCSVOut, Command::Print,
                    Command::PrintPreview, Command::PrinterSetting})
    SetBoth(c, false);
  for (int menu = 1; menu <= 6; ++menu) SetMenu(menu, false);
  for (Command c :
       {Command::EditCellCopy, Command::EditCellPaste, Command::EditLineCopy,
        Command::EditLinePaste, Command::EditLineAdd, Command::EditLineDel, Command::GoToDebtor,
        Command::GoToCredit, Command::OperatePost, Command::OperatePostAll, Command::OperateSort,
        Command::GoToJournal, Command::GoToLedger})
    SetTool(c, false);
}

void MdiCommands::SetBookCommands() {
  for (Command c : {Command::FileNew, Command::FileOpen}) SetBoth(c, false);
  SetItem(Command::FileCSV, false);
  for (QAction* item : recent_) item->setEnabled(false);
  SetItem(Command::FileClose, true);
  SetItem(Command::FileSaveAs, true);
  SetItem(Command::FileRestoreBackup, true);
  for (Command c : {Command::FileSave, Command::FileTextOut, Command::FileCSVOut, Command::Print,
                    Command::PrintPreview, Command::PrinterSetting})
    SetBoth(c, true);
  for (int menu = 1; menu <= 6; ++menu) SetMenu(menu, true);
  SetJournalItems(true);
  for (Command c : {Command::GoToDebtor, Command::GoToCredit, Command::OperatePost,
                    Command::OperatePostAll, Command::OperateSort})
    SetTool(c, true);
  SetTool(Command::GoToJournal, false);
  SetTool(Command::GoToLedger, false);
}

void MdiCommands::SetJournalItems(bool on) {
  for (Command c : {Command::EditCellCopy, Command::EditCellPaste, Command::EditLineCopy,
                    Command::EditLinePaste, Command::EditLineAdd, Command::EditLineDel})
    SetBoth(c, on);
}

void MdiCommands::SetUndoItems(const QString& undoLabel, const QString& redoLabel) {
  QAction* undo = MenuItem(Command::EditUndo);
  QAction* redo = MenuItem(Command::EditRedo);
  undo->setText(undoLabel.isEmpty() ? QStringLiteral("元に戻す")
                                    : QStringLiteral("元に戻す: ") + undoLabel);
  redo->setText(redoLabel.isEmpty() ? QStringLiteral("やり直し")
                                    : QStringLiteral("やり直し: ") + redoLabel);
  undo->setEnabled(!undoLabel.isEmpty());
  redo->setEnabled(!redoLabel.isEmpty());
}

void MdiCommands::SetJournalCommands() {
  SetMenu(1, true);
  SetJournalItems(true);
  for (Command c : {Command::GoToDebtor, Command::GoToCredit, Command::OperatePost})
    SetBoth(c, true);
  for (Command c : {Command::GoToJournal, Command::GoToLedger}) SetBoth(c, false);
}

void MdiCommands::SetLedgerCommands() {
  // The menu stays for undo and redo, which reach the ledgers' changes too; its journal
  // commands are off.
  SetMenu(1, true);
  SetJournalItems(false);
  for (Command c : {Command::GoToDebtor, Command::GoToCredit, Command::OperatePost})
    SetBoth(c, false);
  for (Command c : {Command::GoToJournal, Command::GoToLedger}) SetBoth(c, true);
}

}  // namespace desktop
