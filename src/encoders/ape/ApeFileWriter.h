#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "encoders/OutputSink.h"

struct AVMD5;

namespace melvarin::ape {

// Lays out a version 3.99 file in a sink from its current position: descriptor,
// header and seek table first (written with what is known, completed by Finish),
// then the frames.
// The descriptor's MD5 covers the frame data, the header and the seek table,
// in that order. The sink is not owned and must outlive the writer.
class ApeFileWriter {
public:
    explicit ApeFileWriter(OutputSink& sink);
    ~ApeFileWriter();
    ApeFileWriter(const ApeFileWriter&) = delete;
    ApeFileWriter& operator=(const ApeFileWriter&) = delete;

    // Writes the leading blocks with room for `maxFrames` seek entries of frames
    // of `blocksPerFrame` blocks. False on a write failure (see Error()).
    bool Begin(std::uint16_t channels, std::uint32_t sampleRate, std::uint16_t level, std::uint32_t blocksPerFrame,
               std::uint32_t maxFrames);
    // Appends one encoded frame of `blocks` blocks; only the last frame may be
    // shorter than blocksPerFrame. False on a write failure or a full seek table.
    bool AddFrame(const std::vector<std::uint8_t>& frame, std::uint32_t blocks);
    // Completes descriptor, header and seek table and moves back to the end of
    // the frames. False on a write failure.
    bool Finish();

    const std::string& Error() const { return error_; }

private:
    struct Md5Free {
        void operator()(AVMD5* md5) const;
    };
    std::string Header() const;
    bool Fail(const std::string& what);

    OutputSink& sink_;
    std::unique_ptr<AVMD5, Md5Free> md5_;
    std::uint16_t channels_ = 0, level_ = 0;
    std::uint32_t sampleRate_ = 0, blocksPerFrame_ = 0, finalBlocks_ = 0;
    std::vector<std::uint32_t> seekTable_;  // reserved size; entries used: frames_
    std::uint32_t frames_ = 0;
    std::uint64_t start_ = 0;      // of the descriptor; seek entries count from here
    std::uint64_t dataStart_ = 0;  // of the first frame
    std::string error_;
};

}  // namespace melvarin::ape
