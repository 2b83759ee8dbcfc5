#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliGrabSetup.h"

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
    CliGrabRun run(ctx, "grab");
    if (const int status = run.Parse(args, {"tracks", "method", "pattern"},
                                     {"otf", "no-otf", "normalize", "no-normalize"}))
        return status;
    const CliArgs& options = run.Options();
    SettingsRecord& settings = run.Settings();
    EncoderConfig& config = settings.EncoderConfig;
    if (const auto method = options.value("method")) {
        if (method->size() != 1 || (*method)[0] < '0' || (*method)[0] > '3')
            return run.Usage("--method takes 0, 1, 2 or 3");
        settings.ExtractMethod = static_cast<std::uint8_t>((*method)[0] - '0');
    }
    std::vector<bool> checked;
    const auto tracks = options.value("tracks");
    if (tracks && !ParseTrackList(*tracks, checked)) return run.Usage("--tracks takes a list like 1,3-5");
    if (const auto pattern = options.value("pattern")) {
        if (pattern->size() >= sizeof settings.Format)
            return run.Usage("--pattern is longer than " + std::to_string(sizeof settings.Format - 1) + " bytes");
        setText(settings.Format, *pattern);
        settings.UseFormatString = 1;
    }
    if (options.has("otf")) config.OnTheFlyEncoding = 1;
    if (options.has("no-otf")) config.OnTheFlyEncoding = 0;
    if (options.has("normalize")) config.Normalize = 1;
    if (options.has("no-normalize")) config.Normalize = 0;

    if (!run.Start()) return kCliFailed;
    const int trackCount = run.Disc().trackCount();
    if (!tracks) checked.assign(std::size_t(trackCount), true);
    for (std::size_t t = std::size_t(trackCount); t < checked.size(); ++t) {
        if (checked[t]) {
            *ctx.err << "melvarin-cli grab: the disc has no track " << t + 1 << "\n";
            return kCliFailed;
        }
    }
    return run.Finish(run.Grabber().GrabCommand(run.EncoderIndex(), checked));
}

}  // namespace

MELVARIN_CLI_COMMAND("grab",
                     "[--format F] [--tracks LIST] [--method 0-3] [--out DIR] [--pattern P]\n"
                     "       [--otf | --no-otf] [--normalize | --no-normalize]\n"
                     "       grab tracks (default: every audio track), print \"wrote PATH\" per file\n"
                     "       (\"replaced PATH\" when it replaced a file already there)",
                     runGrab);

}  // namespace melvarin
