#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace melvarin {

// The codes of a file-name pattern (--pattern, settings field Format), one line
// each, as `COMMAND --help` and the README list them.
extern const char kNamingPatternHelp[];

// What `melvarin-cli COMMAND --help` prints: the command's usage and, for a
// command that takes --pattern, the pattern codes.
void PrintCommandHelp(const CliCommandInfo& command, std::ostream& out);

// True when `args` (the command's own arguments) ask for its help: "--help" or
// "-h" anywhere before a "--".
bool AsksForHelp(const std::vector<std::string>& args);

}  // namespace melvarin
