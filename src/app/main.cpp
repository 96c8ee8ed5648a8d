// dashcam-setting: the editor. Its one argument is the card folder.
#include <QApplication>

#include "app/setting_app.h"
#ifndef _WIN32
#include "platform/posix/udisks_volume_formatter.h"
#endif

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
#ifndef _WIN32
    // Cards are formatted through the desktop's disk service (mkfs as root without it).
    dashcam::SetFormatter(&dashcam::DesktopFormatter());
#endif
    dashcam::CSettingApp app;
    return app.InitInstance(arguments);
}
