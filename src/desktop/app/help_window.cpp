#include "desktop/app/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "desktop/base/fonts.h"
#include "engine/app/app_folder.h"

namespace desktop {

namespace {
QPointer<HelpWindow>& OpenWindow() {
  static QPointer<HelpWindow> window;
  return window;
}
}  // namespace

QString HelpWindow::DefaultHelpFile() {
  return engine::ShippedPath(QStringLiteral("zntbk.hlp"));
}

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFile_(helpFile) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Zentabo ヘルプ"));
  setFont(ApplicationFont());
  resize(640, 560);

  auto* contents = new QPushButton(QStringLiteral("目次"), this);
  auto* back = new QPushButton(QStringLiteral("戻る"), this);
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  QFont text = ApplicationFont();
  text.setPixelSize(14);
  browser_->setFont(text);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);

  connect(contents, &QPushButton::clicked, this, &HelpWindow::ShowContents);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  back->setEnabled(false);
  ShowContents();
}

void HelpWindow::ShowContents() {
  // The file's name doesn't tell its format, so it is named here.
  browser_->setSource(QUrl::fromLocalFile(helpFile_), QTextDocument::HtmlResource);
  browser_->scrollToAnchor(QStringLiteral("contents"));
}

HelpWindow* HelpWindow::ShowHelp(QWidget* parent, const QString& helpFile) {
  if (!QFileInfo(helpFile).isFile()) {
    ShowMessage(parent, QStringLiteral("ヘルプファイル %1 が見つかりません")
                            .arg(QDir::toNativeSeparators(helpFile)));
    return nullptr;
  }
  QPointer<HelpWindow>& window = OpenWindow();
  if (!window || window->helpFile_ != helpFile) {
    if (window) window->close();
    window = new HelpWindow(helpFile, parent);
  } else {
    window->ShowContents();
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace desktop
