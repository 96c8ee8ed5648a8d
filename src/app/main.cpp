// dashcam-setting: the editor. Its one argument is the card folder.
#include <QApplication>

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
