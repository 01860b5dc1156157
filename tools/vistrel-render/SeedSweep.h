#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vistrel {

// Runs one job per scene seed of first..last on a fixed set of worker threads, started once,
// and hands what the jobs produce to the caller's thread in seed order. The workers stay at most
// a few blocks of seeds ahead of the delivery, so a long sweep needs little memory and a failed
// delivery stops the work at once.
class SeedSweep {
  public:
    // Appends the seed's output, if any, to text. May throw; the sweep then stops after
    // delivering the output of every seed before it, and the first exception in seed order
    // reaches the caller of Run.
    using Job = std::function<void(std::uint32_t seed, std::string& text)>;
    // Receives the output of consecutive seeds in order, never empty. May throw, which stops
    // the sweep.
    using Delivery = std::function<void(const std::string& text)>;

    // workers 0 means one per core.
    explicit SeedSweep(unsigned workers = 0);

    // Throws ToolError when a worker thread cannot be started.
    void Run(std::uint32_t first, std::uint32_t last, const Job& job,
             const Delivery& deliver) const;

  private:
    unsigned workers;
};

// A sweep allocates and frees a bitmap and an encoder's buffers for every picture. By default the
// allocator hands that memory back to the system after each picture and faults it in again for
// the next, which costs about as much system time as writing the files; this keeps it in the
// process for the rest of its run. Blocks of 4 MB and more still come from and go back to the
// system.
void KeepFreedMemoryForReuse();

}  // namespace vistrel
