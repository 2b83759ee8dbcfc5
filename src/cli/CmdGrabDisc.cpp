#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliGrabSetup.h"

namespace melvarin {

namespace {

int runGrabDisc(CliContext& ctx, const std::vector<std::string>& args) {
    CliGrabRun run(ctx, "grab-disc");
    if (const int status = run.Parse(args, {}, {"cue", "no-cue"})) return status;
    SettingsRecord& settings = run.Settings();
    if (run.Options().has("cue")) settings.CUE = 1;
    if (run.Options().has("no-cue")) settings.CUE = 0;
    if (!run.Start()) return kCliFailed;
    return run.Finish(run.Grabber().GrabDisc(WholeDiscFileName(settings, run.Disc(), run.EncoderIndex())));
}

}  // namespace

MELVARIN_CLI_COMMAND("grab-disc",
                     "[--format F] [--cue | --no-cue] [--out DIR]\n"
                     "       the whole disc into one file (+ CUE sheet)",
                     runGrabDisc);

}  // namespace melvarin
