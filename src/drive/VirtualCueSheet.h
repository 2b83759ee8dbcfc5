#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

// The disc description of an emulated drive: a CUE sheet as the emulated drive
// understands it. Only the text is read here; the files it names are checked by
// VirtualDisc. All positions are in frames (1/75 s, one 2352-byte sector).
class VirtualCueSheet {
public:
    enum class FileType { Binary, Wave };
    enum class TrackMode { Audio, Mode1, Mode2 };
    // Which bytes the CD-TEXT strings are sent in.
    enum class TextEncoding { Latin1, Ascii, Cp1251 };

    struct File {
        std::string name;  // as written in the sheet, relative to its folder
        FileType type = FileType::Binary;
    };

    struct Index {
        int number = 0;       // 0-99
        std::int64_t frame = 0;  // position inside the track's file
    };

    struct Track {
        int number = 0;  // 1-99, consecutive
        TrackMode mode = TrackMode::Audio;
        std::size_t file = 0;  // index into files()
        int session = 1;       // 1 or 2
        std::int64_t pregap = 0;  // frames of silence the drive supplies before the track
        std::uint8_t control = 0;  // Q control nibble: 0x8 four channels, 0x4 data, 0x2 copy permitted, 0x1 pre-emphasis
        std::vector<Index> indexes;  // ascending numbers and positions; INDEX 01 always present
        std::string title;      // UTF-8
        std::string performer;  // UTF-8

        // The position of INDEX 01 in the file.
        std::int64_t index01() const;
        // The position of the first index (00 when present, else 01).
        std::int64_t firstIndex() const { return indexes.front().frame; }
    };

    // Reads a sheet. On failure returns nothing and, when `error` is given, stores
    // the reason ("line 7: INDEX 01 before INDEX 00 ..."). Lines may end with LF
    // or CR LF; a UTF-8 byte order mark is skipped. Text must be UTF-8.
    static std::optional<VirtualCueSheet> parse(std::string_view text, std::string* error = nullptr);

    const std::vector<File>& files() const { return files_; }
    const std::vector<Track>& tracks() const { return tracks_; }
    const std::string& title() const { return title_; }
    const std::string& performer() const { return performer_; }
    TextEncoding textEncoding() const { return encoding_; }
    // "REM MEDIUM CD-RW": the disc was recorded on a rewritable disc.
    bool rewritable() const { return rewritable_; }

    static constexpr int kMaxTracks = 99;
    static constexpr int kMaxMinutes = 99;

private:
    std::vector<File> files_;
    std::vector<Track> tracks_;
    std::string title_;
    std::string performer_;
    TextEncoding encoding_ = TextEncoding::Latin1;
    bool rewritable_ = false;

    friend class VirtualCueReader;
};

}  // namespace melvarin
