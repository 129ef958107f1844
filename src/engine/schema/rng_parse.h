#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <cstddef>
#include <string>
#include <vector>

namespace engine {

class Ui;

// Reads a schema written in a small part of RELAX NG (XML syntax, names without a namespace
// prefix) into the report tree and lists that tree as report entries: one line per report
// element in document order, a level mark "･･･" per level of depth, the element's name and
// a suffix for its kind (" /" text, " +" subject, " *" both, nothing for a plain element).
//
// The schema is outside input: a document type declaration (and with it every entity), a
// file or a tree beyond the limits below, or a report element whose name is no XML name or
// can't be held in CP932, is refused like a schema that is not well-formed.
class trngdomparse {
 public:
  // Limits on the schema file and on the report tree built from it. The tree can grow far
  // beyond the file when defines refer to each other, hence its own limits.
  static constexpr qsizetype kMaxSchemaBytes = 4 * 1024 * 1024;
  static constexpr int kMaxSchemaDepth = 256;
  static constexpr int kMaxSchemaNodes = 200000;
  static constexpr int kMaxReportElements = 10000;
  static constexpr int kMaxReportDepth = 100;
  // Nodes visited while building the report, so that a define of many ignored nodes
  // referred to many times can't keep the reader busy for minutes.
  static constexpr long kMaxWork = 4000000;

  explicit trngdomparse(Ui& ui) : ui_(ui) {}

  // The entry list of the schema file at `path` (CP932). A schema that is refused gets
  // "スキーマの構造が不正です" and an empty list; a document element that is neither
  // "grammar" nor "element" gets an empty list and no message.
  std::vector<std::string> ParseSchema(const std::string& path);
  // The same for the file's bytes.
  std::vector<std::string> ParseSchemaBytes(const QByteArray& bytes);

  // The report tree of the last successful parse, with its document element "xmlroot".
  const QDomDocument& ReportDocument() const { return report_; }

 private:
  void Parse(const QByteArray& bytes);
  void ConvertChildren(const QDomNode& source, QDomElement target);
  bool ExpandDefines(const QDomElement& grammar);
  void ListEntries(const QDomNode& node);
  // Creates "xmlroot" as the report's document element.
  QDomElement CreateReportRoot();
  QDomElement AppendReportElement(QDomElement& target, const QString& name);
  // The elements named `name` below `top`, in document order, as they stand now.
  std::vector<QDomElement> ElementsNamed(const QDomNode& top, const QString& name);
  void CountWork();

  Ui& ui_;
  QDomDocument schema_;
  QDomDocument report_;
  int depth_ = 0;
  std::vector<std::string> entries_;
  int reportElements_ = 0;
  long work_ = 0;
  // Text in a start element that the DOM dropped though it is no white space.
  bool startHoldsText_ = false;
};

}  // namespace engine
