#include "encoders/TEncoder.h"

#include "encoders/FileSink.h"

namespace melvarin {

EncoderConfig* TEncoder::SetConfig(EncoderConfig* config) {
    config_ = config;
    return config;
}

TIDTag* TEncoder::SetTag(TIDTag* tag) {
    tag_ = tag;
    return tag;
}

int TEncoder::Open(const std::string& fileName, std::uint64_t expectedBytes) {
    auto sink = std::make_unique<FileSink>();
    if (!sink->open(fileName)) {
        Fail(sink->error());
        return 0;
    }
    file_ = sink->file();
    const int chunk = OpenSink(std::move(sink), expectedBytes);
    if (chunk == 0) Discard();
    return chunk;
}

void TEncoder::Discard() {
    if (const std::shared_ptr<PartialFile> file = file_.lock()) file->discard();
}

}  // namespace melvarin
