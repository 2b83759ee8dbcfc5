#pragma once
#include <memory>
#include <string>

#include "platform/PartialFile.h"

#include "encoders/OutputSink.h"

namespace melvarin {

// An OutputSink over a file that appears under its name only when complete:
// open() writes into a PartialFile beside the name, close() puts it in place
// (replacing an earlier file, never through a symlink) when every write
// succeeded. A failed write, discard() or the destructor without close() leave
// the name as it was before open().
//
// Writes to a regular file are gathered in a buffer of kBufferBytes and reach the
// file when it is full, before a seek and at close; a failure to store them is
// reported by the write, seek or close that flushes, and size() and tell() then
// count only the bytes that reached the file. Writes to anything else (a device,
// a pipe) go out at once.
class FileSink : public OutputSink {
public:
    static constexpr std::size_t kBufferBytes = 1 << 20;

    FileSink() = default;
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // Starts a new file for `path`. False (with error()) on failure.
    bool open(const std::string& path);

    bool isOpen() const { return file_ && file_->isOpen(); }
    const std::string& path() const { return path_; }
    // The file being written, for whoever must be able to drop it (discard)
    // while another object owns the sink. Expires with the sink.
    std::weak_ptr<PartialFile> file() const { return file_; }
    // Drops the file: later writes fail, close() returns false and leaves the
    // name as it was.
    void discard();
    // After a successful close: whether an earlier file was replaced.
    bool replaced() const { return replaced_; }

    bool write(const void* data, std::size_t size) override;
    bool seek(std::uint64_t offset) override;
    std::uint64_t tell() const override { return pos_; }
    std::uint64_t size() const override { return size_; }
    bool close() override;
    const std::string& error() const override { return error_; }

private:
    bool fail(const std::string& what);
    // Writes `size` bytes at the file's offset `at` (the descriptor's own position
    // when not buffering); `stored` gets the bytes that reached the file.
    bool put(const char* data, std::size_t size, std::uint64_t at, std::size_t& stored);
    // Empties the buffer into the file.
    bool flush();

    int fd() const { return file_ ? file_->fd() : -1; }

    std::shared_ptr<PartialFile> file_;
    std::string path_;
    std::uint64_t pos_ = 0;
    std::uint64_t size_ = 0;
    std::string error_;
    bool buffered_ = false;
    bool replaced_ = false;
    std::unique_ptr<char[]> buffer_;
    std::size_t held_ = 0;     // bytes in buffer_, to go to the file at pos_ - held_
    std::uint64_t stored_ = 0;  // end of the furthest bytes that reached the file
};

}  // namespace melvarin
