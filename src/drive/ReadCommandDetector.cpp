#include "drive/ReadCommandDetector.h"

#include <algorithm>
#include <array>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "drive/MmcReplies.h"
#include "drive/ReadCommands.h"
#include "drive/TCDROM.h"

namespace melvarin {

bool ReadCommandDetector::WaitForDisc(UserPrompt& prompt, const std::function<bool()>& discLoaded, int maxQuestions) {
    int asked = 0;
    while (!discLoaded()) {
        if (maxQuestions > 0 && asked >= maxQuestions) return false;
        if (!prompt.askRetry(Message(72), Icon::Question)) return false;
        ++asked;
    }
    return true;
}

std::string ReadCommandDetector::TooShortText(std::uint32_t leadOut, std::uint32_t needed) {
    return Message(112, std::to_string(leadOut), std::to_string(needed));
}

ReadCommandDetector::Result ReadCommandDetector::Run(TCDROM& cd, int transport, int drive, int numSecRead) {
    Result result;
    const int userCount = SectorsPerRead(static_cast<std::uint8_t>(std::clamp(numSecRead, 0, 255)));
    const int counts[3] = {1, 26, userCount};
    const int largest = std::max(userCount, 26);

    CommandSet& set = transport == kTransportSgIo ? static_cast<CommandSet&>(cd.SgIo()) : cd.Generic();
    if (transport == kTransportSgIo) cd.SgIo().CloseDevice();
    set.OpenDevice(drive, 0);

    // A disc whose lead-out comes before the end of the trial range would fail
    // every trial for a reason that has nothing to do with the command.
    std::array<std::uint8_t, kTocLength> toc{};
    if (set.Succeeded(set.ReadTOC(toc))) {
        if (const auto parsed = mmc::parseToc(toc)) {
            for (const TocEntry& e : parsed->entries) {
                if (e.track != 0xAA) continue;
                const std::uint32_t frames = e.minute * 4500u + e.second * 75u + e.frame;
                const std::uint32_t leadOut = frames >= 150 ? frames - 150 : 0;
                const std::uint32_t needed = kTrialLba + static_cast<std::uint32_t>(largest);
                if (leadOut < needed) {
                    result.outcome = Outcome::DiscTooShort;
                    result.leadOut = leadOut;
                    return result;
                }
            }
        }
    }

    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(largest) * kSectorBytes);
    int number = 0;
    for (int type = 0; type < kReadTypeCount; ++type) {
        for (int count : counts) {
            set.SetReadType(type);
            const std::uint8_t status = set.ReadSectors(kTrialLba, static_cast<std::uint16_t>(count), buffer);
            ReadTrial t;
            t.number = ++number;
            t.type = type;
            t.name = ReadCommandName(type);
            t.sectors = count;
            t.succeeded = set.Succeeded(status);
            t.result = Message(t.succeeded ? 74 : 73);
            t.value = static_cast<std::uint32_t>(type) | (static_cast<std::uint32_t>(count) << 8);
            result.trials.push_back(std::move(t));
        }
    }
    return result;
}

}  // namespace melvarin
