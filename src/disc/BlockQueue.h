#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace melvarin {

// A first-in first-out queue of sample blocks from one producer (the thread
// that reads the disc) to one consumer (the thread that encodes the file).
// The bound is the producer's to keep: it asks HasRoom() before Push(), which
// never refuses a block. An empty queue always has room, so a block larger
// than the bound still passes. Every member may be called from any thread.
class BlockQueue {
public:
    // `capacityBytes`: the bound HasRoom() keeps. `onPop` (may be empty) runs on
    // the consumer's thread after each block taken and when Pop() reports the
    // end, outside the queue's lock: the producer waits for room through it.
    explicit BlockQueue(std::size_t capacityBytes, std::function<void()> onPop = {});

    BlockQueue(const BlockQueue&) = delete;
    BlockQueue& operator=(const BlockQueue&) = delete;

    // Whether the queued bytes are under the bound (always true when empty).
    bool HasRoom() const;
    // Appends a block; ignored after Finish() or Abort().
    void Push(std::vector<std::uint8_t> block);
    // No more blocks will come: Pop() returns false once the queue is drained.
    void Finish();
    // Drops the queued blocks: Pop() returns false from now on.
    void Abort();
    // Waits for the next block and moves it into `block`; false at the end
    // (finished and drained, or aborted). The storage `block` held before is
    // kept as a spare for the producer (a few at most).
    bool Pop(std::vector<std::uint8_t>& block);
    // A block the consumer is done with, its size and bytes as they were, or an
    // empty vector when there is none; refilling it spares an allocation and
    // its page faults.
    std::vector<std::uint8_t> TakeSpare();

    bool Finished() const;
    bool Aborted() const;
    std::size_t QueuedBytes() const;

private:
    const std::size_t capacity_;
    const std::function<void()> onPop_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::vector<std::uint8_t>> blocks_;
    std::vector<std::vector<std::uint8_t>> spares_;
    std::size_t bytes_ = 0;
    bool finished_ = false;
    bool aborted_ = false;
};

}  // namespace melvarin
