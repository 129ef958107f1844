#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "engine/app/book.h"
#include "engine/app/book_check.h"

namespace cli {

struct Context;

// A book opened for reading: the index file's lines and the engine's book over them.
struct OpenedBook {
  std::string indexPath;  // CP932
  std::vector<std::string> index;
  std::unique_ptr<engine::Book> book;
};

// Finds and opens the book an operand names. Every file is tested before the engine reads
// it, so a missing or foreign file is named in the message. Returns kOk, or kFailure after
// saying why. With `fileFindings` (the check), unreadable and foreign files are findings
// instead: then kFindings when a file can't be read and the book was not opened. `mode`
// Normal takes the book's lock, for a command that writes.
int OpenBookFor(Context& context, const QString& operand, OpenedBook& opened,
                std::vector<engine::Finding>* fileFindings = nullptr,
                engine::Book::OpenMode mode = engine::Book::OpenMode::ReadOnly);

// The book's aggregation settings file, which must exist, be readable CP932 text and hold
// `section` when that isn't empty. Returns its CP932 path, or empty after saying why.
std::string SettingsFileFor(const OpenedBook& opened, const char* section);

// "'<path>'" as UTF-8 for a message.
std::string Quoted(const std::string& cp932Path);

}  // namespace cli
