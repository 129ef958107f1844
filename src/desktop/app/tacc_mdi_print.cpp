// The print, print preview and printer set-up commands.

#include "desktop/app/tacc_mdi.h"

namespace desktop {

void TAccMDI::PrintExecute() { NotYetAvailable(); }

void TAccMDI::PrintPreviewExecute() { NotYetAvailable(); }

void TAccMDI::PrinterSettingExecute() { NotYetAvailable(); }

}  // namespace desktop
