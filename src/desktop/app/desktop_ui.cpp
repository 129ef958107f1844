#include "desktop/app/desktop_ui.h"

#include "desktop/app/file_dialogs.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/base/message_boxes.h"
#include "engine/base/cp932.h"

namespace desktop {

void DesktopUi::Message(const std::string& text) {
  ShowMessage(&mdi_, engine::FromCp932(text));
}

bool DesktopUi::AskYesNo(const std::string& text) {
  return desktop::AskYesNo(&mdi_, engine::FromCp932(text));
}

engine::Ui::Answer DesktopUi::AskYesNoCancel(const std::string& text) {
  return desktop::AskYesNoCancel(&mdi_, engine::FromCp932(text));
}

std::string DesktopUi::SelectOpenFile(const std::string& proposedName, const std::string& title,
                                      const std::string& folder, int filter) {
  return desktop::SelectOpenFile(&mdi_, proposedName, title, folder, filter);
}

std::string DesktopUi::SelectSaveFile(const std::string& proposedName, const std::string& title,
                                      const std::string& folder, int filter) {
  return desktop::SelectSaveFile(&mdi_, proposedName, title, folder, filter);
}

void DesktopUi::SetStatus(int panel, const std::string& text) {
  mdi_.SetStatus(panel, engine::FromCp932(text));
}

void DesktopUi::SetMainCaption(const std::string& caption) {
  mdi_.setWindowTitle(engine::FromCp932(caption));
}

void DesktopUi::TableAdded(engine::TAccGrid& table) {
  mdi_.TableAdded(table);
}
void DesktopUi::TableRemoving(engine::TAccGrid& table) {
  mdi_.TableRemoving(table);
}
void DesktopUi::TableRenamed(engine::TAccGrid& table, const std::string& oldCaption) {
  mdi_.TableRenamed(table, oldCaption);
}
void DesktopUi::ShowTable(engine::TAccGrid& table, bool restore) {
  mdi_.ShowTable(table, restore);
}
void DesktopUi::ArrangeWindows() {
  mdi_.WindowSortExecute();
}
void DesktopUi::SetNoBookCommands() {
  mdi_.SetNoBookCommands();
}
void DesktopUi::SetBookCommands() {
  mdi_.SetBookCommands();
}
void DesktopUi::RecentFilesChanged() {
  mdi_.RecentFilesChanged();
}

}  // namespace desktop
