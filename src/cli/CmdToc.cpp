// melvarin-cli toc [--json]: the disc in the drive as the main window's refresh
// reads it.
#include <ostream>
#include <string>

#include "cli/CliCommand.h"
#include "cli/CliDisc.h"
#include "cli/DriveCliSupport.h"
#include "cli/JsonText.h"
#include "disc/DiscToc.h"
#include "disc/SampleText.h"

namespace melvarin {
namespace {

std::string msfText(const MsfAddress& a) {
    return TwoDigits(a.M) + ":" + TwoDigits(a.S) + ":" + TwoDigits(a.F);
}

void printText(std::ostream& out, const DiscRecord& d) {
    out << "discid " << HexDiscId(d.DiscId) << "\n";
    out << "tracks " << d.trackCount() << "\n";
    for (int i = 0; i < d.trackCount(); ++i) {
        const TrackEntry& t = d.Tracks[i];
        out << TwoDigits(i + 1) << "  lba " << t.StartSector << "  start " << msfText(t.Start) << "  length "
            << msfText(t.Length) << "  bytes " << t.Size << "  " << (t.Audio ? "audio" : "data ") << "  "
            << d.title(i) << "\n";
    }
    out << "artist " << d.artist() << "\n";
    out << "album " << d.album() << "\n";
    out << "year " << d.year() << "\n";
    out << "genre " << d.genre() << "\n";
}

void printJson(std::ostream& out, const DiscRecord& d) {
    out << "{\"discid\": " << JsonString(HexDiscId(d.DiscId)) << ", \"artist\": " << JsonString(d.artist())
        << ", \"album\": " << JsonString(d.album()) << ", \"year\": " << JsonString(d.year())
        << ", \"genre\": " << JsonString(d.genre()) << ", \"tracks\": [";
    for (int i = 0; i < d.trackCount(); ++i) {
        const TrackEntry& t = d.Tracks[i];
        out << (i ? ", " : "") << "{\"number\": " << i + 1 << ", \"lba\": " << t.StartSector
            << ", \"start\": " << JsonString(msfText(t.Start)) << ", \"length\": " << JsonString(msfText(t.Length))
            << ", \"bytes\": " << t.Size << ", \"audio\": " << (t.Audio ? "true" : "false")
            << ", \"title\": " << JsonString(d.title(i)) << "}";
    }
    out << "]}\n";
}

int runToc(CliContext& ctx, const std::vector<std::string>& args) {
    const auto parsed = CliArgs::parseOptions("toc", args, {}, {"json"}, *ctx.err);
    if (!parsed) return kCliUsage;
    CliDrive cli;
    cli.LoadSettings(ctx);
    CliDisc loaded;
    if (!loaded.Load(ctx, "toc", cli.settings)) return kCliFailed;
    const DiscRecord& disc = loaded.disc;
    if (parsed->has("json"))
        printJson(*ctx.out, disc);
    else
        printText(*ctx.out, disc);
    return kCliDone;
}

}  // namespace

MELVARIN_CLI_COMMAND("toc", "[--json]   the disc in the drive: identifier, tracks, titles", runToc);

}  // namespace melvarin
