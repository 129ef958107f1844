#include "engine/schema/rng_parse.h"

#include <QDomNamedNodeMap>
#include <QDomNodeList>
#include <QFile>
#include <QXmlStreamReader>
#include <exception>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/ui.h"
#include "engine/schema/xml_name.h"

namespace engine {

namespace {

constexpr char kLevelMark[] = "\xA5\xA5\xA5";

const QString kElement = QStringLiteral("element");
const QString kRef = QStringLiteral("ref");
const QString kText = QStringLiteral("text");
const QString kName = QStringLiteral("name");
const QString kType = QStringLiteral("type");
const QString kSubject = QStringLiteral("subject");
const QString kXmlRoot = QStringLiteral("xmlroot");

[[noreturn]] void Refuse() {
  throw Error(Sjis("スキーマの構造が不正です"));
}

bool IsElementNamed(const QDomNode& node, const QString& name) {
  return node.isElement() && node.nodeName() == name;
}

bool IsXmlBlank(QStringView text) {
  for (const QChar c : text) {
    if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
  }
  return true;
}

// Looks the whole file over with a streaming reader before the DOM gets it: the DOM would
// follow a document type declaration's entities and build a tree of any depth.
// Returns whether a "start" element holds text of blanks that are no XML white space (such
// as U+3000): a text node all the same, which Qt's DOM drops on loading like white space.
bool CheckSchemaBytes(const QByteArray& bytes) {
  if (bytes.size() > trngdomparse::kMaxSchemaBytes) Refuse();
  QXmlStreamReader reader(bytes);
  reader.setNamespaceProcessing(false);
  std::vector<bool> inStart;
  bool startHoldsText = false;
  int nodes = 0;
  while (!reader.atEnd()) {
    switch (reader.readNext()) {
      case QXmlStreamReader::DTD:
      case QXmlStreamReader::EntityReference:
        Refuse();
      case QXmlStreamReader::StartElement:
        if (inStart.size() >= static_cast<std::size_t>(trngdomparse::kMaxSchemaDepth)) Refuse();
        inStart.push_back(reader.qualifiedName() == u"start");
        break;
      case QXmlStreamReader::EndElement:
        if (!inStart.empty()) inStart.pop_back();
        break;
      case QXmlStreamReader::Characters:
        if (!inStart.empty() && inStart.back() && !reader.isCDATA() &&
            !IsXmlBlank(reader.text())) {
          startHoldsText = true;
        }
        break;
      default:
        break;
    }
    if (++nodes > trngdomparse::kMaxSchemaNodes) Refuse();
  }
  if (reader.hasError()) Refuse();
  return startHoldsText;
}

}  // namespace

std::vector<std::string> trngdomparse::ParseSchema(const std::string& path) {
  QFile file(PathFromCp932(path));
  // One byte past the limit is enough to know the file is too large.
  QByteArray bytes;
  if (!file.open(QIODevice::ReadOnly) ||
      (bytes = file.read(kMaxSchemaBytes + 1), file.error() != QFileDevice::NoError)) {
    ui_.Message(Sjis("スキーマの構造が不正です"));
    return {};
  }
  return ParseSchemaBytes(bytes);
}

std::vector<std::string> trngdomparse::ParseSchemaBytes(const QByteArray& bytes) {
  entries_.clear();
  try {
    Parse(bytes);
  } catch (const std::exception&) {
    // Whatever went wrong, a half-built list would show a report that isn't the schema's.
    entries_.clear();
    report_ = QDomDocument();
    ui_.Message(Sjis("スキーマの構造が不正です"));
  }
  return std::move(entries_);
}

void trngdomparse::Parse(const QByteArray& bytes) {
  schema_ = QDomDocument();
  report_ = QDomDocument();
  reportElements_ = 0;
  work_ = 0;
  startHoldsText_ = CheckSchemaBytes(bytes);
  // Names are compared with their prefixes, as written.
  if (!schema_.setContent(bytes, false)) Refuse();

  QDomElement top = schema_.documentElement();
  const QString name = top.nodeName();
  if (name == u"grammar") {
    if (!ExpandDefines(top)) Refuse();
    ListEntries(report_.documentElement());
  } else if (name == kElement) {
    QDomElement root = CreateReportRoot();
    // The root element is read as the child of a grammar, like the element in a start.
    QDomElement grammar = schema_.createElement(QStringLiteral("grammar"));
    grammar.appendChild(top);
    ConvertChildren(grammar, root);
    ListEntries(root);
  }
}

QDomElement trngdomparse::CreateReportRoot() {
  QDomElement root = report_.createElement(kXmlRoot);
  report_.appendChild(root);
  return root;
}

void trngdomparse::CountWork() {
  if (++work_ > kMaxWork) Refuse();
}

QDomElement trngdomparse::AppendReportElement(QDomElement& target, const QString& name) {
  if (++reportElements_ > kMaxReportElements || !IsXmlName(name)) Refuse();
  int depth = 0;
  for (QDomNode n = target; !n.isNull(); n = n.parentNode()) {
    if (++depth > kMaxReportDepth) Refuse();
  }
  QDomElement element = report_.createElement(name);
  target.appendChild(element);
  return element;
}

void trngdomparse::ConvertChildren(const QDomNode& source, QDomElement target) {
  for (QDomNode child = source.firstChild(); !child.isNull(); child = child.nextSibling()) {
    CountWork();
    if (!child.isElement()) continue;
    const QString name = child.nodeName();
    if (name == kElement || name == kRef) {
      // XML allows an attribute name once per element, so the first "name" is the only one.
      const QDomElement element = child.toElement();
      if (!element.hasAttribute(kName)) continue;
      QDomElement created = AppendReportElement(target, element.attribute(kName));
      ConvertChildren(child, created);
    } else if (name == kText) {
      target.setAttribute(kType, target.hasAttribute(kType) ? QStringLiteral("all") : kText);
    }
  }
}

std::vector<QDomElement> trngdomparse::ElementsNamed(const QDomNode& top, const QString& name) {
  std::vector<QDomElement> found;
  // Pre-order without recursion: the report tree may be as deep as its limit allows.
  QDomNode node = top.firstChild();
  while (!node.isNull()) {
    CountWork();
    if (IsElementNamed(node, name)) found.push_back(node.toElement());
    if (node.hasChildNodes()) {
      node = node.firstChild();
      continue;
    }
    while (!node.isNull() && node != top && node.nextSibling().isNull()) node = node.parentNode();
    if (node.isNull() || node == top) break;
    node = node.nextSibling();
  }
  return found;
}

bool trngdomparse::ExpandDefines(const QDomElement& grammar) {
  const std::vector<QDomElement> starts = ElementsNamed(grammar, QStringLiteral("start"));
  if (starts.size() != 1) return false;
  const QDomElement& start = starts.front();
  if (start.childNodes().size() != 1 || startHoldsText_ ||
      !IsElementNamed(start.firstChild(), kElement)) {
    return false;
  }
  QDomElement root = CreateReportRoot();
  ConvertChildren(start, root);

  for (const QDomElement& define : ElementsNamed(grammar, QStringLiteral("define"))) {
    if (!define.hasAttribute(kName)) continue;
    const QString v = define.attribute(kName);
    // The placeholders as they stand before this define's expansion; elements that the
    // expansion creates are not expanded again.
    for (QDomElement& placeholder : ElementsNamed(report_, v)) {
      QDomNode parentNode = placeholder.parentNode();
      // Only "xmlroot" itself has the document above it; the report can't have two roots.
      if (!parentNode.isElement()) Refuse();
      QDomElement parent = parentNode.toElement();
      if (v == kSubject) {
        parent.setAttribute(kType, parent.hasAttribute(kType) ? QStringLiteral("all") : kSubject);
      } else {
        ConvertChildren(define, parent);
      }
      parent.removeChild(placeholder);
    }
  }
  return true;
}

void trngdomparse::ListEntries(const QDomNode& node) {
  for (QDomElement element = node.firstChildElement(); !element.isNull();
       element = element.nextSiblingElement()) {
    depth_ = 0;
    for (QDomNode p = element.parentNode(); p.isElement() && p.nodeName() != kXmlRoot;
         p = p.parentNode()) {
      ++depth_;
    }
    const std::optional<std::string> name = ToCp932(element.nodeName());
    if (!name) Refuse();
    std::string line;
    for (int i = 0; i < depth_; ++i) line += kLevelMark;
    line += *name;
    const QString type = element.attribute(kType);
    if (type == kText) {
      line += " /";
    } else if (type == kSubject) {
      line += " +";
    } else if (type == u"all") {
      line += " *";
    }
    entries_.push_back(std::move(line));
    ListEntries(element);
  }
}

}  // namespace engine
