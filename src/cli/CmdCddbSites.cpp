#include <ostream>

#include "cddb/FreedbLookup.h"
#include "cli/CliCommand.h"
#include "cli/DriveCliSupport.h"
#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"

namespace melvarin {
namespace {

// cddb-sites [--server HOST[:PORT]]: fetches the mirror list (from the default
// server unless given) and saves it as the settings window's site list.
int runCddbSites(CliContext& ctx, const std::vector<std::string>& args) {
    const auto parsed = CliArgs::parseOptions("cddb-sites", args, {"server"}, {}, *ctx.err);
    if (!parsed) return kCliUsage;
    CliDrive home;
    home.LoadSettings(ctx);
    const SettingsRecord& settings = home.settings;
    const CCDDBSite site = CCDDBSite::ForLookup(parsed->value("server").value_or(""), "");
    FileUtil::makeDirs(ProgramHome::settingDir());
    std::vector<CCDDBSite> sites;
    const int n = FreedbLookup::FetchSites(settings, site, ProgramHome::settingDir() + "serervs.lst", sites);
    if (n <= 0) {
        *ctx.err << "melvarin-cli cddb-sites: no site list from " << site.Host << ':' << site.Port
                 << " (the list is left as it was)\n";
        return kCliFailed;
    }
    for (const auto& s : sites) *ctx.out << FreedbLookup::SiteCaption(s) << '\n';
    return kCliDone;
}

}  // namespace

MELVARIN_CLI_COMMAND("cddb-sites", "[--server HOST[:PORT]]", runCddbSites);

}  // namespace melvarin
