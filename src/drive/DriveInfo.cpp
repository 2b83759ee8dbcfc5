#include "drive/DriveInfo.h"

#include <algorithm>

#include "app/Messages.h"
#include "drive/MmcReplies.h"

namespace melvarin {

DriveCapabilities DriveCapabilities::parse(std::span<const std::uint8_t> record) {
    auto bit = [&](std::size_t byte, int n) { return byte < record.size() && ((record[byte] >> n) & 1) != 0; };
    DriveCapabilities c;
    c.cdrRead = bit(10, 0);
    c.cdrwRead = bit(10, 1);
    c.dvdRomRead = bit(10, 3);
    c.dvdrRead = bit(10, 4);
    c.dvdRamRead = bit(10, 5);
    c.cdrWrite = bit(11, 0);
    c.cdrwWrite = bit(11, 1);
    c.testWrite = bit(11, 2);
    c.dvdrWrite = bit(11, 4);
    c.dvdRamWrite = bit(11, 5);
    c.audioPlay = bit(12, 0);
    c.multisession = bit(12, 6);
    c.lock = bit(14, 0);
    c.eject = bit(14, 3);
    if (record.size() >= 22) c.bufferKb = (static_cast<unsigned>(record[20]) << 8) | record[21];
    return c;
}

namespace {

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string DriveDisplayName(std::string_view name) {
    constexpr std::size_t kVendor = 8;
    const std::string_view vendor = trimmed(name.substr(0, std::min(kVendor, name.size())));
    const std::string_view product = trimmed(name.size() > kVendor ? name.substr(kVendor) : std::string_view());
    if (vendor.empty() || product.empty()) return std::string(vendor.empty() ? product : vendor);
    std::string joined(vendor);
    joined += ' ';
    joined += product;
    return joined;
}

std::string PrintableIdentification(std::span<const std::uint8_t> inquiry) {
    std::string id = mmc::inquiryIdentification(inquiry);
    for (char& ch : id) {
        const auto u = static_cast<unsigned char>(ch);
        if (u < 0x20 || u > 0x7E) ch = ' ';
    }
    constexpr std::size_t kName = 24;
    std::string line = DriveDisplayName(std::string_view(id).substr(0, std::min(kName, id.size())));
    const std::string_view revision = trimmed(id.size() > kName ? std::string_view(id).substr(kName) : std::string_view());
    if (!revision.empty()) {
        if (!line.empty()) line += ' ';
        line += revision;
    }
    return line;
}

std::vector<std::string> DriveInfoLines(std::span<const std::uint8_t> capabilities,
                                        std::span<const std::uint8_t> inquiry, bool russian) {
    const DriveCapabilities c = DriveCapabilities::parse(capabilities);
    const auto word = [russian](int message, const char* missing) {
        std::string text = russian ? Message(message) : LanguageMessage(message);
        return text.empty() ? std::string(missing) : text;
    };
    const std::string yes = word(110, "1");
    const std::string no = word(111, "0");
    std::vector<std::string> lines;
    auto line = [&](int message, bool value) { lines.push_back(Message(message) + "\t" + (value ? yes : no)); };
    lines.push_back(Message(55) + " " + PrintableIdentification(inquiry));
    lines.emplace_back();
    line(39, true);
    line(40, c.cdrRead);
    line(41, c.cdrwRead);
    line(42, c.multisession);
    line(43, c.dvdRomRead);
    line(44, c.dvdrRead);
    line(45, c.dvdRamRead);
    lines.emplace_back();
    line(46, c.cdrWrite);
    line(47, c.cdrwWrite);
    line(48, c.dvdrWrite);
    line(49, c.dvdRamWrite);
    lines.emplace_back();
    line(50, c.testWrite);
    line(51, c.audioPlay);
    line(52, c.lock);
    line(53, c.eject);
    lines.emplace_back();
    lines.push_back(Message(54) + "\t" + std::to_string(c.bufferKb) + " Kb");
    return lines;
}

}  // namespace melvarin
