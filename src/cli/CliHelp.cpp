#include "cli/CliHelp.h"

#include "cli/CliGrabSetup.h"

namespace melvarin {

const char kNamingPatternHelp[] =
    "Pattern codes (a Cyrillic letter in brackets works as well):\n"
    "  %A (%А)  artist            %Y (%Г)  year\n"
    "  %D (%Д)  album             %G (%Ж)  genre\n"
    "  %T (%Т)  track title       %C       number of tracks on the disc\n"
    "  %N (%Н)  track number, two digits\n"
    "  %I       disc id, 8 hexadecimal digits\n"
    "  \\ or /   starts a folder (\"%A/%D/%N. %T\" gives ARTIST/ALBUM/01. TITLE.ext)\n"
    "  Any other letter after % ends the name there; the extension of the format\n"
    "  is added, and * | < > \" : ? in the texts become blanks.\n";

void PrintCommandHelp(const CliCommandInfo& command, std::ostream& out) {
    out << "Usage: melvarin-cli [GLOBAL OPTIONS] " << command.name;
    if (!command.usage.empty()) out << ' ' << command.usage;
    out << '\n';
    if (command.usage.find("--format") != std::string::npos)
        out << "\nFormats of this build: " << BuiltFormats() << '\n';
    if (command.usage.find("--pattern") != std::string::npos) out << '\n' << kNamingPatternHelp;
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") return false;
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

}  // namespace melvarin
