#include "tools/vistrel-render/SeedSweep.h"

#include <malloc.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/vistrel-render/ToolError.h"

namespace vistrel {

namespace {

// Seeds per unit of work: enough that handing blocks around costs nothing next to rendering
// them, few enough that every core has work until the end.
constexpr std::uint64_t BlockSeeds = 32;
// Blocks that may be finished ahead of the delivery, per worker.
constexpr std::uint64_t BlocksAheadPerWorker = 4;

struct Block {
    std::string text;
    std::exception_ptr error;
    bool ready = false;
};

// The state the workers and the delivering thread share; every field is guarded by lock.
class Schedule {
  public:
    Schedule(std::uint32_t first, std::uint64_t seeds, std::uint64_t window)
        : first(first),
          blockCount((seeds + BlockSeeds - 1) / BlockSeeds),
          seeds(seeds),
          blocks(window) {}

    void Work(const SeedSweep::Job& job) {
        std::unique_lock guard(lock);
        while (true) {
            blockFree.wait(guard, [&] {
                return stopped || claimed == blockCount || claimed < delivered + blocks.size();
            });
            if (stopped || claimed == blockCount) {
                return;
            }
            const std::uint64_t index = claimed++;
            guard.unlock();
            Block result;
            try {
                const std::uint64_t end = std::min(seeds, (index + 1) * BlockSeeds);
                for (std::uint64_t i = index * BlockSeeds; i < end; ++i) {
                    job(static_cast<std::uint32_t>(first + i), result.text);
                }
            } catch (...) {
                result.error = std::current_exception();
            }
            guard.lock();
            // Blocks before this one are claimed already and finish; later ones are not started.
            stopped = stopped || result.error != nullptr;
            result.ready = true;
            blocks[index % blocks.size()] = std::move(result);
            blockDone.notify_all();
        }
    }

    void Deliver(const SeedSweep::Delivery& deliver) {
        for (std::uint64_t index = 0; index < blockCount; ++index) {
            Block block;
            {
                std::unique_lock guard(lock);
                Block& slot = blocks[index % blocks.size()];
                blockDone.wait(guard, [&] { return slot.ready; });
                block = std::move(slot);
                slot = Block();
                ++delivered;
            }
            blockFree.notify_all();
            // A failed block still carries the output of the seeds before the failure.
            if (!block.text.empty()) {
                deliver(block.text);
            }
            if (block.error) {
                std::rethrow_exception(block.error);
            }
        }
    }

    void Stop() {
        {
            std::lock_guard guard(lock);
            stopped = true;
        }
        blockFree.notify_all();
    }

  private:
    const std::uint32_t first;
    const std::uint64_t blockCount;
    const std::uint64_t seeds;
    std::mutex lock;
    std::condition_variable blockFree;
    std::condition_variable blockDone;
    std::vector<Block> blocks;
    std::uint64_t claimed = 0;
    std::uint64_t delivered = 0;
    bool stopped = false;
};

// The worker threads of one sweep; they are stopped and joined however the sweep ends.
class Workers {
  public:
    explicit Workers(Schedule& schedule) : schedule(schedule) {}
    ~Workers() {
        schedule.Stop();
        for (std::thread& t : threads) {
            t.join();
        }
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    void Start(unsigned count, const SeedSweep::Job& job) {
        threads.reserve(count);
        try {
            for (unsigned i = 0; i < count; ++i) {
                threads.emplace_back([this, &job] { schedule.Work(job); });
            }
        } catch (const std::system_error& e) {
            throw SystemError("cannot start the worker threads", e.code().value());
        }
    }

  private:
    Schedule& schedule;
    std::vector<std::thread> threads;
};

}  // namespace

SeedSweep::SeedSweep(unsigned workers)
    : workers(workers != 0 ? workers : std::max(1u, std::thread::hardware_concurrency())) {}

void SeedSweep::Run(std::uint32_t first, std::uint32_t last, const Job& job,
                    const Delivery& deliver) const {
    const std::uint64_t seeds = std::uint64_t{last} - first + 1;
    Schedule schedule(first, seeds, BlocksAheadPerWorker * workers);
    Workers threads(schedule);
    threads.Start(workers, job);
    schedule.Deliver(deliver);
}

void KeepFreedMemoryForReuse() {
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

}  // namespace vistrel
