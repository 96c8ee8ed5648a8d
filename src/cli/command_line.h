#pragma once
// The commands of dashcam-cfg and the program's entry: which command the words name, its parsing, its help.
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"

namespace dashcam::cli {

// Every command, in the order the overview lists them.
const std::vector<Command>& Commands();
const Command* FindCommand(std::string_view name);
// Their names, in the same order.
std::vector<std::string> CommandNames();
// The desktop part (dashcam-cfg-desktop) supplies the run functions of the commands that need it.
void ProvideRun(std::string_view name, RunFunction run);

// Runs the command that the words name (the words after the program's name) and returns the exit status: 0
// success, 1 the operation failed, 2 usage error.
int RunCommandLine(const std::vector<std::string>& words, Console& console);

// The texts made from the declarations.
std::string OverviewText();
std::string HelpText(const Command& command);
std::string ManPage();
std::string BashCompletion();
std::string VersionText();

// "; did you mean 'X' or 'Y'?" for the close matches of the typed word, or empty when there are none.
std::string DidYouMean(std::string_view typed, const std::vector<std::string>& candidates);
// Up to `limit` of the candidates that the typed word is close to (a few typing slips away, or containing it),
// closest first.
std::vector<std::string> CloseMatches(std::string_view typed, const std::vector<std::string>& candidates,
                                      std::size_t limit = 3);

} // namespace dashcam::cli
