// Dispatch of dashcam-cfg's words to a command, and each command's parsing through CLI11.
//
// CLI11 (Debian's libcli11-dev) parses the options: it is header-only, builds with MinGW for the Windows build of the
// card commands, needs no toolkit (QCommandLineParser would tie the card commands to Qt), and accepts what a shell
// user expects (--opt=value, --opt value, -- before arguments that look like options). cxxopts would do as well for
// one command, but CLI11 keeps its error texts short and checks repeated options for us.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <numeric>

#include "cli/cli_commands.h"
#include "platform/host_system.h"
#include "platform/prompt.h"
#include "platform/run_program.h"
#include "platform/text_codec.h"

namespace dashcam::cli {
namespace {

std::vector<Command>& Table() {
    static std::vector<Command> table = AllCommands();
    return table;
}

std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, substitution});
        }
    }
    return row[b.size()];
}

bool IsHelpWord(std::string_view word) { return word == "--help" || word == "-h"; }

// Runs a command of the desktop part in dashcam-cfg-desktop, installed beside this program.
int RunInDesktopPart(const Command& command, const std::vector<std::string>& words, Console& console) {
#ifdef _WIN32
    const std::u16string helper = FolderOf(Host().ModuleFilePath()) + u"dashcam-cfg-desktop.exe";
#else
    const std::u16string helper = FolderOf(Host().ModuleFilePath()) + u"dashcam-cfg-desktop";
#endif
    std::vector<std::u16string> arguments;
    for (const std::string& w : words)
        arguments.push_back(Utf8ToUtf16(w));
    const ProgramRun run = RunProgramAndWait(helper, arguments);
    if (!run.started) {
        console.Err("dashcam-cfg: " + command.name + " needs the editor's desktop part, " + Utf16ToUtf8(helper) +
                    ": " + run.reason + "\n");
        return 1;
    }
    return run.status;
}

int Parse(const Command& command, std::vector<std::string> words, Invocation& invocation) {
    // Unknown options first, so that a slip gets the closest declared option.
    std::vector<std::string> declared;
    for (const OptionSpec& o : command.options)
        declared.push_back(o.name);
    for (const std::string& w : words) {
        if (w == "--")
            break;
        if (w.size() > 2 && w.starts_with("--") && !command.FindOption(w.substr(0, w.find('='))))
            return invocation.UsageError("unknown option '" + w.substr(0, w.find('=')) + "'" +
                                         DidYouMean(w.substr(0, w.find('=')), declared));
    }
    CLI::App app{command.summary, "dashcam-cfg " + command.name};
    app.set_help_flag();
    app.allow_windows_style_options(false);
    std::map<std::string, std::string> values;
    for (const OptionSpec& o : command.options) {
        if (o.value.empty()) {
            app.add_flag(o.name);
        } else {
            app.add_option(o.name, values[o.name])
                ->type_name(o.value)
                ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
        }
    }
    std::vector<std::string> arguments;
    app.add_option("arguments", arguments);
    std::reverse(words.begin(), words.end());
    try {
        app.parse(words);
    } catch (const CLI::ParseError& e) {
        return invocation.UsageError(e.what());
    }
    for (const OptionSpec& o : command.options) {
        if (app.get_option(o.name)->count() > 0)
            invocation.mutableValues()[o.name] = o.value.empty() ? std::string() : values[o.name];
    }
    // The declared counts of arguments.
    std::size_t least = 0, most = 0;
    bool unbounded = false;
    for (const ArgumentSpec& a : command.arguments) {
        least += a.optional ? 0 : 1;
        most += 1;
        unbounded = unbounded || a.repeated;
    }
    if (arguments.size() < least || (!unbounded && arguments.size() > most)) {
        std::string wanted;
        for (const ArgumentSpec& a : command.arguments)
            wanted += (wanted.empty() ? "" : " ") + (a.optional ? "[" + a.name + "]" : a.name) + (a.repeated ? "..." : "");
        return invocation.UsageError(wanted.empty() ? "takes no arguments" : "takes " + wanted);
    }
    invocation.mutableArguments() = std::move(arguments);
    return 0;
}

} // namespace

const std::vector<Command>& Commands() { return Table(); }

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const Command& c : Table())
        names.push_back(c.name);
    return names;
}

const Command* FindCommand(std::string_view name) {
    for (const Command& c : Table())
        if (c.name == name)
            return &c;
    return nullptr;
}

void ProvideRun(std::string_view name, RunFunction run) {
    for (Command& c : Table())
        if (c.name == name)
            c.run = std::move(run);
}

std::string DidYouMean(std::string_view typed, const std::vector<std::string>& candidates) {
    const std::vector<std::string> close = CloseMatches(typed, candidates);
    std::string text;
    for (std::size_t i = 0; i < close.size(); ++i)
        text += (i == 0 ? "; did you mean '" : i + 1 == close.size() ? "' or '" : "', '") + close[i];
    return text.empty() ? text : text + "'?";
}

std::vector<std::string> CloseMatches(std::string_view typed, const std::vector<std::string>& candidates,
                                      std::size_t limit) {
    const std::string wanted = Lowered(typed);
    std::vector<std::pair<std::size_t, std::string>> scored;
    for (const std::string& candidate : candidates) {
        const std::string low = Lowered(candidate);
        const bool contained = wanted.size() >= 3 && low.find(wanted) != std::string::npos;
        const std::size_t distance = EditDistance(wanted, low);
        if (contained || distance <= std::max<std::size_t>(2, wanted.size() / 4))
            scored.emplace_back(contained ? 0 : distance, candidate);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (std::size_t i = 0; i < scored.size() && i < limit; ++i)
        out.push_back(scored[i].second);
    return out;
}

int RunCommandLine(const std::vector<std::string>& words, Console& console) {
    if (words.empty()) {
        console.Err(OverviewText());
        return 2;
    }
    const std::string& name = words[0];
    if (IsHelpWord(name)) {
        console.Out(OverviewText());
        return 0;
    }
    if (name == "--version") {
        console.Out(VersionText());
        return 0;
    }
    const Command* command = FindCommand(name);
    if (!command) {
        console.Err("dashcam-cfg: " + std::string(name.starts_with("-") ? "unknown option '" : "unknown command '") +
                    name + "'" + DidYouMean(name, CommandNames()) + " (see 'dashcam-cfg --help')\n");
        return 2;
    }
    std::vector<std::string> rest(words.begin() + 1, words.end());
    for (const std::string& w : rest) {
        if (w == "--")
            break;
        if (IsHelpWord(w)) {
            console.Out(HelpText(*command));
            return 0;
        }
    }
    if (!command->run)
        return RunInDesktopPart(*command, words, console);
    // Nobody can answer a question here: messages go to standard error, and the safe answer is taken.
    const prompt::Presenter previous = prompt::SetPresenter([&console](const prompt::Request& request) {
        console.Err("dashcam-cfg: " + Utf16ToUtf8(request.text) + "\n");
        return request.kind == prompt::Kind::MessageOk || request.kind == prompt::Kind::Notice ? prompt::Answer::Ok
                                                                                                : prompt::Answer::No;
    });
    Invocation invocation(*command, console);
    int status = Parse(*command, rest, invocation);
    if (status == 0)
        status = command->run(invocation);
    prompt::SetPresenter(previous);
    return status;
}

} // namespace dashcam::cli
