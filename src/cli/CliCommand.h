#pragma once
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/UserPrompt.h"

namespace melvarin {

// What every command receives: the global options already applied.
struct CliContext {
    std::string home;         // program home, ends with "/"
    int drive = -1;           // --drive N, or -1 for the settings' drive
    bool quiet = false;       // --quiet
    UserPrompt* prompt = nullptr;
    std::ostream* out = nullptr;  // results
    std::ostream* err = nullptr;  // progress and errors
};

// Options of one command: "--name value", "--flag", and positional arguments.
class CliArgs {
public:
    // Parses `args` against the option names that take a value and the flag names.
    // Returns nothing (and writes the reason to `error`) for an unknown option or
    // a missing value.
    static std::optional<CliArgs> parse(const std::vector<std::string>& args,
                                        const std::set<std::string>& valueOptions,
                                        const std::set<std::string>& flags, std::string& error);
    // parse() for command `command`, which takes no positional arguments. On
    // wrong usage writes "melvarin-cli COMMAND: reason" to `err` and returns
    // nothing; the command then exits with kCliUsage.
    static std::optional<CliArgs> parseOptions(const std::string& command, const std::vector<std::string>& args,
                                               const std::set<std::string>& valueOptions,
                                               const std::set<std::string>& flags, std::ostream& err);

    bool has(const std::string& name) const { return flags_.count(name) || values_.count(name); }
    std::optional<std::string> value(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }

private:
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
};

// Exit statuses of melvarin-cli.
enum CliStatus { kCliDone = 0, kCliFailed = 1, kCliUsage = 2 };

using CliHandler = std::function<int(CliContext&, const std::vector<std::string>&)>;

struct CliCommandInfo {
    std::string name;
    std::string usage;  // one or more lines for --help, without the command name
    CliHandler handler;
};

// The command table. Each command's source file registers itself with
// MELVARIN_CLI_COMMAND at start-up.
class CliRegistry {
public:
    static bool add(CliCommandInfo info);
    static const CliCommandInfo* find(const std::string& name);
    static const std::vector<CliCommandInfo>& all();
};

#define MELVARIN_CLI_CONCAT2(a, b) a##b
#define MELVARIN_CLI_CONCAT(a, b) MELVARIN_CLI_CONCAT2(a, b)
#define MELVARIN_CLI_COMMAND(name, usage, handler)                                  \
    static const bool MELVARIN_CLI_CONCAT(cliRegistered_, __LINE__) =               \
        ::melvarin::CliRegistry::add({name, usage, handler})

}  // namespace melvarin
