// melvarin-cli cddb: looks the disc in the drive up on a freedb server and saves
// the texts as the main window's freedb command does.
#include <unistd.h>

#include <iostream>
#include <ostream>
#include <string>

#include "cddb/CCDDBSite.h"
#include "cddb/DiscXmcd.h"
#include "cli/CliCommand.h"
#include "cli/CliDisc.h"
#include "cli/DriveCliSupport.h"

namespace melvarin {
namespace {

bool parseNumber(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoi(text);
    return out >= low && out <= high;
}

// Overrides settings fields for this run from the options; false on a bad value.
bool applyOptions(const CliArgs& a, SettingsRecord& s, std::string& error) {
    if (auto v = a.value("server")) setText(s.Server, *v);
    if (auto v = a.value("path")) setText(s.Path, *v);
    if (auto v = a.value("proxy")) {
        const CCDDBSite proxy = CCDDBSite::FromServer(*v, "");
        s.UseProxy = 1;
        setText(s.Proxy, proxy.Host);
        s.Port = proxy.Port;
    }
    if (auto v = a.value("user")) setText(s.User, *v);
    if (auto v = a.value("password")) setText(s.Password, *v);
    if (auto v = a.value("timeout")) {
        int seconds = 0;
        if (!parseNumber(*v, 1, 3600, seconds)) {
            error = "--timeout takes seconds from 1 to 3600";
            return false;
        }
        s.TimeOut = seconds * 1000;
    }
    return true;
}

int chooseMatch(CliContext& ctx, const std::optional<int>& pick, const std::vector<std::string>& titles) {
    if (pick) {
        if (*pick >= 1 && static_cast<std::size_t>(*pick) <= titles.size()) return *pick - 1;
        *ctx.err << "melvarin-cli cddb: --pick " << *pick << " but there are " << titles.size() << " matches\n";
        return -1;
    }
    for (std::size_t i = 0; i < titles.size(); ++i) *ctx.err << "  " << i + 1 << ". " << titles[i] << '\n';
    if (!::isatty(STDIN_FILENO)) {
        *ctx.err << "melvarin-cli cddb: several matches; choose one with --pick N\n";
        return -1;
    }
    for (;;) {
        *ctx.err << "Match (1-" << titles.size() << ", empty to cancel): " << std::flush;
        std::string line;
        if (!std::getline(std::cin, line) || line.empty()) return -1;
        int n = 0;
        if (parseNumber(line, 1, static_cast<int>(titles.size()), n)) return n - 1;
    }
}

int runCddb(CliContext& ctx, const std::vector<std::string>& args) {
    const auto parsed = CliArgs::parseOptions(
        "cddb", args, {"server", "path", "proxy", "user", "password", "pick", "timeout"}, {}, *ctx.err);
    if (!parsed) return kCliUsage;
    std::optional<int> pick;
    if (auto v = parsed->value("pick")) {
        int n = 0;
        if (!parseNumber(*v, 1, 100, n)) {
            *ctx.err << "melvarin-cli cddb: --pick takes a match number from 1\n";
            return kCliUsage;
        }
        pick = n;
    }
    CliDrive cli;
    cli.LoadSettings(ctx);
    SettingsRecord& settings = cli.settings;
    std::string error;
    if (!applyOptions(*parsed, settings, error)) {
        *ctx.err << "melvarin-cli cddb: " << error << '\n';
        return kCliUsage;
    }

    CliDisc cd;
    if (!cd.Load(ctx, "cddb", settings)) return kCliFailed;
    const FreedbOutcome outcome = DiscXmcd::Fetch(settings, cd.disc, cd.tags, *ctx.prompt,
                                                  [&](const std::vector<std::string>& titles) {
                                                      return chooseMatch(ctx, pick, titles);
                                                  });
    if (outcome != FreedbOutcome::Found) return kCliFailed;

    if (!cd.Save(ctx, "cddb", settings)) return kCliFailed;

    *ctx.out << "artist " << cd.disc.artist() << "\nalbum " << cd.disc.album() << "\nyear " << cd.disc.year()
             << "\ngenre " << cd.disc.genre() << '\n';
    for (int i = 0; i < cd.disc.trackCount(); ++i)
        *ctx.out << (i < 9 ? "0" : "") << i + 1 << "  " << cd.disc.title(i) << '\n';
    return kCliDone;
}

}  // namespace

MELVARIN_CLI_COMMAND("cddb",
                     "[--server HOST[:PORT]] [--path PATH] [--proxy HOST[:PORT]] [--user U]\n"
                     "       [--password P] [--pick N] [--timeout SECONDS]   look the disc up on freedb",
                     runCddb);

}  // namespace melvarin
