// The program's entry: Russian texts for Qt's own buttons and dialogs, the
// pause that keeps the window alive in long loops, and the main window with
// the settings file beside the program.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QThread>
#include <QTranslator>

#include "core/settings.h"
#include "core/text.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }
  core::SetDelayHandler([](int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    QCoreApplication::processEvents();
  });

  const std::string program = ui::fromQ(QCoreApplication::applicationFilePath());
  const std::string folder = ui::fromQ(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  ui::TFrmTxt window(core::SettingsFileFor(program), folder);
  // Centred on the screen when first shown.
  if (const QScreen* screen = window.screen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
  window.show();
  return app.exec();
}
