#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "desktop/app/tacc_mdi.h"
#include "desktop/base/fonts.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zentabo"));
  QApplication::setApplicationDisplayName(QStringLiteral("Zentabo"));
  QApplication::setFont(desktop::ApplicationFont());
  // Qt's own buttons and file dialogs speak Japanese like the rest of the program.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }
  desktop::TAccMDI window;
  window.show();
  return application.exec();
}
