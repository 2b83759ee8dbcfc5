#include "encoders/TWAVEEncoder.h"

#include <algorithm>
#include <cstring>

namespace melvarin {

namespace {

void putU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool writeU32At(OutputSink& sink, std::uint64_t offset, std::uint32_t v) {
    unsigned char b[4];
    putU32(b, v);
    return sink.seek(offset) && sink.write(b, 4);
}

}  // namespace

TWAVEEncoder::~TWAVEEncoder() { Close(); }

bool TWAVEEncoder::SetFormat(const PcmFormat* format) {
    if (!format) return false;
    format_ = *format;
    return true;
}

int TWAVEEncoder::OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) {
    if (sink_) return FailOpen("the WAVE stream is already open");
    if (!sink) return FailOpen("no output");
    if (expectedBytes > kMaxDataBytes)
        return FailOpen("a WAVE file cannot hold more than 4 GiB of sound");
    unsigned char header[kHeaderSize];
    std::memcpy(header, "RIFF\0\0\0\0WAVEfmt ", 16);
    putU32(header + 16, sizeof(PcmFormat));
    std::memcpy(header + 20, &format_, sizeof(PcmFormat));
    std::memcpy(header + 40, "data\0\0\0\0", 8);
    if (!sink->write(header, sizeof header)) return FailOpen(sink->error());
    dataStart_ = sink->tell();
    sink_ = std::move(sink);
    dataBytes_ = 0;
    error_.clear();
    return kChunkSize;
}

bool TWAVEEncoder::Encode(const void* samples, std::size_t byteCount) {
    if (!sink_) return Fail("no WAVE stream is open");
    if (dataBytes_ + static_cast<std::uint64_t>(byteCount) > kMaxDataBytes)
        return Fail("a WAVE file cannot hold more than 4 GiB of sound");
    const bool ok = sink_->write(samples, byteCount);
    // Count what the sink holds even when a write stopped half way (a file sink
    // may also lose bytes it had buffered), so the header describes the bytes
    // that are there.
    const std::uint64_t size = sink_->size();
    dataBytes_ = static_cast<std::uint32_t>(size > dataStart_ ? std::min(size - dataStart_, kMaxDataBytes) : 0);
    return ok ? true : Fail(sink_->error());
}

bool TWAVEEncoder::Close() {
    if (!sink_) return false;
    std::unique_ptr<OutputSink> sink = std::move(sink_);
    const bool ok = writeU32At(*sink, 44, dataBytes_) && writeU32At(*sink, 4, dataBytes_ + 40);
    if (!ok) Fail(sink->error());
    if (!sink->close()) return Fail(sink->error());
    return ok;
}

}  // namespace melvarin
