#pragma once

#include "desktop/tables/tacc_child.h"
#include "engine/tables/acc_grid.h"

namespace desktop {

class AccGridView;
class TAccMDI;

// A child window that shows one table of the book in a grid filling the window. The main
// window runs its table commands on the active form's table.
class tbookform : public TAccChild {
  Q_OBJECT

 public:
  tbookform(TAccMDI& mdi, engine::TAccGrid& table, QWidget* parent = nullptr);

  engine::TAccGrid& Table() const { return table_; }
  AccGridView* grid = nullptr;

  // The window became the active child: its caption, tab, status and command state.
  void WindowActivated();

 protected:
  void WindowResized() override;
  // The command state for this kind of table.
  virtual void SetTableCommands() = 0;

  TAccMDI& mdi_;

 private:
  engine::TAccGrid& table_;
};

}  // namespace desktop
