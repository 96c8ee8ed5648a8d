#pragma once
// The application object: prepares the process (display scale, fonts, traces, message boxes), takes the card
// folder from the command line and runs the main window modally.
#include <QStringList>

#include <memory>

#include "timezone/time_zone_catalogue_prefetch.h"

namespace dashcam {

class CSettingApp {
public:
    // The name of the program's desktop entry (packaging/<name>.desktop.in), which is also its application id
    // (Wayland). On X11 the window's class stays the application name, the entry's StartupWMClass.
    static constexpr char kDesktopEntryName[] = "com.kestravon.DashcamSetting";
    // What the process does before its QApplication is made: starts reading the font configuration on a thread
    // (StartFontConfiguration), and chooses Qt's own event loop rather than GLib's. The editor uses nothing that
    // needs GLib's loop (no native dialogs; D-Bus goes through Qt's connection), and GLib's loop is woken by a
    // system call for every event posted, one for each control while the window is built.
    static void PrepareEnvironment();
    // Everything before the main window: fixes the display scale at 100 % and connects traces and messages to Qt;
    // lets the thread that reads the font configuration register the fonts (ApplicationObjectReady), and starts
    // building the zone catalogue on a thread of its own once they are registered. Needs a QApplication. Keep the
    // result while the window is built: its System page takes the catalogue from there.
    static std::unique_ptr<TimeZoneCataloguePrefetch> PrepareProcess();
    // Runs the editor with the program's arguments (without the program name); returns the exit status.
    int InitInstance(const QStringList& arguments);
};

} // namespace dashcam
