#include "disc/EncodeWorker.h"

#include "encoders/TEncoder.h"

namespace melvarin {

EncodeWorker::EncodeWorker(std::unique_ptr<TEncoder> encoder, std::size_t queueBytes,
                           std::function<void()> changed)
    : encoder_(std::move(encoder)),
      changed_(std::move(changed)),
      queue_(queueBytes, changed_),
      thread_([this] { Run(); }) {}

EncodeWorker::~EncodeWorker() {
    Abort();
    Join();
}

void EncodeWorker::Finish(FinalStep then) {
    // The queue's lock publishes the step to the worker, which reads it only
    // after Pop() has seen the end.
    then_ = std::move(then);
    queue_.Finish();
}

void EncodeWorker::Abort() {
    abort_ = true;
    queue_.Abort();
}

void EncodeWorker::Join() {
    if (thread_.joinable()) thread_.join();
}

std::string EncodeWorker::Error() const {
    std::lock_guard lock(errorMutex_);
    return error_;
}

void EncodeWorker::Run() {
    std::vector<std::uint8_t> block;
    bool encoded = true;
    while (queue_.Pop(block)) {
        if (!encoder_->Encode(block.data(), block.size())) {
            encoded = false;
            queue_.Abort();  // nobody will take the rest
            break;
        }
    }
    // A stream cut short is dropped before the encoder finishes it, so that
    // its file never appears under the final name. The abort is looked at
    // once: a file the encoder has put in place is complete, whatever comes
    // after, and the caller keeps or removes it by that outcome.
    const bool aborted = abort_;
    if (!encoded || aborted) encoder_->Discard();
    const bool closed = encoder_->Close();
    Outcome outcome = Outcome::Complete;
    if (!encoded || (!closed && !aborted)) {
        std::lock_guard lock(errorMutex_);
        error_ = encoder_->LastError();
        outcome = Outcome::Failed;
    } else if (aborted) {
        outcome = Outcome::Aborted;
    }
    encoder_.reset();
    if (outcome == Outcome::Complete && then_) outcome = then_(abort_);
    result_ = outcome;
    if (changed_) changed_();
}

}  // namespace melvarin
