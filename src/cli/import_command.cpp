#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "cli/book_access.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/import/import_history.h"
#include "engine/import/import_profile.h"
#include "engine/import/import_rules.h"
#include "engine/import/import_session.h"
#include "engine/tables/journal_grid.h"

namespace cli {

namespace {

namespace import = engine::import;
using engine::Sjis;

// What becomes of a statement row, for the listing.
std::string RowState(const import::PreviewRow& row) {
  if (!row.error.empty()) return Sjis("読めない");
  if (row.matchRow > 0) return Sjis("重複");
  if (row.importedBefore) return Sjis("取込済");
  if (row.subject.empty()) return Sjis("未割当");
  return Sjis("追加");
}

// Every row of the statement as it would enter the journal (or why it won't), in the
// journal's column order.
void ListRows(Output& out, Format format, const import::ImportPreview& preview) {
  TableWriter writer(out, format,
                     {{"line", true},
                      {"state", false},
                      {"date", false},
                      {"amount", true},
                      {"debit", false},
                      {"summary", false},
                      {"credit", false},
                      {"note", false}},
                     {Sjis("行"), Sjis("状態"), Sjis("日付"), Sjis("金額"), Sjis("借方"),
                      Sjis("摘要"), Sjis("貸方"), Sjis("備考")},
                     true);
  for (const import::PreviewRow& row : preview.rows) {
    std::string cells[8] = {std::to_string(row.line), RowState(row)};
    if (row.error.empty()) {
      char date[16];
      std::snprintf(date, sizeof date, "%02d/%02d/%02d", row.date.year % 100, row.date.month,
                    row.date.day);
      cells[2] = date;
      cells[3] = std::to_string(row.amount < 0 ? -static_cast<std::int64_t>(row.amount)
                                               : static_cast<std::int64_t>(row.amount));
      cells[4] = row.Out() ? row.subject : preview.account;
      cells[5] = row.summary;
      cells[6] = row.Out() ? preview.account : row.subject;
      if (row.matchRow > 0) {
        cells[7] = Sjis("仕訳帳の ") + std::to_string(row.matchRow) + Sjis(" 行目と同じ");
      } else if (row.importedBefore) {
        cells[7] = Sjis("前に取り込んだ行");
      } else {
        cells[7] = row.note;
      }
    } else {
      cells[7] = row.error;
    }
    writer.Row(std::span<const std::string>(cells));
  }
  writer.Finish();
}

}  // namespace

int RunImport(Context& context) {
  if (!context.Has("profile")) {
    PrintErrorUtf8(Tr("--profile でプロファイルの名前を指定してください") + " " +
                   Tr("('%1' で使い方を表示します)", {"zentabo-cli import --help"}));
    return kFailure;
  }
  const auto profileName = engine::ToCp932(QString::fromStdString(context.Value("profile")));
  if (!profileName) {
    PrintErrorUtf8(Tr("プロファイルの名前がシフト JIS (CP932) で表せません"));
    return kFailure;
  }
  const QString statementPath = context.operands[1];
  const QFileInfo statement(statementPath);
  if (!statement.isFile() || !statement.isReadable()) {
    PrintErrorUtf8(Tr("明細ファイル '%1' を読めません", {statementPath.toStdString()}));
    return kFailure;
  }
  const bool dryRun = context.Has("dry-run");
  OpenedBook opened;
  // Only a run that writes takes the lock; a dry run reads like the other commands.
  if (OpenBookFor(context, context.operands[0], opened, nullptr,
                  dryRun ? engine::Book::OpenMode::ReadOnly : engine::Book::OpenMode::Normal) !=
      kOk)
    return kFailure;
  engine::Book& book = *opened.book;
  if (!dryRun && book.ReadOnly()) {
    PrintErrorUtf8(Tr("家計簿に書き込めないため、取り込みません"));
    return kFailure;
  }

  std::vector<import::ImportRule> rules;
  import::ImportSettings settings;
  std::optional<import::RuleMatcher> matcher;
  import::ImportProfile profile;
  try {
    const auto profiles = import::ProfileStore(book.ImportProfilePath()).Load();
    const auto it = std::find_if(profiles.begin(), profiles.end(),
                                 [&](const auto& p) { return p.name == *profileName; });
    if (it == profiles.end()) {
      std::string names;
      for (const auto& p : profiles) names += (names.empty() ? "" : ", ") + Quoted(p.name);
      PrintErrorUtf8(
          Tr("プロファイル '%1' はこの家計簿にありません", {context.Value("profile")}) + " " +
          (names.empty() ? Tr("(プロファイルはまだありません)") : Tr("(あるのは %1)", {names})));
      return kFailure;
    }
    profile = *it;
    import::RuleFile(book.ImportRulePath()).Load(rules, settings);
    matcher.emplace(rules);
    book.ImportedRows().Load();
  } catch (const engine::Error& e) {
    PrintError(e.Message());
    return kFailure;
  }

  QFile file(statementPath);
  if (!file.open(QIODevice::ReadOnly)) {
    PrintErrorUtf8(Tr("明細ファイル '%1' を読めません", {statementPath.toStdString()}));
    return kFailure;
  }
  import::ImportPreview preview = import::BuildPreview(file, profile, *book.Journal(), *matcher,
                                                       &book.ImportedRows(), settings.dateWindow);
  if (!preview.error.empty() || !preview.fitProblems.empty()) {
    if (!preview.error.empty()) PrintError(preview.error);
    for (const std::string& problem : preview.fitProblems) PrintError(problem);
    PrintErrorUtf8(Tr("明細を取り込めません"));
    return kFailure;
  }
  // A line without its other side would be dropped by the save: such rows are left for the
  // dialog (or a rule) and stay importable next time.
  int unassigned = 0;
  for (import::PreviewRow& row : preview.rows) {
    if (row.error.empty()) {
      if (row.ticked && row.subject.empty()) {
        row.ticked = false;
        ++unassigned;
      }
    } else {
      PrintErrorUtf8(statementPath.toStdString() + ":" + std::to_string(row.line) + ": " +
                     engine::FromCp932(row.error).toStdString());
    }
  }

  Output out(stdout, context.encoding);
  ListRows(out, context.format, preview);
  import::ImportSummary summary;
  if (!dryRun) {
    try {
      summary = import::CommitImport(*book.Journal(), book.ImportedRows(), preview);
    } catch (const engine::Error& e) {
      PrintError(e.Message());
      return kFailure;
    }
    if (summary.added > 0 && !book.SaveBook()) {
      PrintErrorUtf8(Tr("家計簿を保存できなかったため、取り込んでいません"));
      return kFailure;
    }
  }
  PrintErrorUtf8(
      Tr(dryRun ? "%1 行を仕訳帳に追加します (未転記)" : "%1 行を仕訳帳に追加しました (未転記)",
         {std::to_string(preview.Ticked())}));
  if (const int duplicates = preview.Duplicates())
    PrintErrorUtf8(Tr("重複として %1 行を除きました", {std::to_string(duplicates)}));
  if (unassigned) {
    PrintErrorUtf8(
        Tr("相手科目の決まらない %1 行は取り込んでいません "
           "(ルールを足すか、プログラムの取り込みで選んでください)",
           {std::to_string(unassigned)}));
  }
  if (const int errors = preview.Errors())
    PrintErrorUtf8(Tr("読めなかった %1 行は取り込んでいません", {std::to_string(errors)}));
  return Finish(out, unassigned > 0 || preview.Errors() > 0 ? kFindings : kOk);
}

}  // namespace cli
