#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "desktop/base/message_boxes.h"

class QWidget;

namespace desktop {

// The font of every window and dialog: "ＭＳ Ｐゴシック" 12 pixels high (9 points at 96 dpi)
// where it is installed, otherwise the nearest proportional Japanese gothic face that is.
QFont ApplicationFont();

// The first installed family of `preferred`, or empty when none is.
QString FirstInstalledFamily(const QStringList& preferred);

// Typed text as the CP932 bytes that the engine keeps. Text that code page 932 cannot hold is
// refused here, where it was typed, with a message naming the character, because storing a
// substitute would silently change what the user wrote.
std::optional<std::string> TypedText(QWidget* parent, const QString& text);
// For an editor whose text grows key by key: drops from `text` the characters code page 932
// cannot hold and returns them (each once), so that what was typed before them is kept.
// `cursor`, a position in `text`, moves with what stays in front of it.
QStringList DropNonCp932(QString& text, int& cursor);

// The message shown for such a character.
QString NonCp932Message(const QString& character);

}  // namespace desktop
