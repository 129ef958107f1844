#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "../app/book_fixture.h"
#include "fake_ui.h"

namespace engine::testing {

// An open book on disk, "家計2025" in a temporary folder, with the subjects a household
// uses and no lines yet; lines are added and posted as the journal does it.
class PlanBookTest : public BookTest {
 protected:
  const char* FolderName() const override { return "家計2025"; }

  static std::vector<const char*> Subjects() {
    return {"現金", "普通預金", "食費", "家賃", "給与", "元入金", "クレジット"};
  }

  void SetUp() override {
    BookTest::SetUp();
    std::vector<std::string> index{P("勘定科目.txt"), P("摘要.txt"), P("集計設定.txt"),
                                   P("仕訳帳.txt")};
    std::vector<std::string> subjects;
    for (const char* s : Subjects()) {
      Write(P(s) + ".txt", {});
      index.push_back(P(s) + ".txt");
      subjects.push_back(Sjis(s));
    }
    subjects[2] += "\t" + Sjis("現金");  // 食費 is paid in cash by default
    Write(P("仕訳帳.txt"), {});
    Write(P("勘定科目.txt"), subjects);
    Write(P("摘要.txt"), {Sjis("昼食")});
    Write(P("家計2025.txt"), index);
    book.OpenBook(P("家計2025.txt"));
    ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  }

  std::vector<std::string> Lines(const std::string& path) {
    return ReadTextLines(PathFromCp932(path));
  }

  // A posted journal line, as typed and posted by the user.
  void Post(const char* date, const char* amount, const char* debit, const char* credit,
            const char* summary = "昼食") {
    TJournalGrid& journal = *book.Journal();
    int row = journal.RowCount() - 1;
    if (!journal.RowAt(row).IsEmpty()) {
      journal.AppendRow();
      row = journal.RowCount() - 1;
    }
    const std::string cells[6] = {date, amount, Sjis(debit), Sjis(summary), Sjis(credit), amount};
    for (int c = 1; c <= 6; ++c) journal.SetCell(c, row, cells[c - 1]);
    journal.PostRow(row);
    journal.AppendRow();
  }

  TLedgerGrid& Ledger(const char* subject) { return *book.FindLedger(Sjis(subject)); }
};

}  // namespace engine::testing
