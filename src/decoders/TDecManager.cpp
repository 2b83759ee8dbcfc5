#include "decoders/TDecManager.h"

#include <algorithm>

#include "decoders/TWAVEDecoder.h"

namespace melvarin {

namespace {

struct DecoderEntry {
    const char* extension;
    std::unique_ptr<TDecoder> (*create)();
};

// Extensions with a built decoder. MP3, Ogg Vorbis, WMA and Monkey's Audio join
// this table as their decoders are built.
const DecoderEntry kDecoders[] = {
    {".wav", [] { return std::unique_ptr<TDecoder>(new TWAVEDecoder); }},
};

}  // namespace

std::string TDecManager::Extension(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = fileName.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return ext;
}

std::unique_ptr<TDecoder> TDecManager::DecoderFor(const std::string& fileName) {
    const std::string ext = Extension(fileName);
    for (const DecoderEntry& e : kDecoders)
        if (ext == e.extension) return e.create();
    return nullptr;
}

bool TDecManager::OpenFile(const std::string& fileName, bool exactLength) {
    decoder_.reset();
    std::unique_ptr<TDecoder> d = DecoderFor(fileName);
    if (!d) return false;
    d->ExactLength = exactLength ? 1 : 0;
    if (!d->Open(fileName)) return false;
    SampleRate = d->SampleRate;
    Bitrate = d->Bitrate;
    Channels = d->Channels;
    BitsPerSample = d->BitsPerSample;
    DecodedSize = d->DecodedSize;
    BlockSize = d->BlockSize;
    decoder_ = std::move(d);
    return true;
}

std::size_t TDecManager::Read(void* buffer, std::size_t byteCount) {
    return decoder_ ? decoder_->Read(buffer, byteCount) : 0;
}
std::uint32_t TDecManager::GetDuration() { return decoder_ ? decoder_->GetDuration() : 0; }
std::uint32_t TDecManager::GetPosition() { return decoder_ ? decoder_->GetPosition() : 0; }
void TDecManager::Seek(std::uint32_t ms) {
    if (decoder_) decoder_->Seek(ms);
}
TIDTag* TDecManager::GetTag() { return decoder_ ? decoder_->GetTag() : nullptr; }
int TDecManager::GetProgress() { return decoder_ ? decoder_->GetProgress() : 0; }

bool TDecManager::CloseFile() {
    if (!decoder_) return true;
    const bool ok = decoder_->Close();
    decoder_.reset();
    return ok;
}

}  // namespace melvarin
