#include "cli/command.h"

namespace dashcam::cli {

const OptionSpec* Command::FindOption(std::string_view option) const {
    for (const OptionSpec& o : options)
        if (o.name == option)
            return &o;
    return nullptr;
}

std::string Command::UsageLine() const {
    std::string line = "dashcam-cfg " + name;
    for (const ArgumentSpec& a : arguments) {
        line.append(a.optional ? " [" : " ").append(a.name).append(a.repeated ? "..." : "");
        line.append(a.optional ? "]" : "");
    }
    for (const OptionSpec& o : options) {
        line.append(" [").append(o.name);
        if (!o.value.empty())
            line.append(" ").append(o.value);
        line.append("]");
    }
    return line;
}

std::optional<std::string> Invocation::Value(std::string_view option) const {
    auto it = values_.find(std::string(option));
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

int Invocation::Fail(std::string_view message) {
    console_.Err("dashcam-cfg: " + std::string(message) + "\n");
    return 1;
}

int Invocation::UsageError(std::string_view message) {
    console_.Err("dashcam-cfg " + command_.name + ": " + std::string(message) + " (see 'dashcam-cfg help " +
                 command_.name + "')\n");
    return 2;
}

void Invocation::Note(std::string_view message) { console_.Err("dashcam-cfg: note: " + std::string(message) + "\n"); }

} // namespace dashcam::cli
