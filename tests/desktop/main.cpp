#include <QApplication>
#include <QStringList>
#include <QTest>

#include "test_registry.h"

// Runs every registered test class, or only those named on the command line; the other
// arguments go to Qt Test. Fails when any class fails.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zentabo"));

  QStringList chosen;
  QStringList arguments{QString::fromLocal8Bit(argv[0])};
  for (int i = 1; i < argc; ++i) {
    const QString argument = QString::fromLocal8Bit(argv[i]);
    bool isClass = false;
    for (const auto& [name, factory] : desktop_tests::Registry()) {
      isClass = isClass || argument == QString::fromStdString(name);
    }
    (isClass ? chosen : arguments) << argument;
  }

  int failed = 0;
  for (const auto& [name, factory] : desktop_tests::Registry()) {
    if (!chosen.isEmpty() && !chosen.contains(QString::fromStdString(name))) continue;
    const std::unique_ptr<QObject> test = factory();
    if (QTest::qExec(test.get(), arguments) != 0) ++failed;
  }
  return failed == 0 ? 0 : 1;
}
