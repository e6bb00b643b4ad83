// The report's destination: plain writes to standard output, or temporary file plus rename, as
// the report window saves.
#include "report_output.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "data_file.h"
#include "error.h"
#include "size_limits.h"
#include "temporary_files.h"

namespace koravel::cli {

namespace {

    constexpr unsigned long long kWriteOutStep = 16ULL << 20;

    // A run stopped from outside (Ctrl-C, a closed terminal, kill) removes the temporary files
    // of the report and the spreadsheets on its way out instead of leaving gigabytes behind
    // under hidden names.
    void removeTemporariesAndStop(int signalNumber)
    {
        removeTemporaryFiles();
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
    }

    // The mode the file gets: that of the file it replaces, or what a new file would get.
    mode_t modeFor(const std::string &path)
    {
        struct stat target = {};
        if (::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode))
            return target.st_mode & 07777;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }

} // namespace

void removeTemporariesOnInterruption()
{
    for (const int signalNumber : { SIGINT, SIGTERM, SIGHUP }) {
        struct sigaction action = {};
        // A signal the caller ignores (nohup) stays ignored.
        if (::sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            continue;
        action.sa_handler = removeTemporariesAndStop;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

std::optional<std::uint64_t> standardOutputFreeBytes()
{
    struct stat status = {};
    if (::fstat(STDOUT_FILENO, &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return freeBytesBeside(STDOUT_FILENO);
}

std::string standardOutputName()
{
    std::error_code error;
    const std::filesystem::path name = std::filesystem::read_symlink("/proc/self/fd/1", error);
    return error ? std::string("/dev/stdout") : name.string();
}

ReportOutput::ReportOutput() = default;

ReportOutput::ReportOutput(const std::string &path)
    : m_fd(-1)
    , m_shownPath(fullPath(path))
{
    const std::filesystem::path target = linkTarget(m_shownPath);
    m_target = target.string();
    const std::string name = target.filename().string();
    struct stat existing = {};
    if (name.empty() || (::stat(m_target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)))
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(EISDIR)));
    if (::stat(m_target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        // A device or a pipe ("/dev/null", a FIFO) is written directly: renaming a file over
        // it would put a plain file in its place.
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
        if (m_fd < 0)
            throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
        m_direct = true;
        return;
    }

    // An empty folder is the root: the pattern then begins "/.".
    const std::string pattern = target.parent_path().string() + "/." + name + ".XXXXXX.tmp";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    m_fd = ::mkostemps(temporary.data(), 4, O_CLOEXEC);
    if (m_fd < 0)
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
    m_temporary.assign(temporary.data(), pattern.size());
    registerTemporaryFile(m_temporary);
    ::fchmod(m_fd, modeFor(m_target));
}

ReportOutput::~ReportOutput()
{
    if (m_direct && m_fd >= 0)
        ::close(m_fd);
    discardTemporary();
}

std::optional<std::uint64_t> ReportOutput::freeBytes() const
{
    if (m_temporary.empty())
        return std::nullopt;
    return freeBytesBeside(m_fd);
}

void ReportOutput::write(const char *data, std::size_t size)
{
    writeAll(data, size);
    if (m_temporary.empty())
        return;
    m_written += size;
#ifdef __linux__
    // The disk starts on what is written while the prediction goes on, so that the wait for
    // the last bytes at commit() is short. Only the start is asked for here, not the wait.
    if (m_written - m_flushed >= kWriteOutStep) {
        ::sync_file_range(m_fd, static_cast<off_t>(m_flushed),
            static_cast<off_t>(m_written - m_flushed), SYNC_FILE_RANGE_WRITE);
        m_flushed = m_written;
    }
#endif
}

void ReportOutput::writeAll(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw Error(std::string(kStreamWriteError));
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void ReportOutput::commit()
{
    if (m_temporary.empty())
        return;
    const bool onDisk = ::fsync(m_fd) == 0;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || !onDisk) {
        discardTemporary();
        throw Error(std::string(kStreamWriteError));
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int failure = errno;
        discardTemporary();
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(failure)));
    }
    forgetTemporaryFile(m_temporary);
    m_temporary.clear();

    // The new name is made durable too; a folder that refuses this loses nothing.
    const std::string folder = std::filesystem::path(m_target).parent_path().string();
    const int folderFd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

void ReportOutput::discardTemporary()
{
    if (m_fd >= 0 && !m_temporary.empty()) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_temporary.empty())
        return;
    ::unlink(m_temporary.c_str());
    forgetTemporaryFile(m_temporary);
    m_temporary.clear();
}

} // namespace koravel::cli
