#include "disc/BlockQueue.h"

namespace melvarin {

namespace {
// Spares kept for the producer: enough for the blocks the bound lets through.
constexpr std::size_t kMaxSpares = 4;
}  // namespace

BlockQueue::BlockQueue(std::size_t capacityBytes, std::function<void()> onPop)
    : capacity_(capacityBytes), onPop_(std::move(onPop)) {}

bool BlockQueue::HasRoom() const {
    std::lock_guard lock(mutex_);
    return blocks_.empty() || bytes_ < capacity_;
}

void BlockQueue::Push(std::vector<std::uint8_t> block) {
    {
        std::lock_guard lock(mutex_);
        if (finished_ || aborted_) return;
        bytes_ += block.size();
        blocks_.push_back(std::move(block));
    }
    ready_.notify_one();
}

void BlockQueue::Finish() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    ready_.notify_all();
}

void BlockQueue::Abort() {
    {
        std::lock_guard lock(mutex_);
        aborted_ = true;
        blocks_.clear();
        bytes_ = 0;
    }
    ready_.notify_all();
}

bool BlockQueue::Pop(std::vector<std::uint8_t>& block) {
    bool got = false;
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return aborted_ || finished_ || !blocks_.empty(); });
        if (!aborted_ && !blocks_.empty()) {
            if (block.capacity() > 0 && spares_.size() < kMaxSpares) spares_.push_back(std::move(block));
            block = std::move(blocks_.front());
            blocks_.pop_front();
            bytes_ -= block.size();
            got = true;
        }
    }
    if (onPop_) onPop_();
    return got;
}

std::vector<std::uint8_t> BlockQueue::TakeSpare() {
    std::lock_guard lock(mutex_);
    if (spares_.empty()) return {};
    std::vector<std::uint8_t> spare = std::move(spares_.back());
    spares_.pop_back();
    return spare;
}

bool BlockQueue::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

bool BlockQueue::Aborted() const {
    std::lock_guard lock(mutex_);
    return aborted_;
}

std::size_t BlockQueue::QueuedBytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

}  // namespace melvarin
