#include "engine/schema/schema_report.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomElement>
#include <QDomText>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "engine/app/app_folder.h"
#include "engine/app/book.h"
#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"
#include "engine/schema/report_files.h"
#include "engine/schema/rng_parse.h"
#include "engine/schema/xml_name.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "engine/tables/table_host.h"

namespace engine {

namespace {

constexpr std::string_view kLevelMark = "\xA5\xA5\xA5";

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The line with the first occurrence of `suffix` taken out.
std::string WithoutFirst(std::string_view line, std::string_view suffix) {
  std::string name(line);
  name.erase(name.find(suffix), suffix.size());
  return name;
}

// A character that XML 1.0 can't carry in a text, even as a reference.
bool IsXmlTextCharacter(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The path with its extension (the text from the last "." of the file name) replaced.
std::string WithExtension(std::string_view path, std::string_view extension) {
  const auto slash = path.find_last_of("/\\");
  const auto dot = path.rfind('.');
  const bool hasExtension =
      dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  return std::string(hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

}  // namespace

std::vector<std::string> YearList(const Date& first, const Date& last) {
  std::vector<std::string> years;
  for (int year = first.year; year <= last.year; ++year) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", year);
    years.emplace_back(text);
  }
  return years;
}

namespace {

const QString kSchema = QStringLiteral("schema");

// The user's copy of the schemas, when the program folder is not the executable's.
std::optional<QString> SchemaCopyFolder() {
  if (!QCoreApplication::instance()) return std::nullopt;
  const QString appFolder = AppFolderPath();
  if (QDir(appFolder) == QDir(QCoreApplication::applicationDirPath())) return std::nullopt;
  return QDir(appFolder).filePath(kSchema);
}

}  // namespace

std::string SchemaFolder() {
  if (!QCoreApplication::instance()) return {};
  const std::optional<QString> copy = SchemaCopyFolder();
  const QString folder = (copy && QFileInfo(*copy).isDir() ? *copy : ShippedPath(kSchema)) + u'/';
  return PathToCp932(folder).value_or(std::string());
}

void ProvideSchemaFolder() {
  const std::optional<QString> copy = SchemaCopyFolder();
  if (!copy || QFileInfo::exists(*copy)) return;
  const QDir shipped(ShippedPath(kSchema));
  if (!shipped.exists() || !QDir().mkpath(*copy)) return;
  // A file that can't be copied is still found in the shipped folder by name.
  for (const QString& name : shipped.entryList(QDir::Files)) {
    QFile::copy(shipped.filePath(name), QDir(*copy).filePath(name));
  }
}

SchemaReport::SchemaReport(TableHost& host, std::string settingsPath)
    : host_(host), settingsPath_(std::move(settingsPath)) {}

bool SchemaReport::Open() {
  Ui& ui = host_.ui();
  schemaPath_ =
      ui.SelectOpenFile({}, Sjis("スキーマファイルを選択してください"), SchemaFolder(), 4);
  if (schemaPath_.empty()) return false;
  trngdomparse reader(ui);
  entries_ = reader.ParseSchema(schemaPath_);

  TJournalGrid* journal = host_.Journal();
  if (!journal) return false;
  subjects_ = journal->Subjects().Subjects();
  try {
    const Profile settings(PathFromCp932(settingsPath_));
    values_ = LoadSchemaSettings(settings, schemaPath_, entries_.size(), subjects_);
    const auto [first, last] = journal->DateRange();
    years_ = YearList(first, last);
  } catch (const RowError& e) {
    failedRow_ = e;
    return false;
  } catch (const Error&) {
    return false;
  }
  year_ = years_.empty() ? -1 : 0;
  subject_ = subjects_.empty() ? -1 : 0;
  entry_ = -1;
  fieldsEnabled_ = false;
  textEnabled_ = false;
  text_.clear();
  return true;
}

bool SchemaReport::Ok() {
  writtenXml_.clear();
  writtenHtml_.clear();
  if (entries_.empty()) return true;
  try {
    Profile settings(PathFromCp932(settingsPath_));
    SaveSchemaSettings(settings, schemaPath_, values_, subjects_);
    WriteReportXml();
  } catch (const RowError& e) {
    failedRow_ = e;
    return false;
  } catch (const Error&) {
    return false;
  }
  return true;
}

void SchemaReport::SelectYear(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < years_.size()) year_ = index;
}

void SchemaReport::ClickEntry(int entry) {
  if (entry < 0 || static_cast<std::size_t>(entry) >= entries_.size()) return;
  entry_ = entry;
  fieldsEnabled_ = false;
  textEnabled_ = false;
  text_.clear();
  const std::string& line = entries_[static_cast<std::size_t>(entry)];
  const char last = line.empty() ? '\0' : line.back();
  if (last == '+' || last == '*') fieldsEnabled_ = true;
  if (last == '/' || last == '*') {
    text_ = values_[static_cast<std::size_t>(entry)].text;
    textEnabled_ = true;
  }
}

void SchemaReport::SelectSubject(int subject) {
  if (subject >= 0 && static_cast<std::size_t>(subject) < subjects_.size()) subject_ = subject;
}

bool SchemaReport::Checked(int subject) const {
  if (!fieldsEnabled_ || entry_ < 0 || subject < 0 ||
      static_cast<std::size_t>(subject) >= subjects_.size()) {
    return false;
  }
  return values_[static_cast<std::size_t>(entry_)]
      .subjects[static_cast<std::size_t>(subject)]
      .selected;
}

void SchemaReport::SetChecked(int subject, bool checked) {
  if (!fieldsEnabled_ || entry_ < 0 || subject < 0 ||
      static_cast<std::size_t>(subject) >= subjects_.size()) {
    return;
  }
  SchemaEntrySetting& value = values_[static_cast<std::size_t>(entry_)];
  value.subjects[static_cast<std::size_t>(subject)].selected = checked;
  bool any = false;
  for (const SubjectSelection& selection : value.subjects) any = any || selection.selected;
  value.hasSubjects = checked || any;
}

SubjectSelection* SchemaReport::Current() {
  if (!fieldsEnabled_ || entry_ < 0 || subject_ < 0) return nullptr;
  return &values_[static_cast<std::size_t>(entry_)].subjects[static_cast<std::size_t>(subject_)];
}

SubjectSelection SchemaReport::ShownFlags() const {
  if (entry_ < 0 || subject_ < 0) return {};
  return values_[static_cast<std::size_t>(entry_)].subjects[static_cast<std::size_t>(subject_)];
}

void SchemaReport::SetDebit(bool set) {
  if (SubjectSelection* selection = Current()) selection->debit = set;
}
void SchemaReport::SetCredit(bool set) {
  if (SubjectSelection* selection = Current()) selection->credit = set;
}
void SchemaReport::SetInvert(bool set) {
  if (SubjectSelection* selection = Current()) selection->invert = set;
}

void SchemaReport::SetText(std::string text) {
  if (!textEnabled_ || entry_ < 0) return;
  text_ = std::move(text);
  values_[static_cast<std::size_t>(entry_)].text = text_;
}

std::array<std::int32_t, 12> SchemaReport::MonthTotals(std::size_t k) {
  std::array<std::int32_t, 12> totals{};
  const SchemaEntrySetting& value = values_.at(k);
  if (!value.hasSubjects || year_ < 0) return totals;
  const std::string& year = years_[static_cast<std::size_t>(year_)];
  const std::string shortYear = year.substr(year.size() - 2);
  for (std::size_t s = 0; s < subjects_.size() && s < value.subjects.size(); ++s) {
    const SubjectSelection& selection = value.subjects[s];
    if (!selection.selected) continue;
    TLedgerGrid* ledger = host_.FindLedger(subjects_[s]);
    if (!ledger) continue;
    std::array<std::int32_t, 12> debit{};
    std::array<std::int32_t, 12> credit{};
    // The journal writes two-digit years; a journal read from a CSV file may keep four.
    if (selection.debit) {
      ledger->MonthlyDebitTotals(shortYear, debit);
      if (year != shortYear) ledger->MonthlyDebitTotals(year, debit);
    }
    if (selection.credit) {
      ledger->MonthlyCreditTotals(shortYear, credit);
      if (year != shortYear) ledger->MonthlyCreditTotals(year, credit);
    }
    for (std::size_t m = 0; m < totals.size(); ++m) {
      const std::int32_t net =
          selection.invert ? CheckedSub(credit[m], debit[m]) : CheckedSub(debit[m], credit[m]);
      totals[m] = CheckedAdd(totals[m], net);
    }
  }
  return totals;
}

void SchemaReport::FillMonths(QDomDocument& document, QDomElement& element, std::size_t k) {
  const std::array<std::int32_t, 12> totals = MonthTotals(k);
  for (std::size_t m = 0; m < totals.size(); ++m) {
    QDomElement month = document.createElement(QString::fromLatin1(kMonthNames[m]));
    month.appendChild(document.createTextNode(QString::fromStdString(IntToText(totals[m]))));
    element.appendChild(month);
  }
}

QDomDocument SchemaReport::BuildReport() {
  QDomDocument document;
  const auto makeElement = [&](std::string_view line, std::size_t k) {
    bool months = false;
    bool text = false;
    std::string name;
    if (EndsWith(line, " *")) {
      name = WithoutFirst(line, " *");
      months = text = true;
    } else if (EndsWith(line, " +")) {
      name = WithoutFirst(line, " +");
      months = true;
    } else if (EndsWith(line, " /")) {
      name = WithoutFirst(line, " /");
      text = true;
    } else {
      name = std::string(line);
    }
    const QString qname = FromCp932(name);
    if (!IsXmlName(qname)) {
      throw Error(FormatMessage(Sjis("'%s' は要素名に使えません"), name));
    }
    QDomElement element = document.createElement(qname);
    if (months) FillMonths(document, element, k);
    const std::string& entryText = values_[k].text;
    if (text && !entryText.empty()) {
      const QString content = FromCp932(entryText);
      for (const char32_t c : content.toUcs4()) {
        if (!IsXmlTextCharacter(c)) {
          host_.ui().Message(Sjis("テキストにXMLファイルに書けない制御文字があります"));
          throw Error(Sjis("テキストにXMLファイルに書けない制御文字があります"));
        }
      }
      element.appendChild(document.createTextNode(content));
    }
    return element;
  };

  int depth = 0;
  QDomElement previous;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    std::string_view line = entries_[i];
    int n = 0;
    while (line.starts_with(kLevelMark)) {
      line.remove_prefix(kLevelMark.size());
      ++n;
    }
    QDomElement element = makeElement(line, i);
    if (i == 0) {
      document.appendChild(element);
      depth = n;
      previous = element;
      continue;
    }
    QDomNode parent;
    if (n > depth) {
      parent = previous;
    } else {
      parent = previous.parentNode();
      for (int up = 0; up < depth - n && !parent.isNull(); ++up) parent = parent.parentNode();
    }
    // Above the first entry there is only the document, which holds one element.
    if (!parent.isElement()) {
      throw Error(FormatMessage(Sjis("'%s' を置く場所がありません"), entries_[i]));
    }
    parent.appendChild(element);
    depth = n;
    previous = element;
  }
  return document;
}

std::string SchemaReport::ReportImage(const QDomDocument& report, const QString& xmlPath) const {
  QString xml = report.toString(-1);
  while (xml.endsWith(u'\n') || xml.endsWith(u'\r')) xml.chop(1);
  const std::optional<std::string> body = ToCp932(xml);
  if (!body) {
    const std::string message = FormatMessage(
        Sjis("レポートの '%s' はシフト JIS (CP932) で表せない文字のため書き出せません"),
        "U+" + QString::number(FirstNonCp932Character(xml).toUcs4().value(0), 16)
                   .toUpper()
                   .toStdString());
    host_.ui().Message(message);
    throw Error(message);
  }
  std::string image;
  AppendLine(image, R"(<?xml version="1.0" encoding="Shift_JIS"?>)");
  AppendLine(image, R"(<?xml-stylesheet type="text/xsl" href=")" +
                        StylesheetHref(xmlPath, PathFromCp932(WithExtension(schemaPath_, ".xsl"))) +
                        R"("?>)");
  AppendLine(image, *body);
  return image;
}

void SchemaReport::WriteReportXml() {
  Ui& ui = host_.ui();
  const std::string path = ui.SelectSaveFile(
      BaseNameOf(schemaPath_) + ".xml", Sjis("XMLファイル名を入力してください"), AppFolder(), 3);
  if (path.empty()) throw Error(Sjis("XMLファイル名が選択されませんでした"));
  const QDomDocument report = BuildReport();
  const QString xmlPath = PathFromCp932(path);
  WriteFileAtomically(xmlPath, ReportImage(report, xmlPath));
  writtenXml_ = xmlPath;
  writtenHtml_.clear();
  if (!writeHtml_) return;
  const QString stylesheet = ReportStylesheet(PathFromCp932(schemaPath_));
  const QString htmlPath = ReportHtmlPath(xmlPath);
  if (stylesheet.isEmpty() || htmlPath == xmlPath) return;
  // The XML is written and stays: a stylesheet that fails costs only the page.
  try {
    WriteReportHtml(xmlPath, stylesheet, htmlPath);
    writtenHtml_ = htmlPath;
  } catch (const Error& error) {
    ui.Message(error.Message());
  }
}

}  // namespace engine
