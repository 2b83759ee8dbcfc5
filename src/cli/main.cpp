#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/TerminalPrompt.h"
#include "platform/PartialFile.h"
#include "platform/ProgramHome.h"

using namespace melvarin;

namespace {

void printHelp(std::ostream& out) {
    out << "Usage: melvarin-cli [GLOBAL OPTIONS] COMMAND [OPTIONS] [ARGS]\n\n"
           "Global options:\n"
           "  --home DIR     program home\n"
           "  --drive N      reading drive: index in the 'drives' list\n"
           "  --yes | --no   answer every Yes/No question\n"
           "  --quiet        no progress output\n"
           "  --help, --version\n\n"
           "Commands:\n";
    for (const auto& c : CliRegistry::all()) {
        out << "  " << c.name;
        if (!c.usage.empty()) out << ' ' << c.usage;
        out << '\n';
    }
    out << "\n'melvarin-cli COMMAND --help' shows one command's usage.\n"
           "Exit status: 0 done; 1 failed or cancelled; 2 wrong usage;\n"
           "             129, 130, 143: a job ended by SIGHUP, SIGINT, SIGTERM\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::time_t started = std::time(nullptr);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string homeOverride;
    int drive = -1;
    std::optional<bool> answer;
    bool quiet = false;

    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            printHelp(std::cout);
            return kCliDone;
        } else if (a == "--version") {
            std::cout << "melvarin-cli " << MELVARIN_VERSION << '\n';
            return kCliDone;
        } else if (a == "--home" || a == "--drive") {
            if (i + 1 >= args.size()) {
                std::cerr << "melvarin-cli: option " << a << " needs a value\n";
                return kCliUsage;
            }
            const std::string v = args[++i];
            if (a == "--home") {
                homeOverride = v;
            } else {
                try {
                    std::size_t used = 0;
                    drive = std::stoi(v, &used);
                    if (used != v.size() || drive < 0) throw std::invalid_argument(v);
                } catch (const std::exception&) {
                    std::cerr << "melvarin-cli: --drive takes a drive index, not '" << v << "'\n";
                    return kCliUsage;
                }
            }
        } else if (a == "--yes") {
            answer = true;
        } else if (a == "--no") {
            answer = false;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a.rfind("--", 0) == 0) {
            std::cerr << "melvarin-cli: unknown option " << a << "\n";
            return kCliUsage;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        printHelp(std::cerr);
        return kCliUsage;
    }
    const CliCommandInfo* cmd = CliRegistry::find(args[i]);
    if (!cmd) {
        std::cerr << "melvarin-cli: unknown command '" << args[i] << "' (see --help)\n";
        return kCliUsage;
    }

    std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
    if (AsksForHelp(rest)) {
        PrintCommandHelp(*cmd, std::cout);
        return kCliDone;
    }

    TerminalPrompt prompt(std::cerr, answer);
    CliContext ctx;
    ctx.home = ProgramHome::resolve(homeOverride);
    ProgramHome::set(ctx.home);
    // Temporary files of runs that ended without tidying up.
    PartialFile::RemoveOlderThan(ProgramHome::tempFilesDir(), started);
    ctx.drive = drive;
    ctx.quiet = quiet;
    ctx.prompt = &prompt;
    ctx.out = &std::cout;
    ctx.err = &std::cerr;
    try {
        return cmd->handler(ctx, rest);
    } catch (const std::exception& e) {
        std::cerr << "melvarin-cli: unexpected error: " << e.what() << '\n';
        return kCliFailed;
    }
}
