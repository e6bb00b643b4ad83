#include "report/temporary_files.h"

#include <csignal>
#include <cstring>

#include <unistd.h>

namespace koravel {

namespace {

    constexpr std::size_t kSlots = 8;
    constexpr std::size_t kPathBytes = 4096;

    // A slot is filled before it is marked used and unmarked before it is reused, so a signal
    // arriving at any moment sees either nothing or a whole path.
    char g_paths[kSlots][kPathBytes];
    volatile std::sig_atomic_t g_used[kSlots];

} // namespace

void registerTemporaryFile(const std::string &path)
{
    if (path.size() >= kPathBytes)
        return;
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        if (g_used[slot])
            continue;
        std::memcpy(g_paths[slot], path.c_str(), path.size() + 1);
        g_used[slot] = 1;
        return;
    }
}

void forgetTemporaryFile(const std::string &path)
{
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        if (g_used[slot] && path == g_paths[slot]) {
            g_used[slot] = 0;
            return;
        }
    }
}

void removeTemporaryFiles() noexcept
{
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        if (g_used[slot])
            ::unlink(g_paths[slot]);
    }
}

} // namespace koravel
