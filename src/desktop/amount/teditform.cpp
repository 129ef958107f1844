#include "desktop/amount/teditform.h"

#include <QIcon>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <optional>

#include "desktop/app/file_dialogs.h"
#include "desktop/app/guarded.h"
#include "desktop/base/fonts.h"
#include "engine/base/cp932.h"
#include "engine/base/text_file.h"

namespace desktop {

namespace {
constexpr int kTextTop = 33;
}  // namespace

teditform::teditform(const std::vector<std::string>& lines, QWidget* parent) : TAccDialog(parent) {
  setWindowTitle(QString());
  setSizeGripEnabled(true);

  btnsave =
      TopButton("btnsave", QStringLiteral("保存"), QIcon(QStringLiteral(":/icons/save.png")), 4);
  btnclose = TopButton("btnclose", QStringLiteral("閉じる"),
                    style()->standardIcon(QStyle::SP_DialogCloseButton), 83);
  connect(btnsave, &QPushButton::clicked, this, &teditform::btnsaveClick);
  connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);

  memo = new QPlainTextEdit(this);
  memo->setObjectName(QStringLiteral("memo"));
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setTabChangesFocus(false);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  // One conversion of the whole text: a million lines convert one by one far too slowly.
  memo->setPlainText(engine::FromCp932(text));

  resize(MainWindowSize(parent));
}

QSize teditform::MainWindowSize(QWidget* owner) {
  for (QWidget* w = owner; w; w = w->parentWidget()) {
    if (qobject_cast<QMainWindow*>(w)) return w->size();
  }
  return owner ? owner->size() : QSize(600, 400);
}

std::optional<std::vector<std::string>> teditform::Lines() {
  QStringList texts = memo->toPlainText().split(QLatin1Char('\n'));
  if (!texts.isEmpty() && texts.back().isEmpty()) texts.removeLast();
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(texts.size()));
  for (const QString& text : texts) {
    std::optional<std::string> line = TypedText(this, text);
    if (!line) return std::nullopt;
    lines.push_back(std::move(*line));
  }
  return lines;
}

void teditform::btnsaveClick() {
  const auto lines = Lines();
  if (!lines) return;
  const std::string path = SelectSaveFile(this, {}, engine::Sjis("名前を付けて保存"), {}, 4);
  if (path.empty()) return;
  // A failed write is shown and the window keeps its text for another try.
  RunGuarded(this, [&] { engine::WriteTextLines(engine::PathFromCp932(path), *lines); });
}

void teditform::resizeEvent(QResizeEvent* event) {
  TAccDialog::resizeEvent(event);
  memo->setGeometry(4, kTextTop, std::max(0, width() - 8), std::max(0, height() - kTextTop - 4));
}

}  // namespace desktop
