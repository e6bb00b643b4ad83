// The temporary files of a run: their names, the ones a killed run left, and the ones this run
// is writing, for a signal handler to remove.
#include "report/temporary_files.h"

#include <csignal>
#include <cstring>
#include <string_view>

#include "platform/system.h"

namespace koravel {

namespace {

    constexpr std::size_t kSlots = 8;
    constexpr std::size_t kPathBytes = 4096;

    // A slot is filled before it is marked used and unmarked before it is reused, so a signal
    // arriving at any moment sees either nothing or a whole path.
    char g_paths[kSlots][kPathBytes];
    volatile std::sig_atomic_t g_used[kSlots];

    // Whatever the name's length, its temporary name stays well within 255 bytes.
    constexpr std::size_t kNamePrefixBytes = 32;

    bool allDigits(std::string_view text)
    {
        return !text.empty() && text.size() <= 10
            && text.find_first_not_of("0123456789") == std::string_view::npos;
    }

    // "<pid>.<random>" -> the pid; anything else -> 0.
    long processOf(std::string_view middle)
    {
        const std::size_t dot = middle.find('.');
        if (dot == std::string_view::npos || !allDigits(middle.substr(0, dot))
            || !allDigits(middle.substr(dot + 1)))
            return 0;
        const unsigned long pid = std::stoul(std::string(middle.substr(0, dot)));
        return pid > 0 && pid <= 0x7FFFFFFF ? long(pid) : 0;
    }

} // namespace

std::string temporaryFileName(const std::string &name, long pid, unsigned long random)
{
    return "." + name.substr(0, kNamePrefixBytes) + "." + std::to_string(pid) + "."
        + std::to_string(random) + ".tmp";
}

void removeStaleTemporaryFiles(const std::string &folder, const std::string &name)
{
    const std::string head = "." + name.substr(0, kNamePrefixBytes) + ".";
    for (const std::string &entryName : platform::folderEntries(folder)) {
        if (!entryName.starts_with(head) || !entryName.ends_with(".tmp"))
            continue;
        const long pid = processOf(
            std::string_view(entryName).substr(head.size(), entryName.size() - head.size() - 4));
        const std::string path = (folder == "/" ? "" : folder) + "/" + entryName;
        if (pid == 0 || pid == platform::processId() || !platform::isOwnRegularFile(path))
            continue;
        // Another user's process is alive, and its file stays.
        if (platform::processGone(pid))
            platform::removeFile(path.c_str());
    }
}

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
            platform::removeFile(g_paths[slot]);
    }
}

} // namespace koravel
