// dashcam-cfg format: formats the card as the editor's Format button does, keeping the camera's files.
#include <unistd.h>

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/card_files.h"
#include "settings/card_format.h"
#include "settings/safe_file.h"
#include "settings/settings_record.h"
#ifndef _WIN32
#include "platform/posix/udisks_volume_formatter.h"
#endif

namespace dashcam::cli {
namespace {

const char* const kFormatUsage =
    "usage: dashcam-cfg format CARD [--yes] [--json]\n"
    "  Formats the card's volume as the editor's Format button does: setup.cfg, default.cfg and lang/ver.dat "
    "are\n"
    "  copied beside this program (or into the local program-copy folder) and read back, the volume is\n"
    "  quick-formatted (FAT32 with 32 KiB clusters; exFAT above 60000 MiB), then the files and this program "
    "are\n"
    "  copied back onto the card and read back. Only a card on a removable drive is formatted.\n"
    "  Asks before formatting; when standard input is not a terminal, --yes must be given instead.\n"
    "  Progress goes to standard error. Exit status 0 only when the card was formatted and every kept file "
    "is\n"
    "  back on it unchanged.\n";

std::string U8(const std::u16string& s) {
    return Utf16ToUtf8(s);
}

// The record whose product name becomes the volume label: setup.cfg, else default.cfg, else an empty record.
SettingsRecord CardRecord(const std::u16string& cardRoot) {
    SettingsRecord record;
    for (const char16_t* name : {u"setup.cfg", u"default.cfg"})
        if (auto head = ReadFileHead(cardRoot + name, SettingsRecord::kSize)) {
            std::copy(head->bytes.begin(), head->bytes.end(), record.bytes.begin());
            break;
        }
    return record;
}

bool Confirmed(const CardFormatPlan& plan) {
    std::fprintf(stderr,
                 "Caution: All data will be deleted after formatting the memory card.\n"
                 "Format the volume %s (%s, label \"%s\")? [y/N] ",
                 U8(plan.volume).c_str(), U8(plan.fileSystem).c_str(), U8(plan.label).c_str());
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

void PrintJson(const CardFormatPlan& plan, const CardFormatOutcome& outcome, const std::string& error) {
    const std::u16string failed = !outcome.backup.ok ? outcome.backup.failedFile : outcome.restore.failedFile;
    std::printf(
        "{\"formatted\": %s, \"complete\": %s, \"volume\": %s, \"fileSystem\": %s, \"clusterSize\": %u, "
        "\"label\": %s, \"cardRootAfter\": %s, \"backupFolder\": %s, \"note\": %s, \"failedFile\": %s, "
        "\"error\": %s}\n",
        outcome.format.succeeded ? "true" : "false", outcome.complete() ? "true" : "false",
        JsonQuoted(U8(plan.volume)).c_str(), JsonQuoted(U8(plan.fileSystem)).c_str(), plan.clusterSize,
        JsonQuoted(U8(plan.label)).c_str(), JsonQuoted(U8(outcome.cardRootAfter)).c_str(),
        JsonQuoted(U8(plan.backupFolder)).c_str(), JsonQuoted(U8(outcome.format.run.note)).c_str(),
        JsonQuoted(U8(failed)).c_str(), JsonQuoted(error).c_str());
}

// What went wrong, for the user; empty when the whole procedure succeeded.
std::string ErrorOf(const CardFormatPlan& plan, const CardFormatOutcome& outcome) {
    if (!outcome.backup.ok)
        return "cannot back up " + U8(outcome.backup.failedFile) +
               " (read back differs or copy failed); the card "
               "was not formatted";
    if (!outcome.format.run.ran)
        return U8(outcome.format.run.unavailableText) + "; the card was not formatted";
    std::string error;
    if (!outcome.format.succeeded)
        error =
            "the format failed" + (outcome.format.run.note.empty() ? "" : ": " + U8(outcome.format.run.note));
    if (!outcome.restore.ok)
        error += (error.empty() ? "" : "; ") + U8(outcome.restore.failedFile) +
                 " could not be copied back; the backups are in " + U8(plan.backupFolder);
    return error;
}

} // namespace

int RunFormat(const Args& args) {
    if (WantsHelp(args)) {
        PrintHelp(kFormatUsage);
        return 0;
    }
    std::string card;
    bool yes = false, json = false;
    for (const std::string& a : args) {
        if (a == "--yes")
            yes = true;
        else if (a == "--json")
            json = true;
        else if (a.rfind("--", 0) == 0)
            return UsageError("unknown option '" + a + "'", kFormatUsage);
        else if (card.empty())
            card = a;
        else
            return UsageError("one card folder only", kFormatUsage);
    }
    if (card.empty())
        return UsageError("no card folder given", kFormatUsage);
    if (!CheckCardFolder(card))
        return 1;
    if (!yes && !isatty(STDIN_FILENO))
        return Failure("standard input is not a terminal: give --yes to format the card; nothing was done");
    const std::u16string cardRoot = CardRootFromArgument(card);
    auto plan = PlanCardFormat(cardRoot, CardRecord(cardRoot));
    if (!plan)
        return Failure(card + ": not on a removable drive; nothing was done");
    // The card gets the editor, which is installed beside this program, rather than this program.
#ifdef _WIN32
    const std::u16string editor = FolderOf(plan->programPath) + u"dashcam-setting.exe";
#else
    const std::u16string editor = FolderOf(plan->programPath) + u"dashcam-setting";
#endif
    std::error_code ec;
    if (std::filesystem::is_regular_file(ToFsPath(editor), ec))
        plan->programPath = editor;
    if (!yes && !Confirmed(*plan))
        return Failure("not confirmed; nothing was done");

#ifndef _WIN32
    // The disk service is reached over D-Bus, which wants an application object.
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "dashcam-cfg";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    SetFormatter(&DesktopFormatter());
#endif
    std::fprintf(stderr, "backing up the card's files into %s\n", U8(plan->backupFolder).c_str());
    std::fprintf(stderr, "formatting %s as %s (cluster size %s, label \"%s\")\n", U8(plan->volume).c_str(),
                 U8(plan->fileSystem).c_str(),
                 plan->clusterSize ? std::to_string(plan->clusterSize).c_str() : "default",
                 U8(plan->label).c_str());
    int progress = 0;
    const CardFormatOutcome outcome = FormatCardKeepingFiles(*plan, [&progress] {
        progress = std::min(progress + 20, 100);
        std::fprintf(stderr, "progress %d%%\n", progress);
    });
    SetFormatter(nullptr);
    const std::string error = ErrorOf(*plan, outcome);
    if (json)
        PrintJson(*plan, outcome, error);
    if (!outcome.format.run.note.empty() && outcome.format.succeeded)
        std::fprintf(stderr, "note: %s\n", U8(outcome.format.run.note).c_str());
    if (!error.empty())
        return Failure(error);
    std::fprintf(stderr, "formatted; the card's files and the program are back in %s\n",
                 U8(outcome.cardRootAfter).c_str());
    return 0;
}

} // namespace dashcam::cli
