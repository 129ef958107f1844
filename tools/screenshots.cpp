// Makes the README's pictures from the real windows: the sample book open in the main window,
// the subject list, an aggregation and its result table, the print preview and the new-book
// dialog. Run by tools/screenshots.sh.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "desktop/amount/tamounttable.h"
#include "desktop/amount/tamounttabledialog.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/app/tnewdialog.h"
#include "desktop/base/fonts.h"
#include "desktop/lists/tsubjectdialog.h"
#include "desktop/print/tpreviewform.h"
#include "engine/app/app_folder.h"
#include "engine/base/cp932.h"
#include "engine/tables/journal_grid.h"

namespace {

bool Save(QWidget& widget, const QString& path) {
  QTest::qWait(200);
  const bool saved = widget.grab().save(path);
  if (!saved) qWarning("can't write %s", qPrintable(path));
  return saved;
}

// Runs `action` on the first modal window of type T once it is up.
template <typename T>
void OnModal(std::function<void(T&)> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    T* window = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!window) return;
    timer->stop();
    timer->deleteLater();
    action(*window);
  });
  timer->start(50);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zentabo"));
  QApplication::setFont(desktop::ApplicationFont());
  if (argc != 3) {
    qWarning("usage: zentabo_screenshots BOOK_INDEX OUTPUT_FOLDER");
    return 2;
  }
  const std::optional<std::string> index = engine::PathToCp932(QString::fromLocal8Bit(argv[1]));
  const QDir out(QString::fromLocal8Bit(argv[2]));
  // The settings file goes to a folder of its own, not beside the program.
  QTemporaryDir settings;
  engine::AppFolderOverride folder(*engine::PathToCp932(settings.path()));

  desktop::TAccMDI window;
  window.resize(960, 640);
  window.show();
  window.Book().OpenBook(index.value_or(std::string()));
  if (!window.Book().IsOpen()) return 1;
  bool saved = Save(window, out.filePath(QStringLiteral("main-window.png")));

  // A line deleted after its question, and the edit menu offering to take it back.
  window.Book().ShowJournalWindow();
  engine::TJournalGrid& journal = *window.Book().Journal();
  journal.MousePress(0, journal.RowCount() - 2);
  QTest::qWait(100);
  OnModal<QMessageBox>([&](QMessageBox& box) {
    saved = Save(box, out.filePath(QStringLiteral("delete-question.png"))) && saved;
    box.button(QMessageBox::Yes)->click();
  });
  window.Commands().MenuItem(desktop::Command::EditLineDel)->trigger();
  QMenu* edit = window.Commands().Menus()[1];
  edit->popup(window.mapToGlobal(QPoint(60, 24)));
  saved = Save(*edit, out.filePath(QStringLiteral("edit-menu.png"))) && saved;
  edit->close();
  window.Book().Undo();

  desktop::tsubjectdialog subjects(window.Book(), &window);
  subjects.resize(480, 420);
  subjects.show();
  saved = Save(subjects, out.filePath(QStringLiteral("subject-dialog.png"))) && saved;
  subjects.close();

  // The sample book's ready "table" set-up, run from the menu command.
  OnModal<desktop::tamounttabledialog>([&](desktop::tamounttabledialog& dialog) {
    saved = Save(dialog, out.filePath(QStringLiteral("aggregation-dialog.png"))) && saved;
    dialog.btnok->click();
  });
  OnModal<desktop::tamounttable>([&](desktop::tamounttable& table) {
    table.resize(620, 520);
    saved = Save(table, out.filePath(QStringLiteral("aggregation-table.png"))) && saved;
    table.reject();
  });
  window.AmountTableExecute();

  OnModal<desktop::TPreviewForm>([&](desktop::TPreviewForm& preview) {
    preview.resize(720, 640);
    saved = Save(preview, out.filePath(QStringLiteral("print-preview.png"))) && saved;
    preview.reject();
  });
  window.mnuPrintPreviewClick();

  window.Book().CloseBook();
  desktop::tnewdialog book(window.Book(), &window);
  book.pname->setText(QStringLiteral("家計簿2026"));
  book.show();
  saved = Save(book, out.filePath(QStringLiteral("new-book-dialog.png"))) && saved;
  return saved ? 0 : 1;
}
