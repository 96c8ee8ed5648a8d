// dashcam-cfg screenshot: the editor window built offscreen on a card, as start-up builds it, written to a PNG.
#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <cstdlib>
#include <memory>
#ifdef _WIN32
#include <windows.h>
#endif

#include "app/setting_app.h"
#include "app/setting_dlg.h"
#include "cli/command_support.h"
#include "cli/desktop/desktop_commands.h"
#include "i18n/embedded_languages.h"
#include "i18n/wide_text.h"
#include "platform/files/safe_file.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "settings/card.h"
#include "ui/base_dialog.h"

namespace dashcam::cli {

int RunScreenshot(Invocation& call) {
    const int tab = CSettingDlg::TabOfPageName(call.Value("--page").value_or("memory"));
    if (tab == 0)
        return call.UsageError("--page is memory, record or system");
    int scroll = 0;
    if (const auto text = call.Value("--scroll")) {
        const auto value = ParseInteger(*text);
        if (!value || *value < 0 || *value > 100000)
            return call.UsageError("--scroll needs a number of pixels from 0 to 100000");
        scroll = static_cast<int>(*value);
    }
    const auto language = call.Value("--lang");
    if (language) {
        const std::u16string wanted = Utf8ToUtf16(*language);
        const bool known = std::any_of(kLanguageNames.begin(), kLanguageNames.end(), [&](std::string_view name) {
            return EqualsIgnoreCase(Utf8ToUtf16(name), wanted);
        });
        if (!known)
            return call.UsageError("unknown interface language '" + *language + "' (see 'text --list-languages')");
    }
    const auto card = OpenCardFolder(call, call.argument(0));
    if (!card)
        return 1;
    // Without setup.cfg the window would show default.cfg; without that too there is nothing to show, and the
    // editor's message box would wait for a click that never comes.
    const FileHeadRead setup = ReadFileHeadOrWhy(ToFsPath(card->FilePath(u"setup.cfg")), 0);
    if (setup.missing && !ReadFileHeadOrWhy(ToFsPath(card->FilePath(u"default.cfg")), 0).head)
        return call.Fail("no default.cfg :" + Utf16ToUtf8(card->FilePath(u"default.cfg")));

    // Always offscreen: the window is rendered, never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef _WIN32
    // The offscreen platform's font list on Windows holds only the fonts of QT_QPA_FONTDIR (by default a folder
    // of the toolkit's own, which has none): the system's fonts folder gives it Tahoma and the faces that other
    // scripts fall back to, as the window on the desktop has them.
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR")) {
        wchar_t windows[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            qputenv("QT_QPA_FONTDIR", (QString::fromWCharArray(windows, static_cast<int>(length)) +
                                       QStringLiteral("\\Fonts")).toLocal8Bit());
    }
#endif
    CSettingApp::PrepareEnvironment();
    int argc = 1;
    char name[] = "dashcam-cfg";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    // The editor's message boxes would wait for a click; here the console's presenter answers them.
    prompt::Presenter console = prompt::SetPresenter(nullptr);
    const auto zones = CSettingApp::PrepareProcess();
    prompt::SetPresenter(console);

    auto dialog = std::make_unique<CSettingDlg>(card->root());
    CSettingDlg::Options options;
    options.handOver = false;
    if (language)
        options.forcedLanguage = QString::fromStdString(*language);
    if (!dialog->OnInitDialog(options))
        return call.Fail(call.argument(0) + ": the editor did not open on this card");
    dialog->OnCommand(tab);
    if (CBaseDialog* shown = dialog->shownPage(); shown && scroll > 0)
        shown->OnVScroll(CBaseDialog::ScrollCode::ThumbPosition, std::min(scroll, shown->scrollMaximum()));
    QApplication::processEvents();
    const QImage image = dialog->grab().toImage();
    if (!image.save(QString::fromStdString(call.argument(1)), "PNG"))
        return call.Fail(call.argument(1) + ": cannot be written");
    call.Out(call.argument(1) + "\n");
    return 0;
}

} // namespace dashcam::cli
