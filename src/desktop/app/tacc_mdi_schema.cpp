// The schema-driven monthly report command.

#include "desktop/app/tacc_mdi.h"

namespace desktop {

void TAccMDI::AmountSchemaExecute() {
  if (book_->PrepareAggregation()) NotYetAvailable();
}

}  // namespace desktop
