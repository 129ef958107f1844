#include "cli/messages.h"

#include <cstdlib>

namespace cli {

namespace {

struct MessagePair {
  std::string_view japanese;
  std::string_view english;
};

// Every text the tool writes of its own, help included. The engine's messages (a file it
// can't read, a finding of the check) stay in the program's language.
constexpr MessagePair kMessages[] = {
    // Help.
    {"使い方: zentabo-cli %1 [オプション] %2", "usage: zentabo-cli %1 [options] %2"},
    {"オプション:", "options:"},
    {"コマンド:", "commands:"},
    {"BOOK は家計簿ファイル (索引ファイル) か、家計簿ファイルを一つだけ含むフォルダです。",
     "BOOK is a book's index file, or a folder holding exactly one index file."},
    {"終了状態: 0 成功、1 検査で問題あり・取り込めない行あり、2 使い方・ファイル・家計簿の誤り。",
     "exit status: 0 done, 1 the check found problems or rows were left out, 2 a usage, file or "
     "book error."},
    {"Zentabo の家計簿を画面なしで読み、検査や集計をします。家計簿に書くのは import だけです。",
     "Reads a Zentabo book without a display, to check it and total it. Only import writes to "
     "the book."},
    {"各コマンドの説明: zentabo-cli COMMAND --help (または zentabo-cli help COMMAND)",
     "help on a command: zentabo-cli COMMAND --help (or zentabo-cli help COMMAND)"},
    {"家計簿のファイル、転記、残高、日付、金額を検査します",
     "checks the book's files, postings, balances, dates and amounts"},
    {"勘定科目ごとの借方合計、貸方合計、差引残高を表示します",
     "shows each subject's debit total, credit total and balance"},
    {"集計設定ファイルの「テーブルに出力」の設定で集計表を作ります",
     "makes the totals table with the settings stored for \"output to table\""},
    {"集計設定ファイルの「比較集計」の設定で比較表を作ります",
     "makes the comparison table with the settings stored for \"compare\""},
    {"スキーマと集計設定ファイルの設定で XML レポートを書きます",
     "writes the XML report of a schema with the stored settings"},
    {"仕訳帳または元帳を書き出します", "writes out the journal or a ledger"},
    {"銀行やカードの明細を未転記の仕訳として仕訳帳に取り込みます",
     "imports a bank or card statement into the journal as unposted lines"},
    {"このコマンドの説明を表示します", "shows this help"},
    {"出力の文字コード (既定 utf-8、cp932 はこのプログラムのファイルと同じ)",
     "output encoding (default utf-8; cp932 is that of the program's files)"},
    {"出力形式 (既定 text: 端末で桁をそろえた表)",
     "output format (default text: a table aligned for a terminal)"},
    {"この日付から (yyyy/mm/dd) の合計にします", "totals from this date (yyyy/mm/dd)"},
    {"この日付まで (yyyy/mm/dd) の合計にします", "totals up to this date (yyyy/mm/dd)"},
    {"集計範囲の最初の月 (yyyy/mm、既定は仕訳帳の最初の月)",
     "first month of the range (yyyy/mm; default: the journal's first month)"},
    {"集計範囲の最後の月 (yyyy/mm、既定は仕訳帳の最後の月)",
     "last month of the range (yyyy/mm; default: the journal's last month)"},
    {"科目名の後に集計した月を付けます", "adds the months totalled after each subject's name"},
    {"集計する年度 (既定は仕訳帳の最初の年)", "the year to report (default: the journal's first)"},
    {"標準出力ではなくこのファイルに書きます (シフト JIS、プログラムと同じ形)",
     "writes to this file instead of standard output (Shift JIS, as the program writes it)"},
    {"--output の XML の横に HTML のページも作ります (スキーマの .xsl で変換)",
     "also makes an HTML page beside the --output XML (with the schema's .xsl)"},
    {"明細の列の対応を保存したプロファイルの名前 (必須)",
     "name of the saved profile that maps the statement's columns (required)"},
    {"取り込む行と重複を表示するだけで、家計簿には何も書きません",
     "only lists the rows to import and the duplicates; writes nothing"},
    // Usage errors.
    {"('%1' で使い方を表示します)", "('%1' shows the usage)"},
    {"コマンド '%1' はありません", "no command '%1'"},
    {"オプション '%1' はありません", "no option '%1'"},
    {"オプション '%1' は値を取りません", "option '%1' takes no value"},
    {"オプション '%1' に値 %2 がありません", "option '%1' needs a value %2"},
    {"出力形式 '%1' はありません (text, tsv, csv, json)",
     "no output format '%1' (text, tsv, csv, json)"},
    {"文字コード '%1' はありません (utf-8, cp932)", "no encoding '%1' (utf-8, cp932)"},
    {"JSON は UTF-8 でのみ書き出せます", "JSON is written in UTF-8 only"},
    {"家計簿 (BOOK) を指定してください", "give the book (BOOK)"},
    {"引数の数が違います: %1", "wrong number of arguments: %1"},
    {"%1 の値 '%2' は %3 ではありません", "the value '%2' of %1 is not a %3"},
    {"日付 (yyyy/mm/dd)", "date (yyyy/mm/dd)"},
    {"月 (yyyy/mm)", "month (yyyy/mm)"},
    {"年 (yyyy)", "year (yyyy)"},
    {"--html は --output と共に使います", "--html goes with --output"},
    {"書き出すのは journal BOOK か ledger NAME BOOK です",
     "export takes journal BOOK or ledger NAME BOOK"},
    {"--profile でプロファイルの名前を指定してください", "give the profile's name with --profile"},
    // The book and its files.
    {"%1 行目がシフト JIS (CP932) ではなく UTF-8 で書かれています",
     "line %1 is written in UTF-8, not Shift JIS (CP932)"},
    {"%1 行目がシフト JIS (CP932) として読めません", "line %1 is not Shift JIS (CP932)"},
    {"%1 の %2", "%1: %2"},
    {"'%1' はシフト JIS (CP932) で表せない文字を含むため、家計簿として開けません",
     "'%1' can't be opened as a book: its name has characters Shift JIS (CP932) lacks"},
    {"家計簿ファイル %1 の %2", "index file %1: %2"},
    {"%1 は家計簿ファイルではありません", "%1 is not a book's index file"},
    {"%1 は家計簿ファイルの行が足りません", "%1 has too few lines for a book's index file"},
    {"家計簿のファイル %1 を読めません", "can't read the book's file %1"},
    {"この家計簿には集計設定ファイルがありません (プログラムで一度集計すると作られます)",
     "this book has no aggregation settings file (the program makes it at the first "
     "aggregation)"},
    {"集計設定ファイル %1 がありません", "the aggregation settings file %1 is missing"},
    {"集計設定ファイル %1 を読めません", "can't read the aggregation settings file %1"},
    {"集計設定ファイル %1 に [%2] の設定がありません (プログラムで一度この集計をすると作られます)",
     "the aggregation settings file %1 has no [%2] settings (the program stores them when "
     "this aggregation is run once)"},
    {"(いいえ)", "(no)"},
    {"(キャンセル)", "(cancel)"},
    // Commands.
    {"月 '%1' は仕訳帳の期間 (%2) にありません", "month '%1' is outside the journal's period (%2)"},
    {"なし", "none"},
    {"集計に失敗しました", "the aggregation failed"},
    {"標準出力に書き込めませんでした", "could not write to standard output"},
    {"読めないファイルがあるため、転記と残高は検査していません",
     "postings and balances were not checked, because a file can't be read"},
    {"問題は見つかりませんでした", "no problems found"},
    {"%1 件の問題が見つかりました", "%1 problem(s) found"},
    {"スキーマファイル '%1' を読めません", "can't read the schema file '%1'"},
    {"スキーマファイルのパスがシフト JIS (CP932) で表せません",
     "the schema file's path has characters Shift JIS (CP932) lacks"},
    {"スキーマ、集計設定ファイルまたは仕訳帳の日付を読めませんでした",
     "could not read the schema, the aggregation settings file or the journal's dates"},
    {"スキーマ %1 にレポートの項目がありません", "the schema %1 has no items to report"},
    {"年度 %1 は仕訳帳の期間 (%2) にありません", "year %1 is outside the journal's period (%2)"},
    {"出力ファイルのパスがシフト JIS (CP932) で表せません",
     "the output file's path has characters Shift JIS (CP932) lacks"},
    {"HTML のページは作られませんでした (スキーマと同じ名前の .xsl がありません)",
     "no HTML page was made (there is no .xsl of the schema's name)"},
    {"元帳 '%1' はシフト JIS (CP932) で表せない文字を含みます",
     "ledger '%1' has characters Shift JIS (CP932) lacks"},
    {"元帳 %1 はこの家計簿にありません", "this book has no ledger %1"},
    // The import.
    {"プロファイルの名前がシフト JIS (CP932) で表せません",
     "the profile's name has characters Shift JIS (CP932) lacks"},
    {"明細ファイル '%1' を読めません", "can't read the statement file '%1'"},
    {"家計簿に書き込めないため、取り込みません", "the book can't be written: nothing imported"},
    {"プロファイル '%1' はこの家計簿にありません", "this book has no profile '%1'"},
    {"(プロファイルはまだありません)", "(it has no profiles yet)"},
    {"(あるのは %1)", "(it has %1)"},
    {"明細を取り込めません", "the statement can't be imported"},
    {"家計簿を保存できなかったため、取り込んでいません",
     "the book could not be saved: nothing imported"},
    {"%1 行を仕訳帳に追加します (未転記)", "%1 row(s) would be added to the journal (unposted)"},
    {"%1 行を仕訳帳に追加しました (未転記)", "%1 row(s) added to the journal (unposted)"},
    {"重複として %1 行を除きました", "%1 row(s) left out as duplicates"},
    {"相手科目の決まらない %1 行は取り込んでいません "
     "(ルールを足すか、プログラムの取り込みで選んでください)",
     "%1 row(s) without the other side were not imported (add a rule, or choose in the "
     "program's import)"},
    {"読めなかった %1 行は取り込んでいません", "%1 unreadable row(s) were not imported"},
};

bool LocaleIsEnglish() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    const std::string_view locale(value);
    return locale == "C" || locale.starts_with("C.") || locale.starts_with("POSIX") ||
           locale.starts_with("en");
  }
  return false;
}

}  // namespace

bool EnglishMessages() {
  static const bool english = LocaleIsEnglish();
  return english;
}

std::string Tr(std::string_view japanese, std::initializer_list<std::string_view> args) {
  std::string_view text = japanese;
  if (EnglishMessages()) {
    for (const MessagePair& pair : kMessages) {
      if (pair.japanese == japanese) {
        text = pair.english;
        break;
      }
    }
  }
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (text[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
      result += args.begin()[index];
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace cli
