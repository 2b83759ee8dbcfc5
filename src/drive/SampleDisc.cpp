#include "drive/SampleDisc.h"

#include "platform/FileUtil.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace melvarin {

namespace {

constexpr int kRate = 44100;

// A stereo mix buffer in floating point.
struct Mix {
    std::vector<float> left, right;
    explicit Mix(double seconds) : left(std::size_t(seconds * kRate)), right(left.size()) {}

    enum class Voice { Pad, Pluck, Bell };

    // Adds one note. `pan` runs from -1 (left) to 1 (right).
    void note(double start, double length, double midi, double amp, double pan, Voice voice) {
        const double freq = 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
        const double attack = voice == Voice::Pad ? 0.08 : 0.005;
        const double release = voice == Voice::Pad ? 0.4 : 0.25;
        const double decay = voice == Voice::Pluck ? 3.0 : voice == Voice::Bell ? 1.6 : 0.0;
        // Partials (ratio, weight) of each voice.
        static const double pad[][2] = {{1, 1.0}, {2, 0.25}, {3, 0.08}};
        static const double pluck[][2] = {{1, 1.0}, {2, 0.45}, {3, 0.2}, {4, 0.1}};
        static const double bell[][2] = {{1, 1.0}, {2.76, 0.4}, {5.4, 0.18}, {8.93, 0.06}};
        const double(*partials)[2] = voice == Voice::Pad ? pad : voice == Voice::Pluck ? pluck : bell;
        const std::size_t count = voice == Voice::Pad ? 3 : 4;
        const double gl = amp * std::sqrt((1.0 - pan) / 2.0);
        const double gr = amp * std::sqrt((1.0 + pan) / 2.0);
        const std::size_t first = std::size_t(start * kRate);
        const std::size_t n = std::size_t((length + release) * kRate);
        for (std::size_t i = 0; i < n && first + i < left.size(); ++i) {
            const double t = double(i) / kRate;
            double env = std::min(1.0, t / attack);
            if (decay > 0) env *= std::exp(-decay * t);
            if (t > length) env *= std::max(0.0, 1.0 - (t - length) / release);
            double v = 0;
            for (std::size_t p = 0; p < count; ++p)
                v += partials[p][1] * std::sin(2 * std::numbers::pi * freq * partials[p][0] * t);
            left[first + i] += float(v * env * gl);
            right[first + i] += float(v * env * gr);
        }
    }

    std::vector<std::int16_t> pcm() const {
        float peak = 1e-6f;
        for (std::size_t i = 0; i < left.size(); ++i) peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
        const float gain = 0.7f * 32767.0f / peak;
        std::vector<std::int16_t> out(left.size() * 2);
        for (std::size_t i = 0; i < left.size(); ++i) {
            // A short fade at both ends keeps the track boundaries click-free.
            const float edge = std::min({1.0f, float(i) / 441.0f, float(left.size() - i) / 441.0f});
            out[2 * i] = std::int16_t(std::lround(left[i] * gain * edge));
            out[2 * i + 1] = std::int16_t(std::lround(right[i] * gain * edge));
        }
        return out;
    }
};

using Voice = Mix::Voice;

// C - G - Am - F - G - C with a melody over the chord tones.
std::vector<std::int16_t> sunrise() {
    Mix m(10.0);
    const int chords[6][3] = {{60, 64, 67}, {55, 59, 62}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}, {60, 64, 67}};
    const int melody[6][4] = {{76, 74, 72, 74}, {74, 71, 67, 71}, {72, 76, 79, 76},
                              {77, 76, 72, 69}, {71, 74, 79, 77}, {76, 72, 67, 72}};
    for (int c = 0; c < 6; ++c) {
        const double at = c * 1.6;
        for (int k = 0; k < 3; ++k) m.note(at, 1.5, chords[c][k], 0.18, -0.4 + 0.4 * k, Voice::Pad);
        m.note(at, 1.5, chords[c][0] - 12, 0.25, 0.0, Voice::Pad);
        for (int k = 0; k < 4; ++k) m.note(at + k * 0.4, 0.35, melody[c][k], 0.3, 0.3, Voice::Pluck);
    }
    return m.pcm();
}

// A waltz in F: bass on one, chords on two and three, a tune above.
std::vector<std::int16_t> waltz() {
    Mix m(10.0);
    const int bass[8] = {41, 36, 46, 41, 38, 36, 41, 41};
    const int chord[8][3] = {{57, 60, 65}, {55, 58, 64}, {58, 62, 65}, {57, 60, 65},
                             {57, 62, 65}, {55, 58, 64}, {57, 60, 65}, {57, 60, 65}};
    const int tune[8][3] = {{72, 69, 72}, {70, 67, 64}, {74, 70, 74}, {72, 69, 65},
                            {74, 72, 69}, {67, 70, 72}, {69, 65, 69}, {65, 65, 65}};
    const double beat = 0.4;
    for (int bar = 0; bar < 8; ++bar) {
        const double at = bar * 3 * beat;
        m.note(at, beat * 0.9, bass[bar], 0.35, -0.2, Voice::Pluck);
        for (int b = 1; b < 3; ++b)
            for (int k = 0; k < 3; ++k) m.note(at + b * beat, beat * 0.6, chord[bar][k], 0.12, 0.1 * k, Voice::Pluck);
        for (int b = 0; b < 3; ++b)
            m.note(at + b * beat, bar == 7 ? beat * 2.5 : beat * 0.9, tune[bar][b], 0.28, 0.35, Voice::Pad);
        if (bar == 7) break;
    }
    return m.pcm();
}

// Bells on a pentatonic scale over a slow pad.
std::vector<std::int16_t> bells() {
    Mix m(12.0);
    const int scale[5] = {67, 69, 72, 74, 76};
    const int pattern[16] = {0, 2, 4, 3, 2, 1, 2, 0, 4, 3, 1, 2, 0, 1, 2, 2};
    for (int i = 0; i < 16; ++i)
        m.note(0.2 + i * 0.6, 0.5, scale[pattern[i]] + (i % 4 == 0 ? 12 : 0), 0.22, (i % 3 - 1) * 0.5, Voice::Bell);
    const int pads[3][3] = {{48, 55, 64}, {45, 52, 60}, {48, 55, 64}};
    for (int p = 0; p < 3; ++p)
        for (int k = 0; k < 3; ++k) m.note(p * 3.6, 3.4, pads[p][k], 0.1, -0.3 + 0.3 * k, Voice::Pad);
    return m.pcm();
}

std::string waveFile(const std::vector<std::int16_t>& samples) {
    const std::uint32_t bytes = std::uint32_t(samples.size() * 2);
    std::string out;
    auto u32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out += char(v >> (8 * i));
    };
    auto u16 = [&out](std::uint16_t v) {
        out += char(v);
        out += char(v >> 8);
    };
    out += "RIFF";
    u32(36 + bytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    out += "data";
    u32(bytes);
    for (std::int16_t s : samples) u16(std::uint16_t(s));
    return out;
}

}  // namespace

const char* SampleDisc::title(int index) {
    static const char* const titles[kTrackCount] = {"Sunrise", "Little Waltz", "Evening Bells"};
    return index >= 0 && index < kTrackCount ? titles[index] : "";
}

std::vector<std::int16_t> SampleDisc::render(int index) {
    switch (index) {
    case 0: return sunrise();
    case 1: return waltz();
    case 2: return bells();
    default: return {};
    }
}

bool SampleDisc::write(const std::string& folder) {
    const std::string dir = FileUtil::withSlash(folder);
    std::string cue =
        "REM The sample disc of the Melvarin emulated drive\n"
        "PERFORMER \"Melvarin\"\n"
        "TITLE \"Sample Disc\"\n";
    for (int i = 0; i < kTrackCount; ++i) {
        const std::string name = "track0" + std::to_string(i + 1) + ".wav";
        if (!FileUtil::writeAtomically(dir + name, waveFile(render(i)))) return false;
        cue += "FILE \"" + name + "\" WAVE\n";
        cue += "  TRACK 0" + std::to_string(i + 1) + " AUDIO\n";
        cue += "    TITLE \"" + std::string(title(i)) + "\"\n";
        cue += "    PERFORMER \"Melvarin\"\n";
        cue += "    INDEX 01 00:00:00\n";
    }
    return FileUtil::writeAtomically(dir + "disc.cue", cue);
}

}  // namespace melvarin
