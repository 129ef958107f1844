#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace desktop {

// The program's own help viewer: the help file "zntbk.hlp" (UTF-8 HTML) beside the
// executable, opened on its contents page. One window serves every request.
class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(const QString& helpFile, QWidget* parent = nullptr);

  // The help file beside the executable.
  static QString DefaultHelpFile();
  // Shows the help window on the contents page, creating it on first use; says so and
  // returns null when the help file is missing.
  static HelpWindow* ShowHelp(QWidget* parent, const QString& helpFile = DefaultHelpFile());

  QTextBrowser* Browser() const { return browser_; }
  // Back to the contents page at the top of the file.
  void ShowContents();

 private:
  QString helpFile_;
  QTextBrowser* browser_ = nullptr;
};

}  // namespace desktop
