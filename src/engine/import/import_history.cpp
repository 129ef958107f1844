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
  return saved_.count(fingerprint) > 0 || pending_.count(fingerprint) > 0;
}

void ImportHistory::AddPending(std::string_view profile,
                               const std::vector<std::uint64_t>& fingerprints) {
  std::string name(profile);
  for (char& c : name) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  for (const std::uint64_t fp : fingerprints) {
    if (Contains(fp)) continue;
    pending_.insert(fp);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(fp));
    AppendLine(pendingLines_, std::string(hex) + '\t' + name);
  }
}

void ImportHistory::SavePending() {
  if (pendingLines_.empty()) return;
  CheckTextFile(path_, "取り込み履歴");
  std::string image = QFileInfo::exists(path_) ? ReadFileBytes(path_) : std::string();
  if (!image.empty() && image.back() != '\n' && image.back() != '\r') image.append("\r\n");
  image += pendingLines_;
  WriteFileAtomically(path_, image);
  saved_.insert(pending_.begin(), pending_.end());
  pending_.clear();
  pendingLines_.clear();
}

void ImportHistory::DiscardPending() {
  pending_.clear();
  pendingLines_.clear();
}

namespace {

// The fingerprint at the start of a pending line ("%016llx\tprofile").
std::uint64_t LineFingerprint(std::string_view line) {
  std::uint64_t value = 0;
  std::from_chars(line.data(), line.data() + std::min<std::size_t>(line.size(), 16), value, 16);
  return value;
}

}  // namespace

std::string ImportHistory::TakePendingAfter(std::size_t mark) {
  // A save in between has already written them; what the file holds stays.
  if (mark >= pendingLines_.size()) return {};
  std::string taken = pendingLines_.substr(mark);
  pendingLines_.resize(mark);
  ForEachLine(taken, [&](std::string_view line) { pending_.erase(LineFingerprint(line)); });
  return taken;
}

void ImportHistory::RestorePending(const std::string& lines) {
  ForEachLine(lines, [&](std::string_view line) { pending_.insert(LineFingerprint(line)); });
  pendingLines_ += lines;
}

}  // namespace engine::import
