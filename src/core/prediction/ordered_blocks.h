// Work cut into numbered blocks, done by several threads at once and handed over in order.
#pragma once

#include <cstddef>
#include <functional>

namespace koravel {

// Runs fill(slot, block) for blocks 0 to count - 1 on worker threads and take(slot, block) on
// the calling thread in the order of the blocks. A block is filled into one of a few slots
// (the results the caller keeps, indexed 0 to slots - 1) and that slot is filled again only
// after take() handed it over, so the memory held stays that of the slots whatever the count.
// An exception thrown by fill() is rethrown when its block's turn comes, after the blocks
// before it were taken; one thrown by take() ends the run. Either way the workers stop and
// are joined before run() returns or throws.
//   count 5, 2 threads, 4 slots -> take(0, 0), take(1, 1), take(2, 2), take(3, 3), take(0, 4)
class OrderedBlocks
{
public:
    using Fill = std::function<void(std::size_t slot, std::size_t block)>;
    using Take = std::function<void(std::size_t slot, std::size_t block)>;

    static void run(std::size_t count, std::size_t threads, std::size_t slots, const Fill &fill,
        const Take &take);
    // The threads worth starting on this machine: one a processor, at least 1, at most 8.
    static std::size_t usefulThreads();
};

} // namespace koravel
