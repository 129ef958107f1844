#pragma once

#include <QString>
#include <string>

namespace engine {

// The files that go with a schema report: the stylesheet the XML names, and the HTML page
// made from the XML by that stylesheet. Paths here are the operating system's (UTF-8).

// The stylesheet of reports written with `schemaPath`: the schema's path with ".xsl", when
// that file exists; empty otherwise.
QString ReportStylesheet(const QString& schemaPath);

// Where the HTML page of the report at `xmlPath` goes: beside it, "<name>.html".
QString ReportHtmlPath(const QString& xmlPath);

// The href of the report's stylesheet line: a URI reference to `stylesheetPath` as seen from
// the report at `xmlPath`. A stylesheet in the report's folder or below it is named by a
// relative reference, so the folder can be moved or mailed whole; any other by a "file:" URI.
// Every byte of the UTF-8 path but the unreserved characters and "/" is percent-encoded, so
// the value is plain ASCII that needs no escaping inside the attribute.
std::string StylesheetHref(const QString& xmlPath, const QString& stylesheetPath);

// Transforms the report at `xmlPath` by the stylesheet at `xslPath` and writes the result to
// `htmlPath` in UTF-8, replacing the file in one step: an old page stays whole when anything
// fails. The stylesheet may not read any other file or reach the network (document(),
// xsl:include and xsl:import of other files, external entities), and its recursion and work
// are bounded, so a looping stylesheet ends with an error instead of hanging. Throws Error
// with a message for the user.
void WriteReportHtml(const QString& xmlPath, const QString& xslPath, const QString& htmlPath);

}  // namespace engine
