#pragma once

#include <QDate>
#include <QObject>
#include <QTest>
#include <memory>

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/tjournalform.h"
#include "desktop_fixture.h"
#include "engine/app/app_folder.h"
#include "engine/base/date.h"
#include "engine/tables/journal_grid.h"

namespace desktop_tests {

// The base of the tests that drive the main window over a SampleBook: the program folder is
// the book's root, so "zntbk.ini" lands there, and today is 2025/06/14.
class BookWindowTest : public QObject {
 protected:
  std::unique_ptr<SampleBook> book_;
  std::unique_ptr<engine::AppFolderOverride> folder_;
  std::unique_ptr<engine::TodayOverride> today_;
  std::unique_ptr<desktop::TAccMDI> window_;

  // Shows the main window for `book` without opening it.
  void StartWindow(std::unique_ptr<SampleBook> book = std::make_unique<SampleBook>()) {
    book_ = std::move(book);
    folder_ = std::make_unique<engine::AppFolderOverride>(book_->Root());
    today_ = std::make_unique<engine::TodayOverride>(QDate(2025, 6, 14));
    window_ = std::make_unique<desktop::TAccMDI>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void OpenBook() { window_->Book().OpenBook(book_->Index()); }

  // The open book's journal, its window and its grid.
  engine::TJournalGrid& Journal() { return *window_->Book().Journal(); }
  desktop::tjournalform& Form() {
    return *static_cast<desktop::tjournalform*>(window_->FormOf(Journal()));
  }
  desktop::AccGridView& Grid() { return *Form().grid; }

  // Nothing is modified unless a test says so, so closing asks nothing; a leftover prompt
  // would block here.
  void StopWindow() {
    if (window_ && window_->Book().IsOpen()) window_->Book().CloseBook();
    window_.reset();
    today_.reset();
    folder_.reset();
    book_.reset();
  }
};

}  // namespace desktop_tests
