#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/SettingsRecord.h"
#include "cli/CliCommand.h"
#include "cli/CliDisc.h"
#include "cli/DriveCliSupport.h"
#include "cli/CliGrabSetup.h"
#include "disc/CommandSetRereader.h"
#include "disc/TGrabber.h"
#include "encoders/TEncManager.h"
#include "platform/ProgramHome.h"

namespace melvarin {

namespace {

int runGrabDisc(CliContext& ctx, const std::vector<std::string>& args) {
    const std::string name = "grab-disc";
    std::string error;
    const auto parsed = CliArgs::parse(args, {"format", "out"}, {"cue", "no-cue"}, error);
    if (!parsed || !parsed->positional().empty()) {
        *ctx.err << "melvarin-cli grab-disc: " << (parsed ? "no arguments expected" : error) << "\n";
        return kCliUsage;
    }
    CliDrive cli;
    cli.LoadSettings(ctx);
    SettingsRecord& settings = cli.settings;
    if (getText(settings.WorkDir).empty()) setText(settings.WorkDir, ProgramHome::musicDir());

    const std::string format = parsed->value("format").value_or(FormatName(settings.EncoderConfig.EncoderIndex));
    const std::optional<int> index = FormatIndex(format);
    if (!index) {
        *ctx.err << "melvarin-cli grab-disc: unknown format '" << format << "'\n";
        return kCliUsage;
    }
    if (const auto out = parsed->value("out")) setText(settings.WorkDir, FolderArgument(*out));
    if (parsed->has("cue")) settings.CUE = 1;
    if (parsed->has("no-cue")) settings.CUE = 0;
    if (!FormatAvailable(settings, *index, format, name, *ctx.err)) return kCliFailed;
    settings.EncoderConfig.EncoderIndex = static_cast<std::uint8_t>(*index);

    if (ctx.drive >= 0) settings.DeviceName = static_cast<std::uint8_t>(ctx.drive);
    CliDisc loaded;
    if (!loaded.Load(ctx, name, settings)) return kCliFailed;
    TAudioCD& drive = *loaded.drive;
    DiscRecord& disc = loaded.disc;
    CommandSetRereader rereader(drive.Current());

    std::error_code ec;
    std::filesystem::create_directories(getText(settings.WorkDir), ec);
    TEncManager encoders(ctx.prompt);
    TGrabber grabber(drive, settings, disc, encoders, *ctx.prompt);
    grabber.Tags = &loaded.tags;
    grabber.Rereader = &rereader;
    grabber.Callbacks = TerminalGrabCallbacks(*ctx.out, *ctx.err, ctx.quiet);
    if (grabber.GrabDisc(WholeDiscFileName(settings, disc, *index))) return kCliDone;
    *ctx.err << "melvarin-cli grab-disc: " << (grabber.Cancelled() ? "cancelled" : "failed") << "\n";
    return kCliFailed;
}

}  // namespace

MELVARIN_CLI_COMMAND("grab-disc",
                     "[--format F] [--cue | --no-cue] [--out DIR]\n"
                     "       the whole disc into one file (+ CUE sheet)",
                     runGrabDisc);

}  // namespace melvarin
