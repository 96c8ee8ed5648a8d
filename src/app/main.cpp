// dashcam-setting: the editor. Its one argument is the card folder.
#include <QApplication>
#include <cstdio>

#include "app/setting_app.h"
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include "platform/posix/udisks_volume_formatter.h"
#endif

int main([[maybe_unused]] int argc, char** argv) {
    // The card folder is taken before the toolkit reads its own options: a folder named "-style" or "-reverse"
    // stays the card folder, and the toolkit sees the program name only.
    QStringList arguments;
#ifdef _WIN32
    // The wide command line: a card folder's name may have characters the ANSI code page lacks.
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
    }
#else
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
#endif
    // --help and --version as the one argument are answered on standard output, before the toolkit looks for a
    // display. Any other single argument is the card folder; a folder named "--help" is reached as "--help/" or
    // "./--help". Any other count of arguments means no card, as before.
    if (arguments.size() == 1 && (arguments.front() == QLatin1String("--help") ||
                                  arguments.front() == QLatin1String("--version"))) {
        std::fputs(arguments.front() == QLatin1String("--version")
                       ? "dashcam-setting " DASHCAM_VERSION "\n"
                       : "Usage: dashcam-setting CARD_FOLDER\n"
                         "Edits the dash cam settings on the memory card whose folder (the one that holds setup.cfg)\n"
                         "is CARD_FOLDER. With no argument, or with more than one, the program ends at once.\n"
                         "\n"
                         "  --help     print this text and exit\n"
                         "  --version  print the program's version and exit\n"
                         "\n"
                         "The desktop's menu entry starts dashcam-open-card, which finds the mounted card itself.\n",
                   stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    dashcam::CSettingApp::PrepareEnvironment();
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, argv);
#ifndef _WIN32
    // Cards are formatted through the desktop's disk service (mkfs as root without it).
    dashcam::SetFormatter(&dashcam::DesktopFormatter());
#endif
    dashcam::CSettingApp app;
    return app.InitInstance(arguments);
}
