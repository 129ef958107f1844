#pragma once

#include "engine/base/ui.h"

namespace desktop {

class TAccMDI;

// What the engine says and asks, shown with the main window's widgets.
class DesktopUi : public engine::Ui {
 public:
  explicit DesktopUi(TAccMDI& mdi) : mdi_(mdi) {}

  void Message(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  std::string SelectOpenFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override;
  std::string SelectSaveFile(const std::string& proposedName, const std::string& title,
                             const std::string& folder, int filter) override;
  void SetStatus(int panel, const std::string& text) override;
  void SetMainCaption(const std::string& caption) override;
  void TableAdded(engine::TAccGrid& table) override;
  void TableRemoving(engine::TAccGrid& table) override;
  void TableRenamed(engine::TAccGrid& table, const std::string& oldCaption) override;
  void ShowTable(engine::TAccGrid& table, bool restore) override;
  void ArrangeWindows() override;
  void SetNoBookCommands() override;
  void SetBookCommands() override;
  void RecentFilesChanged() override;

 private:
  TAccMDI& mdi_;
};

}  // namespace desktop
