// The main window driven as the user drives it: start-up, opening a book, the child windows
// and tabs, the command states, and the save prompt on closing.

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/tbookform.h"
#include "desktop_fixture.h"
#include "engine/base/date.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "test_registry.h"

namespace desktop_tests {

using desktop::Command;

class MainWindowTest : public BookWindowTest {
  Q_OBJECT

 private:

  desktop::TAccMDI& Window() { return *window_; }
  desktop::MdiCommands& Commands() { return window_->Commands(); }
  QString Panel(int i) { return window_->StatusPanel(i)->text(); }

  void Start(int extraLedgers = 0) { StartWindow(std::make_unique<SampleBook>(extraLedgers)); }
  void Open() { OpenBook(); }
  QStringList Tabs() {
    QStringList tabs;
    for (int i = 0; i < window_->TabBar()->count(); ++i) tabs << window_->TabBar()->tabText(i);
    return tabs;
  }
  desktop::tbookform* Ledger(std::size_t i) { return window_->FormOf(window_->Book().LedgerAt(i)); }
  desktop::tbookform* JournalForm() { return window_->FormOf(*window_->Book().Journal()); }

 private slots:
  void cleanup() {
    StopWindow();
  }

  void startsWithOnlyTheNoBookCommands() {
    Start();
    // A missing settings file: four fifths of the screen, centred.
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(Window().size(), room.size() * 0.8);
    QCOMPARE(Window().geometry().center(), room.center());
    struct Expect {
      Command command;
      bool on;
    };
    const Expect expected[] = {
        {Command::FileNew, true},       {Command::FileOpen, true},
        {Command::FileCSV, true},       {Command::FileExit, true},
        {Command::Help, true},          {Command::About, true},
        {Command::FileClose, false},    {Command::FileSave, false},
        {Command::FileTextOut, false},  {Command::Print, false},
        {Command::EditCellCopy, false}, {Command::GoToDebtor, false},
        {Command::OperatePost, false},  {Command::OperatePostAll, false},
        {Command::DataSubject, false},  {Command::AmountTable, false},
        {Command::WindowSort, false},
    };
    for (const Expect& e : expected) {
      QCOMPARE(Commands().Offered(Commands().MenuItem(e.command)), e.on);
      if (QAction* tool = Commands().ToolButton(e.command)) QCOMPARE(tool->isEnabled(), e.on);
    }
    for (Command tool : {Command::GoToJournal, Command::GoToLedger, Command::OperateSort})
      QVERIFY(!Commands().ToolButton(tool)->isEnabled());
    QCOMPARE(Panel(0), QString());
    QCOMPARE(Panel(1), QString());
    QCOMPARE(Panel(2), QString());
    QCOMPARE(Panel(3), QStringLiteral("2025/06/14"));
    QCOMPARE(Panel(4), QString());
    QVERIFY(!Commands().RecentSeparator()->isVisible());
    for (int i = 0; i < 4; ++i) QVERIFY(!Commands().RecentItem(i)->isVisible());

    // Leaving writes the placement, creating the settings file.
    Window().move(44, 55);
    window_.reset();
    const engine::AppSettings ini;
    QVERIFY(ini.HasPlacement());
    QCOMPARE(ini.ReadPlacement(), (engine::WindowPlacement{44, 55, qRound(room.width() * 0.8),
                                                           qRound(room.height() * 0.8)}));
  }

  void menusAndToolBarStandAsDesigned() {
    Start();
    QStringList menus;
    for (QMenu* menu : Commands().Menus()) menus << menu->title();
    QCOMPARE(menus, QStringList({"ファイル(&F)", "編集(&E)", "移動(&G)", "操作(&O)", "データ(&D)",
                                 "集計(&A)", "ウィンドウ(&W)", "ヘルプ(&H)"}));
    QStringList file;
    for (QAction* item : Commands().Menus()[0]->actions())
      file << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(file, QStringList({"新しい家計簿(&N)",
                                "家計簿を開く(&O)...",
                                "CSVファイル(仕訳帳)から新規に作成...",
                                "-",
                                "家計簿を閉じる(&C)",
                                "家計簿の保存(&S)",
                                "名前を付けて保存…",
                                "バックアップから復元…",
                                "-",
                                "テキスト出力",
                                "CSV出力",
                                "-",
                                "印刷(&P)",
                                "印刷プレビュー(&V)",
                                "プリンタの設定",
                                "-",
                                "RecentFile1",
                                "RecentFile2",
                                "RecentFile3",
                                "RecentFile4",
                                "-",
                                "終了(&X)"}));
    // Ctrl+P prints; the cell-paste item only shows the key.
    QCOMPARE(Commands().MenuItem(Command::Print)->shortcut(), QKeySequence("Ctrl+P"));
    QVERIFY(Commands().MenuItem(Command::EditCellPaste)->shortcut().isEmpty());
    QVERIFY(Commands().MenuItem(Command::EditCellPaste)->text().endsWith("\tCtrl+P"));
    QStringList tools;
    for (QAction* button : Window().ToolBar()->actions())
      tools << (button->isSeparator() ? QStringLiteral("-") : button->toolTip());
    QCOMPARE(tools, QStringList({"新しい家計簿",
                                 "家計簿を開く",
                                 "家計簿の保存",
                                 "-",
                                 "テキスト出力",
                                 "CSV出力",
                                 "-",
                                 "印刷",
                                 "印刷プレビュー",
                                 "プリンタ設定",
                                 "-",
                                 "セルのコピー",
                                 "セルの貼り付け",
                                 "行のコピー",
                                 "行の貼り付け",
                                 "-",
                                 "行の追加",
                                 "行の削除",
                                 "-",
                                 "借方科目に移動",
                                 "貸方科目に移動",
                                 "仕訳帳に移動",
                                 "相手科目に移動",
                                 "-",
                                 "行の転記",
                                 "すべて転記",
                                 "日付順に整列"}));
    for (QAction* button : Window().ToolBar()->actions())
      if (!button->isSeparator())
        QVERIFY2(!button->icon().pixmap(16, 16).isNull(), qPrintable(button->toolTip()));
  }

  void openingArrangesTheWindows() {
    Start(6);
    Window().resize(500, 400);
    Open();
    const int clientHeight = Window().ClientHeight();
    QCOMPARE(Window().windowTitle(), engine::FromCp932(book_->Index()));
    QCOMPARE(Tabs(), QStringList({"仕訳帳", "食費", "現金", "科目1", "科目2", "科目3", "科目4",
                                  "科目5", "科目6"}));
    QCOMPARE(JournalForm()->pos(), QPoint(0, 0));
    QCOMPARE(JournalForm()->width(), 495);
    QCOMPARE(JournalForm()->contentsRect().height(), (clientHeight / 5) * 3);
    QVERIFY(!JournalForm()->IsMinimized());
    // Three minimized ledgers fit a row of 500 pixels; the rest wrap 24 pixels higher.
    const QPoint places[] = {{0, clientHeight - 99},    {160, clientHeight - 99},
                             {320, clientHeight - 99},  {0, clientHeight - 123},
                             {160, clientHeight - 123}, {320, clientHeight - 123},
                             {0, clientHeight - 147},   {160, clientHeight - 147}};
    for (std::size_t i = 0; i < 8; ++i) {
      QVERIFY(Ledger(i)->IsMinimized());
      QCOMPARE(Ledger(i)->pos(), places[i]);
    }
    QCOMPARE(Panel(0), QStringLiteral("仕訳帳"));
    QVERIFY(Commands().Offered(Commands().MenuItem(Command::FileSave)));
    QVERIFY(!Commands().Offered(Commands().MenuItem(Command::FileOpen)));
    QVERIFY(Commands().Offered(Commands().MenuItem(Command::GoToDebtor)));
    // The journal's last line is selected for typing.
    engine::TJournalGrid& journal = *Window().Book().Journal();
    QCOMPARE(journal.FocusedRow(), journal.RowCount() - 1);
    QCOMPARE(Commands().RecentItem(0)->text(), engine::FromCp932(book_->Index()));
    QVERIFY(Commands().RecentItem(0)->isVisible());
  }

  void tabsActivateWindowsAndSwitchCommands() {
    Start();
    Open();
    Window().TabBar()->setCurrentIndex(1);  // 食費, minimized
    desktop::tbookform* food = Ledger(0);
    QVERIFY(!food->IsMinimized());
    QCOMPARE(Window().MdiArea()->currentSubWindow(), food);
    QCOMPARE(Panel(0), QStringLiteral("食費"));
    QVERIFY(!Commands().Offered(Commands().MenuItem(Command::GoToDebtor)));
    QVERIFY(!Commands().Offered(Commands().MenuItem(Command::EditCellCopy)));
    QVERIFY(!Commands().ToolButton(Command::EditLineAdd)->isEnabled());
    QVERIFY(Commands().Offered(Commands().MenuItem(Command::GoToJournal)));
    QVERIFY(Commands().ToolButton(Command::GoToJournal)->isEnabled());

    // The close box only minimizes; the tab and the table stay.
    food->close();
    QVERIFY(food->IsMinimized());
    QCOMPARE(Tabs().size(), 3);
    QCOMPARE(Window().Book().LedgerCount(), std::size_t{2});

    Window().TabBar()->setCurrentIndex(0);
    QCOMPARE(Window().MdiArea()->currentSubWindow(), JournalForm());
    QCOMPARE(Panel(0), QStringLiteral("仕訳帳"));
    QVERIFY(Commands().Offered(Commands().MenuItem(Command::GoToDebtor)));
    QVERIFY(Commands().ToolButton(Command::EditLineAdd)->isEnabled());
    QVERIFY(!Commands().Offered(Commands().MenuItem(Command::GoToJournal)));
    QVERIFY(!Commands().ToolButton(Command::GoToJournal)->isEnabled());
  }

  void windowMenuListsTheChildWindows() {
    Start();
    Open();
    QMenu* menu = Commands().WindowMenu();
    for (int round = 0; round < 2; ++round) {  // refilled, not appended to
      emit menu->aboutToShow();
      QStringList items;
      for (QAction* item : menu->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
      QCOMPARE(items, QStringList({"フォームの整列(&S)", "-", "仕訳帳", "食費", "現金"}));
    }
    menu->actions().at(4)->trigger();
    QCOMPARE(Window().MdiArea()->currentSubWindow(), Ledger(1));
    QVERIFY(!Ledger(1)->IsMinimized());
    // Arranging minimizes it again and puts the journal back in front.
    Commands().MenuItem(Command::WindowSort)->trigger();
    QVERIFY(Ledger(1)->IsMinimized());
    QCOMPARE(Ledger(1)->pos(), QPoint(160, Window().ClientHeight() - 99));
  }

  void closingAsksToSave_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<bool>("written");
    QTest::newRow("yes saves") << int(QMessageBox::Yes) << false << true;
    QTest::newRow("no drops the change") << int(QMessageBox::No) << false << false;
    QTest::newRow("cancel keeps the book") << int(QMessageBox::Cancel) << true << false;
  }

  void closingAsksToSave() {
    QFETCH(int, answer);
    QFETCH(bool, stillOpen);
    QFETCH(bool, written);
    Start();
    Open();
    engine::TJournalGrid& journal = *Window().Book().Journal();
    const std::string before = book_->Bytes("仕訳帳.txt");
    // Swap the two lines: a change that reaches the journal file.
    journal.MoveRow(2, 1);
    journal.LineMoved(2, 1);
    QVERIFY(Window().Book().Modified());
    {
      ModalAnswers answers({static_cast<QMessageBox::StandardButton>(answer)});
      Commands().MenuItem(Command::FileClose)->trigger();
      QCOMPARE(answers.Texts().size(), 1);
      QVERIFY(answers.Texts()[0].contains(QStringLiteral("を保存しますか")));
    }
    QCOMPARE(Window().Book().IsOpen(), stillOpen);
    QCOMPARE(book_->Bytes("仕訳帳.txt") != before, written);
    if (stillOpen) {
      // Closing the main window asks again; Cancel keeps it.
      ModalAnswers answers({QMessageBox::Cancel});
      QVERIFY(!Window().close());
      QVERIFY(Window().isVisible());
      QVERIFY(Window().Book().IsOpen());
      QCOMPARE(book_->Bytes("仕訳帳.txt"), before);
      Window().Book().CloseBook();
      return;
    }
    // Reopened, the book shows what the files hold.
    Open();
    const char* first = written ? "25/06/02" : "25/06/01";
    QCOMPARE(Window().Book().Journal()->Cell(1, 1), std::string_view(first));
    QVERIFY(!Window().Book().Modified());
  }

  void savingKeepsTheFilesAsTheyWere() {
    Start();
    Open();
    const std::string journal = book_->Bytes("仕訳帳.txt");
    const std::string food = book_->Bytes("食費.txt");
    Commands().MenuItem(Command::FileSave)->trigger();
    QCOMPARE(book_->Bytes("仕訳帳.txt"), journal);
    QCOMPARE(book_->Bytes("食費.txt"), food);
    QVERIFY(!Window().Book().Modified());
  }

  void recentFileCaptionKeepsAmpersands() {
    Start();
    Commands().SetRecentItem(1, QStringLiteral("/tmp/a&b/家計.txt"), true);
    QCOMPARE(Commands().RecentItem(1)->text(), QStringLiteral("/tmp/a&&b/家計.txt"));
    QVERIFY(Commands().RecentSeparator()->isVisible());
  }
};

REGISTER_DESKTOP_TEST(MainWindowTest);

}  // namespace desktop_tests

#include "main_window_test.moc"
