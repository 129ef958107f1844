#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/import/statement_reader.h"

namespace engine::import {

// A statement row's identity for one profile: the row's fields and how many identical rows
// came before it in the same file, so that a true repeat purchase (two equal rows) is two
// rows while the same row in an overlapping download is the same one.
// The record's own part is hashed once (RecordHash), so that naming the profile later only
// recombines.
std::uint64_t RecordHash(const RawRecord& record);
std::uint64_t Fingerprint(std::string_view profile, std::uint64_t recordHash, int occurrence);

// The fingerprints of the rows imported into a book, kept in a text file beside it. New ones
// stay pending until the book is saved, so that a book closed without saving doesn't claim
// rows it never kept.
class ImportHistory {
 public:
  explicit ImportHistory(QString path) : path_(std::move(path)) {}
  const QString& Path() const { return path_; }
  // The book was saved under another name, its file copied along.
  void SetPath(QString path) { path_ = std::move(path); }

  // Reads the file once; throws Error naming the file when it is damaged.
  void Load();
  bool Contains(std::uint64_t fingerprint) const;
  // Notes the rows not noted yet (pending until the next save), and returns those.
  std::vector<std::uint64_t> AddPending(std::string_view profile,
                                        const std::vector<std::uint64_t>& fingerprints);
  // Whether the file has changes to write.
  bool HasPending() const { return !pendingLines_.empty() || !forgotten_.empty(); }
  // Writes the pending changes (the file replaced atomically). Throws Error when it can't
  // be written; they then stay pending.
  void SavePending();
  // Forgets what was not saved (the book was closed without saving).
  void DiscardPending();
  // For undo of an import: the rows it noted are forgotten (from the file, when a save has
  // written them, at the next save). Redo notes them again.
  void Forget(const std::vector<std::uint64_t>& fingerprints);

 private:
  QString path_;
  bool loaded_ = false;
  std::unordered_set<std::uint64_t> saved_;
  std::unordered_set<std::uint64_t> pending_;
  std::string pendingLines_;
  // Saved rows that an undone import took back: the next save leaves them out of the file.
  std::unordered_set<std::uint64_t> forgotten_;
};

}  // namespace engine::import
