#include <chrono>
#include <ostream>
#include <thread>

#include "app/UserPrompt.h"
#include "cli/CliCommand.h"
#include "cli/DriveCliSupport.h"
#include "drive/ReadCommandDetector.h"
#include "drive/ReadCommands.h"

namespace melvarin {
namespace {

int runDetectRead(CliContext& ctx, const std::vector<std::string>& args) {
    if (!CliArgs::parseOptions("detect-read", args, {}, {}, *ctx.err)) return kCliUsage;
    CliDrive d;
    d.LoadSettings(ctx);
    if (!d.Open(ctx)) return kCliFailed;
    TCDROM& cd = *d.cd;
    bool first = true;
    // A terminal user answers each question; --yes would otherwise ask forever.
    const bool loaded = ReadCommandDetector::WaitForDisc(
        *ctx.prompt,
        [&] {
            if (!first) std::this_thread::sleep_for(std::chrono::seconds(1));
            first = false;
            return !cd.CheckMedia();
        },
        30);
    if (!loaded) return kCliFailed;
    const int sectors = SectorsPerRead(d.settings.NumSecRead);
    const auto result = ReadCommandDetector::Run(cd, cd.Interface, d.drive, sectors);
    if (result.outcome == ReadCommandDetector::Outcome::DiscTooShort) {
        *ctx.err << ReadCommandDetector::TooShortText(result.leadOut,
                                                      ReadCommandDetector::kTrialLba + std::max(sectors, 26))
                 << '\n';
        return kCliFailed;
    }
    for (const auto& t : result.trials)
        *ctx.out << t.number << '\t' << t.name << '\t' << t.sectors << '\t' << t.result << '\n';
    return kCliDone;
}

}  // namespace

MELVARIN_CLI_COMMAND("detect-read", "        the 27 read-command trials: row, command, sectors, result", runDetectRead);

}  // namespace melvarin
