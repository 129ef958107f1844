#include "engine/import/import_history.h"

#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cstdio>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "engine/import/import_profile.h"

namespace engine::import {

namespace {

// FNV-1a: stable across runs and builds, which std::hash is not.
void Mix(std::uint64_t& hash, std::string_view bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
}

}  // namespace

std::uint64_t RecordHash(const RawRecord& record) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const std::string& field : record.fields) {
    Mix(hash, "\x1f");
    Mix(hash, field);
  }
  return hash;
}

std::uint64_t Fingerprint(std::string_view profile, std::uint64_t recordHash, int occurrence) {
  std::uint64_t hash = 14695981039346656037ULL;
  Mix(hash, profile);
  Mix(hash, "\x1e");
  Mix(hash, std::to_string(recordHash));
  Mix(hash, "\x1e");
  Mix(hash, std::to_string(occurrence));
  return hash;
}

void ImportHistory::Load() {
  if (loaded_) return;
  CheckTextFile(path_, "取り込み履歴");
  std::unordered_set<std::uint64_t> read;
  if (QFileInfo::exists(path_)) {
    const std::string bytes = ReadFileBytes(path_);
    long number = 0;
    ForEachLine(bytes, [&](std::string_view line) {
      ++number;
      if (line.empty()) return;
      const std::string_view hex = line.substr(0, line.find('\t'));
      std::uint64_t value = 0;
      const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
      if (ec != std::errc() || end != hex.data() + hex.size() || hex.size() != 16) {
        throw Error(ToCp932(QStringLiteral("取り込み履歴のファイル「%1」の %2 行目が壊れています")
                                .arg(path_)
                                .arg(number))
                        .value_or(std::string()));
      }
      read.insert(value);
    });
  }
  saved_ = std::move(read);
  loaded_ = true;
}

bool ImportHistory::Contains(std::uint64_t fingerprint) const {
  if (pending_.count(fingerprint) > 0) return true;
  return saved_.count(fingerprint) > 0 && forgotten_.count(fingerprint) == 0;
}

std::vector<std::uint64_t> ImportHistory::AddPending(
    std::string_view profile, const std::vector<std::uint64_t>& fingerprints) {
  std::string name(profile);
  for (char& c : name) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  std::vector<std::uint64_t> added;
  for (const std::uint64_t fp : fingerprints) {
    if (Contains(fp)) continue;
    // A saved row forgotten by an undone import is simply remembered again.
    if (forgotten_.erase(fp) == 0) {
      pending_.insert(fp);
      char hex[17];
      std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(fp));
      AppendLine(pendingLines_, std::string(hex) + '\t' + name);
    }
    added.push_back(fp);
  }
  return added;
}

namespace {

// The fingerprint at the start of a line of the file ("%016llx\tprofile"); lines it can't
// name (blank ones) give 0, which no row is forgotten as.
std::uint64_t LineFingerprint(std::string_view line) {
  std::uint64_t value = 0;
  std::from_chars(line.data(), line.data() + std::min<std::size_t>(line.size(), 16), value, 16);
  return value;
}

// The lines of `text` whose fingerprint is not in `left`, each ended with CR LF.
std::string LinesWithout(std::string_view text, const std::unordered_set<std::uint64_t>& left) {
  std::string kept;
  kept.reserve(text.size());
  ForEachLine(text, [&](std::string_view line) {
    if (left.count(LineFingerprint(line)) == 0) AppendLine(kept, line);
  });
  return kept;
}

}  // namespace

void ImportHistory::SavePending() {
  if (!HasPending()) return;
  CheckTextFile(path_, "取り込み履歴");
  std::string image = QFileInfo::exists(path_) ? ReadFileBytes(path_) : std::string();
  if (!forgotten_.empty()) image = LinesWithout(image, forgotten_);
  if (!image.empty() && image.back() != '\n' && image.back() != '\r') image.append("\r\n");
  image += pendingLines_;
  WriteFileAtomically(path_, image);
  for (const std::uint64_t fp : forgotten_) saved_.erase(fp);
  saved_.insert(pending_.begin(), pending_.end());
  forgotten_.clear();
  pending_.clear();
  pendingLines_.clear();
}

void ImportHistory::DiscardPending() {
  pending_.clear();
  pendingLines_.clear();
  forgotten_.clear();
}

void ImportHistory::Forget(const std::vector<std::uint64_t>& fingerprints) {
  std::unordered_set<std::uint64_t> unsaved;
  for (const std::uint64_t fp : fingerprints) {
    if (pending_.erase(fp) > 0) {
      unsaved.insert(fp);
    } else if (saved_.count(fp) > 0) {
      forgotten_.insert(fp);
    }
  }
  if (!unsaved.empty()) pendingLines_ = LinesWithout(pendingLines_, unsaved);
}

}  // namespace engine::import
