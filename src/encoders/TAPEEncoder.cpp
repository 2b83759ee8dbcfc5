#include "encoders/TAPEEncoder.h"

#include <algorithm>
#include <cstring>

#include "app/SettingsRecord.h"
#include "disc/SampleUtils.h"
#include "encoders/ape/ApeFileWriter.h"
#include "encoders/ape/ApeFormat.h"
#include "encoders/ape/ApeFrameEncoder.h"
#include "tags/APEv2.h"

namespace melvarin {

namespace {

constexpr std::uint16_t kLevels[] = {ape::kLevelFast, ape::kLevelNormal, ape::kLevelHigh, ape::kLevelExtraHigh};
constexpr std::size_t kChunkBlocks = 4608;
// Seek entries reserved beyond the expected length; the input assumed when the
// length is unknown, and the most a seek table is sized for (a file's frames
// must start in its first 4 GiB).
constexpr std::uint64_t kSpareFrames = 8;
constexpr std::uint64_t kUnknownInputBytes = 1ull << 31;
constexpr std::uint64_t kMostInputBytes = 1ull << 32;

}  // namespace

TAPEEncoder::TAPEEncoder() = default;

TAPEEncoder::~TAPEEncoder() {
    Close();
    Release();
}

void TAPEEncoder::Release() {
    writer_.reset();
    frames_.reset();
    sink_.reset();
    pcm_.clear();
    mix_.clear();
    filled_ = 0;
}

bool TAPEEncoder::SetFormat(const PcmFormat* format) {
    if (!format) return false;
    if (format->bitsPerSample != 16 || format->channels < 1 || format->channels > 2 || format->samplesPerSec == 0)
        return Fail("Monkey's Audio takes 16-bit mono or stereo samples");
    format_ = *format;
    return true;
}

int TAPEEncoder::OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) {
    if (sink_) return FailOpen("the APE file is already open");
    if (!config_) return FailOpen("no encoder configuration");
    if (!sink) return FailOpen("no output");
    const std::uint16_t level = kLevels[std::min<std::size_t>(config_->APE_Level, std::size(kLevels) - 1)];
    const std::size_t inputChannels = format_.channels;
    mixToMono_ = config_->APE_Mono && inputChannels == 2;
    channels_ = mixToMono_ ? 1 : inputChannels;
    blocksPerFrame_ = ape::BlocksPerFrame(level);

    const std::uint64_t inputBytes = expectedBytes ? std::min(expectedBytes, kMostInputBytes) : kUnknownInputBytes;
    const std::uint64_t inputBlocks = inputBytes / (2 * inputChannels);
    const std::uint64_t maxFrames = (inputBlocks + blocksPerFrame_ - 1) / blocksPerFrame_ + kSpareFrames;
    auto writer = std::make_unique<ape::ApeFileWriter>(*sink);
    if (!writer->Begin(static_cast<std::uint16_t>(channels_), format_.samplesPerSec, level,
                       static_cast<std::uint32_t>(blocksPerFrame_), static_cast<std::uint32_t>(maxFrames)))
        return FailOpen(writer->Error());
    sink_ = std::move(sink);
    writer_ = std::move(writer);
    frames_ = std::make_unique<ape::ApeFrameEncoder>(static_cast<int>(channels_), level);
    carry_.Reset(2 * inputChannels);
    pcm_.resize(blocksPerFrame_ * channels_ * 2);
    filled_ = 0;
    failed_ = false;
    error_.clear();
    return static_cast<int>(inputChannels * 2 * kChunkBlocks);
}

bool TAPEEncoder::FlushFrame() {
    if (!filled_) return true;
    const std::vector<std::uint8_t>& frame = frames_->Encode(pcm_.data(), filled_);
    failed_ = !writer_->AddFrame(frame, static_cast<std::uint32_t>(filled_));
    filled_ = 0;
    return !failed_ || Fail(writer_->Error());
}

bool TAPEEncoder::Encode(const void* samples, std::size_t byteCount) {
    if (!writer_) return Fail("no APE file is open");
    if (failed_) return false;
    const std::span<const std::uint8_t> whole = carry_.Take(samples, byteCount);
    const std::size_t inputBlockBytes = 2 * format_.channels;
    const std::uint8_t* in = whole.data();
    for (std::size_t left = whole.size() / inputBlockBytes; left;) {
        const std::size_t n = std::min(left, blocksPerFrame_ - filled_);
        std::uint8_t* out = pcm_.data() + filled_ * channels_ * 2;
        if (mixToMono_) {
            mix_.resize(2 * n);
            for (std::size_t i = 0; i < 2 * n; ++i) mix_[i] = SampleAt(in + 2 * i);
            StereoToMono(mix_.data(), mix_.size());
            for (std::size_t i = 0; i < n; ++i) {
                out[2 * i] = static_cast<std::uint8_t>(mix_[i] & 0xFF);
                out[2 * i + 1] = static_cast<std::uint8_t>((mix_[i] >> 8) & 0xFF);
            }
        } else {
            std::memcpy(out, in, n * inputBlockBytes);
        }
        in += n * inputBlockBytes;
        left -= n;
        filled_ += n;
        if (filled_ == blocksPerFrame_ && !FlushFrame()) return false;
    }
    return true;
}

bool TAPEEncoder::Close() {
    if (!writer_) return false;
    bool ok = !failed_ && FlushFrame() && (writer_->Finish() || Fail(writer_->Error()));
    if (ok && tag_) {
        const std::string tag = WriteAPEv2(*tag_);
        ok = sink_->write(tag.data(), tag.size()) || Fail("the APE tag could not be written: " + sink_->error());
    }
    if (!sink_->close() && ok) ok = Fail(sink_->error());
    Release();
    return ok;
}

}  // namespace melvarin
