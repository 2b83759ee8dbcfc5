#include "encoders/TEncManager.h"

#include <mutex>
#include <vector>

#include "app/Messages.h"
#include "app/SettingsRecord.h"
#include "decoders/TWAVEDecoder.h"
#include "disc/SampleUtils.h"
#include "encoders/TAPEEncoder.h"
#include "encoders/TFAACEncoder.h"
#include "encoders/TFLACEncoder.h"
#include "encoders/TLameMP3Encoder.h"
#include "encoders/TOggEncoder.h"
#include "encoders/TWAVEEncoder.h"

namespace melvarin {

namespace {

void Tell(UserPrompt* prompt, const std::string& text, Icon icon) {
    if (prompt) prompt->message(text, icon);
}

template <class T>
std::unique_ptr<TEncoder> make() {
    return std::make_unique<T>();
}

}  // namespace

TEncManager::TEncManager(UserPrompt* prompt, ProgressCallback progress)
    : prompt_(prompt), progress_(std::move(progress)) {}

const std::vector<EncoderInfo>& TEncManager::Table() {
    static const std::vector<EncoderInfo> table = {
        {0, true, "TWAVEEncoder", "", ".wav", &make<TWAVEEncoder>},
        {1, true, "TLameMP3Encoder", "Lame MP3 Encoder", ".mp3", &make<TLameMP3Encoder>},
        {1, false, "TWinMP3Encoder", "ACM MP3 Encoder", ".mp3", nullptr},
        {2, true, "TWMAEncoder", "Windows Media Audio Encoder", ".wma", nullptr},
        {3, true, "TOggEncoder", "Ogg Vorbis Encoder", ".ogg", &make<TOggEncoder>},
        {4, true, "TAPEEncoder", "Monkey's Audio Encoder", ".ape", &make<TAPEEncoder>},
        {5, true, "TFAACEncoder", "Free Advanced Audio Coder", ".aac", &make<TFAACEncoder>},
        {6, true, "TACMEncoder", "Audio Compress Manager (ACM)", "", nullptr},
        {7, true, "TFLACEncoder", "Free Losless Audio Coder", ".flac", &make<TFLACEncoder>},
    };
    return table;
}

const EncoderInfo* TEncManager::Find(const EncoderConfig& config) {
    for (const EncoderInfo& row : Table()) {
        if (row.index != config.EncoderIndex) continue;
        if (row.index == 1 && row.useLame != (config.UseLame != 0)) continue;
        return &row;
    }
    return nullptr;
}

std::string TEncManager::Extension(const EncoderConfig& config) {
    const EncoderInfo* row = Find(config);
    if (!row) return {};
    if (row->index == 6) {
        const char* ext = config.ACMFileExt;
        std::size_t n = 0;
        while (n < sizeof config.ACMFileExt && ext[n] != '\0') ++n;
        return std::string(ext, n);
    }
    return row->extension;
}

std::unique_ptr<TEncoder> TEncManager::CreateEncoder(EncoderConfig* config, const PcmFormat* format) {
    return CreateEncoder(config, format, prompt_);
}

std::unique_ptr<TEncoder> TEncManager::CreateEncoder(EncoderConfig* config, const PcmFormat* format,
                                                     UserPrompt* prompt) {
    if (!config || !format) return nullptr;
    const EncoderInfo* row = Find(*config);
    if (!row) {
        Tell(prompt, "Fatal error: Wrong Encoder Index!", Icon::Error);
        return nullptr;
    }
    if (!row->available()) {
        Tell(prompt, std::string("The encoder \"") + row->displayName + "\" is not part of this build.",
             Icon::Warning);
        return nullptr;
    }
    std::unique_ptr<TEncoder> encoder = row->create();
    encoder->SetConfig(config);
    if (!encoder->SetFormat(format)) return nullptr;
    return encoder;
}

int TEncManager::OpenEncoder(TEncoder& encoder, const std::string& path, std::uint64_t expectedBytes) {
    static std::mutex opening;
    std::lock_guard lock(opening);
    return encoder.Open(path, expectedBytes);
}

bool TEncManager::EncodeWaveFile(const std::string& source, const std::string& destination,
                                 TIDTag* tag, EncoderConfig* config) {
    return EncodeWaveFile(source, destination, tag, config, WaveEncodeOptions{Gain, progress_, prompt_});
}

bool TEncManager::EncodeWaveFile(const std::string& source, const std::string& destination, TIDTag* tag,
                                 EncoderConfig* config, const WaveEncodeOptions& options) {
    UserPrompt* prompt = options.prompt;
    TWAVEDecoder decoder;
    // Encoders take 16-bit samples only.
    if (!decoder.Open(source) || decoder.BitsPerSample != 16) {
        Tell(prompt, Message(97), Icon::Warning);
        return false;
    }
    const PcmFormat format = PcmFormat::pcm16(decoder.SampleRate, decoder.Channels);
    std::unique_ptr<TEncoder> encoder = CreateEncoder(config, &format, prompt);
    if (!encoder) return false;
    encoder->SetTag(tag);
    const int chunk = OpenEncoder(*encoder, destination, 0);
    if (chunk <= 0) {
        const std::string why = encoder->LastError();
        Tell(prompt, "Can't initialize encoding stream" + (why.empty() ? std::string() : ": " + why), Icon::Warning);
        return false;
    }

    const bool normalize = config->Normalize != 0;
    std::vector<char> buffer(static_cast<std::size_t>(chunk));
    std::size_t got = decoder.Read(buffer.data(), buffer.size());
    while (got > 0) {
        if (options.progress) {
            bool cancel = false;
            options.progress(decoder.GetPosition(), decoder.GetDuration(), cancel);
            if (cancel) {
                encoder->Discard();
                return true;
            }
        }
        if (normalize) ApplyGain(reinterpret_cast<std::uint8_t*>(buffer.data()), got, options.gain);
        if (!encoder->Encode(buffer.data(), got)) {
            const std::string why = encoder->LastError();
            encoder->Discard();
            Tell(prompt, "Encoding failed: " + why, Icon::Warning);
            return false;
        }
        got = decoder.Read(buffer.data(), buffer.size());
    }
    if (!encoder->Close()) {
        Tell(prompt, "Encoding failed: " + encoder->LastError(), Icon::Warning);
        return false;
    }
    return true;
}

bool TEncManager::ListAcmMp3Codecs(std::vector<std::string>&) const { return HasAcmMp3Codec; }
void TEncManager::ListAcmCodecs(std::vector<std::string>&) const {}
void TEncManager::ListAcmMp3Formats(std::vector<std::string>& list, int) const { list.clear(); }
void TEncManager::ListAcmFormats(std::vector<std::string>& list, int) const { list.clear(); }

}  // namespace melvarin
