#include "cli/commands.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <optional>

#include "cli/book_access.h"
#include "cli/cli.h"
#include "cli/messages.h"
#include "engine/amount/month_list.h"
#include "engine/amount/table_aggregation.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "engine/schema/schema_report.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace cli {

namespace {

using engine::Sjis;

// "yyyy/mm/dd", "yy/mm/dd" or the same with "-", read by the program's date rules.
std::optional<engine::Date> DateOption(const std::string& text) {
  std::string date = text;
  for (char& c : date) {
    if (c == '-') c = '/';
  }
  if (std::count(date.begin(), date.end(), '/') != 2) return std::nullopt;
  return engine::ParseDate(date, engine::Today().year());
}

// "yyyy/mm" or "yy/mm" (or with "-") as the month list's "yy/mm".
std::optional<std::string> MonthOption(const std::string& text) {
  const auto first = DateOption(text + "/01");
  if (!first) return std::nullopt;
  return engine::MonthText(*first);
}

int BadOption(const Context& context, const std::string& option, const std::string& value,
              const char* expected) {
  PrintErrorUtf8(Tr("%1 の値 '%2' は %3 ではありません", {"--" + option, value, Tr(expected)}) +
                 " " +
                 Tr("('%1' で使い方を表示します)",
                    {"zentabo-cli " + std::string(context.command.name) + " --help"}));
  return kFailure;
}

const std::vector<Column> kResultColumns = {
    {"name", false, false}, {"debit", true, true},         {"debit_share", false, true},
    {"credit", true, true}, {"credit_share", false, true}, {"difference", true, true}};

int WriteResult(Context& context, const engine::ResultGrid& grid) {
  Output out(stdout, context.encoding);
  const engine::ResultGrid::Row& heading = grid.rows.front();
  TableWriter writer(out, context.format, kResultColumns,
                     std::vector<std::string>(heading.begin(), heading.end()), true);
  for (std::size_t r = 1; r < grid.rows.size(); ++r) {
    const auto& row = grid.rows[r];
    // The program's output leaves out rows whose cells are all empty; so does this.
    if (std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); }))
      continue;
    writer.Row(std::span<const std::string>(row));
  }
  writer.Finish();
  return Finish(out, kOk);
}

// The month's index in the list, or -1 after saying it isn't there.
int MonthIndex(const std::vector<std::string>& months, const std::string& month,
               const std::string& given) {
  const auto it = std::find(months.begin(), months.end(), month);
  if (it != months.end()) return static_cast<int>(it - months.begin());
  PrintErrorUtf8(Tr("月 '%1' は仕訳帳の期間 (%2) にありません",
                    {given, months.empty() ? Tr("なし") : months.front() + " - " + months.back()}));
  return -1;
}

// Opens the book and its settings section, lets `choose` set what the command line chose
// (false: refused, already told) and prints the totals, without writing the settings.
template <typename Aggregation, typename Choose>
int Aggregate(Context& context, const char* section, Choose choose) {
  OpenedBook opened;
  if (OpenBookFor(context, context.operands[0], opened) != kOk) return kFailure;
  const std::string settings = SettingsFileFor(opened, section);
  if (settings.empty()) return kFailure;
  Aggregation aggregation(*opened.book, settings);
  try {
    aggregation.Open();
    if (!choose(aggregation)) return kFailure;
    return WriteResult(context, aggregation.Totals());
  } catch (const engine::Error& e) {
    PrintError(e.Message());
    PrintErrorUtf8(Tr("集計に失敗しました"));
    return kFailure;
  }
}

}  // namespace

// A reader that went away (a closed pipe) ends the run quietly; any other failed write is an
// error.
int Finish(Output& out, int status) {
  if (out.Finish()) return status;
  if (errno == EPIPE) return status;
  PrintErrorUtf8(Tr("標準出力に書き込めませんでした"));
  return kFailure;
}

int RunCheck(Context& context) {
  OpenedBook opened;
  std::vector<engine::Finding> findings;
  const int status = OpenBookFor(context, context.operands[0], opened, &findings);
  if (status == kFailure) return kFailure;
  if (status == kOk) {
    auto tables = engine::CheckBookTables(*opened.book, opened.index);
    findings.insert(findings.end(), std::make_move_iterator(tables.begin()),
                    std::make_move_iterator(tables.end()));
  }
  Output out(stdout, context.encoding);
  for (const engine::Finding& finding : findings) {
    std::string line = finding.path;
    if (finding.line > 0) line += ":" + std::to_string(finding.line);
    line += ": " + finding.message;
    out.Line(line);
  }
  if (status == kFindings) {
    PrintErrorUtf8(Tr("読めないファイルがあるため、転記と残高は検査していません"));
  }
  if (findings.empty()) {
    PrintErrorUtf8(Tr("問題は見つかりませんでした"));
  } else {
    PrintErrorUtf8(Tr("%1 件の問題が見つかりました", {std::to_string(findings.size())}));
  }
  return Finish(out, findings.empty() ? kOk : kFindings);
}

int RunBalance(Context& context) {
  engine::Date from{INT_MIN / 2, 1, 1};
  engine::Date end{INT_MAX / 2, 1, 1};
  const bool period = context.Has("from") || context.Has("to");
  if (context.Has("from")) {
    const auto date = DateOption(context.Value("from"));
    if (!date) return BadOption(context, "from", context.Value("from"), "日付 (yyyy/mm/dd)");
    from = *date;
  }
  if (context.Has("to")) {
    const auto date = DateOption(context.Value("to"));
    if (!date) return BadOption(context, "to", context.Value("to"), "日付 (yyyy/mm/dd)");
    // The last day counts: the period ends before the day after it.
    end = engine::Date::FromDays(date->Days() + 1);
  }
  OpenedBook opened;
  if (OpenBookFor(context, context.operands[0], opened) != kOk) return kFailure;
  engine::Book& book = *opened.book;

  Output out(stdout, context.encoding);
  TableWriter writer(out, context.format,
                     {{"subject", false}, {"debit", true}, {"credit", true}, {"balance", true}},
                     {Sjis("勘定科目"), Sjis("借方合計"), Sjis("貸方合計"), Sjis("差引残高")},
                     true);
  int status = kOk;
  for (std::size_t i = 0; i < book.LedgerCount(); ++i) {
    engine::TLedgerGrid& ledger = book.LedgerAt(i);
    std::string row[4] = {ledger.Caption(), {}, {}, {}};
    try {
      const std::int32_t debit = period ? ledger.DebitTotalBetween(from, end) : ledger.DebitTotal();
      const std::int32_t credit =
          period ? ledger.CreditTotalBetween(from, end) : ledger.CreditTotal();
      row[1] = engine::IntToText(debit);
      row[2] = engine::IntToText(credit);
      row[3] = engine::IntToText(engine::CheckedSub(debit, credit));
    } catch (const engine::Error& e) {
      // As in the subject list: a total that can't be shown right is left blank and told.
      PrintError(ledger.Caption() + ": " + e.Message());
      status = kFailure;
    }
    writer.Row(std::span<const std::string>(row));
  }
  writer.Finish();
  return Finish(out, status);
}

int RunTable(Context& context) {
  std::optional<std::string> first;
  std::optional<std::string> last;
  if (context.Has("from") && !(first = MonthOption(context.Value("from")))) {
    return BadOption(context, "from", context.Value("from"), "月 (yyyy/mm)");
  }
  if (context.Has("to") && !(last = MonthOption(context.Value("to")))) {
    return BadOption(context, "to", context.Value("to"), "月 (yyyy/mm)");
  }
  return Aggregate<engine::TableAggregation>(
      context, "table", [&](engine::TableAggregation& aggregation) {
        if (first) {
          const int index = MonthIndex(aggregation.Months(), *first, context.Value("from"));
          if (index < 0) return false;
          aggregation.SetFirstMonth(index);
        }
        if (last) {
          const int index = MonthIndex(aggregation.Months(), *last, context.Value("to"));
          if (index < 0) return false;
          aggregation.SetLastMonth(index);
        }
        return true;
      });
}

int RunCompare(Context& context) {
  return Aggregate<engine::CompareAggregation>(context, "compare",
                                               [&](engine::CompareAggregation& aggregation) {
                                                 aggregation.SetMonthOption(context.Has("months"));
                                                 return true;
                                               });
}

int RunSchema(Context& context) {
  if (context.Has("html") && !context.Has("output")) {
    PrintErrorUtf8(Tr("--html は --output と共に使います"));
    return kFailure;
  }
  if (context.Has("year")) {
    const std::string& year = context.Value("year");
    if (year.size() != 4 || !std::all_of(year.begin(), year.end(), ::isdigit)) {
      return BadOption(context, "year", year, "年 (yyyy)");
    }
  }
  // A bare name that is no file here is looked for among the shipped schemas.
  QFileInfo schema(context.operands[0]);
  if (!schema.exists() && !context.operands[0].contains(u'/')) {
    const QFileInfo shipped(engine::PathFromCp932(engine::SchemaFolder()) + context.operands[0]);
    if (shipped.exists()) schema = shipped;
  }
  if (!schema.isFile() || !schema.isReadable()) {
    PrintErrorUtf8(Tr("スキーマファイル '%1' を読めません", {context.operands[0].toStdString()}));
    return kFailure;
  }
  // The settings name the schema by its full path, as the program's file choice gives it.
  const auto schemaPath = engine::PathToCp932(schema.absoluteFilePath());
  if (!schemaPath) {
    PrintErrorUtf8(Tr("スキーマファイルのパスがシフト JIS (CP932) で表せません"));
    return kFailure;
  }
  OpenedBook opened;
  if (OpenBookFor(context, context.operands[1], opened) != kOk) return kFailure;
  const std::string settings = SettingsFileFor(opened, nullptr);
  if (settings.empty()) return kFailure;

  engine::SchemaReport report(*opened.book, settings);
  context.ui.SetOpenFileAnswer(*schemaPath);
  if (!report.Open()) {
    PrintErrorUtf8(Tr("スキーマ、集計設定ファイルまたは仕訳帳の日付を読めませんでした"));
    PrintErrorUtf8(Tr("集計に失敗しました"));
    return kFailure;
  }
  if (report.Entries().empty()) {
    PrintErrorUtf8(Tr("スキーマ %1 にレポートの項目がありません", {Quoted(*schemaPath)}));
    return kFailure;
  }
  if (context.Has("year")) {
    const auto& years = report.Years();
    const auto it = std::find(years.begin(), years.end(), context.Value("year"));
    if (it == years.end()) {
      PrintErrorUtf8(Tr("年度 %1 は仕訳帳の期間 (%2) にありません",
                        {context.Value("year"), years.front() + " - " + years.back()}));
      return kFailure;
    }
    report.SelectYear(static_cast<int>(it - years.begin()));
  }
  if (context.Has("output")) {
    // The program's own writing: the XML in its code page, and the HTML page beside it.
    const QString xmlPath =
        QFileInfo(QString::fromStdString(context.Value("output"))).absoluteFilePath();
    const auto cp932 = engine::PathToCp932(xmlPath);
    if (!cp932) {
      PrintErrorUtf8(Tr("出力ファイルのパスがシフト JIS (CP932) で表せません"));
      return kFailure;
    }
    context.ui.SetSaveFileAnswer(*cp932);
    report.SetWriteHtml(context.Has("html"));
    try {
      report.WriteReportXml();
    } catch (const engine::Error& e) {
      PrintError(e.Message());
      PrintErrorUtf8(Tr("集計に失敗しました"));
      return kFailure;
    }
    if (context.Has("html") && report.WrittenHtml().isEmpty()) {
      PrintErrorUtf8(
          Tr("HTML のページは作られませんでした (スキーマと同じ名前の .xsl がありません)"));
      return kFailure;
    }
    return kOk;
  }
  std::string image;
  try {
    // Written to the standard output, the report is taken to lie in the current folder.
    const QString here = QDir::current().filePath(QFileInfo(schema).completeBaseName() + ".xml");
    image = report.ReportImage(report.BuildReport(), here);
  } catch (const engine::Error& e) {
    PrintError(e.Message());
    PrintErrorUtf8(Tr("集計に失敗しました"));
    return kFailure;
  }
  Output out(stdout, context.encoding);
  if (context.encoding == Encoding::Utf8) {
    // The declaration must name the encoding the bytes are in.
    std::string text = out.Utf8(image);
    const std::string from = R"(encoding="Shift_JIS")";
    const auto at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), R"(encoding="UTF-8")");
    out.Raw(text);
  } else {
    out.Raw(image);
  }
  return Finish(out, kOk);
}

int RunExport(Context& context) {
  const std::string kind = context.operands[0].toStdString();
  const bool journal = kind == "journal";
  if ((journal && context.operands.size() != 2) ||
      (kind == "ledger" && context.operands.size() != 3) || (!journal && kind != "ledger")) {
    PrintErrorUtf8(Tr("書き出すのは journal BOOK か ledger NAME BOOK です") + " " +
                   Tr("('%1' で使い方を表示します)", {"zentabo-cli export --help"}));
    return kFailure;
  }
  std::string name;
  if (!journal) {
    const auto cp932 = engine::ToCp932(context.operands[1]);
    if (!cp932) {
      PrintErrorUtf8(Tr("元帳 '%1' はシフト JIS (CP932) で表せない文字を含みます",
                        {context.operands[1].toStdString()}));
      return kFailure;
    }
    name = *cp932;
  }
  OpenedBook opened;
  if (OpenBookFor(context, context.operands.back(), opened) != kOk) return kFailure;
  engine::TAccGrid* table = opened.book->Journal();
  if (!journal) {
    table = opened.book->FindLedger(name);
    if (!table) {
      PrintErrorUtf8(Tr("元帳 %1 はこの家計簿にありません", {Quoted(name)}));
      return kFailure;
    }
  }
  std::vector<Column> columns =
      journal ? std::vector<Column>{{"date", false},    {"amount", true},  {"debit", false},
                                    {"summary", false}, {"credit", false}, {"credit_amount", true}}
              : std::vector<Column>{{"date", false}, {"counterpart", false}, {"summary", false},
                                    {"debit", true}, {"credit", true},       {"balance", true}};
  std::vector<std::string> heading;
  for (int c = 1; c <= 6; ++c) heading.emplace_back(table->Cell(c, 0));

  Output out(stdout, context.encoding);
  // The program's text and CSV output have no heading line; these files don't either.
  TableWriter writer(out, context.format, std::move(columns), std::move(heading), false);
  for (const engine::RowTexts& row : table->OutputRows())
    writer.Row(std::span<const std::string_view>(row));
  writer.Finish();
  return Finish(out, kOk);
}

}  // namespace cli
