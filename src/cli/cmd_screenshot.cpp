// dashcam-cfg screenshot: the editor window built offscreen on a card, as start-up builds it, written to a
// PNG.
#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/setting_app.h"
#include "app/setting_dlg.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "i18n/interface_language.h"
#include "i18n/wide_text.h"
#include "platform/text_codec.h"
#include "settings/card_files.h"
#include "ui/base_dialog.h"

namespace dashcam::cli {
namespace {
const char* const kUsage =
    "usage: dashcam-cfg screenshot CARD OUT.png [--page memory|record|system] [--lang NAME] [--scroll "
    "PIXELS]\n"
    "  Builds the editor window offscreen on the card exactly as start-up does (without the hand-over from "
    "a\n"
    "  removable drive), clicks the chosen page's tab or forces the interface language, and writes the\n"
    "  722 x 587 window to OUT.png. --scroll drags the page's scroll bar to PIXELS (clamped to its range)\n"
    "  first. The card is not written.\n";
} // namespace

int RunScreenshot(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kUsage), 0;
    std::vector<std::string> positional;
    std::string page = "memory";
    std::optional<std::string> language;
    std::string scrollText;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--page" || args[i] == "--lang" || args[i] == "--scroll") {
            if (i + 1 >= args.size())
                return UsageError(args[i] + " needs a value", kUsage);
            (args[i] == "--page"   ? page
             : args[i] == "--lang" ? language.emplace()
                                   : scrollText) = args[i + 1];
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            return UsageError("unknown option '" + args[i] + "'", kUsage);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2)
        return UsageError("screenshot takes a card folder and an output file", kUsage);
    const int tab = CSettingDlg::TabOfPageName(page);
    if (tab == 0)
        return UsageError("--page is memory, record or system", kUsage);
    int scroll = 0;
    if (!scrollText.empty()) {
        char* end = nullptr;
        const long value = std::strtol(scrollText.c_str(), &end, 10);
        if (*end != '\0' || value < 0 || value > 100000)
            return UsageError("--scroll needs a number of pixels from 0 to 100000", kUsage);
        scroll = static_cast<int>(value);
    }
    if (language) {
        bool known = false;
        for (int index = 0; index < 15; ++index)
            known = known || EqualsIgnoreCase(InterfaceLanguageName(index), Utf8ToUtf16(*language));
        if (!known)
            return UsageError("unknown interface language '" + *language + "' (see 'text --list-languages')",
                              kUsage);
    }
    if (!CheckCardFolder(positional[0]))
        return 1;

    // Always offscreen: the window is rendered, never shown.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "dashcam-cfg";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    CSettingApp::PrepareProcess();
    SetCardRoot(CardRootFromArgument(positional[0]));

    auto dialog = std::make_unique<CSettingDlg>();
    CSettingDlg::Options options;
    options.handOver = false;
    if (language)
        options.forcedLanguage = QString::fromStdString(*language);
    if (!dialog->OnInitDialog(options))
        return Failure(positional[0] + ": the editor did not open on this card");
    dialog->OnCommand(tab);
    if (CBaseDialog* shown = dialog->shownPage(); shown && scroll > 0)
        shown->OnVScroll(CBaseDialog::ScrollCode::ThumbPosition, std::min(scroll, shown->scrollMaximum()));
    QApplication::processEvents();
    QImage image = dialog->grab().toImage();
    if (!image.save(QString::fromStdString(positional[1]), "PNG"))
        return Failure(positional[1] + ": cannot be written");
    std::printf("%s\n", positional[1].c_str());
    return 0;
}

} // namespace dashcam::cli
