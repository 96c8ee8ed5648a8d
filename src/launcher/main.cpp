// dashcam-open-card: the desktop menu's way into the editor.
#include <QApplication>
#include <QLocale>
#include <QTimer>

#include "i18n/language_table.h"
#include "launcher/card_launcher.h"
#include "ui/qt_services.h"
#include "ui/qt_translations.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    dashcam::InstallMessageBoxPresenter();
    // No card gives a language yet: the desktop's.
    const std::u16string language(dashcam::InterfaceLanguageOfLocale(QLocale::system().name()));
    dashcam::LoadLanguage(language);
    dashcam::InstallQtTranslations(language);
    dashcam::CardLauncher launcher(QCoreApplication::applicationDirPath() + QStringLiteral("/dashcam-setting"),
                                   language);
    QObject::connect(&launcher, &dashcam::CardLauncher::finished, &app,
                     [&app](bool started) { app.exit(started ? 0 : 1); });
    QTimer::singleShot(0, &launcher, [&launcher] { launcher.Start(); });
    return app.exec();
}
