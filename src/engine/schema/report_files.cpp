#include "engine/schema/report_files.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <memory>
#include <mutex>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace engine {

namespace {

// Nested templates a stylesheet may call; the shipped one needs a handful. Each level costs
// native stack, so the bound stays far below what would overflow it.
constexpr int kMaxTemplateDepth = 500;
constexpr int kMaxTemplateVars = 15000;
// The work one transform may do, in XPath steps and in instructions: the shipped monthly
// report takes some 16000 steps; a stylesheet that branches without end reaches these within
// seconds and is stopped.
constexpr unsigned long kMaxXPathOperations = 5'000'000;
constexpr unsigned long kMaxInstructions = 2'000'000;
// The part of the library's own diagnostics that goes into a message.
constexpr qsizetype kMaxDetail = 300;

QString Absolute(const QString& path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

std::string Shown(const QString& path) {
  return ToCp932(path).value_or(path.toLatin1().toStdString());
}

// Collects what libxml2 and libxslt report while a transform runs, instead of letting them
// print to the terminal, and puts the libraries' global handlers back afterwards. While one
// of these lives no stylesheet may read a file or the network: the default security
// preferences (which xsl:include and xsl:import consult while a stylesheet is parsed) and
// the loader of external entities refuse everything.
class LibraryScope {
 public:
  LibraryScope() {
    static std::once_flag initialised;
    std::call_once(initialised, [] {
      xmlInitParser();
      xsltInit();
    });
    oldXmlError_ = xmlGenericError;
    oldXmlContext_ = xmlGenericErrorContext;
    oldXsltError_ = xsltGenericError;
    oldXsltContext_ = xsltGenericErrorContext;
    current_ = this;
    xmlSetGenericErrorFunc(this, &LibraryScope::Collect);
    xsltSetGenericErrorFunc(this, &LibraryScope::Collect);
    oldStructured_ = xmlStructuredError;
    oldStructuredContext_ = xmlStructuredErrorContext;
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    oldLoader_ = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(&LibraryScope::RefuseEntity);
    oldPrefs_ = xsltGetDefaultSecurityPrefs();
    prefs_ = xsltNewSecurityPrefs();
    for (const xsltSecurityOption option :
         {XSLT_SECPREF_READ_FILE, XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
          XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK}) {
      xsltSetSecurityPrefs(prefs_, option, &LibraryScope::Forbid);
    }
    xsltSetDefaultSecurityPrefs(prefs_);
  }
  ~LibraryScope() {
    xsltSetDefaultSecurityPrefs(oldPrefs_);
    xsltFreeSecurityPrefs(prefs_);
    xmlSetExternalEntityLoader(oldLoader_);
    xsltSetGenericErrorFunc(oldXsltContext_, oldXsltError_);
    xmlSetGenericErrorFunc(oldXmlContext_, oldXmlError_);
    xmlSetStructuredErrorFunc(oldStructuredContext_, oldStructured_);
    current_ = nullptr;
  }
  LibraryScope(const LibraryScope&) = delete;
  LibraryScope& operator=(const LibraryScope&) = delete;

  xsltSecurityPrefsPtr Prefs() const { return prefs_; }
  // Whether the stylesheet tried to read a file or the network.
  bool Refused() const { return refused_; }

  // The first line the libraries reported, shortened.
  QString Detail() const {
    QString text = QString::fromUtf8(collected_).trimmed();
    text = text.section(u'\n', 0, 0).trimmed();
    if (text.size() > kMaxDetail) text = text.left(kMaxDetail) + QStringLiteral("…");
    return text;
  }

 private:
  static void Collect(void* context, const char* format, ...) {
    auto* scope = static_cast<LibraryScope*>(context);
    char buffer[1024];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0 && scope->collected_.size() < 64 * 1024) scope->collected_ += buffer;
  }
  static xmlParserInputPtr RefuseEntity(const char*, const char*, xmlParserCtxtPtr) {
    if (current_) current_->refused_ = true;
    return nullptr;
  }
  static int Forbid(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char*) {
    if (current_) current_->refused_ = true;
    return 0;
  }

  // The scope that the libraries' callbacks without a context report to.
  static inline LibraryScope* current_ = nullptr;
  bool refused_ = false;

  std::string collected_;
  xmlGenericErrorFunc oldXmlError_ = nullptr;
  void* oldXmlContext_ = nullptr;
  xmlGenericErrorFunc oldXsltError_ = nullptr;
  void* oldXsltContext_ = nullptr;
  xmlStructuredErrorFunc oldStructured_ = nullptr;
  void* oldStructuredContext_ = nullptr;
  xmlExternalEntityLoader oldLoader_ = nullptr;
  xsltSecurityPrefsPtr oldPrefs_ = nullptr;
  xsltSecurityPrefsPtr prefs_ = nullptr;
};

struct DocFree {
  void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct StyleFree {
  void operator()(xsltStylesheetPtr style) const { xsltFreeStylesheet(style); }
};
struct ContextFree {
  void operator()(xsltTransformContextPtr context) const { xsltFreeTransformContext(context); }
};
struct XmlFree {
  void operator()(xmlChar* text) const { xmlFree(text); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;
using Style = std::unique_ptr<xsltStylesheet, StyleFree>;
using Context = std::unique_ptr<xsltTransformContext, ContextFree>;

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOENT;

[[noreturn]] void Fail(const char* utf8Template, const QString& path, const LibraryScope& scope) {
  if (scope.Refused()) {
    throw Error(FormatMessage(
        Sjis("HTML を作成できません: '%s' がほかのファイルやネットワークを使おうとしました"),
        Shown(path)));
  }
  std::string message = FormatMessage(Sjis(utf8Template), Shown(path));
  const QString detail = scope.Detail();
  if (!detail.isEmpty())
    message += " (" + ToCp932(detail).value_or(detail.toLatin1().toStdString()) + ")";
  throw Error(message);
}

// The report as libxml2 reads it. The program writes its reports in code page 932, which
// the iconv behind libxml2 knows only as the narrower Shift_JIS, so such a file is decoded
// here and handed over as UTF-8.
// A file as the libraries take it: its length must fit an int.
std::string ReadInput(const QString& path) {
  std::string bytes = ReadFileBytes(path);
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw Error(FormatMessage(Sjis("HTML を作成できません: '%s' が大きすぎます"), Shown(path)));
  }
  return bytes;
}

Doc ReadReport(const QString& xmlPath, const LibraryScope& scope) {
  const std::string bytes = ReadInput(xmlPath);
  static const QRegularExpression kDeclaredSjis(
      QStringLiteral(
          R"(^<\?xml[^>]*encoding\s*=\s*["'](shift_jis|sjis|cp932|windows-31j|ms_kanji)["'])"),
      QRegularExpression::CaseInsensitiveOption);
  const QByteArray head = QByteArray::fromStdString(bytes.substr(0, 200));
  const std::string url = QUrl::fromLocalFile(Absolute(xmlPath)).toEncoded().toStdString();
  xmlDocPtr doc = nullptr;
  if (kDeclaredSjis.match(QString::fromLatin1(head)).hasMatch()) {
    const QByteArray utf8 = FromCp932(bytes).toUtf8();
    doc = xmlReadMemory(utf8.constData(), static_cast<int>(utf8.size()), url.c_str(), "UTF-8",
                        kParseOptions | XML_PARSE_IGNORE_ENC);
  } else {
    doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), url.c_str(), nullptr,
                        kParseOptions);
  }
  if (!doc) Fail("HTML を作成できません: レポート '%s' を XML として読めません", xmlPath, scope);
  return Doc(doc);
}

Style ReadStylesheet(const QString& xslPath, const LibraryScope& scope) {
  const std::string bytes = ReadInput(xslPath);
  const std::string url = QUrl::fromLocalFile(Absolute(xslPath)).toEncoded().toStdString();
  Doc doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), url.c_str(), nullptr,
                        kParseOptions));
  if (!doc || scope.Refused()) {
    Fail("HTML を作成できません: '%s' を XML として読めません", xslPath, scope);
  }
  xsltStylesheetPtr parsed = xsltParseStylesheetDoc(doc.get());
  if (!parsed)
    Fail("HTML を作成できません: '%s' は XSLT スタイルシートではありません", xslPath, scope);
  doc.release();  // the stylesheet owns its document now
  Style style(parsed);
  if (style->errors > 0 || scope.Refused()) {
    Fail("HTML を作成できません: '%s' は使えない XSLT スタイルシートです", xslPath, scope);
  }
  return style;
}

}  // namespace

QString ReportStylesheet(const QString& schemaPath) {
  const QFileInfo schema(schemaPath);
  const QString xsl = schema.dir().filePath(schema.completeBaseName() + QStringLiteral(".xsl"));
  return QFileInfo(xsl).isFile() ? xsl : QString();
}

QString ReportHtmlPath(const QString& xmlPath) {
  const QFileInfo xml(xmlPath);
  return xml.dir().filePath(xml.completeBaseName() + QStringLiteral(".html"));
}

std::string StylesheetHref(const QString& xmlPath, const QString& stylesheetPath) {
  const QString sheet = Absolute(stylesheetPath);
  const QString relative = QFileInfo(Absolute(xmlPath)).dir().relativeFilePath(sheet);
  if (!relative.startsWith(QStringLiteral("../")) && relative != QStringLiteral("..") &&
      !QDir::isAbsolutePath(relative)) {
    return QUrl::toPercentEncoding(relative, "/").toStdString();
  }
  return "file://" + QUrl::toPercentEncoding(sheet, "/").toStdString();
}

void WriteReportHtml(const QString& xmlPath, const QString& xslPath, const QString& htmlPath) {
  LibraryScope scope;
  const Style style = ReadStylesheet(xslPath, scope);
  const Doc report = ReadReport(xmlPath, scope);

  const Context context(xsltNewTransformContext(style.get(), report.get()));
  if (!context) throw Error(Sjis("HTML を作成できません: 変換を始められません"));
  context->maxTemplateDepth = kMaxTemplateDepth;
  context->maxTemplateVars = kMaxTemplateVars;
  context->opLimit = kMaxInstructions;
  if (context->xpathCtxt) context->xpathCtxt->opLimit = kMaxXPathOperations;
  xsltSetCtxtSecurityPrefs(scope.Prefs(), context.get());
  const Doc result(
      xsltApplyStylesheetUser(style.get(), report.get(), nullptr, nullptr, nullptr, context.get()));
  if (!result || context->state != XSLT_STATE_OK || scope.Refused()) {
    Fail("HTML を作成できません: '%s' による変換が途中で止まりました", xslPath, scope);
  }

  // The page is UTF-8 whatever the stylesheet asked for, and says so in its head.
  xmlFree(const_cast<xmlChar*>(style->encoding));
  style->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
  xmlChar* text = nullptr;
  int size = 0;
  if (xsltSaveResultToString(&text, &size, result.get(), style.get()) != 0) {
    Fail("HTML を作成できません: '%s' の結果を書き出せません", xslPath, scope);
  }
  const std::unique_ptr<xmlChar, XmlFree> owned(text);
  WriteFileAtomically(htmlPath, std::string_view(reinterpret_cast<const char*>(text),
                                                 static_cast<std::size_t>(size)));
}

}  // namespace engine
