#include "cli/cli.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/messages.h"

namespace cli {

namespace {

constexpr OptionSpec kHelp{"help", "", "このコマンドの説明を表示します"};
constexpr OptionSpec kEncoding{
    "encoding", "utf-8|cp932",
    "出力の文字コード (既定 utf-8、cp932 はこのプログラムのファイルと同じ)"};
constexpr OptionSpec kTableFormat{"format", "text|tsv|csv|json",
                                  "出力形式 (既定 text: 端末で桁をそろえた表)"};

constexpr OptionSpec kCheckOptions[] = {kEncoding, kHelp};
constexpr OptionSpec kBalanceOptions[] = {
    {"from", "DATE", "この日付から (yyyy/mm/dd) の合計にします"},
    {"to", "DATE", "この日付まで (yyyy/mm/dd) の合計にします"},
    kTableFormat,
    kEncoding,
    kHelp};
constexpr OptionSpec kTableOptions[] = {
    {"from", "MONTH", "集計範囲の最初の月 (yyyy/mm、既定は仕訳帳の最初の月)"},
    {"to", "MONTH", "集計範囲の最後の月 (yyyy/mm、既定は仕訳帳の最後の月)"},
    kTableFormat,
    kEncoding,
    kHelp};
constexpr OptionSpec kCompareOptions[] = {
    {"months", "", "科目名の後に集計した月を付けます"}, kTableFormat, kEncoding, kHelp};
constexpr OptionSpec kSchemaOptions[] = {
    {"year", "YYYY", "集計する年度 (既定は仕訳帳の最初の年)"},
    {"output", "FILE", "標準出力ではなくこのファイルに書きます (シフト JIS、プログラムと同じ形)"},
    {"html", "", "--output の XML の横に HTML のページも作ります (スキーマの .xsl で変換)"},
    kEncoding,
    kHelp};
constexpr OptionSpec kExportOptions[] = {kTableFormat, kEncoding, kHelp};
constexpr OptionSpec kImportOptions[] = {
    {"profile", "NAME", "明細の列の対応を保存したプロファイルの名前 (必須)"},
    {"dry-run", "", "取り込む行と重複を表示するだけで、家計簿には何も書きません"},
    kTableFormat,
    kEncoding,
    kHelp};

// Whatever the command, these are the only values these options take.
constexpr std::string_view kFormats[] = {"text", "tsv", "csv", "json"};
constexpr std::string_view kEncodings[] = {"utf-8", "cp932"};

constexpr Command kCommands[] = {
    {"check", "BOOK", "家計簿のファイル、転記、残高、日付、金額を検査します", kCheckOptions, 1, 1,
     RunCheck},
    {"balance", "BOOK", "勘定科目ごとの借方合計、貸方合計、差引残高を表示します", kBalanceOptions,
     1, 1, RunBalance},
    {"table", "BOOK", "集計設定ファイルの「テーブルに出力」の設定で集計表を作ります", kTableOptions,
     1, 1, RunTable},
    {"compare", "BOOK", "集計設定ファイルの「比較集計」の設定で比較表を作ります", kCompareOptions,
     1, 1, RunCompare},
    {"schema", "SCHEMA BOOK", "スキーマと集計設定ファイルの設定で XML レポートを書きます",
     kSchemaOptions, 2, 2, RunSchema},
    {"export", "journal BOOK | ledger NAME BOOK", "仕訳帳または元帳を書き出します", kExportOptions,
     2, 3, RunExport},
    {"import", "BOOK FILE", "銀行やカードの明細を未転記の仕訳として仕訳帳に取り込みます",
     kImportOptions, 2, 2, RunImport},
};

void Print(const std::string& text, std::FILE* stream = stdout) {
  std::fputs(text.c_str(), stream);
}

std::string OptionLine(const OptionSpec& option) {
  std::string line = "  --" + std::string(option.name);
  if (!option.value.empty()) line += " " + std::string(option.value);
  if (line.size() < 28) line.append(28 - line.size(), ' ');
  return line + " " + Tr(option.help) + "\n";
}

void PrintCommandHelp(const Command& command) {
  std::string text =
      Tr("使い方: zentabo-cli %1 [オプション] %2", {command.name, command.operands}) + "\n\n" +
      Tr(command.summary) + "\n\n" + Tr("オプション:") + "\n";
  for (const OptionSpec& option : command.options) text += OptionLine(option);
  text +=
      "\n" +
      Tr("BOOK は家計簿ファイル (索引ファイル) か、家計簿ファイルを一つだけ含むフォルダです。") +
      "\n" +
      Tr("終了状態: 0 成功、1 検査で問題あり・取り込めない行あり、2 "
         "使い方・ファイル・家計簿の誤り。") +
      "\n";
  Print(text);
}

void PrintToolHelp(std::FILE* stream = stdout) {
  std::string text = Tr("使い方: zentabo-cli %1 [オプション] %2", {"COMMAND", "BOOK"}) + "\n\n" +
                     Tr("Zentabo の家計簿を画面なしで読み、検査や集計をします。家計簿に書くのは "
                        "import だけです。") +
                     "\n\n" + Tr("コマンド:") + "\n";
  for (const Command& command : kCommands) {
    std::string line = "  " + std::string(command.name);
    line.append(12 - line.size(), ' ');
    text += line + Tr(command.summary) + "\n";
  }
  text += "\n" +
          Tr("各コマンドの説明: zentabo-cli COMMAND --help (または zentabo-cli help COMMAND)") +
          "\n" +
          Tr("終了状態: 0 成功、1 検査で問題あり・取り込めない行あり、2 "
             "使い方・ファイル・家計簿の誤り。") +
          "\n";
  Print(text, stream);
}

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

const OptionSpec* FindOption(const Command& command, std::string_view name) {
  for (const OptionSpec& option : command.options) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

int UsageError(const std::string& message, std::string_view command) {
  PrintErrorUtf8(message + " " +
                 Tr("('%1' で使い方を表示します)",
                    {"zentabo-cli " + (command.empty() ? std::string("--help")
                                                       : std::string(command) + " --help")}));
  return kFailure;
}

template <std::size_t N>
bool OneOf(const std::string& value, const std::string_view (&choices)[N]) {
  for (const std::string_view choice : choices) {
    if (value == choice) return true;
  }
  return false;
}

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

int Run(const std::vector<QString>& arguments) {
  if (arguments.empty()) {
    // Nothing asked for: the usage goes where errors go, so a script's output stays empty.
    PrintToolHelp(stderr);
    return kFailure;
  }
  const std::string first = arguments[0].toStdString();
  if (first == "--help" || first == "-h") {
    PrintToolHelp();
    return kOk;
  }
  if (first == "--version") {
    Print("zentabo-cli " ZENTABO_VERSION "\n");
    return kOk;
  }
  if (first == "help") {
    if (arguments.size() == 1) {
      PrintToolHelp();
      return kOk;
    }
    const Command* command = FindCommand(arguments[1].toStdString());
    if (!command)
      return UsageError(Tr("コマンド '%1' はありません", {arguments[1].toStdString()}), {});
    PrintCommandHelp(*command);
    return kOk;
  }
  const Command* command = FindCommand(first);
  if (!command) return UsageError(Tr("コマンド '%1' はありません", {first}), {});

  Context context{*command, {}, {}, Format::Text, Encoding::Utf8, {}};
  bool optionsEnd = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (optionsEnd || !argument.startsWith(u'-') || argument == u"-") {
      context.operands.push_back(argument);
      continue;
    }
    if (argument == u"--") {
      optionsEnd = true;
      continue;
    }
    std::string name = argument.toStdString();
    if (name == "-h") name = "--help";
    if (!name.starts_with("--"))
      return UsageError(Tr("オプション '%1' はありません", {name}), command->name);
    name.erase(0, 2);
    std::string value;
    const auto equals = name.find('=');
    const bool hasValue = equals != std::string::npos;
    if (hasValue) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const OptionSpec* option = FindOption(*command, name);
    if (!option)
      return UsageError(Tr("オプション '%1' はありません", {"--" + name}), command->name);
    if (option->value.empty()) {
      if (hasValue)
        return UsageError(Tr("オプション '%1' は値を取りません", {"--" + name}), command->name);
    } else if (!hasValue) {
      if (i + 1 >= arguments.size()) {
        return UsageError(Tr("オプション '%1' に値 %2 がありません", {"--" + name, option->value}),
                          command->name);
      }
      value = arguments[++i].toStdString();
    }
    context.options[name] = value;
  }
  if (context.Has("help")) {
    PrintCommandHelp(*command);
    return kOk;
  }
  if (context.Has("format")) {
    const std::string& format = context.Value("format");
    if (!OneOf(format, kFormats)) {
      return UsageError(Tr("出力形式 '%1' はありません (text, tsv, csv, json)", {format}),
                        command->name);
    }
    context.format = format == "tsv"    ? Format::Tsv
                     : format == "csv"  ? Format::Csv
                     : format == "json" ? Format::Json
                                        : Format::Text;
  }
  if (context.Has("encoding")) {
    const std::string& encoding = context.Value("encoding");
    if (!OneOf(encoding, kEncodings)) {
      return UsageError(Tr("文字コード '%1' はありません (utf-8, cp932)", {encoding}),
                        command->name);
    }
    context.encoding = encoding == "cp932" ? Encoding::Cp932 : Encoding::Utf8;
  }
  if (context.format == Format::Json && context.encoding == Encoding::Cp932) {
    return UsageError(Tr("JSON は UTF-8 でのみ書き出せます"), command->name);
  }
  if (context.operands.size() < command->minOperands ||
      context.operands.size() > command->maxOperands) {
    return UsageError(context.operands.empty() ? Tr("家計簿 (BOOK) を指定してください")
                                               : Tr("引数の数が違います: %1", {command->operands}),
                      command->name);
  }
  return command->run(context);
}

}  // namespace cli
