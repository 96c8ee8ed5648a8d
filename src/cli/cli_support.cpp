#include "cli/cli_support.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/host_system.h"
#include "platform/text_codec.h"

namespace dashcam::cli {

std::u16string CardRootFromArgument(const std::string& argument) {
    std::u16string root = Utf8ToUtf16(argument);
    if (root.empty() || (root.back() != u'/' && root.back() != kPathSeparator))
        root.push_back(kPathSeparator);
    return root;
}

bool CheckCardFolder(const std::string& argument) {
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::path(argument), ec)) {
        std::fprintf(stderr, "dashcam-cfg: %s: %s\n", argument.c_str(),
                     std::filesystem::exists(argument, ec) ? "not a folder" : "no such folder");
        return false;
    }
    return true;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > (std::int64_t{1} << 40))
            return std::nullopt;
    }
    return negative ? -value : value;
}

std::string JsonQuoted(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (b < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

int UsageError(const std::string& message, const char* usage) {
    std::fprintf(stderr, "dashcam-cfg: %s\n%s", message.c_str(), usage);
    return 2;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "dashcam-cfg: %s\n", message.c_str());
    return 1;
}

void PrintHelp(const char* usage) { std::fputs(usage, stdout); }

} // namespace dashcam::cli
