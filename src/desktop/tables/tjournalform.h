#pragma once

#include "desktop/tables/tbookform.h"
#include "engine/tables/journal_grid.h"

namespace desktop {

class JournalEditors;

// The journal's window: its grid marks unposted lines and carries the in-place editors, and
// scrolling commits the open editor.
class tjournalform : public tbookform {
  Q_OBJECT

 public:
  tjournalform(TAccMDI& mdi, engine::TJournalGrid& journal, QWidget* parent = nullptr);

  engine::TJournalGrid& Journal() const { return journal_; }
  JournalEditors* Editors() const { return editors_; }

 protected:
  void SetTableCommands() override;
  void WindowResized() override;

 private:
  engine::TJournalGrid& journal_;
  JournalEditors* editors_;
};

}  // namespace desktop
