#include "desktop/base/fonts.h"

#include <QFontDatabase>
#include <QMessageBox>

#include "desktop/base/message_boxes.h"
#include "engine/base/cp932.h"

namespace desktop {

QString FirstInstalledFamily(const QStringList& preferred) {
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : preferred) {
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  }
  return {};
}

QFont ApplicationFont() {
  static const QStringList kFamilies = {
      QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
      QStringLiteral("IPA Pゴシック")};
  QFont font;
  const QString family = FirstInstalledFamily(kFamilies);
  if (!family.isEmpty()) font.setFamily(family);
  // 12 pixels on the 96-dpi screen the windows were laid out for, given in points: Qt's own
  // dialogs (page set-up, printer properties) derive their sizes from the point size of the
  // application's font, and a font set in pixels has none.
  font.setPointSizeF(12 * 72.0 / 96.0);
  return font;
}

QString NonCp932Message(const QString& character) {
  return QStringLiteral("「%1」はシフト JIS (CP932) で表せない文字のため使用できません")
      .arg(character);
}

std::optional<std::string> TypedText(QWidget* parent, const QString& text) {
  std::optional<std::string> bytes = engine::ToCp932(text);
  if (!bytes) ShowMessage(parent, NonCp932Message(engine::FirstNonCp932Character(text)));
  return bytes;
}

QStringList DropNonCp932(QString& text, int& cursor) {
  engine::Cp932Split split = engine::SplitCp932(text);
  if (!split.refused.isEmpty()) {
    cursor = static_cast<int>(engine::SplitCp932(QStringView(text).left(cursor)).held.size());
    text = std::move(split.held);
  }
  return split.refused;
}

}  // namespace desktop
