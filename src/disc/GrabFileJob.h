#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/SettingsRecord.h"
#include "app/UserPrompt.h"
#include "disc/EncodeWorker.h"
#include "disc/GrabRange.h"

namespace melvarin {

class TIDTag;

// One output file of a grab: a range of the disc read into `target` by the
// encoder `streamConfig` selects, then optionally re-encoded into or moved to
// `output`. The first part is filled by whoever plans the grab; the rest is
// the running state of the grab's scheduler (TGrabber).
struct GrabFileJob {
    enum class Then { Nothing, Compress, Move };
    enum class Stage { Waiting, Reading, Encoding, Ended };

    int track = -1;                 // row for the state texts; -1: whole disc (caption)
    GrabRange range;
    std::string target;             // the encoder's file
    std::string output;             // the finished file (the target when Then is Nothing)
    std::string temporary;          // removed before the start and at the end; may be empty
    Then then = Then::Nothing;
    EncoderConfig streamConfig{};   // the encoder of the blocks points into this copy
    EncoderConfig outputConfig{};   // for Compress
    TIDTag* tag = nullptr;          // borrowed; read by the encoding threads
    bool measurePeak = false;       // normalisation gain for Compress
    std::uint64_t expectedBytes = 0;
    std::string openFailure;        // shown instead of the encoder's error when it cannot start

    Stage stage = Stage::Waiting;
    std::unique_ptr<EncodeWorker> worker;   // from the start until reported
    std::int32_t pos = 0;
    std::vector<std::uint8_t> pending;      // blocks read, not yet handed to the worker
    std::size_t filled = 0;                 // bytes of `pending` that hold them
    int shown = -1;
    std::int16_t peak = 0;
    double gain = 1.0;
    bool failed = false;            // the encoder could not be made or opened
    std::string error;              // shown once when the job is reported failed
    Icon errorIcon = Icon::Error;
};

}  // namespace melvarin
