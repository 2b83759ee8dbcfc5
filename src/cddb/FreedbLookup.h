#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cddb/CCDDBSite.h"
#include "cddb/XmcdRecord.h"

namespace melvarin {

class UserPrompt;
struct SettingsRecord;

// The disc as a freedb query needs it.
struct FreedbDisc {
    std::uint32_t discId = 0;
    std::vector<std::uint32_t> offsets;  // track starts in frames, LBA + 150
    std::uint32_t discSeconds = 0;       // lead-out minutes * 60 + seconds
};

enum class FreedbOutcome { Found, NoMatch, Failed, Cancelled };

// Looks the disc up on the freedb server of the settings (fields Server, Path,
// TimeOut, UseProxy, Proxy, Port, User, Password; a proxy Port of 0 becomes 80 in
// `settings`) and, on a match, reads its entry into `disc` (texts only, titles of
// at most `trackCount` tracks; fields the entry lacks stay as they were).
// Messages 5-9 go through `prompt`; message 8 asks whether to try again. With
// several matches `choose` gets their titles and returns the chosen index, or -1
// to cancel. Blocks for at most the time-out per network wait.
class FreedbLookup {
public:
    using Chooser = std::function<int(const std::vector<std::string>& titles)>;

    static FreedbOutcome Run(SettingsRecord& settings, const FreedbDisc& query, std::size_t trackCount,
                             UserPrompt& prompt, const Chooser& choose, XmcdRecord& disc);

    // Applies the body of a read reply to `disc`; a DISCID line not holding
    // `discId` gives message 5 (a warning only). Always true.
    static bool ApplyReadReply(const std::string& body, std::uint32_t discId, std::size_t trackCount,
                               UserPrompt& prompt, XmcdRecord& disc);

    // Fetches at most 20 sites from `site` (normally the default server) with the
    // settings' time-out and proxy; when at least one came, saves them to
    // `listPath` as SaveSiteList does. The count.
    static int FetchSites(const SettingsRecord& settings, const CCDDBSite& site, const std::string& listPath,
                          std::vector<CCDDBSite>& sites);

    // The site list file: one line per site, description + "#" + host + "#" + path
    // + "#" (a port other than 80 is kept as host ":" port). Replaced atomically.
    static bool SaveSiteList(const std::string& listPath, const std::vector<CCDDBSite>& sites);
    // Reads the site list file; lines without host are skipped.
    static std::vector<CCDDBSite> LoadSiteList(const std::string& listPath);
    // The text a site shows in the list box: description + " (" + host + path + ")".
    static std::string SiteCaption(const CCDDBSite& site);
};

}  // namespace melvarin
