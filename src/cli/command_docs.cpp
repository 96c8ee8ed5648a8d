// Texts made from the command declarations: the overview, each command's help, the man page and the bash
// completion; and the help command that prints them.
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "cli/command_support.h"
#include "forms/editable_fields.h"
#include "settings/settings_record.h"

#ifndef DASHCAM_VERSION
#define DASHCAM_VERSION "0"
#endif

namespace dashcam::cli {
namespace {

const char* const kExitStatus =
    "Exit status: 0 success; 1 the operation failed (a message on standard error names the file and the "
    "operating system's reason); 2 usage error (unknown command, field or option, or an unusable value). diff "
    "exits 1 when the files differ.";
const char* const kCardText =
    "CARD is a card folder (a trailing separator is optional). Settings are loaded as the editor loads them: "
    "setup.cfg, or default.cfg when the card has no setup.cfg. Output is UTF-8.";
const char* const kTraceText =
    "The editor's developer traces are off by default; QT_LOGGING_RULES=\"dashcam.trace=true\" shows them on "
    "standard error (with the desktop commands, and wherever the Qt layer runs).";

// The manual page's examples: what each shows, then its command lines.
struct Example {
    const char* what;
    std::vector<std::string> lines;
};
const std::vector<Example>& Examples() {
    static const std::vector<Example> examples = {
        {"One card: show its settings, set the parking record timer, the motion sensitivity and the time zone, and "
         "ask the camera to take this computer's clock at its next start:",
         {"dashcam-cfg show /media/$USER/CARD",
          "dashcam-cfg set /media/$USER/CARD recordTimerHours=48 motionSensitivity=5 timeZone=Seoul",
          "dashcam-cfg clock /media/$USER/CARD --now"}},
        {"A fleet: one card's settings as a profile, applied to every mounted card. cards --null ends each path with "
         "a NUL byte, so that a card mounted as \"NO NAME\" stays one argument:",
         {"dashcam-cfg export /media/$USER/SAMPLE --output fleet.json",
          "dashcam-cfg cards --null | xargs -0r dashcam-cfg apply fleet.json --dry-run",
          "dashcam-cfg cards --null | xargs -0r dashcam-cfg apply fleet.json"}},
        {"From one card to another without a file:",
         {"dashcam-cfg export /media/$USER/SAMPLE --output - | dashcam-cfg apply - /media/$USER/CARD"}},
    };
    return examples;
}

// The files that the commands read and write.
const std::vector<std::pair<std::string, std::string>>& Files() {
    static const std::vector<std::pair<std::string, std::string>> files = {
        {"CARD/setup.cfg", "the card's settings record: read by every card command, saved by set, apply and "
                           "restore-defaults (never shortened)"},
        {"CARD/default.cfg", "the factory settings: read by restore-defaults, and instead of setup.cfg when the "
                             "card has none"},
        {"CARD/time.dat", "the clock request, written or deleted by clock"},
        {"CARD/lang/ver.dat", "the camera's firmware description and language list: languages, and the "
                              "deviceLanguage of profiles"},
        {"set_touch_cal.txt", "the touch-calibration request at the root of the card's volume, written by "
                              "touch-calibration"},
        {"/usr/share/bash-completion/completions/dashcam-cfg", "the bash completion (help --bash-completion)"},
    };
    return files;
}

const char* const kSeeAlso = "dashcam-setting(1), dashcam-open-card(1), dashcam-cfg-desktop(1), xargs(1)";

// The text broken into lines of at most `width` characters, each line indented.
std::string Wrapped(const std::string& text, std::size_t indent, std::size_t width = 100) {
    std::string out, line;
    const std::string pad(indent, ' ');
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && pad.size() + line.size() + 1 + word.size() > width) {
            out += pad + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
        out += pad + line + "\n";
    return out;
}

std::string OptionWords(const OptionSpec& o) { return o.name + (o.value.empty() ? "" : " " + o.value); }

// Two columns: the names padded to a common width, then the wrapped text.
std::string Columns(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::size_t width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.first.size());
    std::string out;
    for (const auto& [name, text] : rows) {
        std::string body = Wrapped(text, width + 4);
        out += "  " + name + std::string(width + 2 - name.size(), ' ') + body.substr(width + 4);
    }
    return out;
}

// Text for roff: backslashes doubled, hyphens as minus signs, no line starting with a control character.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '"')
            out += "\\(dq";
        else if (c == '-')
            out += "\\-";
        else
            out.push_back(c);
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

std::string Words(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

// The bash command that completes the value after FIELD= of set: the zones' keys for the time zone, the values
// of a control that stores a few; empty for texts and wide ranges.
std::string AssignmentCompletion(const std::string& name) {
    if (name == "timeZone" || name == "timeZoneName")
        return "_dashcam_cfg_value zone \"$field=\" \"$value\"";
    std::vector<std::string> words;
    for (const ControlValues& values : EditableFieldValues()) {
        if (values.name != name || FindSettingsField(name)->kind == FieldKind::Text || values.cardLanguageIndex)
            continue;
        for (std::int64_t v : values.only)
            words.push_back(std::to_string(v));
        for (std::int64_t v = values.low; values.only.empty() && values.high - values.low <= 16 && v <= values.high; ++v)
            words.push_back(std::to_string(v));
    }
    return words.empty() ? std::string() : "_dashcam_cfg_value words \"$field=\" \"$value\" " + Words(words);
}

// The bash command that completes one kind of value: `prefix` is what stands before the value in the word
// ("--lang=", "voiceVolume=" or nothing), `value` the value as typed.
std::string CompletionFor(ValueKind kind, const std::vector<std::string>& choices, const std::string& prefix = "''",
                          const std::string& value = "\"$cur\"") {
    const std::string call = " " + prefix + " " + value;
    switch (kind) {
    case ValueKind::Folder:
        return "_dashcam_cfg_value folder" + call;
    case ValueKind::File:
        return "_dashcam_cfg_value file" + call;
    case ValueKind::Field:
        return "_dashcam_cfg_value words" + call + " " + Words(SettingsFieldNames());
    case ValueKind::Assignment:
        return "_dashcam_cfg_assignment " + value;
    case ValueKind::Choice:
        return "_dashcam_cfg_value words" + call + " " + Words(choices);
    case ValueKind::Command:
        return "_dashcam_cfg_value words" + call + " " + Words(CommandNames());
    case ValueKind::Text:
        break;
    }
    return "COMPREPLY=()";
}

// The shell functions that every command's completion uses.
const char* const kCompletionFunctions = R"(# bash splits FIELD=VALUE and --option=VALUE at '=' and ':' (COMP_WORDBREAKS): the words are joined again as
# they were typed, and a completion replaces only what follows the last of those characters.
_dashcam_cfg_words() {
  words=() cword=0
  local line=$COMP_LINE i w
  for ((i = 0; i < ${#COMP_WORDS[@]}; i++)); do
    w=${COMP_WORDS[i]}
    if ((i > 0)) && [[ -n $COMP_LINE && $line != [[:space:]]* ]]; then words[-1]+=$w; else words+=("$w"); fi
    line=${line#"${line%%[![:space:]]*}"}
    line=${line#"$w"}
    ((i == COMP_CWORD)) && cword=$((${#words[@]} - 1))
  done
}
# The word without the shell's quotes and backslashes ("NO\ NAME" is NO NAME), in REPLY.
_dashcam_cfg_dequote() {
  local s=$1 i c q= bs='\'
  REPLY=
  for ((i = 0; i < ${#s}; i++)); do
    c=${s:i:1}
    if [[ $q == "'" ]]; then
      if [[ $c == "'" ]]; then q=; else REPLY+=$c; fi
    elif [[ $c == "$bs" ]]; then
      ((i++))
      REPLY+=${s:i:1}
    elif [[ $c == "'" || $c == '"' ]]; then
      if [[ $q == "$c" ]]; then q=; elif [[ -z $q ]]; then q=$c; else REPLY+=$c; fi
    else
      REPLY+=$c
    fi
  done
}
# COMPREPLY: the candidates (whole words) that start with the word, without what bash does not replace.
_dashcam_cfg_offer() {
  local cur=$1 c head= breaks=${COMP_WORDBREAKS//[!=:]/}
  shift
  if [[ -n $breaks && $cur == *[$breaks]* ]]; then head=${cur%"${cur##*[$breaks]}"}; fi
  COMPREPLY=()
  for c in "$@"; do
    if [[ $c == "$cur"* ]]; then COMPREPLY+=("${c#"$head"}"); fi
  done
}
# A value of a kind (folder, file, zone, words followed by the words), after a prefix.
_dashcam_cfg_value() {
  local kind=$1 prefix=$2 value=$3 found=() c
  shift 3
  case $kind in
    folder) compopt -o filenames 2>/dev/null; mapfile -t found < <(compgen -d -- "$value") ;;
    file) compopt -o filenames 2>/dev/null; mapfile -t found < <(compgen -f -- "$value") ;;
    zone) compopt -o filenames 2>/dev/null; mapfile -t found < <(dashcam-cfg zones 2>/dev/null | cut -f1) ;;
    *) found=("$@") ;;
  esac
  local candidates=()
  for c in "${found[@]}"; do candidates+=("$prefix$c"); done
  _dashcam_cfg_offer "$prefix$value" "${candidates[@]}"
}
)";

int RunHelp(Invocation& call) {
    if (call.Has("--man")) {
        call.Out(ManPage());
        return 0;
    }
    if (call.Has("--bash-completion")) {
        call.Out(BashCompletion());
        return 0;
    }
    if (call.arguments().empty()) {
        call.Out(OverviewText());
        return 0;
    }
    const Command* command = FindCommand(call.argument(0));
    if (!command)
        return call.UsageError("unknown command '" + call.argument(0) + "'" +
                               DidYouMean(call.argument(0), CommandNames()));
    call.Out(HelpText(*command));
    return 0;
}

} // namespace

Command HelpCommand() {
    return {"help",
            "describe dashcam-cfg or one command",
            "Prints the overview of the commands, or one command's help (the same as 'dashcam-cfg COMMAND --help'). "
            "--man prints the manual page (roff) and --bash-completion the bash completion script; both are made "
            "from the same declarations as the help.",
            {{"COMMAND", "a command's name", ValueKind::Command, true}},
            {{"--man", "", "print the manual page dashcam-cfg(1) in roff"},
             {"--bash-completion", "", "print the bash completion script"}},
            RunHelp};
}

std::vector<Command> AllCommands() {
    std::vector<Command> all = CardCommands();
    for (Command& c : ProfileCommands())
        all.push_back(std::move(c));
    all.push_back(TextCommand());
    all.push_back(ZonesCommand());
    all.push_back(TouchCalibrationCommand());
    for (Command& c : DesktopCommands())
        all.push_back(std::move(c));
    all.push_back(HelpCommand());
    return all;
}

std::string VersionText() { return std::string("dashcam-cfg ") + DASHCAM_VERSION + "\n"; }

std::string OverviewText() {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const Command& c : Commands())
        rows.emplace_back(c.name, c.summary);
    return "usage: dashcam-cfg COMMAND [ARGUMENTS] [OPTIONS]\n       dashcam-cfg --version | --help\n\n"
           "The dash cam settings editor's card operations, for scripts.\n\ncommands:\n" +
           Columns(rows) + "\n" + Wrapped(kCardText, 0) + Wrapped(kExitStatus, 0) +
           "'dashcam-cfg help COMMAND' or 'dashcam-cfg COMMAND --help' describes one command.\n";
}

std::string HelpText(const Command& command) {
    std::string out = "usage: " + command.UsageLine() + "\n\n" + Wrapped(command.description, 2);
    std::vector<std::pair<std::string, std::string>> rows;
    for (const ArgumentSpec& a : command.arguments)
        rows.emplace_back(a.name, a.help);
    for (const OptionSpec& o : command.options)
        rows.emplace_back(OptionWords(o), o.help +
                                              (o.choices.empty() ? "" : " (" + Words(o.choices) + ")"));
    rows.emplace_back("-h, --help", "this help");
    return out + "\n" + Columns(rows);
}

std::string ManPage() {
    std::string out = ".TH DASHCAM\\-CFG 1 \"\" \"dashcam-cfg " DASHCAM_VERSION "\" \"User Commands\"\n"
                      ".SH NAME\ndashcam\\-cfg \\- the dash cam settings editor's card operations, for scripts\n"
                      ".ad l\n.nh\n.SH SYNOPSIS\n.nf\n";
    for (const Command& c : Commands())
        out += "\\fB" + Roff(c.UsageLine()) + "\\fR\n";
    out += "\\fBdashcam\\-cfg \\-\\-version\\fR\n.fi\n.SH DESCRIPTION\n" + Roff(kCardText) + "\n.SH COMMANDS\n";
    for (const Command& c : Commands()) {
        out += ".SS " + Roff(c.name) + "\n" + Roff(c.description) + "\n";
        for (const ArgumentSpec& a : c.arguments)
            out += ".TP\n.I " + Roff(a.name) + "\n" + Roff(a.help) + "\n";
        for (const OptionSpec& o : c.options)
            out += ".TP\n.B " + Roff(OptionWords(o)) + "\n" + Roff(o.help) +
                   (o.choices.empty() ? "" : " (" + Roff(Words(o.choices)) + ")") + "\n";
    }
    out += ".SH EXIT STATUS\n" + Roff(kExitStatus) + "\n.SH ENVIRONMENT\n.TP\n.B QT_LOGGING_RULES\n" +
           Roff(kTraceText) + "\n.SH FILES\n";
    for (const auto& [file, what] : Files())
        out += ".TP\n.I " + Roff(file) + "\n" + Roff(what) + "\n";
    out += ".SH EXAMPLES\n";
    for (const Example& example : Examples()) {
        out += ".PP\n" + Roff(example.what) + "\n.PP\n.RS 4\n.nf\n";
        for (const std::string& line : example.lines)
            out += Roff(line) + "\n";
        out += ".fi\n.RE\n";
    }
    return out + ".SH SEE ALSO\n" + Roff(kSeeAlso) + "\n";
}

std::string BashCompletion() {
    std::vector<std::string> fieldCases, names;
    for (const std::string& n : SettableFieldNames()) {
        names.push_back(n + "=");
        if (const std::string values = AssignmentCompletion(n); !values.empty())
            fieldCases.push_back("    " + n + ") " + values + " ;;\n");
    }
    std::string out = "# bash completion for dashcam-cfg, made by 'dashcam-cfg help --bash-completion'\n" +
                      std::string(kCompletionFunctions) +
                      "# FIELD=VALUE of set: the field names, then the values of the field.\n"
                      "_dashcam_cfg_assignment() {\n"
                      "  local cur=$1\n"
                      "  if [[ $cur != *=* ]]; then\n"
                      "    compopt -o nospace 2>/dev/null\n"
                      "    _dashcam_cfg_offer \"$cur\" " + Words(names) + "\n"
                      "    return\n"
                      "  fi\n"
                      "  local field=${cur%%=*} value=${cur#*=}\n"
                      "  case $field in\n";
    for (const std::string& c : fieldCases)
        out += c;
    out += "  esac\n}\n"
           "_dashcam_cfg() {\n"
           "  local words cword REPLY\n"
           "  _dashcam_cfg_words\n"
           "  _dashcam_cfg_dequote \"${words[cword]}\"\n"
           "  local cur=$REPLY prev=${words[cword-1]}\n"
           "  COMPREPLY=()\n"
           "  if ((cword == 1)); then\n"
           "    _dashcam_cfg_offer \"$cur\" " + Words(CommandNames()) + " --help --version\n"
           "    return\n"
           "  fi\n"
           "  local i n=0\n"
           "  for ((i = 2; i < cword; i++)); do\n"
           "    case ${words[i]} in -?*) ;; *) case ${words[i-1]} in";
    // Values of options are not arguments: the counter skips the word after an option that takes one.
    std::vector<std::string> valued;
    for (const Command& c : Commands())
        for (const OptionSpec& o : c.options)
            if (!o.value.empty() && std::find(valued.begin(), valued.end(), o.name) == valued.end())
                valued.push_back(o.name);
    std::string pattern;
    for (const std::string& v : valued)
        pattern += (pattern.empty() ? "" : "|") + v;
    out += " " + (pattern.empty() ? std::string("--never") : pattern) + ") ;; *) n=$((n + 1)) ;; esac ;; esac\n"
           "  done\n"
           "  case ${words[1]} in\n";
    for (const Command& c : Commands()) {
        std::vector<std::string> options;
        for (const OptionSpec& o : c.options)
            options.push_back(o.name);
        options.emplace_back("--help");
        out += "    " + c.name + ")\n      case $prev in\n";
        for (const OptionSpec& o : c.options)
            if (!o.value.empty())
                out += "        " + o.name + ") " + CompletionFor(o.kind, o.choices) + "; return ;;\n";
        out += "      esac\n      case $cur in\n";
        for (const OptionSpec& o : c.options)
            if (!o.value.empty())
                out += "        " + o.name + "=*) " +
                       CompletionFor(o.kind, o.choices, o.name + "=", "\"${cur#*=}\"") + "; return ;;\n";
        out += "        -?*) _dashcam_cfg_offer \"$cur\" " + Words(options) + "; return ;;\n      esac\n"
               "      case $n in\n";
        for (std::size_t i = 0; i < c.arguments.size(); ++i) {
            const ArgumentSpec& a = c.arguments[i];
            const bool last = i + 1 == c.arguments.size();
            out += "        " + (a.repeated && last ? std::string("*") : std::to_string(i)) + ") " +
                   CompletionFor(a.kind, {}) + " ;;\n";
        }
        out += "      esac ;;\n";
    }
    out += "  esac\n}\ncomplete -F _dashcam_cfg dashcam-cfg\n";
    return out;
}

} // namespace dashcam::cli
