#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class QWidget;

namespace desktop_tests {

// Answers the modal windows that code under test opens, one scripted step per window, in
// order: the test queues the steps, then does what opens the windows. A modal window that no
// step expects is recorded and closed, so a wrong script fails instead of hanging.
class ModalDriver : public QObject {
  Q_OBJECT

 public:
  ModalDriver();
  ~ModalDriver() override;

  // A step for the next modal window of type T (QMessageBox, QFileDialog, a dialog class).
  template <class T>
  ModalDriver& Then(std::function<void(T*)> step) {
    steps_.push_back({[](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                      [step](QWidget* w) { step(qobject_cast<T*>(w)); }});
    return *this;
  }

  // Common steps.
  // Records the box's text and presses `button` (QMessageBox::StandardButton).
  ModalDriver& Box(int button = 0x00000400 /* QMessageBox::Ok */);
  // Types `name` into a file dialog (keeping its folder unless the name is absolute),
  // optionally picks filter `filter` (from 1), and confirms.
  ModalDriver& File(const QString& name, int filter = 0);
  // Cancels a file dialog, recording its title.
  ModalDriver& CancelFile();

  // Texts of the message boxes answered with Box(), in order.
  const QStringList& Messages() const { return messages_; }
  // Titles of the file dialogs answered, in order.
  const QStringList& FileTitles() const { return fileTitles_; }
  // Windows nobody expected, by title and text.
  const QStringList& Unexpected() const { return unexpected_; }
  bool Done() const { return steps_.empty() && !busy_; }

 private:
  struct Step {
    std::function<bool(QWidget*)> matches;
    std::function<void(QWidget*)> run;
  };
  void Poll();

  // Only the newest driver answers windows: an earlier one still alive in the same test would
  // otherwise take the next run's windows for unexpected ones and close them.
  static inline ModalDriver* newest_ = nullptr;
  ModalDriver* previous_ = nullptr;
  std::deque<Step> steps_;
  QTimer timer_;
  bool busy_ = false;
  QPointer<QWidget> waiting_;
  int waitedTicks_ = 0;
  QStringList messages_;
  QStringList fileTitles_;
  QStringList unexpected_;
};

}  // namespace desktop_tests
