#pragma once

#include <QString>

namespace engine {

// The book a path given on the command line names: an index file as it is, or the folder
// that holds exactly one index file (a ".txt" file whose first line ends in ".txt"). The
// result is absolute. Throws Error with a message naming the path when there is no such
// file, or when a folder holds none or more than one.
QString FindIndexFile(const QString& path);

}  // namespace engine
