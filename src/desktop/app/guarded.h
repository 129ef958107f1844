#pragma once

#include <functional>

class QWidget;

namespace desktop {

// Runs what a toolkit event asked of the engine. A failure that comes out of it is shown in
// a message box over `parent` rather than left to reach the event loop. True when nothing
// failed.
bool RunGuarded(QWidget* parent, const std::function<void()>& work);

}  // namespace desktop
