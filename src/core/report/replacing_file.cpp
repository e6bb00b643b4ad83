// A file replaced only once every byte of its new content is on disk.
#include "report/replacing_file.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "table/data_file.h"
#include "numtext/error.h"
#include "report/size_limits.h"
#include "report/temporary_files.h"

namespace koravel {

namespace {

    constexpr std::size_t kBufferSize = 1 << 16;
    constexpr std::uint64_t kWriteOutStep = 16ULL << 20;

} // namespace

ReplacingFile::ReplacingFile(const std::string &path)
    : m_shownPath(fullPath(path))
{
    // A link that leads nowhere, or round in a circle, is refused rather than replaced by a
    // plain file, as a link that leads to a file is followed.
    struct stat link = {};
    struct stat existing = {};
    if (::lstat(m_shownPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode)
        && ::stat(m_shownPath.c_str(), &existing) != 0)
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
    const std::filesystem::path target = linkTarget(m_shownPath);
    m_target = target.string();
    const std::string name = target.filename().string();
    const bool exists = ::stat(m_target.c_str(), &existing) == 0;
    // "new/" names a folder: an existing one cannot be a file, a missing one holds none.
    if (name.empty() || (exists && S_ISDIR(existing.st_mode)))
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(exists ? EISDIR : ENOENT)));
    // A file the user may not write is not replaced behind its back.
    if (exists && ::access(m_target.c_str(), W_OK) != 0)
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
    if (exists && !S_ISREG(existing.st_mode)) {
        m_direct = true;
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
        if (m_fd < 0)
            throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
        m_buffer.reserve(kBufferSize);
        return;
    }

    std::string folder = target.parent_path().string();
    if (folder.empty())
        folder = "/";
    // In a folder where only owners may rename (the sticky bit, as in /tmp) another user's file
    // cannot be replaced: refused now rather than after the whole run.
    struct stat folderStatus = {};
    constexpr int kCapFowner = 3;
    if (exists && ::stat(folder.c_str(), &folderStatus) == 0 && (folderStatus.st_mode & S_ISVTX)
        && existing.st_uid != ::geteuid() && folderStatus.st_uid != ::geteuid()
        && !holdsCapability(kCapFowner))
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(EPERM)));
    removeStaleTemporaryFiles(folder, name);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const std::string candidate = (folder == "/" ? "" : folder) + "/"
            + temporaryFileName(name, ::getpid(), random() % 1000000);
        m_fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_temporary = candidate;
            registerTemporaryFile(m_temporary);
        } else if (errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
    // A file replaced keeps its owner (where the process may give it away, as root may) and
    // its permissions; a new one gets the usual ones.
    if (exists && S_ISREG(existing.st_mode)) {
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
            // Refused to anyone but root: the new file is then this user's.
            [[maybe_unused]] const int kept = ::fchown(m_fd, existing.st_uid, existing.st_gid);
        }
        ::fchmod(m_fd, existing.st_mode & 07777);
    }
    m_buffer.reserve(kBufferSize);
}

ReplacingFile::~ReplacingFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        forgetTemporaryFile(m_temporary);
    }
}

std::optional<std::uint64_t> ReplacingFile::freeBytes() const
{
    if (m_temporary.empty())
        return std::nullopt;
    return freeBytesBeside(m_fd);
}

void ReplacingFile::write(std::string_view bytes)
{
    if (m_buffer.size() + bytes.size() < kBufferSize) {
        m_buffer.append(bytes);
        return;
    }
    flush();
    if (bytes.size() >= kBufferSize)
        writeOut(bytes);
    else
        m_buffer.append(bytes);
}

void ReplacingFile::flush()
{
    writeOut(m_buffer);
    m_buffer.clear();
}

void ReplacingFile::writeOut(std::string_view bytes)
{
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const ssize_t written = ::write(m_fd, rest.data(), rest.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw Error(std::string(kStreamWriteError));
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    if (m_temporary.empty())
        return;
    m_written += bytes.size();
#ifdef __linux__
    // The disk starts on what is written while the rest is still being made, so that the wait
    // for the last bytes at commit() is short. Only the start is asked for here, not the wait.
    if (m_written - m_flushed >= kWriteOutStep) {
        ::sync_file_range(m_fd, static_cast<off_t>(m_flushed),
            static_cast<off_t>(m_written - m_flushed), SYNC_FILE_RANGE_WRITE);
        m_flushed = m_written;
    }
#endif
}

void ReplacingFile::commit()
{
    prepare();
    replace();
    settle();
}

void ReplacingFile::prepare()
{
    if (m_prepared)
        return;
    flush();
    const int fd = m_fd;
    m_fd = -1;
    m_prepared = true;
    const bool synced = m_direct || ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced)
        throw Error(std::string(kStreamWriteError));
}

void ReplacingFile::replace()
{
    prepare();
    if (m_direct || m_replaced)
        return;
    // A second name for the file about to be replaced, so that it can be put back. Where the
    // file system has no hard links the file cannot be put back, and is replaced all the same.
    struct stat existing = {};
    if (::lstat(m_target.c_str(), &existing) == 0) {
        // Named as a temporary file of this run: a later run removes it if this one is killed.
        const std::filesystem::path temporary(m_temporary);
        const std::string backup = (temporary.parent_path()
            / temporaryFileName(std::filesystem::path(m_target).filename().string(), ::getpid(),
                std::random_device()() % 1000000))
                                       .string();
        if (::link(m_target.c_str(), backup.c_str()) == 0) {
            m_backup = backup;
            registerTemporaryFile(m_backup);
        }
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        settle();
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(error)));
    }
    forgetTemporaryFile(m_temporary);
    m_temporary.clear();
    m_replaced = true;
}

void ReplacingFile::restore() noexcept
{
    if (!m_replaced)
        return;
    m_replaced = false;
    if (!m_backup.empty()) {
        if (::rename(m_backup.c_str(), m_target.c_str()) == 0) {
            forgetTemporaryFile(m_backup);
            m_backup.clear();
        }
    } else {
        ::unlink(m_target.c_str()); // there was no file before
    }
}

void ReplacingFile::settle() noexcept
{
    if (!m_backup.empty()) {
        ::unlink(m_backup.c_str());
        forgetTemporaryFile(m_backup);
        m_backup.clear();
    }
    if (!m_replaced)
        return;
    const std::string folder = std::filesystem::path(m_target).parent_path().string();
    const int folderFd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

void commitTogether(const std::vector<ReplacingFile *> &files)
{
    for (ReplacingFile *file : files)
        file->prepare();
    std::size_t done = 0;
    try {
        for (; done < files.size(); ++done)
            files[done]->replace();
    } catch (...) {
        while (done > 0)
            files[--done]->restore();
        for (ReplacingFile *file : files)
            file->settle();
        throw;
    }
    for (ReplacingFile *file : files)
        file->settle();
}

} // namespace koravel
