// The aggregation commands and the text output of the book tables.

#include "desktop/app/tacc_mdi.h"

namespace desktop {

void TAccMDI::AmountTableExecute() {
  if (book_->PrepareAggregation()) NotYetAvailable();
}

void TAccMDI::AmountCompareExecute() {
  if (book_->PrepareAggregation()) NotYetAvailable();
}

void TAccMDI::FileTextOutExecute() { NotYetAvailable(); }

void TAccMDI::FileCSVOutExecute() { NotYetAvailable(); }

}  // namespace desktop
