#include "encoders/ape/ApePredictor.h"

#include <algorithm>

namespace melvarin::ape {

namespace {

// -1 for a positive value, 1 for a negative one, 0 for zero.
inline std::int32_t InverseSign(std::int32_t v) { return (v < 0) - (v > 0); }

// Two's complement arithmetic, wrapping as a decoder's does.
inline std::int32_t Wrap(std::uint32_t v) { return static_cast<std::int32_t>(v); }
inline std::uint32_t U(std::int32_t v) { return static_cast<std::uint32_t>(v); }

// The leaky integration a decoder ends with: `value` plus 31/32 of the last output.
inline std::int32_t Decay(std::int32_t last) { return Wrap(U(last) * 31u) >> 5; }

}  // namespace

ApePredictor::ApePredictor(std::uint16_t level) {
    for (const FilterParams& params : FiltersOf(level)) {
        if (!params.order) break;
        for (auto& channel : filters_) channel.emplace_back(params.order, params.fracBits);
    }
}

void ApePredictor::Reset() {
    history_.fill(0);
    position_ = 0;
    lastA_.fill(0);
    filterA_.fill(0);
    filterB_.fill(0);
    for (auto& c : coeffsA_) std::copy(kInitialCoeffsA.begin(), kInitialCoeffsA.end(), c.begin());
    for (auto& c : coeffsB_) c.fill(0);
    for (auto& channel : filters_)
        for (ApeNNFilter& f : channel) f.Reset();
}

void ApePredictor::Advance() {
    if (++position_ == kPredictorHistory) {
        std::copy_n(history_.begin() + kPredictorHistory, kPredictorWindow, history_.begin());
        position_ = 0;
    }
}

std::int32_t ApePredictor::StageOne(int channel, const Taps& t, std::int32_t value) {
    std::int32_t* buf = history_.data() + position_;
    const auto& a = coeffsA_[channel];
    const auto& b = coeffsB_[channel];

    buf[t.delayA] = lastA_[channel];
    buf[t.adaptA] = InverseSign(buf[t.delayA]);
    buf[t.delayA - 1] = Wrap(U(buf[t.delayA]) - U(buf[t.delayA - 1]));
    buf[t.adaptA - 1] = InverseSign(buf[t.delayA - 1]);
    const std::int32_t predictionA = Wrap(U(buf[t.delayA]) * U(a[0]) + U(buf[t.delayA - 1]) * U(a[1]) +
                                          U(buf[t.delayA - 2]) * U(a[2]) + U(buf[t.delayA - 3]) * U(a[3]));

    buf[t.delayB] = Wrap(U(filterA_[channel ^ 1]) - U(Decay(filterB_[channel])));
    buf[t.adaptB] = InverseSign(buf[t.delayB]);
    buf[t.delayB - 1] = Wrap(U(buf[t.delayB]) - U(buf[t.delayB - 1]));
    buf[t.adaptB - 1] = InverseSign(buf[t.delayB - 1]);
    filterB_[channel] = filterA_[channel ^ 1];
    const std::int32_t predictionB =
        Wrap(U(buf[t.delayB]) * U(b[0]) + U(buf[t.delayB - 1]) * U(b[1]) + U(buf[t.delayB - 2]) * U(b[2]) +
             U(buf[t.delayB - 3]) * U(b[3]) + U(buf[t.delayB - 4]) * U(b[4]));

    const std::int32_t last = Wrap(U(value) - U(Decay(filterA_[channel])));
    const std::int32_t residual = Wrap(U(last) - U(Wrap(U(predictionA) + U(predictionB >> 1)) >> 10));
    lastA_[channel] = last;
    filterA_[channel] = value;

    const std::int32_t sign = InverseSign(residual);
    auto& ca = coeffsA_[channel];
    auto& cb = coeffsB_[channel];
    for (int k = 0; k < 4; ++k) ca[k] = Wrap(U(ca[k]) + U(buf[t.adaptA - k] * sign));
    for (int k = 0; k < 5; ++k) cb[k] = Wrap(U(cb[k]) + U(buf[t.adaptB - k] * sign));
    return residual;
}

std::int32_t ApePredictor::StageOneMono(std::int32_t value) {
    std::int32_t* buf = history_.data() + position_;
    auto& a = coeffsA_[0];

    buf[kYDelayA] = lastA_[0];
    buf[kYDelayA - 1] = Wrap(U(buf[kYDelayA]) - U(buf[kYDelayA - 1]));
    const std::int32_t predictionA = Wrap(U(buf[kYDelayA]) * U(a[0]) + U(buf[kYDelayA - 1]) * U(a[1]) +
                                          U(buf[kYDelayA - 2]) * U(a[2]) + U(buf[kYDelayA - 3]) * U(a[3]));

    const std::int32_t last = Wrap(U(value) - U(Decay(filterA_[0])));
    const std::int32_t residual = Wrap(U(last) - U(predictionA >> 10));
    lastA_[0] = last;
    filterA_[0] = value;

    buf[kYAdaptA] = InverseSign(buf[kYDelayA]);
    buf[kYAdaptA - 1] = InverseSign(buf[kYDelayA - 1]);
    const std::int32_t sign = InverseSign(residual);
    for (int k = 0; k < 4; ++k) a[k] = Wrap(U(a[k]) + U(buf[kYAdaptA - k] * sign));
    return residual;
}

void ApePredictor::RunFilters(int channel, std::int32_t* values, std::size_t count) {
    auto& chain = filters_[channel];
    for (auto f = chain.rbegin(); f != chain.rend(); ++f)
        for (std::size_t i = 0; i < count; ++i) values[i] = f->Compress(values[i]);
}

void ApePredictor::CompressStereo(std::int32_t* y, std::int32_t* x, std::size_t count) {
    Reset();
    static constexpr Taps kY{kYDelayA, kYDelayB, kYAdaptA, kYAdaptB};
    static constexpr Taps kX{kXDelayA, kXDelayB, kXAdaptA, kXAdaptB};
    for (std::size_t i = 0; i < count; ++i) {
        y[i] = StageOne(0, kY, y[i]);
        x[i] = StageOne(1, kX, x[i]);
        Advance();
    }
    RunFilters(0, y, count);
    RunFilters(1, x, count);
}

void ApePredictor::CompressMono(std::int32_t* samples, std::size_t count) {
    Reset();
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = StageOneMono(samples[i]);
        Advance();
    }
    RunFilters(0, samples, count);
}

}  // namespace melvarin::ape
