#pragma once
// The application object: prepares the process (display scale, fonts, traces, message boxes), takes the card
// folder from the command line and runs the main window modally.
#include <QStringList>

namespace dashcam {

class CSettingApp {
public:
    // Everything before the main window: fixes the display scale at 100 %, registers the fonts and connects
    // traces and messages to Qt. Needs a QApplication.
    static void PrepareProcess();
    // Runs the editor with the program's arguments (without the program name); returns the exit status.
    int InitInstance(const QStringList& arguments);
};

} // namespace dashcam
