#include "encoders/ape/ApeFrameEncoder.h"

extern "C" {
#include <libavutil/crc.h>
}

#include "encoders/ape/ApeFormat.h"

namespace melvarin::ape {

ApeFrameEncoder::ApeFrameEncoder(int channels, std::uint16_t level) : channels_(channels), predictor_(level) {}

void ApeFrameEncoder::PutWord(std::uint32_t word) {
    for (int shift = 24; shift >= 0; shift -= 8) stream_.push_back(static_cast<std::uint8_t>(word >> shift));
}

std::uint32_t ApeFrameEncoder::Classify(std::size_t blocks) const {
    bool silent = true;
    bool equal = true;
    for (std::size_t i = 0; i < blocks && (silent || equal); ++i) {
        silent = silent && first_[i] == 0 && (channels_ == 1 || second_[i] == 0);
        equal = equal && channels_ == 2 && first_[i] == second_[i];
    }
    if (silent) return channels_ == 2 ? kFrameStereoSilence : kFrameMonoSilence;
    return equal ? kFramePseudoStereo : 0;
}

const std::vector<std::uint8_t>& ApeFrameEncoder::Encode(const std::uint8_t* pcm, std::size_t blocks) {
    const std::size_t bytes = blocks * channels_ * 2;
    first_.resize(blocks);
    second_.resize(blocks);
    for (std::size_t i = 0, at = 0; i < blocks; ++i) {
        first_[i] = static_cast<std::int16_t>(pcm[at] | pcm[at + 1] << 8);
        at += 2;
        if (channels_ == 2) {
            second_[i] = static_cast<std::int16_t>(pcm[at] | pcm[at + 1] << 8);
            at += 2;
        }
    }

    static const AVCRC* table = av_crc_get_table(AV_CRC_32_IEEE_LE);
    const std::uint32_t crc = ~av_crc(table, UINT32_MAX, pcm, bytes) >> 1;
    const std::uint32_t flags = Classify(blocks);
    stream_.clear();
    PutWord(flags ? crc | kCrcHasFlags : crc);
    if (flags) PutWord(flags);

    coder_.Start();
    RiceState riceY{kInitialK, kInitialKSum};
    if (flags == kFramePseudoStereo || (flags == 0 && channels_ == 1)) {
        predictor_.CompressMono(first_.data(), blocks);
        for (std::size_t i = 0; i < blocks; ++i) coder_.EncodeValue(first_[i], riceY);
    } else if (flags == 0) {
        // Y = the difference of the channels, X = channel 0 plus half of it.
        for (std::size_t i = 0; i < blocks; ++i) {
            const std::int32_t difference = second_[i] - first_[i];
            second_[i] = first_[i] + difference / 2;
            first_[i] = difference;
        }
        predictor_.CompressStereo(first_.data(), second_.data(), blocks);
        RiceState riceX{kInitialK, kInitialKSum};
        for (std::size_t i = 0; i < blocks; ++i) {
            coder_.EncodeValue(first_[i], riceY);
            coder_.EncodeValue(second_[i], riceX);
        }
    }
    coder_.Finish();
    stream_.insert(stream_.end(), coder_.Bytes().begin(), coder_.Bytes().end());
    stream_.resize((stream_.size() + 3) & ~std::size_t{3}, 0);

    frame_.resize(stream_.size());
    for (std::size_t i = 0; i < stream_.size(); i += 4)
        for (int j = 0; j < 4; ++j) frame_[i + j] = stream_[i + 3 - j];
    return frame_;
}

}  // namespace melvarin::ape
