// melvarin-cli toc [--json]: the disc in the drive as the main window's refresh
// reads it.
#include <cstdio>
#include <ostream>
#include <string>

#include "app/SettingsFile.h"
#include "app/SettingsRecord.h"
#include "cddb/DiscXmcd.h"
#include "cddb/TLocalCDDB.h"
#include "cli/CliCommand.h"
#include "disc/DiscToc.h"
#include "disc/SampleText.h"
#include "disc/TAudioCD.h"
#include "drive/LinuxDeviceLayer.h"
#include "platform/ProgramHome.h"

namespace melvarin {
namespace {

std::string msfText(const MsfAddress& a) {
    return TwoDigits(a.M) + ":" + TwoDigits(a.S) + ":" + TwoDigits(a.F);
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
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
    out << "{\"discid\": " << jsonString(HexDiscId(d.DiscId)) << ", \"artist\": " << jsonString(d.artist())
        << ", \"album\": " << jsonString(d.album()) << ", \"year\": " << jsonString(d.year())
        << ", \"genre\": " << jsonString(d.genre()) << ", \"tracks\": [";
    for (int i = 0; i < d.trackCount(); ++i) {
        const TrackEntry& t = d.Tracks[i];
        out << (i ? ", " : "") << "{\"number\": " << i + 1 << ", \"lba\": " << t.StartSector
            << ", \"start\": " << jsonString(msfText(t.Start)) << ", \"length\": " << jsonString(msfText(t.Length))
            << ", \"bytes\": " << t.Size << ", \"audio\": " << (t.Audio ? "true" : "false")
            << ", \"title\": " << jsonString(d.title(i)) << "}";
    }
    out << "]}\n";
}

int runToc(CliContext& ctx, const std::vector<std::string>& args) {
    std::string error;
    const auto parsed = CliArgs::parse(args, {}, {"json"}, error);
    if (!parsed || !parsed->positional().empty()) {
        *ctx.err << "melvarin-cli toc: " << (parsed ? "no arguments expected" : error) << "\n";
        return kCliUsage;
    }
    SettingsRecord settings = SettingsFile::LoadSettings(SettingsFile::loadProfileList().currentFileName()).record;
    if (ctx.drive >= 0) settings.DeviceName = static_cast<std::uint8_t>(ctx.drive);

    TAudioCD drive(ProgramHome::albumsDir(), makeSystemDeviceLayer(), ctx.prompt);
    drive.InitInterface(0);
    int transport = settings.Interface;
    drive.SwitchInterface(transport);
    if (settings.DeviceName >= drive.DriveCount()) {
        *ctx.err << "melvarin-cli toc: no drive " << int(settings.DeviceName) << "\n";
        return kCliFailed;
    }
    TLocalCDDB localCddb;
    localCddb.SetBasePath(getText(settings.LCDDBPath), ProgramHome::localCddbDir());
    drive.SetLocalLookup([&localCddb](std::uint32_t, DiscRecord& d) { return DiscXmcd::Lookup(localCddb, d); });
    DiscRecord disc;
    disc.clear();
    if (!drive.ReadDisc(disc, settings)) {
        *ctx.err << "melvarin-cli toc: no readable disc in the drive\n";
        return kCliFailed;
    }
    if (parsed->has("json"))
        printJson(*ctx.out, disc);
    else
        printText(*ctx.out, disc);
    return kCliDone;
}

}  // namespace

MELVARIN_CLI_COMMAND("toc", "[--json]   the disc in the drive: identifier, tracks, titles", runToc);

}  // namespace melvarin
