#include "fake_ui.h"

#include "engine/tables/acc_grid.h"

namespace engine::testing {

void FakeUi::TableAdded(TAccGrid& table) { events.push_back("added " + table.Caption()); }
void FakeUi::TableRemoving(TAccGrid& table) { events.push_back("removed " + table.Caption()); }
void FakeUi::ShowTable(TAccGrid& table, bool restore) {
  events.push_back((restore ? "show+restore " : "show ") + table.Caption());
}

}  // namespace engine::testing
