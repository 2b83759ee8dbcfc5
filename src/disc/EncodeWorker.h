#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "disc/BlockQueue.h"

namespace melvarin {

class TEncoder;

// One output file being encoded on a thread of its own: the reading thread
// pushes sample blocks, the worker feeds them to the encoder in order, closes
// it when the blocks end and then runs an optional final step (re-encoding a
// temporary file). A stream that fails or is aborted is discarded (its file
// never appears, an earlier file of that name stays); whoever reads Result()
// cleans up what a final step left.
class EncodeWorker {
public:
    enum class Outcome { Running, Complete, Failed, Aborted };
    // Runs on the worker's thread after the encoder closed well. `abort` turns
    // true when the job is cancelled; the step then ends soon with Aborted.
    using FinalStep = std::function<Outcome(const std::atomic<bool>& abort)>;

    // Starts the thread feeding `encoder`, which must be open. The queue holds
    // about `queueBytes`. `changed` (may be empty) runs on the worker's thread
    // after each block taken and once when the thread is about to end; it
    // must not call back into the worker.
    EncodeWorker(std::unique_ptr<TEncoder> encoder, std::size_t queueBytes, std::function<void()> changed);
    // Aborts and joins.
    ~EncodeWorker();

    EncodeWorker(const EncodeWorker&) = delete;
    EncodeWorker& operator=(const EncodeWorker&) = delete;

    // Producer side, from one thread: HasRoom() before each Push().
    bool HasRoom() const { return queue_.HasRoom(); }
    void Push(std::vector<std::uint8_t> block) { queue_.Push(std::move(block)); }
    // Storage of an encoded block to fill again; empty when there is none.
    std::vector<std::uint8_t> TakeSpare() { return queue_.TakeSpare(); }
    std::size_t QueuedBytes() const { return queue_.QueuedBytes(); }
    // The last block was pushed; `then` (may be empty) is the final step.
    void Finish(FinalStep then = {});

    // Stops the job: queued blocks are dropped, the encoder is closed, the
    // final step is told to stop or not started. Safe to call at any time.
    void Abort();
    // Waits for the thread to end.
    void Join();
    // Running until the thread has done its last work.
    Outcome Result() const { return result_.load(); }
    // Why the stream failed (the encoder's error text); read after Result()
    // turned Failed. Empty when the final step failed (it reports its own).
    std::string Error() const;

private:
    void Run();

    std::unique_ptr<TEncoder> encoder_;
    std::function<void()> changed_;
    BlockQueue queue_;
    FinalStep then_;
    std::atomic<bool> abort_{false};
    std::atomic<Outcome> result_{Outcome::Running};
    mutable std::mutex errorMutex_;
    std::string error_;
    std::thread thread_;
};

}  // namespace melvarin
