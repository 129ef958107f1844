#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "desktop/app/tacc_mdi.h"
#include "desktop/base/fonts.h"
#include "engine/app/book_path.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/schema/schema_report.h"

#ifndef ZENTABO_VERSION
#define ZENTABO_VERSION "0.0.0"
#endif

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zentabo"));
  QApplication::setApplicationDisplayName(QStringLiteral("Zentabo"));
  QApplication::setApplicationVersion(QStringLiteral(ZENTABO_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("複式簿記で付ける家計簿"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(
      QStringLiteral("BOOK"),
      QStringLiteral("開く家計簿: 家計簿ファイル、または家計簿ファイルを一つだけ含むフォルダ"),
      QStringLiteral("[BOOK]"));
  parser.process(application);
  const QStringList books = parser.positionalArguments();
  if (books.size() > 1) {
    std::fprintf(stderr, "zentabo: 開ける家計簿は一つです\n");
    return 2;
  }

  QApplication::setFont(desktop::ApplicationFont());
  // Qt's own buttons and file dialogs speak Japanese like the rest of the program.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }
  // An installed program can't write beside itself: its schemas are copied to the user's
  // folder, where the schema command looks for them.
  engine::ProvideSchemaFolder();
  desktop::TAccMDI window;
  window.show();
  if (!books.isEmpty()) {
    // A book that can't be found is told like any other failure to open, in the window, and
    // on the error stream for whoever started the program from a terminal or a script.
    try {
      const QString index = engine::FindIndexFile(books.front());
      const auto path = engine::PathToCp932(index);
      if (!path) throw engine::Error(engine::Sjis("家計簿ファイルを開けませんでした"));
      window.Book().OpenBook(*path);
    } catch (const engine::Error& e) {
      std::fprintf(stderr, "zentabo: %s\n",
                   engine::FromCp932(e.Message()).toLocal8Bit().constData());
      std::fflush(stderr);
      window.Ui().Message(e.Message());
    }
  }
  return application.exec();
}
