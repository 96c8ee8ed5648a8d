// dashcam-setting: the editor. Its one argument is the card folder.
#include <QApplication>

#include "app/setting_app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    dashcam::CSettingApp app;
    return app.InitInstance(arguments);
}
