#include "cddb/FreedbLookup.h"

#include "app/Messages.h"
#include "app/SettingsRecord.h"
#include "app/UserPrompt.h"
#include "cddb/CCDDB.h"
#include "platform/Cp1251.h"
#include "platform/FileUtil.h"

namespace melvarin {
namespace {

constexpr std::size_t kMaxSites = 20;

void applyProxy(SettingsRecord& s, CCDDB& client) {
    if (!s.UseProxy) return;
    if (s.Port == 0) s.Port = 80;
    client.SetProxy(getText(s.Proxy), s.Port, getText(s.User), getText(s.Password));
}

}  // namespace

bool FreedbLookup::ApplyReadReply(const std::string& body, std::uint32_t discId, std::size_t trackCount,
                                  UserPrompt& prompt, XmcdRecord& disc) {
    const XmcdParseInfo info = Xmcd::parse(body, disc, trackCount);
    if (info.discIdSeen) {
        std::string value;
        for (char c : info.discIdValue) value += (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
        if (value.find(Xmcd::hexId(discId, false)) == std::string::npos) prompt.message(Message(5), Icon::Warning);
    }
    return true;
}

FreedbOutcome FreedbLookup::Run(SettingsRecord& settings, const FreedbDisc& query, std::size_t trackCount,
                                UserPrompt& prompt, const Chooser& choose, XmcdRecord& disc) {
    for (;;) {
        CCDDB client(settings.TimeOut > 0 ? settings.TimeOut : 10000);
        applyProxy(settings, client);
        const CCDDBSite site = CCDDBSite::ForLookup(getText(settings.Server), getText(settings.Path));

        std::vector<CCDDBQueryResult> results;
        bool sendFailed = false;
        const bool ok = client.Query(site, query.discId, query.offsets, query.discSeconds, results, sendFailed);
        if (sendFailed) {
            prompt.message(Message(6), Icon::Information);
            return FreedbOutcome::Failed;
        }
        if (results.empty() && ok) {
            prompt.message(Message(7), Icon::Information);
            return FreedbOutcome::NoMatch;
        }
        if (results.empty()) {
            if (prompt.askRetry(Message(8), Icon::Question)) continue;
            return FreedbOutcome::Failed;
        }

        std::size_t chosen = 0;
        if (results.size() > 1) {
            std::vector<std::string> titles;
            for (const auto& r : results) titles.push_back(r.DiscTitle);
            const int pick = choose ? choose(titles) : -1;
            if (pick < 0 || static_cast<std::size_t>(pick) >= results.size()) return FreedbOutcome::Cancelled;
            chosen = static_cast<std::size_t>(pick);
        }

        XmcdRecord read = disc;
        client.Callback = [&](const std::string& body) {
            return ApplyReadReply(body, query.discId, trackCount, prompt, read);
        };
        if (!client.Read(site, results[chosen].DiscId, results[chosen].Category)) {
            prompt.message(Message(9), Icon::Warning);
            return FreedbOutcome::Failed;
        }
        disc = std::move(read);
        return FreedbOutcome::Found;
    }
}

int FreedbLookup::FetchSites(const SettingsRecord& settings, const CCDDBSite& site, const std::string& listPath,
                             std::vector<CCDDBSite>& sites) {
    SettingsRecord s = settings;
    CCDDB client(s.TimeOut > 0 ? s.TimeOut : 10000);
    applyProxy(s, client);
    std::vector<CCDDBSite> found;
    const int n = client.GetSites(site, found, kMaxSites);
    if (n > 0) {
        sites = std::move(found);
        SaveSiteList(listPath, sites);
    }
    return n;
}

bool FreedbLookup::SaveSiteList(const std::string& listPath, const std::vector<CCDDBSite>& sites) {
    std::string out;
    for (const auto& s : sites) {
        const std::string host = s.Port == 80 ? s.Host : s.Host + ":" + std::to_string(s.Port);
        out += Cp1251::fromUtf8(s.Description + "#" + host + "#" + s.Path + "#") + "\r\n";
    }
    return FileUtil::writeAtomically(listPath, out);
}

std::vector<CCDDBSite> FreedbLookup::LoadSiteList(const std::string& listPath) {
    std::vector<CCDDBSite> sites;
    const auto bytes = FileUtil::readAll(listPath, std::size_t(1) << 20);
    if (!bytes) return sites;
    const std::string text = Cp1251::toUtf8(*bytes);
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const auto a = line.find('#');
        if (a == std::string::npos) continue;
        const auto b = line.find('#', a + 1);
        if (b == std::string::npos || b == a + 1) continue;
        const auto c = line.find('#', b + 1);
        const std::string path = line.substr(b + 1, c == std::string::npos ? std::string::npos : c - b - 1);
        CCDDBSite site = CCDDBSite::FromServer(line.substr(a + 1, b - a - 1), path);
        site.Description = line.substr(0, a);
        sites.push_back(std::move(site));
    }
    return sites;
}

std::string FreedbLookup::SiteCaption(const CCDDBSite& site) {
    return site.Description + " (" + site.Host + site.Path + ")";
}

}  // namespace melvarin
