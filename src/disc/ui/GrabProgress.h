#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

// What the main window shows of a grab besides each row's state text: the
// current track (its row is selected and titles the window) and the overall
// progress (the play bar), worked out from the texts the grab reports.
//
// The current track is the one being read: the earliest file of the grab whose
// reading has begun and not yet ended. Once every started file has been read,
// it is the earliest one still being encoded. The overall progress weighs each
// file by its sectors; a file read into a temporary WAVE file and then encoded
// counts its reading and its encoding as one half each. A whole-disc grab has
// one file, whose progress is the percentage of the window caption it reports.
//
// Not thread-safe: the grab calls its hooks one at a time.
class GrabProgress {
public:
    struct File {
        int track = -1;           // 0-based track, -1 for the whole disc
        std::int64_t sectors = 0;
    };

    // `readingText` and `encodingText` are the texts the state texts start with
    // (messages 19 and 27), `doneText` and `cancelledText` the final ones
    // (messages 20 and 18); `twoPass` when files are encoded after reading.
    GrabProgress(std::vector<File> files, bool twoPass, std::string readingText, std::string encodingText,
                 std::string doneText, std::string cancelledText);

    // The hooks of the grab. Each returns true when current() changed.
    bool started(int track);
    bool state(int track, std::string_view text);
    bool done(int track);
    // The whole-disc caption ("... - [ 42% ]"); a caption without a percentage
    // changes nothing.
    void caption(std::string_view text);

    // The current track; -1 before any file has begun.
    int current() const { return current_; }
    // Whether the current file is being read (else it is being encoded).
    bool currentReading() const;
    // Overall progress, 0 to 1000.
    int permille() const;

    // The percentage at the end of a progress text ("Копирование 42%" gives
    // 42, "… - [ 42% ]" too); -1 when the text carries none.
    static int percentOf(std::string_view text);

private:
    enum class Stage { Waiting, Reading, Encoding, Ended };
    struct Entry {
        File file;
        Stage stage = Stage::Waiting;
        int read = 0;     // percent
        int encoded = 0;  // percent
    };

    Entry* find(int track);
    bool pickCurrent();

    std::vector<Entry> entries_;
    bool twoPass_;
    std::string reading_, encoding_, done_, cancelled_;
    int current_ = -1;
};

}  // namespace melvarin
