#include <ostream>

#include "cli/CliCommand.h"
#include "cli/DriveCliSupport.h"
#include "cli/JsonText.h"
#include "drive/DriveInfo.h"

namespace melvarin {
namespace {

int runDrives(CliContext& ctx, const std::vector<std::string>& args) {
    const auto parsed = CliArgs::parseOptions("drives", args, {}, {"json"}, *ctx.err);
    if (!parsed) return kCliUsage;
    CliDrive d;
    d.LoadSettings(ctx);
    if (!d.Start(ctx)) return kCliFailed;
    const TCDROM& cd = *d.cd;
    if (parsed->has("json")) {
        *ctx.out << "{\"drives\": [";
        for (int i = 0; i < cd.DriveCount(); ++i) {
            *ctx.out << (i ? ", " : "") << "{\"index\": " << i << ", \"name\": " << JsonString(DriveDisplayName(cd.DriveName(i)))
                     << ", \"device\": " << JsonString(cd.DriveDevice(i)) << "}";
        }
        *ctx.out << "]}\n";
    } else {
        for (int i = 0; i < cd.DriveCount(); ++i)
            *ctx.out << i << '\t' << DriveDisplayName(cd.DriveName(i)) << '\t' << cd.DriveDevice(i) << '\n';
    }
    return kCliDone;
}

}  // namespace

MELVARIN_CLI_COMMAND("drives", "[--json]      one line per drive: index, name, device", runDrives);

}  // namespace melvarin
