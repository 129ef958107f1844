// zentabo-cli: the book from the command line, on the engine alone (no display needed).
#include <QCoreApplication>
#include <csignal>

#include "cli/cli.h"

int main(int argc, char* argv[]) {
  // A reader that stops early (head, less) closes the pipe: the write fails and the run ends
  // quietly instead of being killed.
  std::signal(SIGPIPE, SIG_IGN);
  QCoreApplication application(argc, argv);
  // The same name as the program, so both find the same user data folder.
  QCoreApplication::setApplicationName(QStringLiteral("Zentabo"));
  const QStringList arguments = QCoreApplication::arguments();
  return cli::Run(std::vector<QString>(arguments.begin() + 1, arguments.end()));
}
