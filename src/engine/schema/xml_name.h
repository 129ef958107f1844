#pragma once

#include <QString>

namespace engine {

// True when `name` is an XML 1.0 name (fifth edition), colons allowed: what an element of
// the report may be called. Qt's DOM would create an element of any name and then write a
// file no XML reader accepts.
bool IsXmlName(const QString& name);

}  // namespace engine
