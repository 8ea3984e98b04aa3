#include "package/parallel_package_writer.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "package/entry_deflater.h"
#include "package/package_writer.h"

namespace quorlix {

namespace {

// One entry on its way: claimed by a thread, its blocks queued until the writer takes them.
struct EntryWork {
    std::string source;
    std::string name;
    std::deque<CompressedBlock> blocks;
    std::uint64_t recordLength = 0;
    bool done = false;
    std::exception_ptr error;
};

// The entries in order, shared by the writing thread and one helper thread. Entries are claimed
// in order; the entry at the head is the one being written, and only entries after it count
// against the compressed-ahead limit.
class PackagePipeline {
public:
    PackagePipeline(std::span<const std::string> sources, std::span<const std::string> names) {
        for (std::size_t i = 0; i < sources.size(); ++i) {
            EntryWork work;
            work.source = sources[i];
            const std::string name = i < names.size() ? names[i] : std::string();
            work.name = name.empty() ? EntryNameOf(sources[i]) : name;
            entries_.push_back(std::move(work));
        }
        if (entries_.size() > 1) {
            helper_ = std::thread([this] { HelperLoop(); });
        }
    }
    ~PackagePipeline() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (helper_.joinable()) {
            helper_.join();
        }
    }
    PackagePipeline(const PackagePipeline&) = delete;
    PackagePipeline& operator=(const PackagePipeline&) = delete;

    std::size_t Write(File& output, ProgressSink& sink);

private:
    using Lock = std::unique_lock<std::mutex>;

    bool MayDeflate(std::size_t entry) const {
        return entry == head_ || buffered_ < kCompressedAheadLimit;
    }
    std::optional<std::size_t> Claim(const Lock&) {
        if (stop_ || next_ >= entries_.size() || !MayDeflate(next_)) {
            return std::nullopt;
        }
        return next_++;
    }
    bool Open(std::size_t entry, std::optional<EntryDeflater>& deflater);
    bool StepEntry(std::size_t entry, EntryDeflater& deflater);
    void Publish(std::size_t entry, std::vector<CompressedBlock>& blocks, bool done,
                 std::uint64_t recordLength, std::exception_ptr error);
    void HelperLoop();
    bool DrainHead(File& output, ProgressSink& sink);
    bool StepOwn();
    bool HeadReadyOrOwnWork() const;

    std::vector<EntryWork> entries_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t head_ = 0;
    std::size_t next_ = 0;
    std::size_t buffered_ = 0;
    bool stop_ = false;
    std::thread helper_;
    // The writing thread's own entry being deflated, if any.
    std::optional<EntryDeflater> own_;
    std::size_t ownEntry_ = 0;
};

// Checks the name and opens the source; a failure ends the entry with its error.
bool PackagePipeline::Open(std::size_t entry, std::optional<EntryDeflater>& deflater) {
    try {
        CheckEntryName(entries_[entry].name);
        deflater.emplace(entries_[entry].source);
        return true;
    } catch (...) {
        deflater.reset();
        std::vector<CompressedBlock> none;
        Publish(entry, none, true, 0, std::current_exception());
        return false;
    }
}

// Deflates one chunk of the entry and queues its blocks; false once the entry is done.
bool PackagePipeline::StepEntry(std::size_t entry, EntryDeflater& deflater) {
    std::vector<CompressedBlock> blocks;
    try {
        const bool more = deflater.Step(blocks);
        Publish(entry, blocks, !more, deflater.recordLength(), nullptr);
        return more;
    } catch (...) {
        Publish(entry, blocks, true, 0, std::current_exception());
        return false;
    }
}

void PackagePipeline::Publish(std::size_t entry, std::vector<CompressedBlock>& blocks, bool done,
                              std::uint64_t recordLength, std::exception_ptr error) {
    {
        const std::lock_guard lock(mutex_);
        EntryWork& work = entries_[entry];
        for (CompressedBlock& block : blocks) {
            buffered_ += block.bytes.size();
            work.blocks.push_back(std::move(block));
        }
        work.done = done;
        work.recordLength = recordLength;
        work.error = error;
    }
    changed_.notify_all();
}

void PackagePipeline::HelperLoop() {
    for (;;) {
        std::size_t entry = 0;
        {
            Lock lock(mutex_);
            changed_.wait(lock,
                          [&] { return stop_ || next_ >= entries_.size() || MayDeflate(next_); });
            const std::optional<std::size_t> claimed = Claim(lock);
            if (!claimed) {
                return;
            }
            entry = *claimed;
        }
        std::optional<EntryDeflater> deflater;
        bool more = Open(entry, deflater);
        while (more) {
            {
                Lock lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || MayDeflate(entry); });
                if (stop_) {
                    return;
                }
            }
            more = StepEntry(entry, *deflater);
        }
    }
}

// The writing thread deflates a chunk of its own entry, claiming the next one when it has none;
// false when there is nothing it may do now.
bool PackagePipeline::StepOwn() {
    if (!own_) {
        std::optional<std::size_t> claimed;
        {
            Lock lock(mutex_);
            claimed = Claim(lock);
        }
        if (!claimed) {
            return false;
        }
        ownEntry_ = *claimed;
        Open(ownEntry_, own_);
        return true;
    }
    {
        const std::lock_guard lock(mutex_);
        if (!MayDeflate(ownEntry_)) {
            return false;
        }
    }
    if (!StepEntry(ownEntry_, *own_)) {
        own_.reset();
    }
    return true;
}

bool PackagePipeline::HeadReadyOrOwnWork() const {
    const EntryWork& head = entries_[head_];
    if (!head.blocks.empty() || head.done || stop_) {
        return true;
    }
    return own_ ? MayDeflate(ownEntry_) : next_ < entries_.size() && MayDeflate(next_);
}

// Writes the head entry's blocks as they come, with their reports, deflating its own entry
// between them; false at a cancel.
bool PackagePipeline::DrainHead(File& output, ProgressSink& sink) {
    for (;;) {
        std::vector<CompressedBlock> ready;
        bool done = false;
        {
            const std::lock_guard lock(mutex_);
            EntryWork& head = entries_[head_];
            while (!head.blocks.empty()) {
                buffered_ -= head.blocks.front().bytes.size();
                ready.push_back(std::move(head.blocks.front()));
                head.blocks.pop_front();
            }
            done = head.done && ready.empty();
        }
        if (!ready.empty()) {
            changed_.notify_all();
        }
        for (const CompressedBlock& block : ready) {
            output.WriteAll(block.bytes.data(), block.bytes.size());
            if (block.takenIn) {
                sink.ShowStreamProgress(*block.takenIn);
                if (sink.CancelRequested()) {
                    return false;
                }
            }
        }
        if (done) {
            return true;
        }
        if (!ready.empty()) {
            continue;
        }
        if (sink.CancelRequested()) {
            return false;
        }
        if (!StepOwn()) {
            Lock lock(mutex_);
            changed_.wait(lock, [&] { return HeadReadyOrOwnWork(); });
        }
    }
}

std::size_t PackagePipeline::Write(File& output, ProgressSink& sink) {
    std::vector<std::string> directory;
    for (; head_ < entries_.size();) {
        if (sink.CancelRequested() || !DrainHead(output, sink)) {
            return directory.size();
        }
        const EntryWork& done = entries_[head_];
        if (done.error) {
            std::rethrow_exception(done.error);
        }
        directory.push_back(done.name + "|" + std::to_string(done.recordLength));
        {
            const std::lock_guard lock(mutex_);
            ++head_;
        }
        changed_.notify_all();
        if (sink.CancelRequested()) {
            return directory.size();
        }
        ReportEntryDone(sink, done.source);
    }
    WritePackageDirectory(directory, output);
    return directory.size();
}

}  // namespace

std::size_t WritePackageInParallel(std::span<const std::string> sources,
                                   std::span<const std::string> names, File& output,
                                   ProgressSink& sink) {
    PackagePipeline pipeline(sources, names);
    return pipeline.Write(output, sink);
}

}  // namespace quorlix
