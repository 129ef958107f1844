#include "engine/import/import_profile.h"

#include <QFileInfo>

#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/fields.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "engine/import/field_parsers.h"
#include "engine/lists/subject_store.h"

namespace engine::import {

namespace {

QString Un(std::string_view cp932) {
  return FromCp932(cp932);
}

const char* DelimiterName(char delimiter) {
  switch (delimiter) {
    case '\t':
      return "tab";
    case ';':
      return "semicolon";
    default:
      return "comma";
  }
}

std::string Columns(const std::vector<int>& columns) {
  std::string text;
  for (const int c : columns) {
    if (!text.empty()) text += ' ';
    text += std::to_string(c);
  }
  return text;
}

// Words as one comma text; a word can't hold a comma or a line break, which would split it.
std::string Words(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) {
    if (word.empty()) continue;
    if (word.find_first_of(",\r\n") != std::string::npos)
      throw Error(MessageText(QStringLiteral("語「%1」にカンマや改行は使えません").arg(Un(word))));
    if (!text.empty()) text += ',';
    text += word;
  }
  return text;
}

// Reads one profile section; every fault names the profile and the key.
class SectionReader {
 public:
  SectionReader(const Profile& file, const std::string& section) : file_(file), section_(section) {}

  std::string Text(const char* key) const { return file_.Read(section_, key); }
  int Number(const char* key, int min, int max) const {
    const auto value = ParseInt32(Text(key));
    if (!value || *value < min || *value > max) Fault(key);
    return *value;
  }
  [[noreturn]] void Fault(const char* key) const {
    throw Error(MessageText(QStringLiteral("プロファイル「%1」の %2 の値「%3」が正しくありません")
                                .arg(Un(section_), QLatin1String(key), Un(Text(key)))));
  }

 private:
  const Profile& file_;
  const std::string& section_;
};

constexpr int kMaxColumn = static_cast<int>(CsvReader::kMaxFields);

}  // namespace

ReadOptions ImportProfile::Reading() const {
  return ReadOptions{encoding, delimiter, header, skipTop, skipBottom};
}

std::vector<std::pair<int, const char*>> ImportProfile::UsedColumns() const {
  std::vector<std::pair<int, const char*>> used{{dateColumn, "日付"}};
  for (const int c : descriptionColumns) used.emplace_back(c, "摘要");
  if (amountStyle == AmountStyle::Split) {
    used.emplace_back(withdrawalColumn, "出金");
    used.emplace_back(depositColumn, "入金");
  } else {
    used.emplace_back(amountColumn, "金額");
    if (amountStyle == AmountStyle::Indicator) used.emplace_back(indicatorColumn, "入出金");
  }
  return used;
}

std::vector<std::string> FitProblems(const ImportProfile& profile, int columnCount,
                                     const std::vector<std::string>& cp932Heading,
                                     const SubjectStore& subjects) {
  std::vector<std::string> problems;
  for (const auto& [column, role] : profile.UsedColumns()) {
    const QString name = QString::fromUtf8(role);
    if (column < 1) {
      problems.push_back(MessageText(QStringLiteral("%1の列が選ばれていません").arg(name)));
    } else if (column > columnCount) {
      problems.push_back(
          MessageText(QStringLiteral("%1の列 %2 がありません（この明細は %3 列です）")
                          .arg(name)
                          .arg(column)
                          .arg(columnCount)));
    } else if (profile.header && static_cast<std::size_t>(column) <= profile.headings.size() &&
               static_cast<std::size_t>(column) <= cp932Heading.size()) {
      const std::string& saved = profile.headings[static_cast<std::size_t>(column - 1)];
      const std::string& now = cp932Heading[static_cast<std::size_t>(column - 1)];
      if (!saved.empty() && ComparisonKey(Un(saved)) != ComparisonKey(Un(now))) {
        problems.push_back(
            MessageText(QStringLiteral("%1の列 %2 の見出しが「%3」ではなく「%4」です")
                            .arg(name)
                            .arg(column)
                            .arg(Un(saved), Un(now))));
      }
    }
  }
  if (profile.amountStyle == AmountStyle::Indicator) {
    if (profile.inWords.empty() || profile.outWords.empty())
      problems.push_back(Sjis("入金と出金を表す語を入れてください"));
    for (const std::string& word : profile.inWords) {
      for (const std::string& other : profile.outWords) {
        if (ComparisonKey(Un(word)) == ComparisonKey(Un(other))) {
          problems.push_back(
              MessageText(QStringLiteral("「%1」が入金と出金の両方の語にあります").arg(Un(word))));
        }
      }
    }
  }
  if (profile.account.empty()) {
    problems.push_back(Sjis("明細の口座の科目が選ばれていません"));
  } else if (!subjects.Contains(profile.account)) {
    problems.push_back(MessageText(
        QStringLiteral("口座の科目「%1」がこの家計簿にありません").arg(Un(profile.account))));
  }
  return problems;
}

void CheckTextFile(const QString& path, const char* what) {
  if (!QFileInfo::exists(path)) return;
  const std::string bytes = ReadFileBytes(path);
  if (bytes.find('\0') != std::string::npos || !IsValidCp932(bytes)) {
    throw Error(
        MessageText(QStringLiteral("%1のファイル「%2」が壊れています（テキストではありません）")
                        .arg(QString::fromUtf8(what), path)));
  }
}

std::vector<ImportProfile> ProfileStore::Load() const {
  CheckTextFile(path_, "取り込みプロファイル");
  const Profile file(path_);
  std::vector<ImportProfile> profiles;
  try {
    for (const std::string& section : file.Sections()) {
      const SectionReader in(file, section);
      ImportProfile p;
      p.name = section;
      const auto encoding = EncodingFromName(in.Text("encoding"));
      if (!encoding) in.Fault("encoding");
      p.encoding = *encoding;
      const std::string delimiter = in.Text("delimiter");
      if (delimiter == "comma") {
        p.delimiter = ',';
      } else if (delimiter == "tab") {
        p.delimiter = '\t';
      } else if (delimiter == "semicolon") {
        p.delimiter = ';';
      } else {
        in.Fault("delimiter");
      }
      p.header = in.Number("header", 0, 1) == 1;
      p.skipTop = in.Number("skip_top", 0, 1000);
      p.skipBottom = in.Number("skip_bottom", 0, 1000);
      p.dateColumn = in.Number("date_column", 1, kMaxColumn);
      const auto order = DateOrderFromName(in.Text("date_order"));
      if (!order) in.Fault("date_order");
      p.dateOrder = *order;
      p.descriptionColumns.clear();
      for (const std::string& part : SplitCommaText(in.Text("description_columns"))) {
        const auto c = ParseInt32(part);
        if (!c || *c < 1 || *c > kMaxColumn) in.Fault("description_columns");
        p.descriptionColumns.push_back(*c);
      }
      const std::string style = in.Text("amount_style");
      if (style == "signed") {
        p.amountStyle = AmountStyle::Signed;
        p.amountColumn = in.Number("amount_column", 1, kMaxColumn);
        const std::string negative = in.Text("negative");
        if (negative != "out" && negative != "in") in.Fault("negative");
        p.negativeIsOut = negative == "out";
      } else if (style == "split") {
        p.amountStyle = AmountStyle::Split;
        p.withdrawalColumn = in.Number("withdrawal_column", 1, kMaxColumn);
        p.depositColumn = in.Number("deposit_column", 1, kMaxColumn);
      } else if (style == "indicator") {
        p.amountStyle = AmountStyle::Indicator;
        p.amountColumn = in.Number("amount_column", 1, kMaxColumn);
        p.indicatorColumn = in.Number("indicator_column", 1, kMaxColumn);
        for (auto [key, words] : {std::pair{"in_words", &p.inWords}, {"out_words", &p.outWords}}) {
          for (std::string& word : SplitCommaText(in.Text(key))) {
            if (!word.empty()) words->push_back(std::move(word));
          }
        }
        if (p.inWords.empty()) in.Fault("in_words");
        if (p.outWords.empty()) in.Fault("out_words");
      } else {
        in.Fault("amount_style");
      }
      p.account = in.Text("account");
      for (const Profile::Entry& entry : file.Entries(section)) {
        if (entry.key.rfind("heading_", 0) != 0) continue;
        const auto c = ParseInt32(std::string_view(entry.key).substr(8));
        if (!c || *c < 1 || *c > kMaxColumn) continue;
        if (p.headings.size() < static_cast<std::size_t>(*c)) p.headings.resize(*c);
        p.headings[static_cast<std::size_t>(*c - 1)] = entry.value;
      }
      profiles.push_back(std::move(p));
    }
  } catch (const Error& e) {
    throw Error(MessageText(QStringLiteral("取り込みプロファイルのファイル「%1」が壊れています: %2")
                                .arg(path_, Un(e.Message()))));
  }
  return profiles;
}

void ProfileStore::Save(const ImportProfile& p) const {
  if (p.name.empty()) throw Error(Sjis("プロファイルの名前を入れてください"));
  CheckTextFile(path_, "取り込みプロファイル");
  std::vector<Profile::Entry> entries{
      {"encoding", EncodingName(p.encoding)},
      {"delimiter", DelimiterName(p.delimiter)},
      {"header", p.header ? "1" : "0"},
      {"skip_top", std::to_string(p.skipTop)},
      {"skip_bottom", std::to_string(p.skipBottom)},
      {"date_column", std::to_string(p.dateColumn)},
      {"date_order", DateOrderName(p.dateOrder)},
      {"description_columns", Columns(p.descriptionColumns)},
  };
  if (p.amountStyle == AmountStyle::Signed) {
    entries.push_back({"amount_style", "signed"});
    entries.push_back({"amount_column", std::to_string(p.amountColumn)});
    entries.push_back({"negative", p.negativeIsOut ? "out" : "in"});
  } else if (p.amountStyle == AmountStyle::Split) {
    entries.push_back({"amount_style", "split"});
    entries.push_back({"withdrawal_column", std::to_string(p.withdrawalColumn)});
    entries.push_back({"deposit_column", std::to_string(p.depositColumn)});
  } else {
    entries.push_back({"amount_style", "indicator"});
    entries.push_back({"amount_column", std::to_string(p.amountColumn)});
    entries.push_back({"indicator_column", std::to_string(p.indicatorColumn)});
    entries.push_back({"in_words", Words(p.inWords)});
    entries.push_back({"out_words", Words(p.outWords)});
  }
  entries.push_back({"account", p.account});
  for (std::size_t i = 0; i < p.headings.size(); ++i) {
    if (p.headings[i].empty()) continue;
    std::string heading = p.headings[i];
    for (char& c : heading) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    entries.push_back({"heading_" + std::to_string(i + 1), heading});
  }
  Profile(path_).ReplaceSection(p.name, entries);
}

void ProfileStore::Remove(std::string_view name) const {
  CheckTextFile(path_, "取り込みプロファイル");
  Profile(path_).EraseSection(name);
}

}  // namespace engine::import
