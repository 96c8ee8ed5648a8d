#pragma once
// One command of dashcam-cfg, declared once: its name, what it does, its arguments and options, and the function
// that runs it. Parsing, each command's help, the overview, the man page and the bash completion are all made from
// these declarations.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dashcam::cli {

// Where a command writes, and what it reads when a file is given as "-". The program's console writes to standard
// output and standard error and reads standard input; tests collect the texts and give the input.
class Console {
public:
    virtual ~Console() = default;
    virtual void Out(std::string_view utf8) = 0;
    virtual void Err(std::string_view utf8) = 0;
    // Standard input up to its end, but no more than `limit` + 1 bytes (so that the caller sees that there was more);
    // false with the reason when it cannot be read.
    virtual bool In(std::string& bytes, std::size_t limit, std::string& why) {
        (void)limit;
        bytes.clear();
        why = "no standard input";
        return false;
    }
};

// What a value or argument names, for the completion: any text, a folder, a file, a field name, FIELD=VALUE of
// an editable field, one of a list of choices, or a command's name.
enum class ValueKind { Text, Folder, File, Field, Assignment, Choice, Command };

struct OptionSpec {
    std::string name;                 // "--json"
    std::string value;                // the value's placeholder ("FILE"); empty for a flag
    std::string help;
    ValueKind kind = ValueKind::Text; // what the value is
    std::vector<std::string> choices = {}; // the values a Choice option takes
};

struct ArgumentSpec {
    std::string name; // "CARD"
    std::string help;
    ValueKind kind = ValueKind::Text;
    bool optional = false;
    bool repeated = false; // takes one or more (zero or more when also optional)
};

class Invocation;
using RunFunction = std::function<int(Invocation&)>;

struct Command {
    std::string name;
    std::string summary;     // one line for the overview
    std::string description; // paragraphs for the help and the man page
    std::vector<ArgumentSpec> arguments = {};
    std::vector<OptionSpec> options = {};
    RunFunction run = {};    // empty: the command lives in the desktop part (dashcam-cfg-desktop)

    const OptionSpec* FindOption(std::string_view name) const;
    // "dashcam-cfg set CARD FIELD=VALUE... [--force]"
    std::string UsageLine() const;
};

// A command as the user called it: its arguments, its options, and where it writes.
class Invocation {
public:
    Invocation(const Command& command, Console& console) : command_(command), console_(console) {}

    const Command& command() const { return command_; }
    const std::vector<std::string>& arguments() const { return arguments_; }
    const std::string& argument(std::size_t i) const { return arguments_.at(i); }
    bool Has(std::string_view option) const { return values_.count(std::string(option)) != 0; }
    std::optional<std::string> Value(std::string_view option) const;

    void Out(std::string_view utf8) { console_.Out(utf8); }
    void Err(std::string_view utf8) { console_.Err(utf8); }
    // "dashcam-cfg: message" on standard error; returns 1.
    int Fail(std::string_view message);
    // A one-line usage error with a hint to the command's help; returns 2.
    int UsageError(std::string_view message);
    // A note on standard error that does not change the outcome.
    void Note(std::string_view message);

    std::vector<std::string>& mutableArguments() { return arguments_; }
    std::map<std::string, std::string>& mutableValues() { return values_; }
    Console& console() { return console_; }

private:
    const Command& command_;
    Console& console_;
    std::vector<std::string> arguments_;
    std::map<std::string, std::string> values_; // flags map to ""
};

} // namespace dashcam::cli
