#include "encoders/ape/ApeFileWriter.h"

extern "C" {
#include <libavutil/md5.h>
#include <libavutil/mem.h>
}

#include "encoders/ape/ApeFormat.h"
#include "platform/LittleEndian.h"

namespace melvarin::ape {

namespace {

const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

}  // namespace

void ApeFileWriter::Md5Free::operator()(AVMD5* md5) const { av_free(md5); }

ApeFileWriter::ApeFileWriter(OutputSink& sink) : sink_(sink) {}

ApeFileWriter::~ApeFileWriter() = default;

bool ApeFileWriter::Fail(const std::string& what) {
    error_ = what + (sink_.error().empty() ? std::string() : ": " + sink_.error());
    return false;
}

std::string ApeFileWriter::Header() const {
    std::string h;
    AppendLE16(h, level_);
    AppendLE16(h, kFlagCreateWavHeader);
    AppendLE32(h, blocksPerFrame_);
    AppendLE32(h, finalBlocks_);
    AppendLE32(h, frames_);
    AppendLE16(h, 16);
    AppendLE16(h, channels_);
    AppendLE32(h, sampleRate_);
    return h;
}

bool ApeFileWriter::Begin(std::uint16_t channels, std::uint32_t sampleRate, std::uint16_t level,
                          std::uint32_t blocksPerFrame, std::uint32_t maxFrames) {
    channels_ = channels;
    sampleRate_ = sampleRate;
    level_ = level;
    blocksPerFrame_ = blocksPerFrame;
    seekTable_.assign(maxFrames, 0);
    frames_ = finalBlocks_ = 0;
    md5_.reset(av_md5_alloc());
    if (!md5_) return Fail("out of memory for the MD5");
    av_md5_init(md5_.get());
    const std::string blank(kDescriptorBytes + kHeaderBytes + 4 * seekTable_.size(), '\0');
    start_ = sink_.tell();
    dataStart_ = start_ + blank.size();
    return sink_.write(blank.data(), blank.size()) || Fail("the APE header could not be written");
}

bool ApeFileWriter::AddFrame(const std::vector<std::uint8_t>& frame, std::uint32_t blocks) {
    if (frames_ == seekTable_.size()) return Fail("more audio than the APE seek table has room for");
    const std::uint64_t at = sink_.tell() - start_;
    if (at > UINT32_MAX) return Fail("the APE file grew past 4 GiB");
    if (!sink_.write(frame.data(), frame.size())) return Fail("an APE frame could not be written");
    av_md5_update(md5_.get(), frame.data(), frame.size());
    seekTable_[frames_++] = static_cast<std::uint32_t>(at);
    finalBlocks_ = blocks;
    return true;
}

bool ApeFileWriter::Finish() {
    const std::uint64_t end = sink_.tell();
    const std::string header = Header();
    std::string table;
    for (std::uint32_t offset : seekTable_) AppendLE32(table, offset);
    av_md5_update(md5_.get(), Bytes(header), header.size());
    av_md5_update(md5_.get(), Bytes(table), table.size());
    std::uint8_t md5[16];
    av_md5_final(md5_.get(), md5);

    const std::uint64_t frameBytes = end - dataStart_;
    std::string d = "MAC ";
    AppendLE16(d, kFileVersion);
    AppendLE16(d, 0);
    AppendLE32(d, kDescriptorBytes);
    AppendLE32(d, kHeaderBytes);
    AppendLE32(d, static_cast<std::uint32_t>(table.size()));
    AppendLE32(d, 0);
    AppendLE32(d, static_cast<std::uint32_t>(frameBytes));
    AppendLE32(d, static_cast<std::uint32_t>(frameBytes >> 32));
    AppendLE32(d, 0);
    d.append(reinterpret_cast<const char*>(md5), sizeof md5);
    d += header;
    d += table;
    if (!sink_.seek(start_) || !sink_.write(d.data(), d.size()) || !sink_.seek(end))
        return Fail("the APE header could not be completed");
    return true;
}

}  // namespace melvarin::ape
