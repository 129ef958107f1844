#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cmath>

#include "desktop/lists/tsubjectdialog.h"
#include "desktop/lists/tsummarydialog.h"
#include "engine/base/cp932.h"
#include "engine/lists/subject_store.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_fixture.h"
#include "support/modal_driver.h"
#include "test_registry.h"

using desktop_tests::BookFixture;
using desktop_tests::ModalDriver;

namespace {

QStringList Row(const desktop::titemdialog& dialog, int row) {
  QStringList texts;
  const QAbstractItemModel* model = dialog.grid->model();
  for (int column = 0; column < model->columnCount(); ++column) {
    texts << model->index(row, column).data().toString();
  }
  return texts;
}

QStringList Column0(const desktop::titemdialog& dialog) {
  QStringList texts;
  for (int row = 0; row < dialog.grid->model()->rowCount(); ++row) texts << Row(dialog, row)[0];
  return texts;
}

void ClickRow(desktop::titemdialog& dialog, int row) {
  const QRect cell = dialog.grid->visualRect(dialog.grid->model()->index(row, 0));
  QTest::mouseClick(dialog.grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// Types the name and presses the button with no window expected; the messages shown, if any.
QStringList Press(desktop::titemdialog& dialog, QPushButton* button, const QString& name,
                  int expectedBoxes) {
  ModalDriver driver;
  for (int i = 0; i < expectedBoxes; ++i) driver.Box();
  dialog.eitem->setText(name);
  button->click();
  if (!driver.Done()) return {QStringLiteral("a message box did not come")};
  return driver.Messages() + driver.Unexpected();
}

// A book of 家計2024 whose CSV lines post amounts to 食費 on both sides (balance 0) and to 現金.
void UsedBook(BookFixture& f) {
  f.BookFromCsv(QStringLiteral("家計2024.csv"),
                {QStringLiteral("25/01/05,500,食費,昼食,現金,500"),
                 QStringLiteral("25/01/06,500,現金,返品,食費,500")});
}

}  // namespace

class ListDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void newBookStartsWithOneEmptyRow() {
    BookFixture f;
    f.NewBook(QStringLiteral("家計2024"));
    desktop::tsubjectdialog dialog(f.book);
    QCOMPARE(dialog.grid->model()->rowCount(), 1);
    QCOMPARE(Row(dialog, 0), QStringList(5));
    QVERIFY(!dialog.btndel->isEnabled());

    QCOMPARE(Press(dialog, dialog.btnadd, QStringLiteral("食費"), 0), QStringList());
    QCOMPARE(dialog.grid->model()->rowCount(), 1);
    QCOMPARE(Row(dialog, 0), (QStringList{QStringLiteral("食費"), "", "0", "0", "0"}));
    QVERIFY(dialog.btndel->isEnabled());
    QCOMPARE(f.book.LedgerCount(), std::size_t{1});
    QCOMPARE(engine::FromCp932(f.book.LedgerAt(0).Caption()), QStringLiteral("食費"));
    QVERIFY(f.book.Modified());
  }

  // Each refusal is said once and changes nothing.
  void refusals_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "btnadd"
                           << ""
                           << "名前を入力してください";
    QTest::newRow("used") << "btnadd"
                          << "食費"
                          << "食費 は既に使用されています";
    QTest::newRow("letter case") << "btnadd"
                                 << "CARD"
                                 << "CARD は既に使用されています";
    QTest::newRow("heading") << "btnadd"
                             << "勘定科目"
                             << "";
    QTest::newRow("book name") << "btnadd"
                               << "家計2024"
                               << "家計簿と同じ名前は使用できません";
    QTest::newRow("journal") << "btnadd"
                             << "仕訳帳"
                             << "仕訳帳と同じ名前は使用できません";
    QTest::newRow("not cp932") << "btnadd"
                               << "食費♥"
                               << "「♥」はシフト JIS (CP932) で表せない文字のため使用できません";
    QTest::newRow("delete unselected") << "btndel"
                                       << "現金"
                                       << "削除する項目を選択してください";
    QTest::newRow("delete used") << "btndel"
                                 << "食費"
                                 << "食費 は使用されています";
    QTest::newRow("own counterpart") << "btncouple"
                                     << "食費"
                                     << "勘定科目と同じ科目には設定できません";
    QTest::newRow("unknown counterpart") << "btncouple"
                                         << "電気"
                                         << "存在しない勘定科目には設定できません";
  }
  void refusals() {
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(QString, message);
    BookFixture f;
    UsedBook(f);
    f.book.AddSubject("card");
    desktop::tsubjectdialog dialog(f.book);
    const std::size_t ledgers = f.book.LedgerCount();
    const QStringList before = Column0(dialog);
    QCOMPARE(Row(dialog, 0), (QStringList{QStringLiteral("食費"), "", "500", "500", "0"}));
    auto* pressed = dialog.findChild<QPushButton*>(button);
    QVERIFY(pressed);
    const QStringList said = Press(dialog, pressed, name, message.isEmpty() ? 0 : 1);
    QCOMPARE(said, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(Column0(dialog), before);
    QCOMPARE(f.book.LedgerCount(), ledgers);
    QCOMPARE(Row(dialog, 0)[1], QString());
  }

  void counterpartAndDeletion() {
    BookFixture f;
    f.NewBook(QStringLiteral("家計2024"));
    desktop::tsubjectdialog dialog(f.book);
    dialog.show();
    for (const QString& name :
         {QStringLiteral("食費"), QStringLiteral("現金"), QStringLiteral("電気")}) {
      QCOMPARE(Press(dialog, dialog.btnadd, name, 0), QStringList());
    }
    QCOMPARE(Column0(dialog),
             (QStringList{QStringLiteral("食費"), QStringLiteral("現金"), QStringLiteral("電気")}));
    // A click copies the row's subject into the edit.
    ClickRow(dialog, 0);
    QCOMPARE(dialog.eitem->text(), QStringLiteral("食費"));
    QCOMPARE(Press(dialog, dialog.btncouple, QStringLiteral("現金"), 0), QStringList());
    ClickRow(dialog, 2);
    QCOMPARE(Press(dialog, dialog.btncouple, QStringLiteral("現金"), 0), QStringList());
    QCOMPARE(Row(dialog, 0)[1], QStringLiteral("現金"));
    engine::SubjectStore& store = f.book.Journal()->Subjects();
    QCOMPARE(store.Counterpart(engine::Sjis("食費")), engine::Sjis("現金"));

    // Deleting 現金 clears it as the others' counterpart, in the grid and in the store.
    ClickRow(dialog, 1);
    QCOMPARE(Press(dialog, dialog.btndel, QStringLiteral("現金"), 0), QStringList());
    QCOMPARE(Column0(dialog), (QStringList{QStringLiteral("食費"), QStringLiteral("電気")}));
    QCOMPARE(Row(dialog, 0)[1], QString());
    QCOMPARE(Row(dialog, 1)[1], QString());
    QCOMPARE(store.Counterpart(engine::Sjis("食費")), std::string());
    QCOMPARE(f.book.LedgerCount(), std::size_t{2});
    QCOMPARE(dialog.eitem->text(), Row(dialog, dialog.grid->currentIndex().row())[0]);

    // An empty name clears the selected row's counterpart.
    ClickRow(dialog, 0);
    QCOMPARE(Press(dialog, dialog.btncouple, QStringLiteral("電気"), 0), QStringList());
    QCOMPARE(Row(dialog, 0)[1], QStringLiteral("電気"));
    QCOMPARE(Press(dialog, dialog.btncouple, QString(), 0), QStringList());
    QCOMPARE(Row(dialog, 0)[1], QString());
    QCOMPARE(store.Counterpart(engine::Sjis("食費")), std::string());
  }

  void subjectColumnsFollowTheWidth() {
    BookFixture f;
    f.NewBook(QStringLiteral("家計2024"));
    desktop::tsubjectdialog dialog(f.book);
    dialog.show();
    for (const int width : {379, 600}) {
      dialog.resize(width, 300);
      const int client = dialog.grid->viewport()->width();
      QTRY_COMPARE(dialog.grid->columnWidth(0), int(std::lround(client * 0.22)));
      QCOMPARE(dialog.grid->columnWidth(1), int(std::lround(client * 0.22)));
      QCOMPARE(dialog.grid->columnWidth(4), int(std::lround(client * 0.18)));
      QCOMPARE(dialog.grid->geometry(), QRect(0, 40, dialog.width(), dialog.height() - 40));
    }
  }

  void summaryDialog() {
    BookFixture f;
    UsedBook(f);
    desktop::tsummarydialog dialog(f.book);
    dialog.show();
    QCOMPARE(Column0(dialog), (QStringList{QStringLiteral("昼食"), QStringLiteral("返品")}));
    QCOMPARE(dialog.eitem->text(), QStringLiteral("昼食"));
    // A new summary goes to the bottom of the list, whatever its order.
    QCOMPARE(Press(dialog, dialog.btnadd, QStringLiteral("家賃"), 0), QStringList());
    QCOMPARE(Column0(dialog),
             (QStringList{QStringLiteral("昼食"), QStringLiteral("返品"), QStringLiteral("家賃")}));
    QCOMPARE(Press(dialog, dialog.btnadd, QStringLiteral("家計2024"), 1),
             QStringList{QStringLiteral("家計簿と同じ名前は使用できません")});
    QCOMPARE(Press(dialog, dialog.btnadd, QStringLiteral("摘要"), 0), QStringList());

    // Summaries in use may go; deleting the last leaves one empty row.
    for (int left = 3; left > 0; --left) {
      ClickRow(dialog, 0);
      QCOMPARE(Press(dialog, dialog.btndel, dialog.eitem->text(), 0), QStringList());
    }
    QCOMPARE(Column0(dialog), QStringList{QString()});
    QVERIFY(!dialog.btndel->isEnabled());
    QCOMPARE(dialog.eitem->text(), QString());
    QVERIFY(f.book.Journal()->Summaries().Summaries().empty());
    QCOMPARE(dialog.grid->columnWidth(0), dialog.grid->viewport()->width());
  }
};

REGISTER_DESKTOP_TEST(ListDialogsTest);

#include "list_dialogs_test.moc"
