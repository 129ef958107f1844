#pragma once

#include <QString>

#include "engine/base/ui.h"

class QWidget;

namespace desktop {

// A plain message box with the program's title.
void ShowMessage(QWidget* parent, const QString& text);

// Confirmations with the program's title; Yes is the default button.
bool AskYesNo(QWidget* parent, const QString& text);
// Dismissing the box counts as Cancel.
engine::Ui::Answer AskYesNoCancel(QWidget* parent, const QString& text);

}  // namespace desktop
