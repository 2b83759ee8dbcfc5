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

// Parses a track list like "1,3-5" (1-based) into `checked`; false when the
// text is not such a list.
bool ParseTrackList(const std::string& text, std::vector<bool>& checked) {
    std::size_t at = 0;
    auto number = [&](int& value) {
        const std::size_t begin = at;
        value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - begin < 3)
            value = value * 10 + (text[at++] - '0');
        return at > begin && value > 0;
    };
    while (true) {
        int first = 0, last = 0;
        if (!number(first)) return false;
        last = first;
        if (at < text.size() && text[at] == '-') {
            ++at;
            if (!number(last) || last < first) return false;
        }
        if (checked.size() < std::size_t(last)) checked.resize(std::size_t(last), false);
        for (int t = first; t <= last; ++t) checked[std::size_t(t - 1)] = true;
        if (at == text.size()) return true;
        if (text[at++] != ',') return false;
    }
}

int runGrab(CliContext& ctx, const std::vector<std::string>& args) {
    const std::string name = "grab";
    std::string error;
    const auto parsed = CliArgs::parse(args, {"format", "tracks", "method", "out", "pattern"},
                                       {"otf", "no-otf", "normalize", "no-normalize"}, error);
    if (!parsed || !parsed->positional().empty()) {
        *ctx.err << "melvarin-cli grab: " << (parsed ? "no arguments expected" : error) << "\n";
        return kCliUsage;
    }
    CliDrive cli;
    cli.LoadSettings(ctx);
    SettingsRecord& settings = cli.settings;
    if (getText(settings.WorkDir).empty()) setText(settings.WorkDir, ProgramHome::musicDir());
    EncoderConfig& config = settings.EncoderConfig;

    const std::string format = parsed->value("format").value_or(FormatName(settings.EncoderConfig.EncoderIndex));
    const std::optional<int> index = FormatIndex(format);
    if (!index) {
        *ctx.err << "melvarin-cli grab: unknown format '" << format << "'\n";
        return kCliUsage;
    }
    if (const auto method = parsed->value("method")) {
        if (method->size() != 1 || (*method)[0] < '0' || (*method)[0] > '3') {
            *ctx.err << "melvarin-cli grab: --method takes 0, 1, 2 or 3\n";
            return kCliUsage;
        }
        settings.ExtractMethod = static_cast<std::uint8_t>((*method)[0] - '0');
    }
    std::vector<bool> checked;
    const auto tracks = parsed->value("tracks");
    if (tracks && !ParseTrackList(*tracks, checked)) {
        *ctx.err << "melvarin-cli grab: --tracks takes a list like 1,3-5\n";
        return kCliUsage;
    }
    if (const auto out = parsed->value("out")) setText(settings.WorkDir, FolderArgument(*out));
    if (const auto pattern = parsed->value("pattern")) {
        if (pattern->size() >= sizeof settings.Format) {
            *ctx.err << "melvarin-cli grab: --pattern is longer than " << sizeof settings.Format - 1 << " bytes\n";
            return kCliUsage;
        }
        setText(settings.Format, *pattern);
        settings.UseFormatString = 1;
    }
    if (parsed->has("otf")) config.OnTheFlyEncoding = 1;
    if (parsed->has("no-otf")) config.OnTheFlyEncoding = 0;
    if (parsed->has("normalize")) config.Normalize = 1;
    if (parsed->has("no-normalize")) config.Normalize = 0;
    if (!FormatAvailable(settings, *index, format, name, *ctx.err)) return kCliFailed;

    if (ctx.drive >= 0) settings.DeviceName = static_cast<std::uint8_t>(ctx.drive);
    CliDisc loaded;
    if (!loaded.Load(ctx, name, settings)) return kCliFailed;
    TAudioCD& drive = *loaded.drive;
    DiscRecord& disc = loaded.disc;
    CommandSetRereader rereader(drive.Current());
    if (!tracks) checked.assign(std::size_t(disc.trackCount()), true);
    for (std::size_t t = std::size_t(disc.trackCount()); t < checked.size(); ++t) {
        if (checked[t]) {
            *ctx.err << "melvarin-cli grab: the disc has no track " << t + 1 << "\n";
            return kCliFailed;
        }
    }

    std::error_code ec;
    std::filesystem::create_directories(getText(settings.WorkDir), ec);
    TEncManager encoders(ctx.prompt);
    SystemActions system;
    TGrabber grabber(drive, settings, disc, encoders, *ctx.prompt);
    grabber.Tags = &loaded.tags;
    grabber.Rereader = &rereader;
    grabber.System = &system;
    grabber.TempFolder = ProgramHome::tempFilesDir();
    grabber.Callbacks = TerminalGrabCallbacks(*ctx.out, *ctx.err, ctx.quiet);
    grabber.Callbacks.Eject = [&drive] { drive.LoadEject(true); };
    if (grabber.GrabCommand(*index, checked)) return kCliDone;
    *ctx.err << "melvarin-cli grab: " << (grabber.Cancelled() ? "cancelled" : "failed") << "\n";
    return kCliFailed;
}

}  // namespace

MELVARIN_CLI_COMMAND("grab",
                     "[--format F] [--tracks LIST] [--method 0-3] [--out DIR] [--pattern P]\n"
                     "       [--otf | --no-otf] [--normalize | --no-normalize]\n"
                     "       grab tracks (default: every audio track), print \"wrote PATH\" per file",
                     runGrab);

}  // namespace melvarin
