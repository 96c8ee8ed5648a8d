#include "app/setting_app.h"

#include <QApplication>

#include "app/setting_dlg.h"
#include "platform/posix/qt_time_zone_source.h"
#include "settings/card_files.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"
#include "ui/qt_services.h"
#include "ui/ui_text.h"

namespace dashcam {

void CSettingApp::PrepareEnvironment() {
    StartFontConfiguration();
    qputenv("QT_NO_GLIB", "1");
}

std::unique_ptr<TimeZoneCataloguePrefetch> CSettingApp::PrepareProcess() {
    ApplicationObjectReady();
    QApplication::setApplicationName(QStringLiteral("Kestravon Z910 Setting"));
    QApplication::setApplicationDisplayName(QString::fromUtf16(kWindowCaption));
    // The window's class and application id are those of the desktop entry, so that docks and task bars group
    // the window under the entry's icon and can pin it.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(CSettingApp::kDesktopEntryName));
    InstallQtTraceSink();
    InstallMessageBoxPresenter();
    InstallSystemTimeZones();
    SetScaleFromDpi(96);
#ifdef _WIN32
    // The zone catalogue (read from the registry) goes on beside the window's start; the fonts are registered
    // on this thread, at the first font the window makes. No toolkit work on that thread: Qt Core keeps
    // per-thread state (its regular-expression engine's stack, used when the font database matches font file
    // names) that it frees wrongly when a thread started through the MinGW runtime ends, and the process
    // crashed in Qt Core as the prefetch thread ended.
    return std::make_unique<TimeZoneCataloguePrefetch>();
#else
    // Registering the fonts (on the thread that reads the font configuration), then the zone catalogue, go on
    // beside the window's start: the first font the window makes waits for the registration, the System page
    // for the catalogue.
    return std::make_unique<TimeZoneCataloguePrefetch>([] { RegisterProjectFonts(); });
#endif
}

int CSettingApp::InitInstance(const QStringList& arguments) {
    const auto zones = PrepareProcess();
    CSettingDlg dialog(arguments.size() == 1 ? CardRootFromArgument(arguments.front().toStdU16String())
                                             : std::u16string());
    if (dialog.OnInitDialog())
        dialog.exec();
    return 0;
}

} // namespace dashcam
