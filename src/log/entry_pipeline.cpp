#include "log/entry_pipeline.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "xml/xml_entities.h"

namespace vesk {

namespace {

// Entries travel in batches so that the threads meet once per batch, not once per entry; the
// batches go round, so their strings keep their buffers.
struct Batch {
    std::vector<LogEntryFields> entries;
    std::size_t count = 0;
};

constexpr std::size_t kBatchEntries = 2048;
// Batches in flight: enough to ride out unevenness, few enough to keep memory flat.
constexpr std::size_t kBatches = 8;

// Thrown inside the pass when the calling thread has stopped taking entries.
struct Abandoned {};

class BatchQueue {
public:
    BatchQueue() {
        for (std::size_t k = 0; k < kBatches; ++k)
            empty_.emplace_back().entries.resize(kBatchEntries);
    }

    // An empty batch for the pass to fill; throws Abandoned once the taker has gone.
    Batch next_empty() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !empty_.empty() || abandoned_; });
        if (abandoned_) throw Abandoned{};
        Batch batch = std::move(empty_.front());
        empty_.pop_front();
        return batch;
    }

    void put_full(Batch batch) {
        std::lock_guard lock(mutex_);
        full_.push_back(std::move(batch));
        changed_.notify_all();
    }

    // The next filled batch, or none once the pass has ended and every batch has been taken.
    std::optional<Batch> take_full() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !full_.empty() || closed_; });
        if (full_.empty()) return std::nullopt;
        Batch batch = std::move(full_.front());
        full_.pop_front();
        return batch;
    }

    void give_back(Batch batch) {
        batch.count = 0;
        std::lock_guard lock(mutex_);
        empty_.push_back(std::move(batch));
        changed_.notify_all();
    }

    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

    void abandon() {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> empty_;
    std::deque<Batch> full_;
    bool closed_ = false;
    bool abandoned_ = false;
};

// The pass's side: fills batches and hands them over; records how the pass ended.
struct PassOutcome {
    ProcessHeader header;
    std::exception_ptr error;
};

void run_pass(const WorkflowLogFile& file, const std::string& process_id, BatchQueue& queue,
              PassOutcome& outcome) {
    std::optional<Batch> batch;
    try {
        batch = queue.next_empty();
        outcome.header = file.read_process(process_id, [&](const LogEntryFields& entry) {
            batch->entries[batch->count++] = entry;
            if (batch->count < batch->entries.size()) return;
            queue.put_full(std::move(*batch));
            batch.reset();
            batch = queue.next_empty();
        });
    } catch (const Abandoned&) {
        // The taker failed; its exception is the one that counts.
    } catch (...) {
        outcome.error = std::current_exception();
    }
    // The entries read before an error still reach the handler, as on one thread.
    if (batch && batch->count > 0) queue.put_full(std::move(*batch));
    queue.close();
}

ProcessHeader read_beside(const WorkflowLogFile& file, const std::string& process_id,
                          const WorkflowLogFile::EntryHandler& on_entry) {
    prepare_xml_parsing();
    BatchQueue queue;
    PassOutcome outcome;
    std::jthread pass([&] { run_pass(file, process_id, queue, outcome); });
    try {
        while (std::optional<Batch> batch = queue.take_full()) {
            for (std::size_t k = 0; k < batch->count; ++k)
                on_entry(batch->entries[k]);
            queue.give_back(std::move(*batch));
        }
    } catch (...) {
        queue.abandon();
        throw;  // the jthread joins the pass on the way out
    }
    pass.join();
    if (outcome.error) std::rethrow_exception(outcome.error);
    return outcome.header;
}

}  // namespace

ProcessHeader read_process_entries(const WorkflowLogFile& file, const std::string& process_id,
                                   const WorkflowLogFile::EntryHandler& on_entry,
                                   ReadThreads threads) {
    const bool beside = threads == ReadThreads::two || (threads == ReadThreads::machine &&
                                                        std::thread::hardware_concurrency() > 1);
    if (!beside) return file.read_process(process_id, on_entry);
    return read_beside(file, process_id, on_entry);
}

}  // namespace vesk
