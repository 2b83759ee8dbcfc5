#include <ostream>

#include "cli/CliCommand.h"
#include "cli/DriveCliSupport.h"
#include "drive/DriveInfo.h"

namespace melvarin {
namespace {

int runInfo(CliContext& ctx, const std::vector<std::string>& args) {
    if (!CliArgs::parseOptions("info", args, {}, {}, *ctx.err)) return kCliUsage;
    CliDrive d;
    d.LoadSettings(ctx);
    if (!d.Open(ctx)) return kCliFailed;
    std::array<std::uint8_t, kCapabilitiesLength> caps{};
    d.cd->ReadCapabilities(caps);
    const auto inquiry = d.cd->Inquiry();
    for (const auto& line : DriveInfoLines(caps, inquiry, d.russian)) *ctx.out << line << '\n';
    return kCliDone;
}

}  // namespace

MELVARIN_CLI_COMMAND("info", "               the drive information lines", runInfo);

}  // namespace melvarin
