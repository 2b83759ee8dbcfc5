#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/UserPrompt.h"
#include "encoders/PcmFormat.h"
#include "encoders/TEncoder.h"

namespace melvarin {

struct EncoderConfig;
class TIDTag;

// Called between chunks of a long encode with the source's position and duration
// in milliseconds; set `cancel` to true to stop.
using ProgressCallback = std::function<void(std::uint32_t position, std::uint32_t total, bool& cancel)>;

// How one EncodeWaveFile call runs. Every call gets its own, so several files
// can be re-encoded at once.
struct WaveEncodeOptions {
    // Factor applied to the samples when the configuration's Normalize is set.
    double gain = 1.0;
    ProgressCallback progress;     // may be empty
    UserPrompt* prompt = nullptr;  // where failures are told; null: nowhere
};

// One row of the encoder index table.
struct EncoderInfo {
    int index;                // EncoderIndex
    bool useLame;             // for index 1: the row taken when UseLame is this value
    const char* className;
    const char* displayName;  // what GetName returns (LAME appends its version)
    const char* extension;    // with its dot; the ACM encoder's comes from ACMFileExt
    // Makes an encoder of this class; null when the class is not built.
    std::unique_ptr<TEncoder> (*create)();
    bool available() const { return create != nullptr; }
};

// Makes encoders by the configured index and re-encodes finished WAVE files.
// Lives as long as the main window; messages go to the prompt given (may be null).
class TEncManager {
public:
    explicit TEncManager(UserPrompt* prompt, ProgressCallback progress = {});

    // The whole index table, in index order.
    static const std::vector<EncoderInfo>& Table();
    // The row `config` selects (EncoderIndex, and UseLame for index 1); null for an
    // index outside the table.
    static const EncoderInfo* Find(const EncoderConfig& config);
    // Output extension for `config`, with its dot; empty for an unknown index.
    static std::string Extension(const EncoderConfig& config);

    // An encoder for `config` with SetConfig and SetFormat done; null when either
    // argument is null, the index is unknown ("Fatal error: Wrong Encoder Index!"),
    // the encoder is not built in (a message says so) or the format is refused.
    // `config` must outlive the encoder.
    std::unique_ptr<TEncoder> CreateEncoder(EncoderConfig* config, const PcmFormat* format);
    // The same, telling refusals through `prompt` (may be null). Uses nothing of
    // the manager's state: callable from several threads at once.
    static std::unique_ptr<TEncoder> CreateEncoder(EncoderConfig* config, const PcmFormat* format,
                                                   UserPrompt* prompt);
    // Opens `encoder` onto `path` (TEncoder::Open). Opens are serialized across
    // threads: codec libraries set up shared tables when a stream starts.
    static int OpenEncoder(TEncoder& encoder, const std::string& path, std::uint64_t expectedBytes);

    // Encodes the WAVE file `source` into `destination` with the configured encoder,
    // applying Gain when config->Normalize is set and reporting progress. A cancel
    // from the progress callback leaves the destination as it was and still returns
    // true.
    // False (the reason shown through the prompt, the destination as it was) when the
    // source cannot be read or the encoder cannot be made, opened, fed or closed.
    // Runs with Gain, the progress callback and the prompt of this manager.
    bool EncodeWaveFile(const std::string& source, const std::string& destination, TIDTag* tag,
                        EncoderConfig* config);
    // The same with the gain, progress and prompt of `options` instead of the
    // manager's; uses nothing of the manager's state, so several calls may run
    // at once on different threads (each with its own destination and config).
    static bool EncodeWaveFile(const std::string& source, const std::string& destination, TIDTag* tag,
                               EncoderConfig* config, const WaveEncodeOptions& options);

    void SetProgress(ProgressCallback progress) { progress_ = std::move(progress); }

    // Codec lists of the system codec layer, which this build does not have: the
    // lists stay empty and ListAcmMp3Codecs returns HasAcmMp3Codec (false).
    bool ListAcmMp3Codecs(std::vector<std::string>& list) const;
    void ListAcmCodecs(std::vector<std::string>& list) const;
    void ListAcmMp3Formats(std::vector<std::string>& list, int codec) const;
    void ListAcmFormats(std::vector<std::string>& list, int driver) const;

    bool HasAcmMp3Codec = false;
    bool WmaAvailable = false;
    // Normalisation factor applied by the four-argument EncodeWaveFile when
    // Normalize is set.
    double Gain = 1.0;

private:
    UserPrompt* prompt_;
    ProgressCallback progress_;
};

}  // namespace melvarin
