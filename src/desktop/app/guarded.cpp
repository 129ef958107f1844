#include "desktop/app/guarded.h"

#include <exception>

#include "desktop/base/fonts.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace desktop {

bool RunGuarded(QWidget* parent, const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const engine::Error& e) {
    ShowMessage(parent, engine::FromCp932(e.Message()));
  } catch (const std::exception& e) {
    ShowMessage(parent, QString::fromLocal8Bit(e.what()));
  }
  return false;
}

}  // namespace desktop
