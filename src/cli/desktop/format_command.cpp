// dashcam-cfg format: formats the card as the editor's Format button does, keeping the camera's files.
#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/command_support.h"
#include "cli/desktop/desktop_commands.h"
#include "i18n/language_table.h"
#include "platform/files/safe_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/card.h"
#include "settings/card_format.h"
#include "settings/settings_record.h"
#ifndef _WIN32
#include "platform/posix/udisks_volume_formatter.h"
#endif

namespace dashcam::cli {
namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

// The command speaks English: the texts it shares with the editor come from the English language file.
const TextOf& EnglishText() {
    static const TextOf text = [] {
        auto table = std::make_shared<LanguageTable>();
        table->LoadLanguage(u"english");
        return TextOf([table](std::u16string_view key) { return table->LookupText(key); });
    }();
    return text;
}

bool InputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

// The record whose product name becomes the volume label: setup.cfg, else default.cfg, else an empty record.
SettingsRecord CardRecord(const std::u16string& cardRoot) {
    SettingsRecord record;
    for (const char16_t* name : {u"setup.cfg", u"default.cfg"})
        if (auto head = ReadFileHead(ToFsPath(cardRoot + name), SettingsRecord::kSize)) {
            std::copy(head->bytes.begin(), head->bytes.end(), record.bytes.begin());
            break;
        }
    return record;
}

bool Confirmed(Invocation& call, const CardFormatPlan& plan) {
    call.Err("Caution: All data will be deleted after formatting the memory card.\nFormat " +
             U8(VolumeDescription(plan, EnglishText())) + " as " + U8(plan.fileSystem) + " with the label \"" + U8(plan.label) +
             "\"? [y/N] ");
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

std::string Json(const CardFormatOutcome& outcome, const std::string& error) {
    const CardFormatPlan plan = outcome.plan.value_or(CardFormatPlan{});
    const std::u16string failed = !outcome.backup.ok ? outcome.backup.failedFile : outcome.restore.failedFile;
    JsonWriter json;
    json.BeginObject(JsonWriter::Layout::Inline)
        .Key("formatted").Bool(outcome.format.succeeded)
        .Key("erased").Bool(outcome.erased())
        .Key("restored").Bool(outcome.restored)
        .Key("complete").Bool(outcome.complete())
        .Key("volume").String(U8(plan.volume))
        .Key("device").String(U8(plan.device))
        .Key("fileSystem").String(U8(plan.fileSystem))
        .Key("clusterSize").Number(plan.clusterSize)
        .Key("label").String(U8(plan.label))
        .Key("cardRootAfter").String(U8(outcome.cardRootAfter))
        .Key("backupFolder").String(U8(outcome.backupFolder))
        .Key("note").String(U8(outcome.format.run.note))
        .Key("failedFile").String(U8(failed))
        .Key("error").String(error);
    return json.EndObject().Text();
}

} // namespace

int RunFormat(Invocation& call) {
    const std::string& card = call.argument(0);
    // With --json every failure is also a JSON object on standard output, the outcome's fields empty.
    auto fail = [&call](const std::string& message, const CardFormatOutcome& outcome = {}) {
        if (call.Has("--json"))
            call.Out(Json(outcome, message));
        return call.Fail(message);
    };
    if (const std::string problem = CardFolderProblem(card); !problem.empty())
        return fail(problem);
    const auto opened = OpenCardFolder(call, card);
    const bool yes = call.Has("--yes");
    if (!yes && !InputIsTerminal())
        return fail("standard input is not a terminal: give --yes to format the card; nothing was done");

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
    CardFormatHooks hooks;
    // The card gets the editor, which is installed beside this program, rather than this program.
#ifdef _WIN32
    const std::u16string editor = FolderOf(Host().ModuleFilePath()) + u"dashcam-setting.exe";
#else
    const std::u16string editor = FolderOf(Host().ModuleFilePath()) + u"dashcam-setting";
#endif
    std::error_code ec;
    if (std::filesystem::is_regular_file(ToFsPath(editor), ec))
        hooks.programPath = editor;
    hooks.text = EnglishText();
    hooks.confirm = [&call, yes](const CardFormatPlan& plan) {
        if (!yes && !Confirmed(call, plan))
            return false;
        call.Err("backing up the card's files, then formatting " + U8(plan.volume) + " as " + U8(plan.fileSystem) +
                 " (cluster size " + (plan.clusterSize ? std::to_string(plan.clusterSize) : std::string("default")) +
                 ", label \"" + U8(plan.label) + "\")\n");
        return true;
    };
    int progress = 0;
    hooks.onStep = [&progress, &call] {
        progress = std::min(progress + 20, 100);
        call.Err("progress " + std::to_string(progress) + "%\n");
    };
    const CardFormatOutcome outcome = FormatCardKeepingFiles(opened->root(), CardRecord(opened->root()), hooks);
    SetFormatter(nullptr);
    if (outcome.declined)
        return fail("not confirmed; nothing was done", outcome);
    const std::string error = U8(FormatProblemText(outcome, EnglishText()));
    if (call.Has("--json"))
        call.Out(Json(outcome, error));
    if (!outcome.format.run.note.empty() && outcome.complete())
        call.Note(U8(outcome.format.run.note));
    if (!outcome.complete())
        return call.Fail(error.empty() ? card + ": the format failed" : error);
    call.Err("formatted; the card's files and the program are back in " + U8(outcome.cardRootAfter) + "\n");
    return 0;
}

} // namespace dashcam::cli
