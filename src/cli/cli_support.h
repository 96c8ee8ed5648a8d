#pragma once
// Small pieces shared by the dashcam-cfg commands.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_commands.h"

namespace dashcam::cli {

// The card folder as the editor takes it: UTF-16, ending in the path separator (added here when missing).
std::u16string CardRootFromArgument(const std::string& argument);
// Checks that the folder exists; prints a message and returns false otherwise.
bool CheckCardFolder(const std::string& argument);

std::optional<std::int64_t> ParseInteger(std::string_view text);
std::string JsonQuoted(std::string_view utf8);

int UsageError(const std::string& message, const char* usage);
int Failure(const std::string& message);
void PrintHelp(const char* usage);

} // namespace dashcam::cli
