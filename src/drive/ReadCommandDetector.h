#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace melvarin {

class TCDROM;
class UserPrompt;

// One trial of the read-command detection.
struct ReadTrial {
    int number = 0;        // 1-based row number
    int type = 0;          // read-command type 0-8
    std::string name;      // the type's name
    int sectors = 0;       // sectors read
    bool succeeded = false;
    std::string result;    // message 74 ("успешно") or 73 ("неудачно")
    std::uint32_t value = 0;  // type | sectors << 8
};

// Tries every read command with 1, 26 and the user's sector count at LBA 1500 on
// one drive, through the command set of the chosen transport.
class ReadCommandDetector {
public:
    static constexpr std::uint32_t kTrialLba = 1500;

    enum class Outcome { Done, Cancelled, DiscTooShort };

    struct Result {
        Outcome outcome = Outcome::Done;
        std::vector<ReadTrial> trials;  // 27 rows when Done
        std::uint32_t leadOut = 0;      // the disc's lead-out LBA when DiscTooShort
    };

    // While `discLoaded` says no, asks message 72 (Yes/No); No gives false. Each
    // Yes is followed by a fresh `discLoaded` check. `maxQuestions` > 0 gives up
    // (false) after that many Yes answers without a disc.
    static bool WaitForDisc(UserPrompt& prompt, const std::function<bool()>& discLoaded, int maxQuestions = 0);

    // Opens `drive` through `transport` (SG_IO: close, then open with type 0;
    // generic: select), checks that the disc reaches past the trial range when
    // its table of contents can be read, then runs the 27 trials. The device
    // stays open with the last type tried. `numSecRead`: the user's count (1-255;
    // 0 means 26).
    static Result Run(TCDROM& cd, int transport, int drive, int numSecRead);

    // Message 112 in the current language: the disc is too short for the
    // trials, with its sector count and the sector the trials read up to.
    static std::string TooShortText(std::uint32_t leadOut, std::uint32_t needed);
};

}  // namespace melvarin
