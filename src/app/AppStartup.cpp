#include "app/AppStartup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/AppFont.h"
#include "app/AppIcon.h"

namespace sonaveld {

bool InstallQtJapanese(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

void PrepareApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("Sonaveld"));
  QApplication::setDesktopFileName(QStringLiteral("io.github.sonaveld.Sonaveld"));  // the .desktop file's id
  QApplication::setWindowIcon(AppIcon());  // message boxes and dialogs too
  QApplication::setQuitOnLastWindowClosed(false);  // the main window's closing ends the program
  InstallFontSubstitutions();
  InstallQtJapanese(app);
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

}  // namespace sonaveld
