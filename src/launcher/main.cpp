// dashcam-open-card: the desktop menu's way into the editor.
#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "i18n/language_table.h"
#include "launcher/card_launcher.h"
#include "ui/qt_services.h"
#include "ui/qt_translations.h"

int main(int argc, char** argv) {
    // --help and --version are answered before the toolkit looks for a display.
    for (int i = 1; i < argc; ++i) {
        const bool version = std::strcmp(argv[i], "--version") == 0;
        if (version || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(version ? "dashcam-open-card " DASHCAM_VERSION "\n"
                               : "Usage: dashcam-open-card\n"
                                 "Finds this user's mounted dash cam card (a removable volume with setup.cfg at its\n"
                                 "root) and opens dashcam-setting on it: at once for one card, after asking which for\n"
                                 "several, and as soon as one is mounted when there is none yet.\n"
                                 "\n"
                                 "  --help     print this text and exit\n"
                                 "  --version  print the program's version and exit\n",
                       stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    QApplication app(argc, argv);
    // The toolkit has taken its own options (-platform, -style, ...); the program has none of its own.
    if (argc > 1) {
        std::fprintf(stderr, "dashcam-open-card: unknown argument '%s'\nTry 'dashcam-open-card --help'.\n", argv[1]);
        return 2;
    }
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
