#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QWidget;

namespace desktop {

// The file choices of the whole program. Texts and paths are CP932 as the engine keeps them;
// an empty folder means the current folder; filters count from 1. Both return the chosen
// path, or empty text when the user cancels or chose a path that CP932 cannot hold (which is
// said in a message, since the book files keep their paths as CP932).

// Filters 1 text, 2 CSV, 3 XML, 4 schema, 5 all files; only an existing file is accepted.
std::string SelectOpenFile(QWidget* parent, const std::string& proposedName,
                           const std::string& title, const std::string& folder, int filter);

// Filters 1 text, 2 CSV, 3 XML, 4 all files; the extension of filters 1 to 3 is appended when
// the name lacks it, and replacing an existing file is asked first.
std::string SelectSaveFile(QWidget* parent, const std::string& proposedName,
                           const std::string& title, const std::string& folder, int filter);

// The two dialogs' filter lists, in filter-number order.
QStringList OpenFileFilters();
QStringList SaveFileFilters();

// The save dialog's extension rule: with save filter 1, 2 or 3, the path gets ".txt", ".csv" or
// ".xml" appended unless its last four characters, lower-cased, are that extension already.
QString WithFilterExtension(const QString& path, int filter);

}  // namespace desktop
