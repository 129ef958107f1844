#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tables/row.h"

namespace engine {

// The unsaved state of a book, as the recovery file beside it keeps it: the list files'
// lines and every table's rows with their marks, in window order (the journal first).
struct RecoveryImage {
  struct Table {
    std::string caption;
    std::vector<Row> rows;  // rows[0] is a place holder for the heading
    std::vector<std::uint8_t> marks;
  };
  std::vector<std::string> subjectLines;
  std::vector<std::string> summaryLines;
  std::vector<Table> tables;
};

// "<folder>/<book name>.recovery": beside the index file, never one of the book's files.
std::string RecoveryPath(const std::string& indexPath);

// The file's bytes; the last line holds the length of all before it, so a file cut short
// is told from a whole one.
std::string WriteRecoveryImage(const RecoveryImage& image);
// Throws Error when the bytes are not a whole recovery file.
RecoveryImage ReadRecoveryImage(std::string_view bytes);

}  // namespace engine
