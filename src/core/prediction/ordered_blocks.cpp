// Blocks filled by worker threads into a ring of slots and taken in order by the caller.
#include "prediction/ordered_blocks.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace koravel {

namespace {

    struct Slot
    {
        std::size_t block = 0; // the block this slot may hold next, or holds
        bool filled = false;
        std::exception_ptr failure;
    };

    class Ring
    {
    public:
        Ring(std::size_t count, std::size_t slots)
            : m_count(count)
            , m_slots(slots)
        {
            for (std::size_t s = 0; s < slots; ++s)
                m_slots[s].block = s;
        }

        // A worker: claims blocks in order until there are none left or the run stops.
        void work(const OrderedBlocks::Fill &fill)
        {
            for (;;) {
                const std::size_t block = m_next.fetch_add(1);
                if (block >= m_count)
                    return;
                const std::size_t s = block % m_slots.size();
                {
                    std::unique_lock lock(m_mutex);
                    m_changed.wait(lock, [&] { return m_stop || m_slots[s].block == block; });
                    if (m_stop)
                        return;
                }
                std::exception_ptr failure;
                try {
                    fill(s, block);
                } catch (...) {
                    failure = std::current_exception();
                }
                {
                    std::lock_guard lock(m_mutex);
                    m_slots[s].filled = true;
                    m_slots[s].failure = failure;
                }
                m_changed.notify_all();
            }
        }

        // The caller: waits for each block in turn and hands it over.
        void takeAll(const OrderedBlocks::Take &take)
        {
            for (std::size_t block = 0; block < m_count; ++block) {
                const std::size_t s = block % m_slots.size();
                std::exception_ptr failure;
                {
                    std::unique_lock lock(m_mutex);
                    m_changed.wait(lock, [&] { return m_slots[s].filled; });
                    failure = m_slots[s].failure;
                }
                if (failure)
                    std::rethrow_exception(failure);
                take(s, block);
                {
                    std::lock_guard lock(m_mutex);
                    m_slots[s].filled = false;
                    m_slots[s].block = block + m_slots.size();
                }
                m_changed.notify_all();
            }
        }

        void stop()
        {
            {
                std::lock_guard lock(m_mutex);
                m_stop = true;
            }
            m_changed.notify_all();
        }

    private:
        const std::size_t m_count;
        std::vector<Slot> m_slots;
        std::atomic<std::size_t> m_next = 0;
        std::mutex m_mutex;
        std::condition_variable m_changed;
        bool m_stop = false;
    };

} // namespace

void OrderedBlocks::run(std::size_t count, std::size_t threads, std::size_t slots,
    const Fill &fill, const Take &take)
{
    if (count == 0)
        return;
    Ring ring(count, std::max<std::size_t>(slots, 1));
    std::vector<std::jthread> workers;
    // Whatever ends the run, the workers are told to stop before they are joined.
    struct StopOnExit
    {
        Ring &ring;
        std::vector<std::jthread> &workers;
        ~StopOnExit()
        {
            ring.stop();
            workers.clear();
        }
    } stopOnExit { ring, workers };
    const std::size_t started = std::clamp<std::size_t>(threads, 1, count);
    for (std::size_t t = 0; t < started; ++t)
        workers.emplace_back([&ring, &fill] { ring.work(fill); });
    ring.takeAll(take);
}

std::size_t OrderedBlocks::usefulThreads()
{
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
}

} // namespace koravel
