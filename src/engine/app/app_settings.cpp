#include "engine/app/app_settings.h"

#include <algorithm>

#include "engine/app/app_folder.h"
#include "engine/base/integer.h"
#include "engine/history/history.h"

namespace engine {

namespace {
constexpr const char* kSettings = "Settings";
constexpr const char* kRecentFiles = "RecentFiles";
// What the program adds beyond the original settings has a section of its own.
constexpr const char* kSafety = "Safety";
}  // namespace

AppSettings::AppSettings() : AppSettings(DefaultPath()) {}

AppSettings::AppSettings(QString path) : profile_(std::move(path)) {
  for (int i = 0; i < kRecentFileCount; ++i)
    items_[static_cast<std::size_t>(i)].caption = "RecentFile" + std::to_string(i + 1);
}

QString AppSettings::DefaultPath() {
  return AppFolderPath() + QStringLiteral("zntbk.ini");
}

WindowPlacement AppSettings::ReadPlacement() const {
  const WindowPlacement defaults;
  return {profile_.ReadInt(kSettings, "left", defaults.left),
          profile_.ReadInt(kSettings, "top", defaults.top),
          profile_.ReadInt(kSettings, "width", defaults.width),
          profile_.ReadInt(kSettings, "height", defaults.height)};
}

bool AppSettings::HasPlacement() const {
  return !profile_.Read(kSettings, "width").empty();
}

bool AppSettings::ReadDigitGrouping() const {
  return profile_.ReadInt(kSettings, "digitGrouping", 1) != 0;
}

void AppSettings::WriteDigitGrouping(bool on) {
  profile_.Write(kSettings, "digitGrouping", on ? "1" : "0");
}

bool AppSettings::ReadPrintHeadings() const {
  return profile_.ReadInt(kSettings, "printHeadings", 0) != 0;
}

void AppSettings::WritePrintHeadings(bool on) {
  profile_.Write(kSettings, "printHeadings", on ? "1" : "0");
}

void AppSettings::WritePlacement(const WindowPlacement& placement) {
  profile_.Write(kSettings, "left", IntToText(placement.left));
  profile_.Write(kSettings, "top", IntToText(placement.top));
  profile_.Write(kSettings, "width", IntToText(placement.width));
  profile_.Write(kSettings, "height", IntToText(placement.height));
}

void AppSettings::LoadRecentFiles() {
  if (!profile_.HasSection(kRecentFiles)) return;
  const auto entries = profile_.Entries(kRecentFiles);
  const std::size_t count = std::min(entries.size(), items_.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (entries[i].value.empty()) continue;
    separatorVisible_ = true;
    items_[i] = {entries[i].value, true};
  }
}

void AppSettings::PushRecentFile(const std::string& path) {
  if (profile_.HasSection(kRecentFiles)) {
    for (int i = kRecentFileCount - 1; i >= 1; --i) {
      const std::string older = profile_.Read(kRecentFiles, "file" + std::to_string(i));
      if (!older.empty()) profile_.Write(kRecentFiles, "file" + std::to_string(i + 1), older);
    }
  }
  profile_.Write(kRecentFiles, "file1", path);
}

bool AppSettings::ConfirmLineDelete() const {
  return profile_.ReadInt(kSafety, "ConfirmLineDelete", 1) != 0;
}

void AppSettings::SetConfirmLineDelete(bool confirm) {
  profile_.Write(kSafety, "ConfirmLineDelete", confirm ? "1" : "0");
}

int AppSettings::BackupCount() const {
  return std::clamp(profile_.ReadInt(kSafety, "BackupCount", 10), 0, 1000);
}

int AppSettings::UndoLimit() const {
  return std::clamp(profile_.ReadInt(kSafety, "UndoLimit", History::kDefaultLimit), 1, 10000);
}

int AppSettings::RecoveryMinutes() const {
  return std::clamp(profile_.ReadInt(kSafety, "RecoveryMinutes", 5), 0, 24 * 60);
}

void AppSettings::AddRecentFile(const std::string& path) {
  const bool listed = std::any_of(items_.begin(), items_.end(),
                                  [&](const RecentFileItem& item) { return item.caption == path; });
  if (listed) return;
  PushRecentFile(path);
  LoadRecentFiles();
}

}  // namespace engine
