#pragma once
#include <cstdint>
#include <vector>

#include "disc/GrabHooks.h"

namespace melvarin {

// What the main window shows of a grab besides each row's state text: the
// current track (its row is selected and titles the window) and the overall
// progress (the play bar), worked out from the grab's reports.
//
// The current track is the one being read: the earliest file of the grab whose
// reading has begun and not yet ended. Once every started file has been read,
// it is the earliest one still being encoded. The overall progress weighs each
// file by its sectors; a track file read into a temporary WAVE file and then
// encoded counts its reading and its encoding as one half each. A whole-disc
// file counts its reading alone.
//
// Not thread-safe: the grab calls its hooks one at a time.
class GrabProgress {
public:
    // The hooks of the grab (GrabCallbacks). Each but planned() returns true
    // when current() changed.
    void planned(const std::vector<GrabPlannedFile>& files);
    bool started(int track);
    bool progress(int track, GrabStage stage, int percent);

    // The current track; -1 before any file has begun.
    int current() const { return current_; }
    // Whether the current file is being read (else it is being encoded).
    bool currentReading() const;
    // Overall progress, 0 to 1000.
    int permille() const;

private:
    enum class Stage { Waiting, Reading, Encoding, Ended };
    struct Entry {
        GrabPlannedFile file;
        Stage stage = Stage::Waiting;
        int read = 0;     // percent
        int encoded = 0;  // percent
    };

    Entry* find(int track);
    bool pickCurrent();

    std::vector<Entry> entries_;
    int current_ = -1;
};

}  // namespace melvarin
